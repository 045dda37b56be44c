#pragma once

#include "grid/model/CellList.h"
#include "grid/model/DrawCellInfo.h"
#include "grid/model/GridHost.h"
#include "grid/model/HeadList.h"
#include "grid/model/Selection.h"
#include "text/WideText.h"

#include <QPoint>
#include <QRect>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class IGridWindow;
class IGridCanvas;
class TUndoList;
class TCustomDropList;

struct TScrollState {
    qint32 Min = 0;
    qint32 Max = 0;
    qint32 Pos = 0;
    qint32 PageSize = 0;
    bool Visible = false;
};

struct TScrollData {
    TScrollState Horz;
    TScrollState Vert;
};

enum TGridState {
    gsNormal,
    gsSelecting,
    gsRowSelecting,
    gsColSelecting,
    gsRowSizing,
    gsColSizing,
    gsRowExtraction,
    gsColExtraction,
    gsRowMoving,
    gsColMoving,
    gsFocusing,
    gsTextSelecting
};

enum TGridCellExitKey {
    gcekUp,
    gcekDown,
    gcekLeft,
    gcekRight,
    gcekPageUp,
    gcekPageDown,
    gcekHome,
    gcekEnd
};
using TGridCellExitKeys = TEnumSet<TGridCellExitKey, quint8>;

enum TCopyState { csNone, csCopyStretch, csCopyDrag };

// Scroll-bar notifications, as the window reports them.
enum TScrollCode {
    scLineUp,
    scLineDown,
    scPageUp,
    scPageDown,
    scPosition,
    scTrack,
    scTop,
    scBottom,
    scEndScroll
};

// The grid engine proper: dimensions, fixed rows and columns, sizes, the
// scroll position, the current cell, the anchor and the selection, flags and
// colours, and the heads and cells. It knows no window: it asks its window
// (IGridWindow) for the client rectangle, canvas, font and handlers.
class TGridObject : public TPersistent, public IGridHost {
public:
    explicit TGridObject(IGridWindow* AGridControl = nullptr);
    ~TGridObject() override;
    TGridObject(const TGridObject&) = delete;
    TGridObject& operator=(const TGridObject&) = delete;

    // Copies colours, dimensions, sizes, flags, heads and change counters;
    // cells, the scroll position and the editing switches stay.
    void Assign(const TPersistent& Source) override;
    QString ClassName() const override { return QStringLiteral("TGridObject"); }

    IGridWindow* GridControl() const { return fGridControl; }
    TGridState GridState() const { return fGridState; }
    void SetGridState(TGridState Value) { fGridState = Value; }

    qint32 FixedCols() const { return fArea.FirstCol; }
    void SetFixedCols(qint32 Value);
    qint32 FixedRows() const { return fArea.FirstRow; }
    void SetFixedRows(qint32 Value);
    qint32 ColCount() const { return fArea.LastCol + 1; }
    void SetColCount(qint32 Value);
    qint32 RowCount() const { return fArea.LastRow + 1; }
    void SetRowCount(qint32 Value);
    qint32 DefaultColWidth() const { return fCellSize.x(); }
    void SetDefaultColWidth(qint32 Value);
    qint32 DefaultRowHeight() const { return fCellSize.y(); }
    void SetDefaultRowHeight(qint32 Value);
    qint32 SpaceWidth() const { return fSpaceSize.x(); }
    void SetSpaceWidth(qint32 Value);
    qint32 SpaceHeight() const { return fSpaceSize.y(); }
    void SetSpaceHeight(qint32 Value);
    QPoint DefaultCellSize() const { return fCellSize; }
    QPoint SpaceSize() const { return fSpaceSize; }
    const TGridRegion& Area() const { return fArea; }

