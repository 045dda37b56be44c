#include "formula/CalcValue.h"

#include "formula/FormulaSeparators.h"

#include <charconv>
#include <cmath>
#include <limits>

TCalcValue TCalcValue::Boolean(bool B)
{
    TCalcValue V(vkBoolean);
    V.fInt = B ? 1 : 0;
    return V;
}

TCalcValue TCalcValue::Int8(qint8 I)
{
    TCalcValue V(vkInt8);
    V.fInt = I;
    return V;
}

TCalcValue TCalcValue::Int32(qint32 I)
{
    TCalcValue V(vkInt32);
    V.fInt = I;
    return V;
}

TCalcValue TCalcValue::Integer(qint64 I)
{
    TCalcValue V(I >= std::numeric_limits<qint32>::min() && I <= std::numeric_limits<qint32>::max()
            ? vkInt32
            : vkInt64);
    V.fInt = I;
    return V;
}

TCalcValue TCalcValue::Float(double D)
{
    TCalcValue V(vkFloat);
    V.fFloat = D;
    return V;
}

TCalcValue TCalcValue::Text(QString S)
{
    TCalcValue V(vkText);
    V.fText = std::move(S);
    return V;
}

TCalcValue TCalcValue::Error(qint32 Code)
{
    TCalcValue V(vkError);
    V.fInt = Code;
    return V;
}

TCalcValue TCalcValue::Array(TCalcArray Items)
{
    // Arrays are kept flat, which the value text would do anyway: a chain of
    // "@" then never builds a nesting that reading or freeing must recurse
    // through, and a single array item is shared rather than copied.
    if (Items.size() == 1 && Items.front().fKind == vkArray)
        return Items.front();
    bool Nested = false;
    for (const TCalcValue& Item : Items)
        Nested = Nested || Item.fKind == vkArray;
    if (Nested) {
        TCalcArray Flat;
        for (TCalcValue& Item : Items) {
            if (Item.fKind == vkArray)
                Flat.insert(Flat.end(), Item.AsArray().begin(), Item.AsArray().end());
            else
                Flat.push_back(std::move(Item));
        }
        Items = std::move(Flat);
    }
    TCalcValue V(vkArray);
    V.fArray = std::make_shared<const TCalcArray>(std::move(Items));
    return V;
}

const TCalcArray& TCalcValue::AsArray() const
{
    static const TCalcArray None;
    return fKind == vkArray && fArray ? *fArray : None;
}

const QString& TCalcValue::AsText() const
{
    static const QString None;
    return fKind == vkText ? fText : None;
}

namespace {

bool IsSpace(QChar C) { return C == u' ' || C == u'\t' || C == u'\n' || C == u'\r'; }

QStringView Trimmed(QStringView S)
{
    qsizetype B = 0;
    qsizetype E = S.size();
    while (B < E && IsSpace(S[B]))
        ++B;
    while (E > B && IsSpace(S[E - 1]))
        --E;
    return S.sliced(B, E - B);
}

bool IsDigit(QChar C) { return C >= u'0' && C <= u'9'; }

}

bool ParseInteger32(QStringView S, qint32& Value)
{
    S = Trimmed(S);
    qsizetype P = 0;
    bool Negative = false;
    if (P < S.size() && (S[P] == u'+' || S[P] == u'-'))
        Negative = S[P++] == u'-';
    if (P == S.size())
        return false;
    qint64 N = 0;
    for (; P < S.size(); ++P) {
        if (!IsDigit(S[P]))
            return false;
        N = N * 10 + (S[P].unicode() - u'0');
        if (N > qint64(std::numeric_limits<qint32>::max()) + 1)
            return false;
    }
    N = Negative ? -N : N;
    if (N > std::numeric_limits<qint32>::max())
        return false;
    Value = qint32(N);
    return true;
}

bool ParseFloat(QStringView S, double& Value)
{
    S = Trimmed(S);
    // Only the plain decimal form is a number here: no "INF", "NaN" or hex,
    // which a general conversion routine would also accept.
    char Buffer[128];
    if (S.isEmpty() || S.size() >= qsizetype(sizeof Buffer))
        return false;
    const QChar Decimal = FormulaSeparators().Decimal;
    qsizetype P = 0;
    int N = 0;
    auto Put = [&](char C) { Buffer[N++] = C; };
    if (S[P] == u'+' || S[P] == u'-') {
        if (S[P] == u'-')
            Put('-');
        ++P;
    }
    int Digits = 0;
    for (; P < S.size() && IsDigit(S[P]); ++P, ++Digits)
        Put(char(S[P].unicode()));
    if (P < S.size() && S[P] == Decimal) {
        Put('.');
        for (++P; P < S.size() && IsDigit(S[P]); ++P, ++Digits)
            Put(char(S[P].unicode()));
    }
    if (Digits == 0)
        return false;
    if (P < S.size() && (S[P] == u'e' || S[P] == u'E')) {
        Put('e');
        ++P;
        if (P < S.size() && (S[P] == u'+' || S[P] == u'-'))
            Put(char(S[P++].unicode()));
        int ExpDigits = 0;
        for (; P < S.size() && IsDigit(S[P]); ++P, ++ExpDigits)
            Put(char(S[P].unicode()));
        if (ExpDigits == 0)
            return false;
    }
    if (P != S.size())
        return false;
    double D = 0;
    const auto [End, Ec] = std::from_chars(Buffer, Buffer + N, D);
    if (Ec != std::errc() || End != Buffer + N)
        return false;
    Value = D;
    return true;
}

