#pragma once

#include "grid/model/GridEvents.h"

#include <QRect>

#include <functional>

class TGridFont;
class IGridCanvas;
class TRange;
class TGridObjectCollectionItem;
class IDropListViewer;

// What a grid object asks of the window that owns it. The window control
// implements it; without one the grid still answers every geometric query,
// with an empty client rectangle.
class IGridWindow {
public:
    virtual ~IGridWindow() = default;

    // The rectangle the grid lays out in.
    virtual QRect ClientRect() const = 0;
    // The control's full extent, scroll bars included.
    virtual QRect ControlRect() const = 0;
    // None when the window cannot draw now.
    virtual IGridCanvas* Canvas() = 0;
    virtual const TGridFont& Font() const = 0;
    virtual bool HasFocus() const = 0;
    virtual bool IsLoading() const = 0;
    virtual bool IsDesigning() const = 0;
    virtual bool HasScalingFlags() const = 0;

    virtual void InvalidateRect(const QRect& Rect, bool EraseBackground) = 0;
    // Repaints what is pending, now.
    virtual void Update() = 0;
    virtual void UpdateScrollBars() = 0;
    // Moves the painted pixels of Area by (DX, DY) and marks what is
    // uncovered for painting; false when the window cannot, and then the
    // grid repaints the whole area.
    virtual bool ScrollArea(const QRect& Area, qint32 DX, qint32 DY)
    {
        (void)Area;
        (void)DX;
        (void)DY;
        return false;
    }
    // Runs Event every Interval milliseconds; an empty event stops the timer.
    virtual void SetTimerEvent(std::function<void()> Event, int Interval) = 0;

    // The pointer shape over the grid (a TGridPointer).
    virtual void SetPointerShape(int Shape) { (void)Shape; }
    // Keeps the pointer's input while a drag runs outside the window.
    virtual void SetMouseCapture(bool On) { (void)On; }
    // Whole columns or rows were dragged to a new place.
    virtual void ColumnsMoved(qint32 AStartMoving, qint32 AEndMoving, qint32 ACount)
    {
        (void)AStartMoving;
        (void)AEndMoving;
        (void)ACount;
    }
    virtual void RowsMoved(qint32 AStartMoving, qint32 AEndMoving, qint32 ACount)
    {
        (void)AStartMoving;
        (void)AEndMoving;
        (void)ACount;
    }
    // The list viewer shown for a drop list the application gives none; the
    // window owns it. None when the window has no such viewer.
    virtual IDropListViewer* DefaultListViewer() { return nullptr; }

    virtual void TopLeftChanged() = 0;
    virtual void SelectionChanged(TRange& Range, TGridObjectCollectionItem* Item) = 0;

    // Whether the window lets Tab move the focus on when the grid is done
    // with it.
    virtual bool IsTabStop() const { return false; }
    // The control is the one the user works in; only then may an editor open.
    virtual bool IsActiveControl() const { return true; }
    // The separate editor window of a grid that does not draw its own
    // editor: placed over Rect with Text, read back, and hidden.
    virtual void ShowEditorWindow(const QRect& Rect, const QString& Text)
    {
        (void)Rect;
        (void)Text;
    }
    virtual QString EditorWindowText() const { return QString(); }
    virtual void HideEditorWindow() { }

    // The user's handlers; each returns whether it handled the request.
    virtual bool GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, QString& Text)
        = 0;
    virtual bool SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, const QString& Text)
        = 0;
    virtual bool GetCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, TDrawCellInfo& CellInfo)
        = 0;
    // The control's own drawing over a cell's filled body.
    virtual bool AdvancedDrawCell(qint32, qint32, TCellStates, THead*, THead*, QRect,
        TDrawCellInfo&, IGridCanvas&)
    {
        return false;
    }
};
