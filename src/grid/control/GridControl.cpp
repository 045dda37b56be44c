#include "grid/control/GridControl.h"

#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "grid/control/DropListWindow.h"
#include "grid/control/GridContextMenu.h"
#include "grid/control/GridCursors.h"
#include "grid/control/GridGrab.h"
#include "grid/control/GridKeyMap.h"
#include "grid/control/InplaceEdit.h"
#include "grid/control/PainterCanvas.h"
#include "grid/control/ScrollThrottle.h"
#include "platform/misc/QtClipboard.h"
#include "text/MyClipboard.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <cstring>

namespace {

bool Wants(TScrollStyle S, bool Horizontal)
{
    return S == ssBoth || S == (Horizontal ? ssHorizontal : ssVertical);
}

// Moves the pixels of Area in an RGB32 image by (DX, DY); what moves out of
// Area is lost and what is uncovered keeps its old pixels until repainted.
void ScrollImage(QImage& Image, const QRect& Area, int DX, int DY)
{
    const QRect Src = Area.translated(-DX, -DY).intersected(Area).intersected(Image.rect());
    const QRect Dest = Src.translated(DX, DY);
    if (Src.isEmpty() || !Image.rect().contains(Dest))
        return;
    const qsizetype Line = Image.bytesPerLine();
    uchar* Bits = Image.bits();
    const size_t Bytes = size_t(Src.width()) * 4;
    auto Move = [&](int Y) {
        std::memmove(Bits + (Y + DY) * Line + Dest.left() * 4, Bits + Y * Line + Src.left() * 4, Bytes);
    };
    if (DY > 0)
        for (int Y = Src.bottom(); Y >= Src.top(); --Y)
            Move(Y);
    else
        for (int Y = Src.top(); Y <= Src.bottom(); ++Y)
            Move(Y);
}

TShiftState ShiftOf(Qt::KeyboardModifiers M, Qt::MouseButtons B)
{
    TShiftState S;
    if (M & Qt::ShiftModifier)
        S.Include(ssShift);
    if (M & Qt::AltModifier)
        S.Include(ssAlt);
    if (M & Qt::ControlModifier)
        S.Include(ssCtrl);
    if (B & Qt::LeftButton)
        S.Include(ssLeft);
    if (B & Qt::RightButton)
        S.Include(ssRight);
    if (B & Qt::MiddleButton)
        S.Include(ssMiddle);
    return S;
}

QCursor CursorOf(int Shape)
{
    switch (Shape) {
    case gpHandPoint: return QCursor(Qt::PointingHandCursor);
    case gpDrag: return QCursor(Qt::DragMoveCursor);
    case gpMultiDrag: return QCursor(Qt::DragCopyCursor);
    case gpIBeam: return QCursor(Qt::IBeamCursor);
    case gpHorzSplit: return QCursor(Qt::SplitHCursor);
    case gpVertSplit: return QCursor(Qt::SplitVCursor);
    default: break;
    }
    return Shape >= gpExcelCross ? GridCursor(Shape) : QCursor(Qt::ArrowCursor);
}

}

TGridControl::TGridControl(QWidget* Parent)
    : QWidget(Parent)
    , fTimer(new QTimer(this))
    , fContextMenu(new TGridContextMenu(
          this, [this](int Key, Qt::KeyboardModifiers M) { KeyStroke(Key, M); }))
    , fMeasureImage(1, 1, QImage::Format_RGB32)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::ClickFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_InputMethodEnabled);
    fMeasureCanvas = std::make_unique<TPainterCanvas>(&fMeasureImage, palette());
    // A program that did not give the clipboard service its platform still
    // gets the desktop's clipboard in its grids.
    if (!TMyClipboard::Instance().HasPlatform()) {
        static TQtClipboard Desktop;
        TMyClipboard::Instance().SetPlatform(&Desktop);
    }
    FontFromWidget();
    connect(fTimer, &QTimer::timeout, this, [this] {
        if (fTimerEvent)
            fTimerEvent();
    });
    fGridObject = std::make_unique<TGridObject>(this);
    UpdateScrollBarControls();
}

TGridControl::~TGridControl()
{
    fContextMenu->RemoveMerged();
    fTimer->stop();
    fGridObject.reset();
}

void TGridControl::SetGrid(const TGridObject& Value) { fGridObject->Assign(Value); }

