#include "text/HtmlText.h"

#include <QHash>

#include <array>
#include <utility>

namespace {

// The HTML 4.01 Latin-1 names in code order, from U+00A0.
constexpr std::array<const char*, 96> Latin1Names = { "nbsp", "iexcl", "cent", "pound", "curren",
    "yen", "brvbar", "sect", "uml", "copy", "ordf", "laquo", "not", "shy", "reg", "macr", "deg",
    "plusmn", "sup2", "sup3", "acute", "micro", "para", "middot", "cedil", "sup1", "ordm", "raquo",
    "frac14", "frac12", "frac34", "iquest", "Agrave", "Aacute", "Acirc", "Atilde", "Auml", "Aring",
    "AElig", "Ccedil", "Egrave", "Eacute", "Ecirc", "Euml", "Igrave", "Iacute", "Icirc", "Iuml",
    "ETH", "Ntilde", "Ograve", "Oacute", "Ocirc", "Otilde", "Ouml", "times", "Oslash", "Ugrave",
    "Uacute", "Ucirc", "Uuml", "Yacute", "THORN", "szlig", "agrave", "aacute", "acirc", "atilde",
    "auml", "aring", "aelig", "ccedil", "egrave", "eacute", "ecirc", "euml", "igrave", "iacute",
    "icirc", "iuml", "eth", "ntilde", "ograve", "oacute", "ocirc", "otilde", "ouml", "divide",
    "oslash", "ugrave", "uacute", "ucirc", "uuml", "yacute", "thorn", "yuml" };

// The HTML 4.01 symbol and special sets, and the apostrophe of XML.
constexpr std::pair<const char*, char32_t> OtherNames[] = { { "quot", 34 }, { "amp", 38 },
    { "apos", 39 }, { "lt", 60 }, { "gt", 62 }, { "OElig", 338 }, { "oelig", 339 },
    { "Scaron", 352 }, { "scaron", 353 }, { "Yuml", 376 }, { "fnof", 402 }, { "circ", 710 },
    { "tilde", 732 }, { "Alpha", 913 }, { "Beta", 914 }, { "Gamma", 915 }, { "Delta", 916 },
    { "Epsilon", 917 }, { "Zeta", 918 }, { "Eta", 919 }, { "Theta", 920 }, { "Iota", 921 },
    { "Kappa", 922 }, { "Lambda", 923 }, { "Mu", 924 }, { "Nu", 925 }, { "Xi", 926 },
    { "Omicron", 927 }, { "Pi", 928 }, { "Rho", 929 }, { "Sigma", 931 }, { "Tau", 932 },
    { "Upsilon", 933 }, { "Phi", 934 }, { "Chi", 935 }, { "Psi", 936 }, { "Omega", 937 },
    { "alpha", 945 }, { "beta", 946 }, { "gamma", 947 }, { "delta", 948 }, { "epsilon", 949 },
    { "zeta", 950 }, { "eta", 951 }, { "theta", 952 }, { "iota", 953 }, { "kappa", 954 },
    { "lambda", 955 }, { "mu", 956 }, { "nu", 957 }, { "xi", 958 }, { "omicron", 959 },
    { "pi", 960 }, { "rho", 961 }, { "sigmaf", 962 }, { "sigma", 963 }, { "tau", 964 },
    { "upsilon", 965 }, { "phi", 966 }, { "chi", 967 }, { "psi", 968 }, { "omega", 969 },
    { "thetasym", 977 }, { "upsih", 978 }, { "piv", 982 }, { "ensp", 8194 }, { "emsp", 8195 },
    { "thinsp", 8201 }, { "zwnj", 8204 }, { "zwj", 8205 }, { "lrm", 8206 }, { "rlm", 8207 },
    { "ndash", 8211 }, { "mdash", 8212 }, { "lsquo", 8216 }, { "rsquo", 8217 }, { "sbquo", 8218 },
    { "ldquo", 8220 }, { "rdquo", 8221 }, { "bdquo", 8222 }, { "dagger", 8224 }, { "Dagger", 8225 },
    { "bull", 8226 }, { "hellip", 8230 }, { "permil", 8240 }, { "prime", 8242 }, { "Prime", 8243 },
    { "lsaquo", 8249 }, { "rsaquo", 8250 }, { "oline", 8254 }, { "frasl", 8260 }, { "euro", 8364 },
    { "image", 8465 }, { "weierp", 8472 }, { "real", 8476 }, { "trade", 8482 }, { "alefsym", 8501 },
    { "larr", 8592 }, { "uarr", 8593 }, { "rarr", 8594 }, { "darr", 8595 }, { "harr", 8596 },
    { "crarr", 8629 }, { "lArr", 8656 }, { "uArr", 8657 }, { "rArr", 8658 }, { "dArr", 8659 },
    { "hArr", 8660 }, { "forall", 8704 }, { "part", 8706 }, { "exist", 8707 }, { "empty", 8709 },
    { "nabla", 8711 }, { "isin", 8712 }, { "notin", 8713 }, { "ni", 8715 }, { "prod", 8719 },
    { "sum", 8721 }, { "minus", 8722 }, { "lowast", 8727 }, { "radic", 8730 }, { "prop", 8733 },
    { "infin", 8734 }, { "ang", 8736 }, { "and", 8743 }, { "or", 8744 }, { "cap", 8745 },
    { "cup", 8746 }, { "int", 8747 }, { "there4", 8756 }, { "sim", 8764 }, { "cong", 8773 },
    { "asymp", 8776 }, { "ne", 8800 }, { "equiv", 8801 }, { "le", 8804 }, { "ge", 8805 },
    { "sub", 8834 }, { "sup", 8835 }, { "nsub", 8836 }, { "sube", 8838 }, { "supe", 8839 },
    { "oplus", 8853 }, { "otimes", 8855 }, { "perp", 8869 }, { "sdot", 8901 }, { "lceil", 8968 },
    { "rceil", 8969 }, { "lfloor", 8970 }, { "rfloor", 8971 }, { "lang", 9001 }, { "rang", 9002 },
    { "loz", 9674 }, { "spades", 9824 }, { "clubs", 9827 }, { "hearts", 9829 }, { "diams", 9830 } };

const QHash<QString, char32_t>& NamedReferences()
{
    static const QHash<QString, char32_t> Names = [] {
        QHash<QString, char32_t> H;
        for (size_t I = 0; I < Latin1Names.size(); ++I)
            H.insert(QString::fromLatin1(Latin1Names[I]), char32_t(0xA0 + I));
        for (const auto& [Name, Code] : OtherNames)
            H.insert(QString::fromLatin1(Name), Code);
        return H;
    }();
    return Names;
}

// Longer than any name or any number worth reading; it also keeps the scan
// for the ";" short, so that text full of "&" decodes in linear time.
constexpr qsizetype MaxReferenceLength = 32;

bool IsNameChar(QChar C)
{
    return (C >= u'a' && C <= u'z') || (C >= u'A' && C <= u'Z') || (C >= u'0' && C <= u'9')
        || C == u'#';
}

// The code point of "#123" or "#x1F600"; false when the digits are not a
// number. Codes no character has become U+FFFD, as a browser shows them.
bool NumericReference(QStringView Name, char32_t& Code)
{
    Name = Name.mid(1);
    int Base = 10;
    if (Name.startsWith(u'x') || Name.startsWith(u'X')) {
        Base = 16;
        Name = Name.mid(1);
    }
    if (Name.isEmpty())
        return false;
    quint64 Value = 0;
    for (QChar C : Name) {
        const int Digit = C.isDigit() ? C.unicode() - u'0'
            : Base == 16 && C.toLower() >= u'a' && C.toLower() <= u'f'
            ? C.toLower().unicode() - u'a' + 10
            : -1;
        if (Digit < 0 || Digit >= Base)
            return false;
        Value = std::min<quint64>(Value * quint64(Base) + quint64(Digit), 0x110000);
    }
    const bool NoCharacter
        = Value == 0 || Value >= 0x110000 || (Value >= 0xD800 && Value <= 0xDFFF);
    Code = NoCharacter ? char32_t(0xFFFD) : char32_t(Value);
    return true;
}

}