    bool Ctl3D() const { return fCtl3D; }
    void SetCtl3D(bool Value) { SetFlag(fCtl3D, Value); }
    bool HideSelection() const { return fHideSelection; }
    void SetHideSelection(bool Value) { SetFlag(fHideSelection, Value); }
    bool SelectionFrame() const { return fSelectionFrame; }
    void SetSelectionFrame(bool Value) { SetFlag(fSelectionFrame, Value); }
    bool Highlight() const override { return fHighlight; }
    void SetHighlight(bool Value) { SetFlag(fHighlight, Value); }
    bool AutoCollapse() const { return fAutoCollapse; }
    void SetAutoCollapse(bool Value) { fAutoCollapse = Value; }
    bool RowSizing() const { return fRowSizing; }
    void SetRowSizing(bool Value) { fRowSizing = Value; }
    bool ColSizing() const { return fColSizing; }
    void SetColSizing(bool Value) { fColSizing = Value; }
    bool RowMoving() const { return fRowMoving; }
    void SetRowMoving(bool Value) { fRowMoving = Value; }
    bool ColMoving() const { return fColMoving; }
    void SetColMoving(bool Value) { fColMoving = Value; }
    bool AutoNumCols() const { return fAutoNumCols; }
    void SetAutoNumCols(bool Value) { SetFlag(fAutoNumCols, Value); }
    bool AutoNumRows() const { return fAutoNumRows; }
    void SetAutoNumRows(bool Value);
    qint32 AutoRowStart() const { return fStartRow; }
    void SetAutoRowStart(qint32 Value);
    bool RowSelect() const { return fRowSelect; }
    void SetRowSelect(bool Value);
    bool xlCursors() const { return fExcelCursors; }
    void SetxlCursors(bool Value) { fExcelCursors = Value; }
    bool InternalEditor() const { return fInternalEditor; }
    void SetInternalEditor(bool Value) { fInternalEditor = Value; }
    bool ReadOnly() const { return fReadOnly; }
    void SetReadOnly(bool Value) { fReadOnly = Value; }
    bool AutoHint() const { return fAutoHint; }
    void SetAutoHint(bool Value) { fAutoHint = Value; }
    bool EnableCalculation() const override { return fEnableCalculation; }
    void SetEnableCalculation(bool Value) override { fEnableCalculation = Value; }
    TGridCellExitKeys CellExitKeys() const { return fCellExitKeys; }
    void SetCellExitKeys(TGridCellExitKeys Value) { fCellExitKeys = Value; }
    bool UseTheme() const { return fUseTheme; }
    void SetUseTheme(bool Value) { SetFlag(fUseTheme, Value); }
    bool UndoEnabled() const { return fUndoEnabled; }
    void SetUndoEnabled(bool Value);

    // The seven colours, in the order clFixedCell, clFixedSpace, clEditCell,
    // clEditSpace, clFixedHighlight, clEditHighlight, clEditor.
    enum TGridColorIndex {
        gcFixedCell,
        gcFixedSpace,
        gcEditCell,
        gcEditSpace,
        gcFixedHighlight,
        gcEditHighlight,
        gcEditor
    };
    TColor GridColor(TGridColorIndex Index) const { return fColors[size_t(Index)]; }
    void SetGridColor(TGridColorIndex Index, TColor Value);
    TColor clFixedCell() const { return GridColor(gcFixedCell); }
    TColor clEditCell() const { return GridColor(gcEditCell); }
    TColor clEditor() const { return GridColor(gcEditor); }
    TColor clFixedSpace() const { return GridColor(gcFixedSpace); }
    TColor clEditSpace() const { return GridColor(gcEditSpace); }
    TColor clFixedHighlight() const { return GridColor(gcFixedHighlight); }
    TColor clEditHighlight() const { return GridColor(gcEditHighlight); }

    THeadList& Cols() { return *fColHeads; }
    const THeadList& Cols() const { return *fColHeads; }
    THeadList& Rows() { return *fRowHeads; }
    const THeadList& Rows() const { return *fRowHeads; }
    TCellList& Cells() { return *fCells; }
    const TCellList& Cells() const { return *fCells; }
    TSelection& Selection() { return *fSelection; }
    const TSelection& Selection() const { return *fSelection; }
    const std::array<qint32, 4>& OrderHistory() const { return fOrderHistory; }