QWidget* TGridControl::GridGrab() const { return fGrab; }

void TGridControl::FontFromWidget()
{
    const QFont F = font();
    fFont.SetName(F.family());
    const int Pixels = F.pixelSize() > 0 ? F.pixelSize() : qRound(F.pointSizeF() * 96 / 72);
    fFont.SetHeight(-std::max(1, Pixels));
    TFontStyles S;
    if (F.bold())
        S.Include(fsBold);
    if (F.italic())
        S.Include(fsItalic);
    fFont.SetStyle(S);
}

void TGridControl::changeEvent(QEvent* Event)
{
    if (Event->type() == QEvent::FontChange)
        FontFromWidget();
    if (Event->type() == QEvent::PaletteChange) {
        fMeasureCanvas.reset();
        fMeasureCanvas = std::make_unique<TPainterCanvas>(&fMeasureImage, palette());
    }
    if (fGridObject
        && (Event->type() == QEvent::FontChange || Event->type() == QEvent::PaletteChange))
        fGridObject->InvalidateGrid();
    QWidget::changeEvent(Event);
}

IGridCanvas* TGridControl::Canvas() { return fMeasureCanvas.get(); }

QRect TGridControl::ClientRect() const
{
    QRect R = rect();
    if (fVert && fVert->isVisibleTo(this))
        R.setRight(R.right() - fVert->width());
    if (fHorz && fHorz->isVisibleTo(this))
        R.setBottom(R.bottom() - fHorz->height());
    return R;
}

void TGridControl::SetWinScrolling(bool Value)
{
    if (Value == fWinScrolling)
        return;
    fWinScrolling = Value;
    UpdateScrollBarControls();
}

void TGridControl::SetScrollBars(TScrollStyle Value)
{
    if (Value == fScrollBars)
        return;
    fScrollBars = Value;
    UpdateScrollBarControls();
}

void TGridControl::ConnectBar(QScrollBar* Bar, int Kind)
{
    Bar->setFocusPolicy(Qt::NoFocus);
    Bar->setSingleStep(1);
    connect(Bar, &QScrollBar::actionTriggered, this, [this, Bar, Kind](int Action) {
        int Code;
        switch (Action) {
        case QAbstractSlider::SliderSingleStepAdd: Code = scLineDown; break;
        case QAbstractSlider::SliderSingleStepSub: Code = scLineUp; break;
        case QAbstractSlider::SliderPageStepAdd: Code = scPageDown; break;
        case QAbstractSlider::SliderPageStepSub: Code = scPageUp; break;
        case QAbstractSlider::SliderToMinimum: Code = scTop; break;
        case QAbstractSlider::SliderToMaximum: Code = scBottom; break;
        case QAbstractSlider::SliderMove:
            ScrollEvent(Kind, scTrack, Bar->sliderPosition());
            return;
        default: return;
        }
        // A step is one click: it ends at once, as a release would end it.
        ScrollEvent(Kind, Code, Bar->sliderPosition());
        ScrollEvent(Kind, scEndScroll, Bar->sliderPosition());
    });
    // The release takes its own position: a track the throttle dropped
    // just before it must not leave the view short of where the thumb is.
    connect(Bar, &QScrollBar::sliderReleased, this, [this, Bar, Kind] {
        ScrollEvent(Kind, scPosition, Bar->sliderPosition());
        ScrollEvent(Kind, scEndScroll, Bar->sliderPosition());
    });
}

void TGridControl::UpdateScrollBarControls()
{
    const bool WantH = Wants(fScrollBars, true);
    const bool WantV = Wants(fScrollBars, false);
    if (!WantV && fVert) {
        delete fVert;
        fVert = nullptr;
    } else if (WantV && !fVert) {
        fVert = new QScrollBar(Qt::Vertical, this);
        ConnectBar(fVert, 1);
        fVert->hide();
    }
    if (!WantH && fHorz) {
        delete fHorz;
        fHorz = nullptr;
    } else if (WantH && !fHorz) {
        fHorz = new QScrollBar(Qt::Horizontal, this);
        ConnectBar(fHorz, 0);
        fHorz->hide();
    }
    if (!fWinScrolling && fHorz && fVert) {
        if (!fGrab)
            fGrab = new TGridGrab(this);
    } else {
        delete fGrab;
        fGrab = nullptr;
    }
    UpdateScrollBars();
}