QString EscapeHTML(const QString& S)
{
    QString R;
    R.reserve(S.size() + S.size() / 8);
    for (QChar C : S) {
        switch (C.unicode()) {
        case u'&':
            R += QLatin1String("&amp;");
            break;
        case u'<':
            R += QLatin1String("&lt;");
            break;
        case u'>':
            R += QLatin1String("&gt;");
            break;
        case u'"':
            R += QLatin1String("&quot;");
            break;
        default:
            R += C;
        }
    }
    return R;
}

QString DecodeHTML(const QString& S)
{
    const qsizetype Amp = S.indexOf(u'&');
    if (Amp < 0)
        return S;
    QString R;
    R.reserve(S.size());
    R += QStringView(S).left(Amp);
    qsizetype I = Amp;
    while (I < S.size()) {
        const QChar C = S[I];
        if (C != u'&') {
            R += C;
            ++I;
            continue;
        }
        qsizetype End = I + 1;
        while (End < S.size() && End - I <= MaxReferenceLength && IsNameChar(S[End]))
            ++End;
        const QStringView Name = QStringView(S).mid(I + 1, End - I - 1);
        char32_t Code = 0;
        bool Known = false;
        if (End < S.size() && S[End] == u';' && !Name.isEmpty()) {
            if (Name[0] == u'#') {
                Known = NumericReference(Name, Code);
            } else {
                const auto& Names = NamedReferences();
                const auto It = Names.constFind(Name.toString());
                if (It != Names.constEnd()) {
                    Known = true;
                    Code = *It;
                }
            }
        }
        if (!Known) {
            R += C;
            ++I;
            continue;
        }
        const char32_t Units[1] = { Code };
        R += QString::fromUcs4(Units, 1);
        I = End + 1;
    }
    return R;
}

QString HTMLColor(quint32 Color)
{
    struct TNamed {
        quint32 Rgb;
        const char* Name;
    };
    static constexpr TNamed Named[] = { { 0x000000, "black" }, { 0x800000, "maroon" },
        { 0x008000, "green" }, { 0x808000, "olive" }, { 0x000080, "navy" }, { 0x800080, "purple" },
        { 0x008080, "teal" }, { 0x808080, "gray" }, { 0xC0C0C0, "silver" }, { 0xFF0000, "red" },
        { 0x00FF00, "lime" }, { 0xFFFF00, "yellow" }, { 0x0000FF, "blue" }, { 0xFF00FF, "fuchsia" },
        { 0x00FFFF, "aqua" }, { 0xFFFFFF, "white" }, { 0xC0DCC0, "moneygreen" },
        { 0x87CEEB, "skyblue" }, { 0xF0FBFF, "cream" }, { 0xA0A0A0, "medgray" } };
    const quint32 R = Color & 0xFF;
    const quint32 G = (Color >> 8) & 0xFF;
    const quint32 B = (Color >> 16) & 0xFF;
    const quint32 Rgb = (R << 16) | (G << 8) | B;
    for (const TNamed& N : Named)
        if (N.Rgb == Rgb)
            return QString::fromLatin1(N.Name);
    return QStringLiteral("#%1").arg(Rgb, 6, 16, QLatin1Char('0')).toUpper();
}
