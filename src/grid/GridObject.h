#pragma once

#include "grid/GridShiftState.h"
#include "grid/CellEditor.h"
#include "grid/GridKeys.h"
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
class TUndoEdit;
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
    bool EditorLock() const { return fEditorLock; }
    void SetEditorLock(bool Value) { fEditorLock = Value; }
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
    // The same with the heads and the cell at hand; a state holding
    // csReadOnly refuses too.
    bool CanEdit(qint32 ACol, qint32 ARow, TCellStates AState, const THead* ColHead,
        const THead* RowHead, const TCell* Cell) const;

    // Editing (GridObjectEdit.cpp). The text chain: the control's handler,
    // the column head's, the row head's, the cell's; true for a non-empty
    // text.
    bool GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* ColHead,
        THead* RowHead, TCell* Cell, QString& Value);
    // The write chain in the same order, after CanEdit; the cell object is
    // made when nobody else took the text. Handlers may throw to refuse a
    // value: nothing is then changed here.
    bool SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* ColHead,
        THead* RowHead, TCell* Cell, const QString& Value);
    bool CanShowEditor();
    void SetEditorMode(bool Value);
    // Opens the editor on the current cell with the cell's text for editing.
    virtual void ShowEditor();
    // Closes the editor, writing its text when it changed. When the write
    // is refused by an exception the editor stays open with what was typed
    // and the exception goes on to the caller.
    void HideEditor();
    // Closes the editor without writing.
    void CancelEditor();
    bool IsInternalEditorOpen() const { return fEditorMode && fInternalEditor; }
    // The editor's rectangle in client coordinates; empty when closed.
    QRect EditorRect() const;
    // Puts the built-in editor's caret at a client point; Extend keeps the
    // selection's other end. The exit keys then stay in the editor.
    void SetCaretAtPoint(qint32 X, qint32 Y, bool Extend);
    void SelectAllEditorText();
    const TCellEditor& Editor() const;
    // Replaces the editor's text and selection, as an undo puts them back.
    void SetEditorState(const QString& Text, TCharPos Caret, TCharPos Start);
    // The caret's box in client coordinates, text origin included; empty
    // when the built-in editor is closed.
    QRect CaretRect() const;
    QPoint TextOrigin() const { return fTextOrigin; }
    // The editor was opened by typing, so the exit keys leave the cell.
    bool StartEditor() const { return fStartEditor; }
    // Inserts at the caret of the open built-in editor (typing, input
    // methods, pasting).
    void InsertText(const QString& Text);
    void CopyToClipboard();
    void PasteFromClipboard(bool PasteValues);
    // Clears the cells of the selection that may be written, as one
    // undoable step; false when nothing was cleared.
    bool ClearSelection();

    // Keys (GridObjectKeys.cpp). KeyDown answers whether the key was
    // consumed; a consumed key types nothing.
    bool KeyDown(int& Key, TShiftState Shift);
    bool KeyPress(QChar& Key);
    bool KeyUp(int Key, TShiftState Shift);
    // Tab left the last cell: the window may move the focus on.
    bool TabStop() const { return fTabStop; }
    void SetTabStop(bool Value) { fTabStop = Value; }

    // Writes a cell's text through the write chain, taking an undo record
    // when the stored text changes.
    virtual void SetCellValue(qint32 ACol, qint32 ARow, const QString& Text);
    TUndoList* UndoList() const { return fUndoList.get(); }
    // The undo list lets a record go: the editor's session forgets it.
    void UndoRecordLeaving(const class TGridObjectUndo* Item);
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

    // Pointer input, in client coordinates (GridObjectMouse.cpp).
    virtual void MouseDown(qint32 X, qint32 Y, TShiftState Shift);
    virtual void MouseMove(TShiftState Shift, qint32 X, qint32 Y);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, qint32 X, qint32 Y);
    // True when the wheel scrolled; 120 is one notch.
    virtual bool MouseWheel(TShiftState Shift, qint32 WheelDelta, QPoint MousePos);
    virtual void MouseLeave();
    // The pointer shape (a TGridPointer) for a position over the cell
    // (ACol, ARow).
    virtual int GetCurrentCursor(TShiftState Shift, qint32 X, qint32 Y, qint32 ACol, qint32 ARow);
    void UpdateCursor() { UpdateCursorAt(fCursorPos.x(), fCursorPos.y()); }
    void UpdateCursorAt(qint32 X, qint32 Y);
    // Whether the point lies on a border that sizes or pulls out a row or
    // column.
    bool SpecialState(qint32 X, qint32 Y) const;
    // Whether a move of whole columns (rows) can start or go on at the cell.
    virtual bool CheckColumnDrag(qint32 X, qint32 Y, qint32 ACol, qint32 ARow) const;
    virtual bool CheckRowDrag(qint32 X, qint32 Y, qint32 ACol, qint32 ARow) const;
    // Approvals of a move, for descendants; every move is approved here.
    virtual bool BeginColumnDrag(qint32& Origin, qint32& Destination, QPoint MousePt);
    virtual bool EndColumnDrag(qint32& Origin, qint32& Destination, QPoint MousePt);
    virtual bool BeginRowDrag(qint32& Origin, qint32& Destination, QPoint MousePt);
    virtual bool EndRowDrag(qint32& Origin, qint32& Destination, QPoint MousePt);
    // Starts or stops the window's repeating timer, whose ticks call
    // TimerTick.
    virtual void SetTimer(bool On, int Interval);
    virtual void TimerTick();
    bool TimerRunning() const { return fTimerRunning; }
    bool ButtonCapture() const { return fButtonCapture; }
    bool ButtonDown() const { return fButtonDown; }
    bool ButtonPressed() const { return fButtonPressed; }
    TGridRegion CopySource() const { return fCopySource; }
    TGridRegion CopyIntersectRegion() const { return fCopyIntersectRegion; }
    qint32 SizingIndex() const { return fSizingIndex; }
    qint32 EndMoving() const { return fEndMoving; }

    // Moves the cells of Source, with their look, to Dest of the same size;
    // undoable unless an undo is being replayed (GridObjectMoveRegion.cpp).
    void MoveRegion(const TGridRegion& Source, const TGridRegion& Dest);
    // Repeats the texts of Source over the rest of Dest, which contains it,
    // as one undoable step.
    void FillRegion(const TGridRegion& Source, const TGridRegion& Dest);
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
    // Closes the editor on behalf of a move elsewhere, writing its text.
    virtual void CloseEditor();