void TGridControl::UpdateScrollBars()
{
    if (!fGridObject || fUpdatingBars)
        return;
    fUpdatingBars = true;
    TScrollData D;
    fGridObject->GetScrollData(D);
    const QRect OldClient = ClientRect();
    auto Apply = [](QScrollBar* B, const TScrollState& S) {
        const QSignalBlocker Block(B);
        B->setPageStep(std::max(1, S.PageSize));
        B->setRange(0, std::max(0, S.Max - std::max(1, S.PageSize) + 1));
        // A thumb held by the user stays where the user holds it.
        if (!B->isSliderDown())
            B->setValue(S.Pos);
    };
    // The window's own bars follow the platform's rule: shown while the
    // range is larger than a page. Separate bars follow the grid.
    auto Shown = [this](const TScrollState& S) {
        return fWinScrolling ? S.Max + 1 > S.PageSize && S.PageSize >= 0 : S.Visible;
    };
    const bool ShowV = fVert && Shown(D.Vert);
    const bool ShowH = fHorz && Shown(D.Horz);
    const int VW = fVert ? fVert->sizeHint().width() : 0;
    const int HH = fHorz ? fHorz->sizeHint().height() : 0;
    if (fVert) {
        fVert->setGeometry(width() - VW, 0, VW, height() - (ShowH ? HH : 0));
        fVert->setVisible(ShowV);
        if (ShowV)
            Apply(fVert, D.Vert);
    }
    if (fHorz) {
        fHorz->setGeometry(0, height() - HH, width() - (ShowV ? VW : 0), HH);
        fHorz->setVisible(ShowH);
        if (ShowH)
            Apply(fHorz, D.Horz);
    }
    if (fGrab) {
        fGrab->setGeometry(width() - VW, height() - HH, VW, HH);
        fGrab->setVisible(ShowV && ShowH);
    }
    fUpdatingBars = false;
    if (ClientRect() != OldClient)
        fGridObject->InvalidateGrid();
}

void TGridControl::ScrollEvent(int Bar, int ScrollCode, int ScrollPos)
{
    if (!fGridObject || (Bar != 0 && Bar != 1))
        return;
    const QScrollBar* B = Bar == 0 ? fHorz : fVert;
    const int Max = B ? B->maximum() : 0;
    if (!TScrollThrottle::Pass(ScrollCode == scTrack, ScrollPos, Max))
        return;
    qint32 Pos = ScrollPos;
    fGridObject->ScrollEvent(Bar, ScrollCode, Pos);
}

void TGridControl::ResizeBitmap()
{
    if (fImage.size() == size())
        return;
    fImage = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    fPending = QRegion(fImage.rect());
}

void TGridControl::resizeEvent(QResizeEvent* Event)
{
    UpdateScrollBars();
    ResizeBitmap();
    if (fGridObject && fGridObject->AutoNumRows())
        fGridObject->AdjustWidth(0);
    if (fGridObject)
        fGridObject->InvalidateGrid();
    QWidget::resizeEvent(Event);
}

void TGridControl::InvalidateRect(const QRect& Rect, bool)
{
    fPending += Rect;
    update(Rect);
}

void TGridControl::Update() { repaint(); }

bool TGridControl::ScrollArea(const QRect& Area, qint32 DX, qint32 DY)
{
    if (fImage.isNull() || !fImage.rect().contains(Area))
        return false;
    const QRegion Inside = fPending.intersected(Area);
    fPending = fPending.subtracted(Area).united(Inside.translated(DX, DY).intersected(Area));
    ScrollImage(fImage, Area, DX, DY);
    fPending += QRegion(Area).subtracted(Area.translated(DX, DY));
    update(Area);
    return true;
}

void TGridControl::PaintPending()
{
    // A hidden widget gets its resize event only when shown; painting for
    // a test or a print must not wait for that.
    ResizeBitmap();
    if (fPending.isEmpty() || fImage.isNull())
        return;
    const QRegion Region = fPending;
    fPending = QRegion();
    try {
        TPainterCanvas C(&fImage, palette());
        for (const QRect& R : Region)
            fGridObject->PaintGrid(C, R);
    } catch (...) {
        // A failing handler leaves the picture as it was; the next paint
        // tries again.
    }
    fGridObject->ClearDrawRect();
}