    TGridCell First() const { return fFirst; }
    qint32 LeftCol() const { return fFirst.Col; }
    void SetLeftCol(qint32 Value);
    qint32 TopRow() const { return fFirst.Row; }
    void SetTopRow(qint32 Value);
    TGridCell Current() const { return fCurrent; }
    qint32 Col() const { return fCurrent.Col; }
    void SetCol(qint32 Value);
    qint32 Row() const { return fCurrent.Row; }
    void SetRow(qint32 Value);
    TGridCell Anchor() const { return fAnchor; }
    TGridCell ActiveCell() const { return fActiveCell; }
    TGridCell EditCell() const { return fEditCell; }
    bool EditorMode() const { return fEditorMode; }
    TEditStates EditState() const override { return fEditState; }
    void SetEditState(TEditStates Value) { fEditState = Value; }
    TCopyState CopyState() const { return fCopyState; }
    void SetCopyState(TCopyState Value) { fCopyState = Value; }
    void* Data() const { return fData; }
    void SetData(void* Value) { fData = Value; }
    TGridRegion WorkArea() const { return fWorkArea; }
    void SetWorkArea(const TGridRegion& Value) { fWorkArea = Value; }
    TWideText& EditorText() { return fWideStrings; }

    bool IsFixed(qint32 ACol, qint32 ARow) const
    {
        return ACol < FixedCols() || ARow < FixedRows();
    }
    bool IsFixed(TGridCell C) const { return IsFixed(C.Col, C.Row); }
    bool IsFocused(qint32 ACol, qint32 ARow) const;
    bool IsFocused(TGridCell C) const { return IsFocused(C.Col, C.Row); }
    bool IsSelected(qint32 ACol, qint32 ARow) const;
    bool IsSelected(TGridCell C) const { return IsSelected(C.Col, C.Row); }

    // Geometry: columns and rows in display order, in pixels.
    virtual bool GetColVisible(qint32 ACol) const;
    virtual bool GetRowVisible(qint32 ARow) const;
    virtual qint32 GetColWidth(qint32 ACol) const;
    virtual qint32 GetRowHeight(qint32 ARow) const;
    virtual qint32 GetFixedWidth() const;
    virtual qint32 GetFixedHeight() const;
    virtual qint32 NextCol(qint32 ACol) const;
    virtual qint32 NextRow(qint32 ARow) const;
    virtual QRect GetClientRect() const;
    // The cell under a client point: -1 left of or above the grid, ColCount
    // (RowCount) right of (below) the last column (row).
    virtual TGridCell MouseToCell(qint32 X, qint32 Y) const;
    // The pixel rectangle a region takes on screen, right and bottom edges
    // exclusive; empty extents are -1.
    virtual QRect RegionToRect(const TGridRegion& Region) const;
    // The last visible column and row in Rect and how many scrollable ones
    // are shown there, a cut-off one included.
    virtual TGridCell GetLastVisible(const QRect& Rect, TGridCell* ShownCount = nullptr) const;
    TGridCell GetLastVisible(TGridCell* ShownCount = nullptr) const
    {
        return GetLastVisible(GetClientRect(), ShownCount);
    }
    virtual qint32 StepVisible(qint32 From, qint32 N, qint32 Limit, bool IsCol) const;
    qint32 StepVisibleCol(qint32 From, qint32 N) const
    {
        return StepVisible(From, N, N > 0 ? ColCount() : FixedCols() - 1, true);
    }
    qint32 StepVisibleRow(qint32 From, qint32 N) const
    {
        return StepVisible(From, N, N > 0 ? RowCount() : FixedRows() - 1, false);
    }
    qint32 IntegralColWidth() const;
    qint32 IntegralRowHeight() const;

    // The current cell, the anchor and the selection change together.
    virtual void FocusCell(qint32 ACol, qint32 ARow, bool CanRedraw, bool Collapse);
    virtual void ExtendSelection(qint32 ACol, qint32 ARow);
    virtual void SelectAll();
    virtual void SetFirst(qint32 ACol, qint32 ARow);
    virtual void MakeVisible(qint32 ACol, qint32 ARow);
    virtual void TopLeftChanged(bool TopChanged);

