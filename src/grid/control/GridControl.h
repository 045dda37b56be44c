#pragma once

#include "grid/GridWindow.h"
#include "grid/model/GridEvents.h"
#include "grid/model/GridCell.h"
#include "grid/model/GridFont.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QMenu;
class QScrollBar;
class QTimer;
class TGridObject;
class TGridContextMenu;
class TPainterCanvas;
class TGridGrab;
class TInplaceEdit;

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

// The window a grid object lives in: it paints the grid through an
// off-screen image, keeps the scroll bars, the timer, the hint and the
// context menu, and hands input to the grid.
class TGridControl : public QWidget, public IGridWindow {
    Q_OBJECT
public:
    explicit TGridControl(QWidget* Parent = nullptr);
    ~TGridControl() override;

    TGridObject& Grid() { return *fGridObject; }
    const TGridObject& Grid() const { return *fGridObject; }
    // Copies the given grid's settings into the owned one.
    void SetGrid(const TGridObject& Value);

    bool WinScrolling() const { return fWinScrolling; }
    void SetWinScrolling(bool Value);
    TScrollStyle ScrollBars() const { return fScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    QScrollBar* HorzScrollBar() const { return fHorz; }
    QScrollBar* VertScrollBar() const { return fVert; }
    QWidget* GridGrab() const;
    // The user's menus merged into the built-in one: EditorPopupMenu while a
    // cell is edited, PopupMenu otherwise.
    QMenu* PopupMenu() const { return fPopupMenu; }
    void SetPopupMenu(QMenu* Value) { fPopupMenu = Value; }
    QMenu* EditorPopupMenu() const { return fEditorPopupMenu; }
    void SetEditorPopupMenu(QMenu* Value) { fEditorPopupMenu = Value; }
    TGridContextMenu& ContextMenu() { return *fContextMenu; }
    // Prepares the built-in menu as for opening, without showing it.
    QMenu* PrepareContextMenu();

    // A command performed as its keys: key down, then key up, on the grid.
    void KeyStroke(int Key, Qt::KeyboardModifiers Modifiers);
    // Key handling: the application's OnKeyDown decides first, then the
    // grid. Keys are Qt's; the answer is whether the key was consumed.
    virtual bool KeyDown(int Key, Qt::KeyboardModifiers Modifiers, quint32 NativeKey = 0);
    virtual void KeyUp(int Key, Qt::KeyboardModifiers Modifiers);
    // Typed text for the grid: one call per key or input-method commit.
    bool KeyPress(const QString& Text);
    // The separate editor, once the grid has asked for it.
    TInplaceEdit* InplaceEditor() const { return fEditor; }

    // A scroll-bar notification: Bar is 0 for horizontal, 1 for vertical.
    void ScrollEvent(int Bar, int ScrollCode, int ScrollPos);
    // The off-screen picture and its painting, apart from the copy to the
    // screen.
    const QImage& DrawBitmap() const { return fImage; }
    void PaintPending();
    QRegion PendingRegion() const { return fPending; }
    QString WideHint() const { return fWideHint; }
    int TimerInterval() const;
    void FireTimer();
    // A drop list keeps the selection shown while it is open; the value it
    // replaced comes back when the grid takes the focus again.
    void SaveHideSelectionForDropDown();

    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TGetCellInfo OnGetCellInfo;
    TDrawCellEvent OnAdvancedDrawCell;
    std::function<void()> OnTopLeftChanged;
    std::function<void()> OnSelectionChanged;
    std::function<bool(int Key, Qt::KeyboardModifiers)> OnKeyDown;
    TMovedEvent OnColumnsMoved;
    TMovedEvent OnRowsMoved;
    // The pointer shape the grid asked for last (a TGridPointer).
    int PointerShape() const { return fPointerShape; }

    // IGridWindow
    QRect ClientRect() const override;
    QRect ControlRect() const override { return rect(); }
    IGridCanvas* Canvas() override;
    const TGridFont& Font() const override { return fFont; }
    bool HasFocus() const override { return hasFocus(); }
    bool IsLoading() const override { return false; }
    bool IsDesigning() const override { return false; }
    bool HasScalingFlags() const override { return true; }
    void InvalidateRect(const QRect& Rect, bool EraseBackground) override;
    void Update() override;
    void UpdateScrollBars() override;
    bool ScrollArea(const QRect& Area, qint32 DX, qint32 DY) override;
    void SetTimerEvent(std::function<void()> Event, int Interval) override;
    void SetPointerShape(int Shape) override;
    void SetMouseCapture(bool On) override;
    void ColumnsMoved(qint32 AStartMoving, qint32 AEndMoving, qint32 ACount) override;
    void RowsMoved(qint32 AStartMoving, qint32 AEndMoving, qint32 ACount) override;
    // A popup list under the cell, for drop lists without a viewer.
    IDropListViewer* DefaultListViewer() override;
    void TopLeftChanged() override;
    void SelectionChanged(TRange& Range, TGridObjectCollectionItem* Item) override;
    bool GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, QString& Text) override;
    bool SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, const QString& Text) override;
    bool IsTabStop() const override { return focusPolicy() & Qt::TabFocus; }
    void ShowEditorWindow(const QRect& Rect, const QString& Text) override;
    QString EditorWindowText() const override;
    void HideEditorWindow() override;
    QVariant inputMethodQuery(Qt::InputMethodQuery Query) const override;
    bool GetCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, TDrawCellInfo& CellInfo) override;
    bool AdvancedDrawCell(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
        THead* ARowHead, QRect ATextRect, TDrawCellInfo& CellInfo, IGridCanvas& Canvas) override;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void keyReleaseEvent(QKeyEvent* Event) override;
    void inputMethodEvent(QInputMethodEvent* Event) override;
    bool event(QEvent* Event) override;

private:
    void UpdateScrollBarControls();
    void LayoutScrollBars();
    void ConnectBar(QScrollBar* Bar, int Kind);
    void FontFromWidget();
    void ResizeBitmap();

    std::unique_ptr<TGridObject> fGridObject;
    TGridFont fFont;
    bool fWinScrolling = true;
    TScrollStyle fScrollBars = ssBoth;
    QScrollBar* fHorz = nullptr;
    QScrollBar* fVert = nullptr;
    TGridGrab* fGrab = nullptr;
    bool fUpdatingBars = false;
    QTimer* fTimer;
    std::function<void()> fTimerEvent;
    QMenu* fPopupMenu = nullptr;
    QMenu* fEditorPopupMenu = nullptr;
    TGridContextMenu* fContextMenu;
    QImage fImage;
    QRegion fPending;
    QImage fMeasureImage;
    std::unique_ptr<TPainterCanvas> fMeasureCanvas;
    QString fWideHint;
    TGridCell fHintCell { -1, -1 };
    std::optional<bool> fHideSelectionBeforeDropDown;
    int fPointerShape = 0;
    bool fGrabbed = false;
    int fWheelRest = 0;
    TInplaceEdit* fEditor = nullptr;
};