void TGridControl::paintEvent(QPaintEvent* Event)
{
    ResizeBitmap();
    PaintPending();
    QPainter P(this);
    for (const QRect& R : Event->region())
        P.drawImage(R, fImage, R);
}

void TGridControl::SetTimerEvent(std::function<void()> Event, int Interval)
{
    fTimerEvent = std::move(Event);
    if (fTimerEvent)
        fTimer->start(Interval);
    else
        fTimer->stop();
}

int TGridControl::TimerInterval() const { return fTimer->isActive() ? fTimer->interval() : 0; }

void TGridControl::FireTimer()
{
    if (fTimerEvent)
        fTimerEvent();
}

void TGridControl::SetPointerShape(int Shape)
{
    if (Shape == fPointerShape)
        return;
    fPointerShape = Shape;
    if (Shape == gpDefault)
        unsetCursor();
    else
        setCursor(CursorOf(Shape));
}

void TGridControl::SetMouseCapture(bool On)
{
    // Qt holds the pointer for the pressed widget anyway; the explicit grab
    // keeps it while the drag runs over other windows.
    if (On && !fGrabbed && isVisible()) {
        grabMouse();
        fGrabbed = true;
    } else if (!On && fGrabbed) {
        releaseMouse();
        fGrabbed = false;
    }
}

void TGridControl::ColumnsMoved(qint32 AStartMoving, qint32 AEndMoving, qint32 ACount)
{
    if (OnColumnsMoved)
        OnColumnsMoved(fGridObject.get(), AStartMoving, AEndMoving, ACount);
}

void TGridControl::RowsMoved(qint32 AStartMoving, qint32 AEndMoving, qint32 ACount)
{
    if (OnRowsMoved)
        OnRowsMoved(fGridObject.get(), AStartMoving, AEndMoving, ACount);
}

void TGridControl::TopLeftChanged()
{
    if (OnTopLeftChanged)
        OnTopLeftChanged();
}

void TGridControl::SelectionChanged(TRange&, TGridObjectCollectionItem*)
{
    if (OnSelectionChanged)
        OnSelectionChanged();
}

bool TGridControl::GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, QString& Text)
{
    bool Handled = false;
    if (OnGetEditText)
        OnGetEditText(fGridObject.get(), ACol, ARow, AState, AColHead, ARowHead, Text, Handled);
    return Handled;
}

bool TGridControl::SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, const QString& Text)
{
    bool Handled = false;
    if (OnSetEditText)
        OnSetEditText(fGridObject.get(), ACol, ARow, AState, AColHead, ARowHead, Text, Handled);
    return Handled;
}

bool TGridControl::GetCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, TDrawCellInfo& CellInfo)
{
    bool Handled = false;
    if (OnGetCellInfo)
        OnGetCellInfo(fGridObject.get(), ACol, ARow, AState, AColHead, ARowHead, CellInfo, Handled);
    return Handled;
}

bool TGridControl::AdvancedDrawCell(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, QRect ATextRect, TDrawCellInfo& CellInfo, IGridCanvas& Canvas)
{
    bool Handled = false;
    if (OnAdvancedDrawCell)
        OnAdvancedDrawCell(fGridObject.get(), ACol, ARow, AState, AColHead, ARowHead, ATextRect,
            CellInfo, &Canvas, Handled);
    return Handled;
}

void TGridControl::SaveHideSelectionForDropDown()
{
    fHideSelectionBeforeDropDown = fGridObject->HideSelection();
    fGridObject->SetHideSelection(false);
}

IDropListViewer* TGridControl::DefaultListViewer() { return new TDropListWindow(this); }

void TGridControl::focusInEvent(QFocusEvent* Event)
{
    // The click that brought the focus is a focusing click for the grid.
    if (Event->reason() == Qt::MouseFocusReason && fGridObject->GridState() == gsNormal)
        fGridObject->SetGridState(gsFocusing);
    // Only a drop list saved a value; without one the grid's own stays.
    if (fHideSelectionBeforeDropDown) {
        fGridObject->SetHideSelection(*fHideSelectionBeforeDropDown);
        fHideSelectionBeforeDropDown.reset();
    }
    fGridObject->Selection().Invalidate();
    fGridObject->InvalidateCell(fGridObject->Current());
    // The caret shows only while the control has the focus.
    fGridObject->InvalidateRect(fGridObject->EditorRect());
    QWidget::focusInEvent(Event);
}