    bool GetScrollData(TScrollData& ScrollData) const;
    void ScrollEvent(int ScrollBar, int ScrollCode, qint32& ScrollPos);
    // A mouse press ends a scroll-bar drag without applying its position.
    void CancelScrollTracking();
    bool IsScrollTracking() const { return fStartTrack; }

    // Names of rows, columns, cells and regions.
    virtual QString GetRowName(qint32 ARow) const;
    virtual QString GetColName(qint32 ACol) const;
    virtual QString GetAutoRowName(qint32 ARow) const { return GetRowName(ARow); }
    virtual QString GetAutoColName(qint32 ACol) const { return GetColName(ACol); }
    QString GetCellName(qint32 ACol, qint32 ARow) const;
    QString GetRegionName(const TGridRegion& Coord) const override;
    bool GetColIndexByName(const QString& AName, qint32& Index) const;
    bool GetRegionCoordByName(
        const QString& AName, TGridCell ACurrent, QString& RCName, TGridRegion& Coord) const;
    // Turns a relative row/column reference back into letters and digits,
    // relative to ACurrent; false for a malformed reference.
    bool RelativeToName(const QString& RCName, TGridCell ACurrent, QString& Name) const;

    void InvalidateCell(qint32 ACol, qint32 ARow);
    void InvalidateCell(TGridCell C) { InvalidateCell(C.Col, C.Row); }
    void InvalidateCol(qint32 ACol);
    void InvalidateRow(qint32 ARow);
    void InvalidateRegion(const TGridRegion& Region) override;
    virtual void InvalidateRect(const QRect& ARect);
    virtual void InvalidateGrid();
    virtual void UpdateScrollBars();
    // The dirty rectangle collected since the last paint.
    QRect DrawRect() const { return fDrawRect; }
    void ClearDrawRect() { fDrawRect = QRect(); }