private:
    // Editing helpers (GridObjectEdit.cpp).
    struct TEditorLayout;
    void SyncEditor() const;
    TEditorLayout LayoutEditor() const;
    bool BuildEditorInfo(TDrawCellInfo& Info) const;
    void EditorChanged(const QRect& OldRect);
    void ScrollCaretIntoView();
    void RememberCaretColumn();
    TCharPos PixelToChar(const TEditorLayout& L, QPoint P) const;
    QPoint CharToPixel(const TEditorLayout& L, TCharPos Pos) const;
    void MoveCaret(TCharPos Pos, bool Extend, bool Horizontal);
    void MoveCaretVertically(int Direction, bool Extend);
    bool EditSessionLive() const;
    void BeginEditStep();
    void EndEditor(bool Write);
    bool EditorKeyDown(int& Key, TShiftState Shift);
    bool Navigate(int Key, TShiftState Shift);
    // The scroll position nearest to First that shows Target whole.
    TGridCell ScrollToShow(TGridCell First, TGridCell Target) const;
    bool CommandKeyDown(int& Key, TShiftState Shift);
    bool DropListTakesKey(TGridCell Cell);
    // Opens the drop list of a cell; the drop-list code fills it in.
    void OpenDropList(TGridCell Cell);
    void DrawEditor(IGridCanvas& Canvas);

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
    void DrawButtonImage(IGridCanvas& Canvas, const TCustomDropList& L, const QRect& Box);
    void DrawSpeedButton(
        IGridCanvas& Canvas, TDrawCellInfo& Info, const QRect& Button, bool Pressed);
    void DrawSelectionFrame(IGridCanvas& Canvas);
    // The sizing line or the moving mark over the painted cells.
    void DrawDragFeedback(IGridCanvas& Canvas);

    // Pointer input (GridObjectMouse.cpp, GridObjectSizing.cpp).
    struct TSizingHit {
        TGridState State = gsNormal;
        qint32 Index = -1;
        qint32 Pos = 0;
        qint32 Ofs = 0;
    };
    TSizingHit HitTestSizing(qint32 X, qint32 Y) const;
    TSizingHit HitTestBorders(qint32 X, qint32 Y, bool IsCol) const;
    TCopyState HitTestCopy(qint32 X, qint32 Y) const;
    bool ButtonHit(TGridCell Cell, qint32 X, qint32 Y);
    void UpdateActiveCell(qint32 X, qint32 Y);
    void PressSelect(TGridCell ACurrent, const TGridRegion& Region, TGridCell AAnchor, bool Add);
    void StartSizing(const TSizingHit& Hit, bool Focusing);
    void MoveSizing(qint32 X, qint32 Y);
    void EndSizing();
    void CollapseStep(qint32 NewPos, qint32 X, qint32 Y);
    qint32 BodyStart(qint32 Index, bool IsCol) const;
    qint32 GetSizingSize() const;
    void SetSizingHead(qint32 Index, bool IsCol);
    void InvalidateSizingLine();
    QRect MovingMarkRect() const;
    void InvalidateMovingMark();
    // Scrolls the view when the pointer is beyond the window's edge or over
    // the headers with heads scrolled out; answers the data cell the drag
    // has reached.
    TGridCell AutoScroll(bool Rows, bool Cols);
    void TickSelecting(TGridCell Target);
    void TickCopy(TGridCell Target);
    void TickMoving(TGridCell Target);
    void EndCopy();
    void DropMovedBlock();
    // Writes a cell's text through the handler chain without an undo record.
    void WriteCellText(qint32 ACol, qint32 ARow, const QString& Text);
    // Gives the cell the look and text of a record taken elsewhere; without
    // HadObject the cell is left without a cell object of its own.
    void PlaceCellRecord(qint32 ACol, qint32 ARow, const TDrawCellInfo& Info, bool HadObject);
    friend class TUndoDragRegion;
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
    bool fEditorLock = false;
    TWideText fWideStrings;
    mutable TCellEditor fEditor;
    // What fWideStrings held when the editor last took it; a text set there
    // directly is taken over before the next editing step.
    mutable QString fEditorShadow;
    // The text the editor opened with: closing writes only a changed text.
    QString fLoadedText;
    bool fCanWrite = false;
    bool fStartEditor = false;
    bool fCellValueChanged = false;
    bool fClosingEditor = false;
    QPoint fTextOrigin;
    qint32 fSavedCaretX = 0;
    // The undo record of the open editor's session, while it is the newest.
    TUndoEdit* fSessionUndo = nullptr;
    TShiftState fKeyboardState;
    bool fKeyDown = false;
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
    QPoint fCursorPos;
    qint32 fSizingIndex = -1;
    qint32 fSizingPos = 0;
    qint32 fSizingOfs = 0;
    THead* fSizingHead = nullptr;
    qint32 fStartMoving = -1;
    qint32 fEndMoving = -1;
    bool fButtonPressed = false;
    bool fButtonDown = false;
    bool fButtonCapture = false;
    bool fDoubleClick = false;
    bool fRequestInvalidateTransparent = false;
    bool fTimerRunning = false;
    // Copy drag: whether the first tick took the source, where the press
    // was, and whether the pointer has left the dead zone around it.
    bool fStartCopy = false;
    QPoint fCopyPress;
    bool fCopyLeftDeadZone = false;
    TGridRegion fCopySource { -1, -1, -1, -1 };
    TGridRegion fCopyIntersectRegion { -1, -1, -1, -1 };
    TGridCell fCopyHook { -1, -1 };
    TGridCell fStartCopyHook { -1, -1 };
    TGridCell fPressCell { -1, -1 };
    TGridCell fCopyCurrent { -1, -1 };
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
