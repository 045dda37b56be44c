// Names of rows, columns, cells and regions, and their relative row/column
// form.
#include "grid/GridObject.h"
#include "grid/model/GridTrace.h"

#include <algorithm>

QString TGridObject::GetRowName(qint32 ARow) const
{
    return QString::number(qint64(ARow) - FixedRows() + fStartRow);
}

QString TGridObject::GetColName(qint32 ACol) const
{
    qint64 N = qint64(ACol) - FixedCols();
    if (N < 0)
        return QString();
    QString Result;
    qint64 Q = 0;
    do {
        Result.prepend(QChar(char16_t(u'A' + N % 26)));
        Q = N / 26;
        N = Q - 1;
    } while (Q >= 1);
    return Result;
}

QString TGridObject::GetCellName(qint32 ACol, qint32 ARow) const
{
    return QStringLiteral("%1%2").arg(GetColName(ACol), GetRowName(ARow));
}

QString TGridObject::GetRegionName(const TGridRegion& Coord) const
{
    const QString First = GetCellName(Coord.FirstCol, Coord.FirstRow);
    if (Coord.FirstCol == Coord.LastCol && Coord.FirstRow == Coord.LastRow)
        return First;
    return QStringLiteral("%1:%2").arg(First, GetCellName(Coord.LastCol, Coord.LastRow));
}

bool TGridObject::GetColIndexByName(const QString& AName, qint32& Index) const
{
    if (AName.isEmpty())
        return false;
    qint64 Value = 0;
    for (QChar C : AName) {
        const char16_t U = C.toUpper().unicode();
        if (U < u'A' || U > u'Z' || C.unicode() > 0x7F)
            return false;
        Value = Value * 26 + (U - u'A' + 1);
        // Far beyond any column count; stops the number from overflowing.
        if (Value > INT32_MAX)
            return false;
    }
    Value = Value - 1 + FixedCols();
    if (Value > INT32_MAX)
        return false;
    Index = qint32(Value);
    return true;
}

namespace {

bool IsLatinLetter(QChar C)
{
    return (C >= u'A' && C <= u'Z') || (C >= u'a' && C <= u'z');
}

bool IsDigit(QChar C) { return C >= u'0' && C <= u'9'; }

struct TCorner {
    qint32 Col = 0;
    qint32 Row = 0;
    bool AbsCol = false;
    bool AbsRow = false;
    bool HasRow = false;
};

}