    // The cell's text from the handler chain, with automatic numbering of
    // the header cells.
    QString GetCellText(qint32 ACol, qint32 ARow, TCellStates AState);
    // The cell's drawing record: effective format, text (FullText before,
    // WideStrings after the value formatting), the handler chain. False, with
    // an empty record, for a position outside the grid.
    bool GetCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, TDrawCellInfo& Info);
    // Whether the cell may be written: the grid and the cell's heads and
    // object are not read-only.
    virtual bool CanEdit(qint32 ACol, qint32 ARow) const;
    // Opens the drawn editor on the current cell with the cell's text.
    virtual void ShowEditor();
    void HideEditor() { CloseEditor(); }
    // Writes a cell's text through the write chain, taking an undo record.
    virtual void SetCellValue(qint32 ACol, qint32 ARow, const QString& Text);
    TUndoList* UndoList() const { return fUndoList.get(); }
    // Writes a block of texts from (ACol, ARow) on as one undoable paste;
    // cells outside the data area or not writable are left out, and a paste
    // that wrote nothing leaves no record.
    void PasteTexts(qint32 ACol, qint32 ARow, const std::vector<std::vector<QString>>& Rows);

    // Painting (GridObjectPaint.cpp). PaintGrid paints the cells meeting
    // ARect (the canvas's clip box when empty) in window coordinates.
    void PaintGrid(IGridCanvas& Canvas, const QRect& ARect = QRect());
    // Paints onto another canvas inside AClientRect as if AFirstCell were the
    // first scrollable cell; ALastCell is the first cell not drawn whole,
    // where the next page starts.
    void Draw(IGridCanvas& Canvas, const QRect& AClientRect, TGridCell AFirstCell,
        TGridCell& ALastCell);
    virtual bool Print(IGridCanvas&, const QRect&, TGridCell) { return false; }
    QRect GetTextRect(qint32 ACol, qint32 ARow, const TTextMargin* AMargin = nullptr) const;
    QRect GetButtonRect(const TDrawCellInfo& Info, const QRect& TextRect) const;
    // The selection is drawn: there is a window and it has the focus or the
    // grid shows its selection anyway.
    bool SelectionVisible() const;
    TGridCell DrawEnd() const { return fDrawEnd; }
    // The text a hint shows for a cell: its full text when it does not fit;
    // empty outside the data area, for cells being edited and texts that fit.
    QString HintText(IGridCanvas& Canvas, qint32 ACol, qint32 ARow);
    // The cell under the pointer whose button shows; (-1, -1) for none.
    TGridCell HotCell() const { return fHotCell; }
    void SetHotCell(TGridCell Value);
    // Whether a navigation key is held, which hides the buttons of cells
    // that are not always shown.
    void SetNavigationKeyDown(bool Value) { fNavigationKeyDown = Value; }
    // Sizing and moving feedback: the border line or drop mark at Pos.
    void DrawSizingLine(IGridCanvas& Canvas, qint32 Pos, bool Vertical);
    void DrawMovingMark(IGridCanvas& Canvas, qint32 Pos, bool Vertical);
    TCellStates CellState(qint32 ACol, qint32 ARow) const;
    bool AdjustWidth(qint32 ACol);
    bool AdjustHeight(qint32 ARow);
    void ChangeScale(qint32 M, qint32 D);

    // Drop lists (GridObjectDropDown.cpp). DropDown opens the cell's list,
    // or closes the one that is open; PressPoint, in client coordinates, is
    // where a mouse press on the cell's button began, when it did.
    virtual void DropDown(TGridCell ACell, const QPoint* PressPoint = nullptr);
    virtual void CloseUp();
    bool DropListOpen() const { return fDroppingDown; }
    TGridCell OpenCell() const { return fOpenCell; }
    TCustomDropList* DropList() const { return fDropList; }
    // Puts a drop list's choice into the cell: into the open editor when it
    // edits that cell, otherwise through the write chain; undoable either way.
    void WriteDropListValue(qint32 ACol, qint32 ARow, const QString& Value);
    // The list is going away: the grid no longer refers to it.
    void ForgetDropList(TCustomDropList* List);

    // Verifies the grid's invariants and those of its lists.
    bool CheckConsistency(QString* Fault = nullptr) const;

    // IGridHost
    TGridRegion GridArea() const override { return fArea; }
    bool HasControl() const override { return fGridControl != nullptr; }
    bool IsLoading() const override;
    // Stored values are being put back: attribute stamps are taken as read,
    // not made.
    void SetLoading(bool Value) { fLoading = Value; }
    bool IsDesigning() const override;
    const TGridFont* ControlFont() const override;
    TColor EditCellColor() const override { return clEditCell(); }
    bool IsCopyDragging() const override { return fCopyState == csCopyDrag; }
    qint32 NextOrder(int K) override;
    void RaiseOrder(int K, qint32 Value) override;
    THeadList* ColHeads() override { return fColHeads.get(); }
    THeadList* RowHeads() override { return fRowHeads.get(); }
    TCellList* CellList() override { return fCells.get(); }
    bool GetCellFormat(qint32 ACol, qint32 ARow, TDrawCellInfo& Info) override;
    void CollectionChanged(TGridObjectCollection& Collection, TGridObjectCollectionItem* Item) override;
    void RegionDestroying(TRegion& Region) override;
    void HeadDestroying(THead& Head) override;
    void LayoutChanged() override;

protected:
    virtual bool AdvancedDrawCell(qint32 ACol, qint32 ARow, TCellStates AState, const QRect& ATextRect,
        TDrawCellInfo& Info, IGridCanvas& Canvas);
    // Factories, so that a descendant can use its own head classes.
    virtual std::unique_ptr<THeadList> CreateColHeads();
    virtual std::unique_ptr<THeadList> CreateRowHeads();
    virtual void ScrollView(qint32 DX, qint32 DY);
    virtual void ResetOrigin();
    // Closes the editor; cell editing writes its text.
    virtual void CloseEditor();