void TGridControl::focusOutEvent(QFocusEvent* Event)
{
    fGridObject->Selection().Invalidate();
    fGridObject->InvalidateCell(fGridObject->Current());
    fGridObject->InvalidateRect(fGridObject->EditorRect());
    QWidget::focusOutEvent(Event);
}

QMenu* TGridControl::PrepareContextMenu()
{
    QMenu* User = fGridObject->EditorMode() ? fEditorPopupMenu : fPopupMenu;
    fContextMenu->Prepare(fGridObject.get(), User, ClipboardHasData());
    return fContextMenu->Menu();
}

void TGridControl::contextMenuEvent(QContextMenuEvent* Event)
{
    fGridObject->InvalidateGrid();
    PrepareContextMenu()->popup(Event->globalPos());
}

void TGridControl::mousePressEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton)
        fGridObject->MouseDown(P.x(), P.y(), ShiftOf(Event->modifiers(), Qt::LeftButton));
    else if (Event->button() == Qt::RightButton)
        update();
    QWidget::mousePressEvent(Event);
}

void TGridControl::mouseDoubleClickEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    if (Event->button() == Qt::LeftButton) {
        TShiftState S = ShiftOf(Event->modifiers(), Qt::LeftButton);
        S.Include(ssDouble);
        fGridObject->MouseDown(P.x(), P.y(), S);
    }
    // Not the base handler: it would deliver the double click once more as
    // a plain press, and a press on a border just fitted would start sizing
    // it back.
    Event->accept();
}

void TGridControl::mouseReleaseEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    const TMouseButton B = Event->button() == Qt::RightButton ? mbRight
        : Event->button() == Qt::MiddleButton                ? mbMiddle
                                                              : mbLeft;
    fGridObject->MouseUp(B, ShiftOf(Event->modifiers(), Event->buttons()), P.x(), P.y());
    QWidget::mouseReleaseEvent(Event);
}

void TGridControl::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
    fGridObject->MouseMove(ShiftOf(Event->modifiers(), Event->buttons()), P.x(), P.y());
    const TGridCell Cell = fGridObject->MouseToCell(P.x(), P.y());
    if (Cell != fHintCell) {
        fHintCell = Cell;
        fWideHint.clear();
        if (fGridObject->AutoHint())
            fWideHint = fGridObject->HintText(*Canvas(), Cell.Col, Cell.Row);
        setToolTip(fWideHint);
        const bool Inside = Cell.Col >= fGridObject->FixedCols() && Cell.Col < fGridObject->ColCount()
            && Cell.Row >= fGridObject->FixedRows() && Cell.Row < fGridObject->RowCount();
        fGridObject->SetHotCell(Inside ? Cell : TGridCell { -1, -1 });
    }
    QWidget::mouseMoveEvent(Event);
}

void TGridControl::leaveEvent(QEvent* Event)
{
    fHintCell = { -1, -1 };
    fGridObject->SetHotCell({ -1, -1 });
    fGridObject->MouseLeave();
    QWidget::leaveEvent(Event);
}

void TGridControl::wheelEvent(QWheelEvent* Event)
{
    const int Delta = Event->angleDelta().y();
    if (Delta == 0) {
        Event->ignore();
        return;
    }
    // Touchpads and fine wheels report parts of a notch; they are added up
    // until they make whole notches, or such a device would never scroll.
    if ((fWheelRest < 0) != (Delta < 0))
        fWheelRest = 0;
    fWheelRest += Delta;
    const int Notches = fWheelRest / 120;
    if (Notches == 0) {
        Event->accept();
        return;
    }
    fWheelRest -= Notches * 120;
    const QPoint P = Event->position().toPoint();
    if (fGridObject->MouseWheel(ShiftOf(Event->modifiers(), Event->buttons()), Notches * 120, P))
        Event->accept();
    else
        Event->ignore();
}

void TGridControl::KeyStroke(int Key, Qt::KeyboardModifiers Modifiers)
{
    QKeyEvent Down(QEvent::KeyPress, Key, Modifiers);
    keyPressEvent(&Down);
    QKeyEvent Up(QEvent::KeyRelease, Key, Modifiers);
    keyReleaseEvent(&Up);
}

