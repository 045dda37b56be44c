#include "grid/model/CellObject.h"

#include "grid/model/CellObjectList.h"
#include "grid/model/GridHost.h"
#include "grid/model/GridTrace.h"
#include "grid/model/TextFlags.h"

#include <exception>

TCellObject::TCellObject(IGridHost* Grid)
    : fAlignment(FlagsToAlignment(TextFlags::tfObjectDefault))
    , fTextFlags(TextFlags::tfObjectDefault)
{
    if (Grid && Grid->ControlFont())
        fFont = *Grid->ControlFont();
}

void TCellObject::CollectionJoined() { fGridObject = Grid(); }

void TCellObject::SetCell(TCellNumber Value)
{
    if (Value == fCell)
        return;
    if (auto* List = dynamic_cast<TCellObjectList*>(Collection())) {
        List->PlaceItem(*this, Value);
        return;
    }
    fCell = Value;
    SortKeyChanged();
    Changed(false);
}

void TCellObject::SetFont(const TGridFont& Value)
{
    if (&Value == &fFont)
        return;
    fFont = Value;
    NoteChange(coFont);
    Changed(false);
}

void TCellObject::SetAlignment(TTextAlignment Value)
{
    if (Value == fAlignment)
        return;
    fAlignment = Value;
    UpdateTextFlags();
    NoteChange(coAlignment);
    Changed(false);
}

void TCellObject::SetBackColor(TColor Value)
{
    if (Value == fBackColor)
        return;
    fBackColor = Value;
    NoteChange(coColor);
    Changed(false);
}

void TCellObject::SetDropList(TCustomDropList* Value)
{
    if (Value == fDropList)
        return;
    fDropList = Value;
    NoteChange(coDropList);
    Changed(false);
}

void TCellObject::LoadChangedOrders(const TChangedOrders& Value)
{
    fChangedOrders = Value;
    if (IGridHost* G = Grid())
        for (int K = 0; K < 4; ++K)
            G->RaiseOrder(K, Value[size_t(K)]);
}

void TCellObject::SetText(const QString& Value)
{
    fWideStrings.SetWideText(Value);
    Changed(false);
}

void TCellObject::UpdateTextFlags() { fTextFlags = AlignmentToTextFlags(fAlignment); }

void TCellObject::MoveTo(int NewIndex)
{
    if (auto* List = dynamic_cast<TCellObjectList*>(Collection()))
        List->MoveItemTo(*this, NewIndex);
}

void TCellObject::NoteChange(int K)
{
    IGridHost* G = Grid();
    if (K < 0 || K > 3 || !G || !G->HasControl() || G->IsLoading())
        return;
    fChangedOrders[size_t(K)] = G->NextOrder(K);
}

const TGridFont* TCellObject::DefaultFont() const
{
    IGridHost* G = Grid();
    return G ? G->ControlFont() : nullptr;
}

bool TCellObject::GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, QString& Value)
{
    bool Handled = false;
    if (!OnGetEditText)
        return Handled;
    try {
        OnGetEditText(this, ACol, ARow, AState, AColHead, ARowHead, Value, Handled);
    } catch (const std::exception& E) {
        GridTrace(ClassName() + QStringLiteral(".GetEditText: ") + QString::fromUtf8(E.what()),
            tlError);
    } catch (...) {
        GridTrace(ClassName() + QStringLiteral(".GetEditText: unknown error"), tlError);
    }
    return Handled;
}

bool TCellObject::SetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, const QString& Value)
{
    bool Handled = false;
    if (OnSetEditText)
        OnSetEditText(this, ACol, ARow, AState, AColHead, ARowHead, Value, Handled);
    return Handled;
}

bool TCellObject::GetCellInfo(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, TDrawCellInfo& CellInfo)
{
    bool Handled = false;
    if (OnGetCellInfo)
        OnGetCellInfo(this, ACol, ARow, AState, AColHead, ARowHead, CellInfo, Handled);
    return Handled;
}

bool TCellObject::AdvancedDrawCell(qint32 ACol, qint32 ARow, TCellStates AState,
    THead* AColHead, THead* ARowHead, QRect ATextRect, TDrawCellInfo& CellInfo,
    IGridCanvas* ACanvas)
{
    bool Handled = false;
    if (OnAdvancedDrawCell)
        OnAdvancedDrawCell(
            this, ACol, ARow, AState, AColHead, ARowHead, ATextRect, CellInfo, ACanvas, Handled);
    return Handled;
}

QString TCellObject::DisplayName() const
{
    if (!Name().isEmpty())
        return Name();
    const int N = fWideStrings.Count();
    if (N == 0)
        return ClassName();
    QString Result;
    for (int I = 0; I < N; ++I) {
        if (I > 0)
            Result += u' ';
        Result += fWideStrings.Get(I);
    }
    return Result;
}

void TCellObject::Assign(const TPersistent& Source)
{
    const auto* Other = dynamic_cast<const TCellObject*>(&Source);
    if (!Other) {
        TGridObjectCollectionItem::Assign(Source);
        return;
    }
    if (Other == this)
        return;
    TGridObjectCollectionItem::Assign(Source);
    fTag = Other->fTag;
    fWideStrings.SetWideText(Other->fWideStrings.GetWideText());
    fFont = Other->fFont;
    fAlignment = Other->fAlignment;
    fTextFlags = Other->fTextFlags;
    fBackColor = Other->fBackColor;
    fReadOnly = Other->fReadOnly;
    fDropList = Other->fDropList;
    LoadChangedOrders(Other->fChangedOrders);
    OnGetEditText = Other->OnGetEditText;
    OnSetEditText = Other->OnSetEditText;
    OnGetCellInfo = Other->OnGetCellInfo;
    OnAdvancedDrawCell = Other->OnAdvancedDrawCell;
    SetCell(Other->fCell);
}