private:
    // GetCellText with the position's heads and cell already looked up.
    QString CellText(qint32 ACol, qint32 ARow, TCellStates AState, THead* ColHead,
        THead* RowHead, TCell* Cell);
    void SetFlag(bool& Field, bool Value);
    void GeometryChanged();
    void SelectionChanged(TRange& Range, TGridObjectCollectionItem* Item);
    qint32 NearestVisible(qint32 From, int Direction, bool IsCol) const;
    qint32 Distance(qint32 From, qint32 To, bool IsCol) const;
    void ApplyScrollCode(bool IsCol, int ScrollCode, qint32 ScrollPos);
    void StopTimer();
    void FormatValue(TDrawCellInfo& Info) const;
    bool BuildCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, THead* ColHead,
        THead* RowHead, TCell* Cell, TDrawCellInfo& Info);
    // A painted column or row: its index, the position of its leading gap,
    // its body size and its head.
    struct TDrawStrip {
        qint32 Index;
        qint32 Pos;
        qint32 Size;
        THead* Head;
    };
    void DrawSpaces(IGridCanvas& Canvas, const TDrawStrip& C, const TDrawStrip& R, bool Fixed);
    void DrawCellFace(IGridCanvas& Canvas, TDrawCellInfo& Info, const QRect& Body,
        TCellStates AState);
    void DrawCellText(IGridCanvas& Canvas, TDrawCellInfo& Info, const QRect& TextRect);
    void DrawCellButton(IGridCanvas& Canvas, TDrawCellInfo& Info, const QRect& ButtonRect);
    void DrawSelectionFrame(IGridCanvas& Canvas);
    void SelectEditorTextForDropList();

    IGridWindow* fGridControl;
    bool fLoading = false;
    TGridCell fFirst { 1, 1 };
    TGridCell fCurrent { 1, 1 };
    TGridRegion fArea { 1, 1, 4, 4 };
    QPoint fCellSize { 100, 20 };
    QPoint fSpaceSize { 3, 5 };
    bool fCtl3D = true;
    bool fHideSelection = false;
    bool fSelectionFrame = false;
    bool fHighlight = false;
    bool fExcelCursors = false;
    TGridCell fAnchor { 1, 1 };
    TGridState fGridState = gsNormal;
    bool fAutoCollapse = true;
    bool fRowSizing = true;
    bool fColSizing = true;
    bool fRowMoving = true;
    bool fColMoving = true;
    bool fAutoNumCols = true;
    bool fAutoNumRows = true;
    qint32 fStartRow = 1;
    std::array<qint32, 4> fOrderHistory {};
    bool fEditorMode = false;
    bool fInternalEditor = true;
    bool fReadOnly = false;
    TWideText fWideStrings;
    std::array<TColor, 7> fColors;
    QRect fDrawRect;
    TGridCell fNewFirst;
    bool fStartTrack = false;
    TGridCell fActiveCell { -1, -1 };
    TGridCell fOpenCell { -1, -1 };
    bool fRowSelect = false;
    bool fTabStop = false;
    bool fAutoHint = false;
    bool fEnableCalculation = true;
    TGridCell fEditCell { -1, -1 };
    bool fFormulaState = false;
    TEditStates fEditState;
    TGridCellExitKeys fCellExitKeys { gcekUp, gcekDown, gcekPageUp, gcekPageDown };
    TCopyState fCopyState = csNone;
    void* fData = nullptr;
    TGridRegion fWorkArea {};
    bool fUseTheme = false;
    bool fUndoEnabled = true;
    TGridCell fDrawEnd { -1, -1 };
    TColor fBlack = 0;
    TGridCell fHotCell { -1, -1 };
    bool fNavigationKeyDown = false;
    // Set while Draw paints on another canvas: the geometry then lays out
    // in that rectangle instead of the window's.
    std::optional<QRect> fClientOverride;
    TDrawCellInfo fDrawInfo;
    class TUndoPaste* fPasteUndo = nullptr;
    std::vector<TDrawStrip> fDrawCols;
    TCustomDropList* fDropList = nullptr;
    bool fDroppingDown = false;
    bool fSavedHideSelection = false;
    // Owned lists last: their items call back into the fields above while
    // they are destroyed.
    std::unique_ptr<THeadList> fColHeads;
    std::unique_ptr<THeadList> fRowHeads;
    std::unique_ptr<TCellList> fCells;
    std::unique_ptr<TSelection> fSelection;
    std::unique_ptr<TRange> fReferences;
    std::unique_ptr<TUndoList> fUndoList;
};
