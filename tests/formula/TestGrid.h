#pragma once

#include "FormulaTestEnvironment.h"
#include "formula/InterfaceGridObject.h"

#include <QString>

#include <vector>

// A grid for formulas: one fixed row and column, cells held in a hash, names
// in letters-and-digits form ("A1" is column 1, row 1).
class TTestGrid : public IInterfaceGridObject {
public:
    explicit TTestGrid(qint32 ACols = 27, qint32 ARows = 1000)
        : fCols(ACols)
        , fRows(ARows)
        , fCells(size_t(ACols) * size_t(ARows))
    {
    }

    void Set(qint32 ACol, qint32 ARow, const QString& Text) { fCells[Slot(ACol, ARow)] = Text; }

    bool GetColIndexByName(const QString& AName, qint32& Index) const override
    {
        return ColIndex(AName, Index);
    }

    bool ColIndex(QStringView AName, qint32& Index) const
    {
        if (AName.isEmpty())
            return false;
        qint64 N = 0;
        for (QChar C : AName) {
            const char16_t U = C.toUpper().unicode();
            if (U < u'A' || U > u'Z' || N > fCols)
                return false;
            N = N * 26 + (U - u'A' + 1);
        }
        Index = qint32(N - 1) + FixedCols;
        return true;
    }

    bool GetRegionCoordByName(const QString& AName, TGridCell ACurrent, QString& RCName,
        TGridRegion& Coord) const override
    {
        qsizetype P = 0;
        TGridCell First, Second;
        if (!Corner(AName, P, First))
            return false;
        Second = First;
        if (P < AName.size()) {
            while (P < AName.size() && AName[P] == u' ')
                ++P;
            if (P >= AName.size() || AName[P] != u':')
                return false;
            ++P;
            while (P < AName.size() && AName[P] == u' ')
                ++P;
            if (!Corner(AName, P, Second) || P != AName.size())
                return false;
        }
        char16_t Text[64];
        qsizetype N = 0;
        auto Part = [&](char16_t L, qint32 V, qint32 C) {
            Text[N++] = L;
            if (V != C) {
                Text[N++] = u'[';
                N = AppendNumber(Text, N, V - C);
                Text[N++] = u']';
            }
        };
        Part(u'R', First.Row, ACurrent.Row);
        Part(u'C', First.Col, ACurrent.Col);
        if (!(Second == First)) {
            Text[N++] = u':';
            Part(u'R', Second.Row, ACurrent.Row);
            Part(u'C', Second.Col, ACurrent.Col);
        }
        RCName.resize(0);
        RCName.append(reinterpret_cast<const QChar*>(Text), N);
        Coord = TGridRegion::Of(First, Second).Normalized();
        return true;
    }

    QString GetCellName(qint32 ACol, qint32 ARow) const override
    {
        return GetColName(ACol) + GetRowName(ARow);
    }
    QString GetRowName(qint32 ARow) const override { return QString::number(ARow); }
    QString GetColName(qint32 ACol) const override
    {
        QString S;
        qint32 N = ACol - 1;
        qint32 Q = 0;
        do {
            S.prepend(QChar(u'A' + N % 26));
            Q = N / 26;
            N = Q - 1;
        } while (Q >= 1);
        return S;
    }
    QString GetRegionName(const TGridRegion& C) const override
    {
        return C.First() == C.Last()
            ? GetCellName(C.FirstCol, C.FirstRow)
            : GetCellName(C.FirstCol, C.FirstRow) + u':' + GetCellName(C.LastCol, C.LastRow);
    }
    QString GetCellValue(qint32 ACol, qint32 ARow) override
    {
        ++Reads;
        return ACol >= 0 && ACol < fCols && ARow >= 0 && ARow < fRows ? fCells[Slot(ACol, ARow)]
                                                                      : QString();
    }
    void SetCellValue(qint32 ACol, qint32 ARow, const QString& AText) override
    {
        Set(ACol, ARow, AText);
    }

    static constexpr qint32 FixedCols = 1;
    qint64 Reads = 0;

private:
    size_t Slot(qint32 ACol, qint32 ARow) const
    {
        return size_t(ARow) * size_t(fCols) + size_t(ACol);
    }

    static qsizetype AppendNumber(char16_t* Text, qsizetype N, qint32 Value)
    {
        qint64 V = Value;
        if (V < 0) {
            Text[N++] = u'-';
            V = -V;
        }
        char16_t Digits[12];
        int Count = 0;
        do {
            Digits[Count++] = char16_t(u'0' + V % 10);
            V /= 10;
        } while (V > 0);
        while (Count > 0)
            Text[N++] = Digits[--Count];
        return N;
    }

    bool Corner(const QString& S, qsizetype& P, TGridCell& C) const
    {
        const qsizetype Start = P;
        while (P < S.size() && ((S[P] >= u'A' && S[P] <= u'Z') || (S[P] >= u'a' && S[P] <= u'z')))
            ++P;
        if (!ColIndex(QStringView(S).sliced(Start, P - Start), C.Col) || C.Col >= fCols)
            return false;
        const qsizetype Digits = P;
        qint64 Row = 0;
        while (P < S.size() && S[P] >= u'0' && S[P] <= u'9' && Row < fRows)
            Row = Row * 10 + (S[P++].unicode() - u'0');
        if (P == Digits || Row < 1 || Row >= fRows)
            return false;
        C.Row = qint32(Row);
        return true;
    }

    qint32 fCols;
    qint32 fRows;
    std::vector<QString> fCells;
};
