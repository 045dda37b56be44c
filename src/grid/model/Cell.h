#pragma once

#include "grid/model/CellFormula.h"
#include "grid/model/Region.h"

#include <memory>

class THead;

// A single cell with content and number format.
class TCell : public TRegion {
public:
    explicit TCell(IGridHost* Grid = nullptr);
    ~TCell() override;

    THead* ColHead() const { return fColHead; }
    THead* RowHead() const { return fRowHead; }
    void SetHeads(THead* AColHead, THead* ARowHead);
    // Forgets a head that leaves its list.
    void ForgetHead(const THead* Head);
    // The position given by the heads; -1 for a missing head.
    TGridCell Coord() const;
    bool IsFormula() const { return fFunction != nullptr; }
    TCellFormula* Formula() const { return fFunction.get(); }
    void SetFormula(std::unique_ptr<TCellFormula> Value) { fFunction = std::move(Value); }
    bool Loaded() const { return fLoaded; }
    TCellFormat CellFormat() const { return fCellFormat; }
    void SetCellFormat(TCellFormat Value);
    quint8 Precision() const { return fPrecision; }
    // Values above 15 are ignored.
    void SetPrecision(quint8 Value);
    QString Content() const { return GetText(); }
    // Replaces the lines; the formula is parsed at the next calculation.
    void SetContent(const QString& Value);

    using TRegion::SetCoord;
    // Places the cell: names it, and inside the data area attaches its heads
    // and gives it its number, unless another cell has that number already.
    virtual void SetCoord(TGridCell Cell);
    void SetFirstCol(qint32 Value) override;
    void SetFirstRow(qint32 Value) override;
    virtual void ParseFormula() { fLoaded = false; }
    virtual void CalculateFormula() { }
    void Calculate() override;

    bool GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, QString& Value) override;
    bool SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, const QString& Value) override;

    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TCell"); }

private:
    friend class TCellList;

    // Row * ColCount + Col of the grid's data area.
    static TCellNumber NumberOf(IGridHost& Grid, TGridCell Cell);
    // The region and number a cell has before it joins its list.
    void StorePlace(const TGridRegion& Region, TCellNumber Number)
    {
        StoreCoord(Region);
        StoreCell(Number);
    }

    THead* fColHead = nullptr;
    THead* fRowHead = nullptr;
    std::unique_ptr<TCellFormula> fFunction;
    bool fLoaded = false;
    TCellFormat fCellFormat = cfmtDefault;
    quint8 fPrecision = 3;
};
