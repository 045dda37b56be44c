#include "grid/DropList.h"

#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/model/GridTrace.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace {

// Every live list, so that a grid or a viewer going away can be forgotten
// by the lists that point at it. Lists live on the user-interface thread.
std::vector<TCustomDropList*>& LiveLists()
{
    static auto* Lists = new std::vector<TCustomDropList*>;
    return *Lists;
}

void TraceHandlerFault(const char* Handler, const std::exception* E)
{
    GridTrace(QStringLiteral("TCustomDropList.%1: %2")
                  .arg(QLatin1String(Handler),
                      E ? QString::fromUtf8(E->what()) : QStringLiteral("unknown error")),
        tlError);
}

}

IDropListViewer::~IDropListViewer()
{
    for (TCustomDropList* L : LiveLists()) {
        if (L->fViewer == this)
            L->fViewer = nullptr;
        if (L->fShownViewer == this)
            L->fShownViewer = nullptr;
    }
}

TCustomDropList::TCustomDropList()
{
    fList.OnUpdate = [this](TWideStringsCollection&) { LoadWorkList(); };
    LiveLists().push_back(this);
}

TCustomDropList::~TCustomDropList()
{
    auto& Lists = LiveLists();
    Lists.erase(std::remove(Lists.begin(), Lists.end(), this), Lists.end());
    fList.OnUpdate = nullptr;
    Dismiss();
    if (fGridObject)
        fGridObject->ForgetDropList(this);
}

void TCustomDropList::GridDestroying(TGridObject* AGridObject)
{
    for (TCustomDropList* L : LiveLists())
        if (L->fGridObject == AGridObject) {
            L->Dismiss();
            L->fGridObject = nullptr;
            L->fGridControl = nullptr;
            L->fColHead = L->fRowHead = nullptr;
            L->fCell = nullptr;
        }
}

void TCustomDropList::SetButtonImage(const QByteArray& Value)
{
    if (Value == fButtonImage)
        return;
    fButtonImage = Value;
    Repaint();
}

void TCustomDropList::SetLook(bool& Field, bool Value)
{
    if (Field == Value)
        return;
    Field = Value;
    Repaint();
}

void TCustomDropList::Repaint()
{
    if (fGridObject)
        fGridObject->InvalidateGrid();
}

void TCustomDropList::SetItemIndex(qint32 Value)
{
    fItemIndex = Value;
    // Data follows the item also when only WorkList changed under the same
    // index, so that it never describes an item that is gone.
    fData
        = Value >= 0 && Value < fWorkList.Count() ? fWorkList.Items(Value).Data() : DropListNoData;
}

void TCustomDropList::LoadWorkList() { fWorkList.Assign(fList); }

qint32 TCustomDropList::GetChecked(TGridObject* AGridObject, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, TCell* ACell, const QString& CellText)
{
    if (!AGridObject)
        return -1;
    qint32 Result = -1;
    if (OnGetButtonState) {
        try {
            Result = OnGetButtonState(
                AGridObject, ACol, ARow, AState, AColHead, ARowHead, ACell, CellText);
        } catch (const std::exception& E) {
            TraceHandlerFault("GetChecked", &E);
        } catch (...) {
            TraceHandlerFault("GetChecked", nullptr);
        }
    } else {
        const TGridCell Edit = AGridObject->EditCell();
        QString Text;
        if (AGridObject->EditorMode() && Edit.Col == ACol && Edit.Row == ARow)
            Text = AGridObject->EditorText().GetWideText();
        else
            Text = AGridObject->GetCellText(ACol, ARow, AState);
        if (Text.isEmpty())
            Text = CellText;
        Result = ItemOfText(Text);
    }
    // Painting asks for every check box it draws; while the list is open
    // that must not move the item the user is choosing.
    if (!fDroppedDown)
        SetItemIndex(Result);
    return Result;
}

