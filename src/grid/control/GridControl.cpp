#include "grid/control/GridControl.h"

#include "grid/GridObject.h"
#include "grid/Undo.h"
#include "grid/control/DropListWindow.h"
#include "grid/control/GridContextMenu.h"
#include "grid/control/GridGrab.h"
#include "grid/control/PainterCanvas.h"
#include "grid/control/ScrollThrottle.h"
#include "platform/misc/QtClipboard.h"
#include "text/MyClipboard.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
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
    // Only a drop list saved a value; without one the grid's own stays.
    if (fHideSelectionBeforeDropDown) {
        fGridObject->SetHideSelection(*fHideSelectionBeforeDropDown);
        fHideSelectionBeforeDropDown.reset();
    }
    fGridObject->Selection().Invalidate();
    fGridObject->InvalidateCell(fGridObject->Current());
    QWidget::focusInEvent(Event);
}

void TGridControl::focusOutEvent(QFocusEvent* Event)
{
    fGridObject->Selection().Invalidate();
    fGridObject->InvalidateCell(fGridObject->Current());
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

void TGridControl::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint P = Event->position().toPoint();
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
    QWidget::leaveEvent(Event);
}

void TGridControl::wheelEvent(QWheelEvent* Event)
{
    const QPoint Delta = Event->angleDelta();
    const bool Horizontal = Delta.y() == 0 || (Event->modifiers() & Qt::ShiftModifier);
    const int Steps = (Horizontal ? (Delta.x() != 0 ? Delta.x() : Delta.y()) : Delta.y()) / 40;
    if (Steps == 0) {
        Event->ignore();
        return;
    }
    const int Bar = Horizontal ? 0 : 1;
    for (int I = 0; I < std::abs(Steps); ++I)
        ScrollEvent(Bar, Steps > 0 ? scLineUp : scLineDown, 0);
    ScrollEvent(Bar, scEndScroll, 0);
    Event->accept();
}

void TGridControl::KeyStroke(int Key, Qt::KeyboardModifiers Modifiers)
{
    QKeyEvent Down(QEvent::KeyPress, Key, Modifiers);
    keyPressEvent(&Down);
    QKeyEvent Up(QEvent::KeyRelease, Key, Modifiers);
    keyReleaseEvent(&Up);
}

bool TGridControl::KeyDown(int Key, Qt::KeyboardModifiers Modifiers)
{
    if (OnKeyDown && OnKeyDown(Key, Modifiers))
        return true;
    const bool Ctrl = Modifiers & Qt::ControlModifier;
    if (Ctrl && Key == Qt::Key_Z) {
        if (fGridObject->UndoEnabled())
            fGridObject->UndoList()->Undo();
        return true;
    }
    if (Ctrl && Key == Qt::Key_A) {
        fGridObject->SelectAll();
        return true;
    }
    return false;
}

void TGridControl::KeyUp(int, Qt::KeyboardModifiers) { }

void TGridControl::keyPressEvent(QKeyEvent* Event)
{
    if (KeyDown(Event->key(), Event->modifiers()))
        Event->accept();
    else
        QWidget::keyPressEvent(Event);
}

void TGridControl::keyReleaseEvent(QKeyEvent* Event)
{
    KeyUp(Event->key(), Event->modifiers());
    QWidget::keyReleaseEvent(Event);
}
