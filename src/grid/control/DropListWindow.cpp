#include "grid/control/DropListWindow.h"

#include "grid/GridObject.h"
#include "grid/model/GridTrace.h"

#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <exception>

namespace {

// More items than this scroll inside the window.
constexpr int VisibleItems = 8;

}

TDropListWindow::TDropListWindow(QWidget* Control)
    : QListWidget(Control)
    , fControl(Control)
{
    setWindowFlags(Qt::Popup);
    setFocusPolicy(Qt::StrongFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(false);
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem*) { Finish(true); });
}

void TDropListWindow::ShowList(TCustomDropList& List)
{
    fList = &List;
    clear();
    const TWideStringsCollection& Items = List.WorkList();
    for (int I = 0; I < Items.Count(); ++I) {
        QString Text = Items.Items(I).WideText();
        Text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        addItem(Text);
    }
    if (List.ItemIndex() >= 0 && List.ItemIndex() < count())
        setCurrentRow(List.ItemIndex());
    PlaceUnder(List.TextRect());
    show();
    setFocus(Qt::PopupFocusReason);
}

void TDropListWindow::PlaceUnder(const QRect& TextRect)
{
    const int Frame = 2 * frameWidth();
    const int Rows = std::clamp(count(), 1, VisibleItems);
    int Height = Frame;
    for (int I = 0; I < Rows && I < count(); ++I)
        Height += sizeHintForRow(I);
    if (count() == 0)
        Height += fontMetrics().height();
    int Width = std::max(TextRect.width(), sizeHintForColumn(0) + Frame);
    if (count() > VisibleItems)
        Width += verticalScrollBar()->sizeHint().width();
    const QPoint TopLeft = fControl->mapToGlobal(QPoint(TextRect.left(), TextRect.bottom() + 1));
    setGeometry(QRect(TopLeft, QSize(Width, Height)));
}

void TDropListWindow::HideList(TCustomDropList& List)
{
    if (fList != &List && fList)
        return;
    fList = nullptr;
    hide();
    deleteLater();
}

void TDropListWindow::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Finish(currentRow() >= 0);
        return;
    case Qt::Key_Escape:
        Finish(false);
        return;
    default:
        QListWidget::keyPressEvent(Event);
    }
}

void TDropListWindow::hideEvent(QHideEvent* Event)
{
    QListWidget::hideEvent(Event);
    // A click outside closes a popup without a choice.
    if (fList)
        Finish(false);
}

void TDropListWindow::Finish(bool Accept)
{
    TCustomDropList* List = fList;
    if (!List)
        return;
    fList = nullptr;
    if (Accept)
        List->SetItemIndex(currentRow());
    hide();
    deleteLater();
    // Called from an input event: a failing handler is reported and must
    // neither reach the event loop nor leave the grid with the list open.
    try {
        List->CloseUp(Accept);
    } catch (const std::exception& E) {
        GridTrace(QStringLiteral("TDropListWindow: ") + QString::fromUtf8(E.what()), tlError);
    } catch (...) {
        GridTrace(QStringLiteral("TDropListWindow: unknown error"), tlError);
    }
    if (TGridObject* Grid = List->GridObject(); Grid && Grid->DropList() == List)
        Grid->CloseUp();
}