void TCustomDropList::Initialize(TGridObject* AGridObject, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, TCell* ACell, const QString& CellText)
{
    fGridObject = AGridObject;
    fGridControl = AGridObject ? AGridObject->GridControl() : nullptr;
    fCol = ACol;
    fRow = ARow;
    fTextRect = AGridObject ? AGridObject->GetTextRect(ACol, ARow) : QRect();
    fState = AState;
    fColHead = AColHead;
    fRowHead = ARowHead;
    fCell = ACell;
    fCellText = CellText;
    bool Handled = false;
    if (OnGetList) {
        // The handler fills the list afresh for each cell; items of the
        // previous cell must not pile up.
        fWorkList.Clear();
        try {
            OnGetList(*this, ACol, ARow, AState, AColHead, ARowHead, fWorkList, Handled);
        } catch (const std::exception& E) {
            TraceHandlerFault("OnGetList", &E);
            Handled = false;
        } catch (...) {
            TraceHandlerFault("OnGetList", nullptr);
            Handled = false;
        }
    }
    if (!Handled)
        LoadWorkList();
    SetItemIndex(ItemOfText(CellText));
}

qint32 TCustomDropList::ItemOfText(const QString& Text) const
{
    // A list that writes the item's index reads it back the same way;
    // otherwise cycling and check boxes would never get past the first
    // choice.
    if (DataField == 0) {
        bool Number = false;
        const qint32 Index = Text.trimmed().toInt(&Number);
        if (Number && Index >= 0 && Index < fWorkList.Count())
            return Index;
    }
    return fWorkList.IndexOf(Text);
}

void TCustomDropList::DropDown(TGridObject* AGridObject, qint32 ACol, qint32 ARow,
    TCellStates AState, THead* AColHead, THead* ARowHead, TCell* ACell, const QString& CellText)
{
    // A list describes one cell at a time: still open in another grid, it
    // is closed there first, or that grid would wait for it forever.
    if (fGridObject && fGridObject != AGridObject && fGridObject->DropList() == this)
        fGridObject->CloseUp();
    Initialize(AGridObject, ACol, ARow, AState, AColHead, ARowHead, ACell, CellText);
    fDroppedDown = true;
    if (ViewportStyle != vsNone) {
        DoDropDown();
        if (ViewportStyle == vsEllipsis)
            CloseUp(!fCellText.isEmpty());
        else if (!ShowViewer() && !OnDropDown)
            // Nobody shows the list, so nobody would ever close it.
            CloseUp(false);
        return;
    }
    const qint32 Count = fWorkList.Count();
    if (Count == 0) {
        CloseUp(false);
        return;
    }
    qint32 Next = fItemIndex < 0 ? (ButtonViewStyle == bvsCheck ? 1 : 0) : fItemIndex + 1;
    if (Next >= Count)
        Next = 0;
    SetItemIndex(Next);
    CloseUp(DataField != -2);
}

bool TCustomDropList::ShowViewer()
{
    // An application that shows its own list in OnDropDown gets no second
    // one from the grid's window.
    IDropListViewer* V = GetViewer();
    if (!V && !OnDropDown && InternalView && fGridControl)
        V = fGridControl->DefaultListViewer();
    if (!V)
        return false;
    fShownViewer = V;
    V->ShowList(*this);
    return true;
}

void TCustomDropList::HideViewer()
{
    if (IDropListViewer* V = fShownViewer) {
        fShownViewer = nullptr;
        V->HideList(*this);
    }
}

void TCustomDropList::Dismiss()
{
    fDroppedDown = false;
    HideViewer();
}

void TCustomDropList::DoDropDown()
{
    if (OnDropDown)
        OnDropDown(*this);
}

std::optional<QString> TCustomDropList::ChosenValue() const
{
    switch (DataField) {
    case -2:
        // The cell is never written, also when a viewer or dialog accepts.
        return std::nullopt;
    case -1:
        if (ViewportStyle == vsEllipsis || fItemIndex < 0 || fItemIndex >= fWorkList.Count())
            return fCellText;
        return fWorkList.Items(fItemIndex).WideText();
    case 0:
        return QString::number(fItemIndex);
    default:
        return QString();
    }
}

void TCustomDropList::CloseUp(bool Accept)
{
    fDroppedDown = false;
    Click();
    if (TGridObject* G = fGridObject) {
        if (Accept)
            if (const std::optional<QString> Value = ChosenValue())
                G->WriteDropListValue(fCol, fRow, *Value);
        if (G->DropList() == this)
            G->CloseUp();
    }
    HideViewer();
    if (ViewportStyle != vsNone)
        DoCloseUp();
}

void TCustomDropList::DoCloseUp()
{
    if (OnCloseUp)
        OnCloseUp(*this);
}

void TCustomDropList::Click()
{
    if (OnClick)
        OnClick(*this);
}