TCalcValue TCalcValue::Natural() const
{
    switch (fKind) {
    case vkBoolean:
    case vkInt8:
    case vkInt32:
    case vkInt64:
    case vkFloat:
        return *this;
    case vkText: {
        qint32 I = 0;
        if (ParseInteger32(fText, I))
            return Int32(I);
        double D = 0;
        if (ParseFloat(fText, D))
            return Float(D);
        const QStringView T = Trimmed(fText);
        if (T.compare(u"true", Qt::CaseInsensitive) == 0)
            return Boolean(true);
        if (T.compare(u"false", Qt::CaseInsensitive) == 0)
            return Boolean(false);
        return *this;
    }
    default:
        return TCalcValue();
    }
}

namespace {

// Value texts are written into a buffer first and appended once: a formula's
// value is then one allocation, not one per piece.
constexpr qsizetype PieceCapacity = 40;

qsizetype IntegerChars(qint64 I, char16_t* Text)
{
    char Buffer[24];
    const auto [End, Ec] = std::to_chars(Buffer, Buffer + sizeof Buffer, I);
    qsizetype N = 0;
    for (const char* P = Buffer; P < End; ++P)
        Text[N++] = char16_t(*P);
    return N;
}

qsizetype FloatChars(double D, char16_t* Text)
{
    if (std::isnan(D))
        return 0;
    if (std::isinf(D)) {
        qsizetype N = 0;
        if (D < 0)
            Text[N++] = u'-';
        for (char16_t C : u"INF")
            if (C)
                Text[N++] = C;
        return N;
    }
    if (D == std::trunc(D) && std::fabs(D) < 1e15)
        return IntegerChars(qint64(D), Text);
    char Buffer[PieceCapacity];
    const auto [End, Ec]
        = std::to_chars(Buffer, Buffer + sizeof Buffer, D, std::chars_format::general, 15);
    if (Ec != std::errc())
        return 0;
    const char16_t Decimal = FormulaSeparators().Decimal.unicode();
    qsizetype N = 0;
    for (const char* P = Buffer; P < End; ++P) {
        if (*P == '.') {
            Text[N++] = Decimal;
        } else if (*P == 'e') {
            // "1e+20" and "1.5e-07" read "1E20" and "1.5E-7".
            Text[N++] = u'E';
            ++P;
            if (*P == '-')
                Text[N++] = u'-';
            ++P;
            while (P < End - 1 && *P == '0')
                ++P;
            for (; P < End; ++P)
                Text[N++] = char16_t(*P);
            break;
        } else {
            Text[N++] = char16_t(*P);
        }
    }
    return N;
}

void AppendPiece(QString& To, const char16_t* Text, qsizetype N)
{
    if (!To.isEmpty())
        To.append(u';');
    To.append(reinterpret_cast<const QChar*>(Text), N);
}

}

QString FloatText(double D)
{
    char16_t Text[PieceCapacity];
    const qsizetype N = FloatChars(D, Text);
    return N ? QString(reinterpret_cast<const QChar*>(Text), N) : QString();
}

void TCalcValue::AppendValueText(QString& To) const
{
    char16_t Text[PieceCapacity];
    switch (fKind) {
    case vkArray:
        for (const TCalcValue& Item : AsArray())
            Item.AppendValueText(To);
        return;
    case vkBoolean:
        AppendPiece(To, fInt ? u"True" : u"False", fInt ? 4 : 5);
        return;
    case vkInt8:
    case vkInt32:
    case vkInt64:
        AppendPiece(To, Text, IntegerChars(fInt, Text));
        return;
    case vkFloat: {
        const qsizetype N = FloatChars(fFloat, Text);
        if (N > 0)
            AppendPiece(To, Text, N);
        return;
    }
    case vkCurrency:
        AppendPiece(To, u"0", 1);
        return;
    case vkText:
        // Appended as characters, so that a text borrowed from a formula is
        // copied and never shared past the formula's life.
        AppendPiece(To, reinterpret_cast<const char16_t*>(fText.constData()), fText.size());
        return;
    default:
        return;
    }
}

QString TCalcValue::ValueText() const
{
    QString S;
    AppendValueText(S);
    return S;
}