bool TGridControl::KeyDown(int Key, Qt::KeyboardModifiers Modifiers, quint32 NativeKey)
{
    if (OnKeyDown && OnKeyDown(Key, Modifiers))
        return true;
    int GridKey = GridKeyOf(Key, NativeKey);
    if (GridKey == 0) {
        // Not a key of the table; the grid still learns the modifiers, which
        // decide whether the text that follows types.
        int None = 0;
        fGridObject->KeyDown(None, GridShiftOf(Modifiers));
        return false;
    }
    return fGridObject->KeyDown(GridKey, GridShiftOf(Modifiers));
}

void TGridControl::KeyUp(int Key, Qt::KeyboardModifiers Modifiers)
{
    fGridObject->KeyUp(GridKeyOf(Key), GridShiftOf(Modifiers));
}

bool TGridControl::KeyPress(const QString& Text)
{
    bool Consumed = false;
    for (QChar C : Text)
        Consumed = fGridObject->KeyPress(C) || Consumed;
    return Consumed;
}

void TGridControl::keyPressEvent(QKeyEvent* Event)
{
    // A key the grid consumed types nothing: a space that went to a drop
    // list does not also open the editor with a space in it.
    bool Consumed = KeyDown(Event->key(), Event->modifiers(), Event->nativeVirtualKey());
    if (!Consumed && !Event->text().isEmpty())
        Consumed = KeyPress(Event->text());
    if (Consumed)
        Event->accept();
    else
        QWidget::keyPressEvent(Event);
}

void TGridControl::keyReleaseEvent(QKeyEvent* Event)
{
    KeyUp(Event->key(), Event->modifiers());
    QWidget::keyReleaseEvent(Event);
}

void TGridControl::inputMethodEvent(QInputMethodEvent* Event)
{
    const QString Text = Event->commitString();
    if (!Text.isEmpty()) {
        // A commit comes without a key press: no modifier of an earlier key
        // may keep it from typing.
        fGridObject->KeyUp(0, TShiftState());
        KeyPress(Text);
    }
    Event->accept();
}

QVariant TGridControl::inputMethodQuery(Qt::InputMethodQuery Query) const
{
    if (Query == Qt::ImCursorRectangle && fGridObject->IsInternalEditorOpen())
        return fGridObject->CaretRect();
    if (Query == Qt::ImEnabled)
        return true;
    return QWidget::inputMethodQuery(Query);
}

bool TGridControl::event(QEvent* Event)
{
    // Qt moves the focus on Tab before the widget sees the key; the grid
    // takes it first and lets it go only past its last cell.
    if (Event->type() == QEvent::KeyPress) {
        auto* Key = static_cast<QKeyEvent*>(Event);
        if (Key->key() == Qt::Key_Tab || Key->key() == Qt::Key_Backtab) {
            Key->ignore();
            keyPressEvent(Key);
            if (!Key->isAccepted() && fGridObject->TabStop() && !fGridObject->EditorMode()
                && IsTabStop()) {
                const bool Back = Key->key() == Qt::Key_Backtab
                    || (Key->modifiers() & Qt::ShiftModifier);
                focusNextPrevChild(!Back);
                // Handed over: the parent must not move the focus once more.
                Key->accept();
            }
            return true;
        }
    }
    return QWidget::event(Event);
}

void TGridControl::ShowEditorWindow(const QRect& Rect, const QString& Text)
{
    if (!fEditor) {
        fEditor = new TInplaceEdit(this);
        fEditor->OnCommit = [this] { fGridObject->HideEditor(); };
        fEditor->OnCancel = [this] { fGridObject->CancelEditor(); };
        fEditor->setFont(font());
    }
    fEditor->setGeometry(Rect);
    fEditor->SetWideText(Text);
    fEditor->show();
    fEditor->setFocus();
}

QString TGridControl::EditorWindowText() const { return fEditor ? fEditor->WideText() : QString(); }

void TGridControl::HideEditorWindow()
{
    if (!fEditor)
        return;
    const bool HadFocus = fEditor->hasFocus();
    fEditor->hide();
    fEditor->setGeometry(QRect());
    if (HadFocus)
        setFocus();
}
