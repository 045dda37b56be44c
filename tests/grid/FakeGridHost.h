#pragma once

#include "grid/model/CellList.h"
#include "grid/model/DrawCellInfo.h"
#include "grid/model/EffectiveFormat.h"
#include "grid/model/GridFont.h"
#include "grid/model/GridHost.h"
#include "grid/model/HeadList.h"

#include <vector>

// A grid host of the smallest kind: an area, head and cell lists, the change
// counters and a log of what was invalidated.
class TFakeGridHost : public IGridHost {
public:
    explicit TFakeGridHost(TGridRegion Area = { 1, 1, 9, 9 })
        : fArea(Area)
    {
    }
    ~TFakeGridHost() override
    {
        Cells.Clear();
        Rows.Clear();
        Cols.Clear();
    }

    TGridRegion GridArea() const override { return fArea; }
    bool HasControl() const override { return Control; }
    bool IsLoading() const override { return Loading; }
    bool IsDesigning() const override { return false; }
    const TGridFont* ControlFont() const override { return Control ? &Font : nullptr; }
    TColor EditCellColor() const override { return EditColor; }
    bool Highlight() const override { return HighlightOn; }
    TEditStates EditState() const override { return Edit; }
    bool IsCopyDragging() const override { return CopyDragging; }
    bool EnableCalculation() const override { return Calculation; }
    void SetEnableCalculation(bool Value) override { Calculation = Value; }
    qint32 NextOrder(int K) override { return ++Orders[size_t(K)]; }
    void RaiseOrder(int K, qint32 Value) override
    {
        Orders[size_t(K)] = std::max(Orders[size_t(K)], Value);
    }
    THeadList* ColHeads() override { return &Cols; }
    THeadList* RowHeads() override { return &Rows; }
    TCellList* CellList() override { return &Cells; }
    bool GetCellFormat(qint32 ACol, qint32 ARow, TDrawCellInfo& Info) override
    {
        TFormatDefaults D;
        D.FixedCols = fArea.FirstCol;
        D.FixedRows = fArea.FirstRow;
        D.EditCellColor = EditColor;
        D.ControlFont = ControlFont();
        MergeCellFormat(D, ACol, ARow, {}, Cols.FindHead(ACol), Rows.FindHead(ARow),
            Cells.FindCell(ACol, ARow), Info);
        return true;
    }
    QString GetRegionName(const TGridRegion& R) const override
    {
        return QStringLiteral("%1.%2").arg(R.FirstCol).arg(R.FirstRow);
    }
    void CollectionChanged(TGridObjectCollection&, TGridObjectCollectionItem*) override
    {
        ++Changes;
    }
    void RegionDestroying(TRegion&) override { }
    void HeadDestroying(THead& Head) override
    {
        for (int I = 0; I < Cells.Count(); ++I)
            Cells.Items(I)->ForgetHead(&Head);
    }
    void InvalidateRegion(const TGridRegion& R) override { Invalidated.push_back(R); }
    void LayoutChanged() override { ++Layouts; }

    bool Control = true;
    bool Loading = false;
    bool HighlightOn = false;
    bool CopyDragging = false;
    bool Calculation = true;
    TEditStates Edit;
    TColor EditColor = 0x00EEEEEE;
    TGridFont Font;
    std::array<qint32, 4> Orders {};
    int Changes = 0;
    int Layouts = 0;
    std::vector<TGridRegion> Invalidated;
    TGridRegion fArea;
    // Declared last so that they go first: their items call back the host.
    THeadList Cols { this };
    THeadList Rows { this };
    TCellList Cells { this };
};
