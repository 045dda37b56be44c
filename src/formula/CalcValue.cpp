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
    return fArray ? *fArray : None;
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

QString FloatText(double D)
{
    if (std::isnan(D))
        return QString();
    if (std::isinf(D))
        return D > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (D == std::trunc(D) && std::fabs(D) < 1e15)
        return QString::number(qint64(D));
    QString S = QString::number(D, 'g', 15);
    const qsizetype E = S.indexOf(u'e');
    if (E >= 0) {
        // "1e+20" and "1.5e-07" read "1E20" and "1.5E-7".
        QString Exponent = S.mid(E + 1);
        const bool Negative = Exponent.startsWith(u'-');
        Exponent.remove(0, 1);
        while (Exponent.size() > 1 && Exponent.startsWith(u'0'))
            Exponent.remove(0, 1);
        S = S.left(E) + u'E' + (Negative ? QStringLiteral("-") : QString()) + Exponent;
    }
    const QChar Decimal = FormulaSeparators().Decimal;
    if (Decimal != u'.')
        S.replace(u'.', Decimal);
    return S;
}

void TCalcValue::AppendValueText(QString& To) const
{
    QString Piece;
    switch (fKind) {
    case vkArray:
        for (const TCalcValue& Item : AsArray())
            Item.AppendValueText(To);
        return;
    case vkBoolean:
        Piece = fInt ? QStringLiteral("True") : QStringLiteral("False");
        break;
    case vkInt8:
    case vkInt32:
    case vkInt64:
        Piece = QString::number(fInt);
        break;
    case vkFloat:
        Piece = FloatText(fFloat);
        break;
    case vkCurrency:
        Piece = QStringLiteral("0");
        break;
    case vkText:
        // Appended as a view so that a text borrowed from a formula is copied
        // and never shared past the formula's life.
        if (!To.isEmpty())
            To.append(u';');
        To.append(QStringView(fText));
        return;
    default:
        return;
    }
    if (fKind == vkFloat && Piece.isEmpty())
        return;
    if (!To.isEmpty())
        To.append(u';');
    To.append(Piece);
}

QString TCalcValue::ValueText() const
{
    QString S;
    AppendValueText(S);
    return S;
}