bool TGridObject::GetRegionCoordByName(
    const QString& AName, TGridCell ACurrent, QString& RCName, TGridRegion& Coord) const
{
    qsizetype P = 0;
    const qsizetype N = AName.size();
    auto SkipSpaces = [&] {
        while (P < N && AName[P] == u' ')
            ++P;
    };
    auto ParseCorner = [&](TCorner& C) {
        if (P < N && AName[P] == u'$') {
            C.AbsCol = true;
            ++P;
        }
        const qsizetype Start = P;
        while (P < N && IsLatinLetter(AName[P]))
            ++P;
        if (!GetColIndexByName(AName.mid(Start, P - Start), C.Col) || C.Col < FixedCols()
            || C.Col > fArea.LastCol)
            return false;
        const qsizetype Mark = P;
        if (P < N && AName[P] == u'$') {
            C.AbsRow = true;
            ++P;
        }
        const qsizetype DigitStart = P;
        while (P < N && IsDigit(AName[P]))
            ++P;
        if (P == DigitStart) {
            if (C.AbsRow) {
                // A "$" that no row follows belongs to nothing.
                return false;
            }
            P = Mark;
            return true;
        }
        bool Ok = false;
        const qint64 Number = AName.mid(DigitStart, P - DigitStart).toLongLong(&Ok);
        const qint64 Row = Number - fStartRow + FixedRows();
        if (!Ok || Row < FixedRows() || Row > fArea.LastRow)
            return false;
        C.Row = qint32(Row);
        C.HasRow = true;
        return true;
    };

    TCorner First;
    TCorner Second;
    bool HasSecond = false;
    if (!ParseCorner(First))
        return false;
    SkipSpaces();
    if (P < N) {
        if (AName[P] != u':')
            return false;
        ++P;
        SkipSpaces();
        if (!ParseCorner(Second) || Second.HasRow != First.HasRow)
            return false;
        SkipSpaces();
        if (P < N)
            return false;
        HasSecond = true;
    }

    auto Region = [&](const TCorner& C) {
        return C.HasRow ? TGridRegion::Cell(C.Col, C.Row)
                        : TGridRegion { C.Col, FixedRows(), C.Col, fArea.LastRow };
    };
    TGridRegion R = Region(First);
    if (HasSecond) {
        const TGridRegion S = Region(Second);
        R.LastCol = S.LastCol;
        R.LastRow = S.LastRow;
    }

    auto Part = [](QChar Letter, bool Abs, qint32 Value, qint32 Current, qint32 Fixed) {
        if (Abs)
            return QStringLiteral("%1%2").arg(Letter).arg(qint64(Value) - Fixed + 1);
        if (Value == Current)
            return QString(Letter);
        return QStringLiteral("%1[%2]").arg(Letter).arg(qint64(Value) - Current);
    };
    auto RC = [&](const TCorner& C) {
        QString S;
        if (C.HasRow)
            S += Part(u'R', C.AbsRow, C.Row, ACurrent.Row, FixedRows());
        return S + Part(u'C', C.AbsCol, C.Col, ACurrent.Col, FixedCols());
    };
    RCName = RC(First);
    if (HasSecond)
        RCName += u':' + RC(Second);
    if (!RCName.isEmpty()) {
        QString Back;
        RelativeToName(RCName, ACurrent, Back);
        GridTrace(QStringLiteral("\tRange conversion:   %1   =   %2   =   %3")
                      .arg(AName, RCName, Back),
            tlState);
    }
    R = R.Normalized();
    R.FirstCol = std::clamp(R.FirstCol, FixedCols(), fArea.LastCol);
    R.LastCol = std::clamp(R.LastCol, FixedCols(), fArea.LastCol);
    R.FirstRow = std::clamp(R.FirstRow, FixedRows(), fArea.LastRow);
    R.LastRow = std::clamp(R.LastRow, FixedRows(), fArea.LastRow);
    Coord = R;
    return true;
}

bool TGridObject::RelativeToName(const QString& RCName, TGridCell ACurrent, QString& Name) const
{
    qsizetype P = 0;
    const qsizetype N = RCName.size();
    // One part: Letter, then digits (absolute), "[" offset "]" or nothing.
    auto ParsePart = [&](QChar Letter, qint32 Current, qint32 Fixed, qint64& Index, bool& Abs) {
        if (P >= N || RCName[P] != Letter)
            return false;
        ++P;
        Abs = false;
        Index = Current;
        if (P < N && IsDigit(RCName[P])) {
            const qsizetype Start = P;
            while (P < N && IsDigit(RCName[P]))
                ++P;
            Index = RCName.mid(Start, P - Start).toLongLong() - 1 + Fixed;
            Abs = true;
        } else if (P < N && RCName[P] == u'[') {
            const qsizetype Close = RCName.indexOf(u']', P);
            if (Close < 0)
                return false;
            bool Ok = false;
            const qint64 Offset = RCName.mid(P + 1, Close - P - 1).toLongLong(&Ok);
            if (!Ok)
                return false;
            Index = Current + Offset;
            P = Close + 1;
        }
        return Index >= 0 && Index <= INT32_MAX;
    };
    auto Corner = [&](QString& Out) {
        qint64 Row = 0;
        qint64 Col = 0;
        bool AbsRow = false;
        bool AbsCol = false;
        const bool HasRow = P < N && RCName[P] == u'R';
        if (HasRow && !ParsePart(u'R', ACurrent.Row, FixedRows(), Row, AbsRow))
            return false;
        if (!ParsePart(u'C', ACurrent.Col, FixedCols(), Col, AbsCol))
            return false;
        Out = (AbsCol ? QStringLiteral("$") : QString()) + GetColName(qint32(Col));
        if (HasRow)
            Out += (AbsRow ? QStringLiteral("$") : QString()) + GetRowName(qint32(Row));
        return true;
    };
    QString First;
    if (!Corner(First))
        return false;
    Name = First;
    if (P < N) {
        if (RCName[P] != u':')
            return false;
        ++P;
        QString Second;
        if (!Corner(Second) || P < N)
            return false;
        Name += u':' + Second;
    }
    return true;
}
