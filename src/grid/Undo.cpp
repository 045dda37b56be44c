#include "grid/Undo.h"

#include "grid/GridObject.h"
#include "grid/model/TextFlags.h"

#include <algorithm>
#include <exception>

TGridObjectUndo::TGridObjectUndo(TGridObject* AGridObject)
    : fGridObject(AGridObject)
{
    if (!AGridObject)
        throw EInvalidArgument();
}

void TGridObjectUndo::Undo()
{
    TGridObject& G = *fGridObject;
    struct TUndoState {
        TGridObject& G;
        explicit TUndoState(TGridObject& G)
            : G(G)
        {
            TEditStates S = G.EditState();
            S.Include(esUndo);
            G.SetEditState(S);
        }
        ~TUndoState()
        {
            TEditStates S = G.EditState();
            S.Exclude(esUndo);
            G.SetEditState(S);
        }
    } State(G);
    DoUndo();
}

void TGridObjectUndo::Store(qint32, qint32, const TDrawCellInfo*) { }

TUndoEdit::TUndoEdit(TGridObject* AGridObject, qint32 ACol, qint32 ARow)
    : TGridObjectUndo(AGridObject)
    , fCol(ACol)
    , fRow(ARow)
{
    TGridObject& G = GridObject();
    if (G.EditorMode() && G.EditCell() == TGridCell { ACol, ARow }) {
        fEditorMode = true;
        fSavedText = G.Editor().Text();
        fCaretPos = G.Editor().CaretPos();
        fStartPos = G.Editor().StartPos();
    } else {
        fSavedText = G.GetCellText(ACol, ARow, TCellStates());
    }
    fPasteText = G.EditState().Contains(esPasteText);
}

QString TUndoEdit::GetContext() const
{
    TGridObject& G = GridObject();
    const QString Name = G.GetCellName(fCol, fRow);
    if (fPasteText)
        return QStringLiteral("вставку в %1").arg(Name);
    QString Text = G.GetCellText(fCol, fRow, TCellStates());
    if (Text.size() > 30)
        Text = Text.left(27) + QStringLiteral("...");
    return QStringLiteral("ввод '%1' в ячейку %2").arg(Text, Name);
}

void TUndoEdit::DoUndo()
{
    TGridObject& G = GridObject();
    if (!fEditorMode) {
        G.HideEditor();
        G.SetCellValue(fCol, fRow, fSavedText);
        return;
    }
    // Taken inside the editor: the editor opens on the cell again and gets
    // the text back, so the user continues where the step began.
    if (!G.EditorMode() || G.EditCell() != TGridCell { fCol, fRow }) {
        G.HideEditor();
        G.FocusCell(fCol, fRow, true, true);
        if (UndoList())
            UndoList()->SetStartEditor();
        G.ShowEditor();
    }
    G.SetEditorState(fSavedText, fCaretPos, fStartPos);
}

TUndoCell::TUndoCell(TGridObject* AGridObject, std::unique_ptr<TCellObject> ACellObject)
    : TGridObjectUndo(AGridObject)
    , fCellObject(std::move(ACellObject))
{
}

TUndoCell::~TUndoCell() = default;

qint64 TUndoCell::MemorySize() const
{
    return 256 + (fCellObject ? 2 * fCellObject->GetText().size() : 0);
}

namespace {

// Where a cleared object stood: a cell by its coordinates, anything else by
// its number.
TGridCell PlaceOf(const TCellObject& O, qint32 Cols)
{
    if (const auto* Cell = dynamic_cast<const TCell*>(&O))
        return { Cell->RegionCoord().FirstCol, Cell->RegionCoord().FirstRow };
    return { qint32(O.Cell() % Cols), qint32(O.Cell() / Cols) };
}

}

QString TUndoCell::GetContext() const
{
    if (!fCellObject)
        return QStringLiteral("?");
    const TGridCell At = PlaceOf(*fCellObject, GridObject().ColCount());
    return QStringLiteral("Очистить содержимое ") + GridObject().GetCellName(At.Col, At.Row);
}

void TUndoCell::DoUndo()
{
    if (!fCellObject)
        return;
    TGridObject& G = GridObject();
    const bool Calc = G.EnableCalculation();
    G.SetEnableCalculation(false);
    struct TRestore {
        TGridObject& G;
        bool Calc;
        ~TRestore() { G.SetEnableCalculation(Calc); }
    } Restore { G, Calc };
    const TGridCell At = PlaceOf(*fCellObject, G.ColCount());
    {
        TCollectionUpdate Update(G.Cells());
        // The content and look come back; the new object keeps the place
        // the list gave it.
        if (TCell* Cell = G.Cells().GetCell(At.Col, At.Row)) {
            const TCellObject& O = *fCellObject;
            Cell->SetText(O.GetText());
            Cell->SetFont(O.Font());
            Cell->SetAlignment(O.Alignment());
            Cell->SetBackColor(O.BackColor());
            Cell->SetReadOnly(O.ReadOnly());
            Cell->SetDropList(O.DropList());
            if (const auto* Old = dynamic_cast<const TCell*>(&O)) {
                Cell->SetCellFormat(Old->CellFormat());
                Cell->SetPrecision(Old->Precision());
            }
        }
    }
    fCellObject.reset();
    G.Cells().Sort();
    G.InvalidateCell(At);
}

qint64 TUndoGroup::MemorySize() const
{
    qint64 Total = 64;
    for (const auto& I : fItems)
        Total += I->MemorySize();
    return Total;
}

QString TUndoGroup::GetContext() const
{
    return fItems.empty() ? QString() : fItems.back()->Context();
}

void TUndoGroup::DoUndo()
{
    // Each step is taken even when one before it fails; the first failure
    // is reported once all have run.
    std::exception_ptr Failure;
    for (auto It = fItems.rbegin(); It != fItems.rend(); ++It) {
        try {
            (*It)->DoUndo();
        } catch (...) {
            if (!Failure)
                Failure = std::current_exception();
        }
    }
    fItems.clear();
    if (Failure)
        std::rethrow_exception(Failure);
}

void TUndoPaste::Store(qint32 ACol, qint32 ARow, const TDrawCellInfo* ACellInfo)
{
    auto Info = std::make_unique<TDrawCellInfo>();
    if (ACellInfo) {
        Info->Assign(*ACellInfo);
    } else {
        TGridObject& G = GridObject();
        const TEditStates Saved = G.EditState();
        TEditStates Copying = Saved;
        Copying.Include(esCopyRegion);
        G.SetEditState(Copying);
        G.GetCellInfo(ACol, ARow, TCellStates(), *Info);
        G.SetEditState(Saved);
    }
    Info->SetPosition(ACol, ARow);
    const TGridRegion Cell = TGridRegion::Cell(ACol, ARow);
    fRegion = fList.empty() ? Cell
                            : TGridRegion { std::min(fRegion.FirstCol, ACol),
                                  std::min(fRegion.FirstRow, ARow), std::max(fRegion.LastCol, ACol),
                                  std::max(fRegion.LastRow, ARow) };
    fMemory += qint64(sizeof(TDrawCellInfo)) + 4 * Info->FullText.size() + 64;
    fList.push_back(std::move(Info));
}

QString TUndoPaste::GetContext() const
{
    return QStringLiteral("вставку в %1").arg(GridObject().GetRegionName(fRegion));
}

void TUndoPaste::DoUndo()
{
    TGridObject& G = GridObject();
    G.HideEditor();
    for (auto It = fList.rbegin(); It != fList.rend(); ++It) {
        const TDrawCellInfo& Info = **It;
        G.SetCellValue(Info.Col(), Info.Row(), Info.FullText);
        if (TCell* Cell = G.Cells().FindCell(Info.Col(), Info.Row())) {
            Cell->SetFont(Info.Font());
            Cell->SetAlignment(FlagsToAlignment(Info.Flags));
            Cell->SetBackColor(Info.CellColor);
        }
    }
    fList.clear();
    G.InvalidateRegion(fRegion);
}

TUndoDragRegion::TUndoDragRegion(
    TGridObject* AGridObject, const TGridRegion& ASource, const TGridRegion& ADest)
    : TGridObjectUndo(AGridObject)
    , fSourceRegion(ASource)
    , fDestRegion(ADest)
{
}

void TUndoDragRegion::StoreCell(std::unique_ptr<TDrawCellInfo> Info, bool HadObject)
{
    if (!Info)
        return;
    fMemory += qint64(sizeof(TDrawCellInfo)) + 4 * Info->FullText.size() + 64;
    fList.push_back({ std::move(Info), HadObject });
}

void TUndoDragRegion::DoUndo()
{
    TGridObject& G = GridObject();
    G.HideEditor();
    G.MoveRegion(fDestRegion, fSourceRegion);
    // The cells the block covered come back, except where the block itself
    // has just returned.
    for (const TStored& S : fList) {
        const TDrawCellInfo& Info = *S.Info;
        if (fSourceRegion.Contains(Info.Col(), Info.Row()))
            continue;
        G.PlaceCellRecord(Info.Col(), Info.Row(), Info, S.HadObject);
    }
    fList.clear();
    G.InvalidateRegion(fSourceRegion);
    G.InvalidateRegion(fDestRegion);
}

TUndoList::TUndoList(TGridObject* AGridObject)
    : fGridObject(AGridObject)
{
}

TUndoList::~TUndoList() { Clear(); }

QString TUndoList::GetContext() const
{
    return fItems.empty() ? QString() : fItems.back()->Context();
}

TGridObjectUndo* TUndoList::AddItem(std::unique_ptr<TGridObjectUndo> Item)
{
    if (!Item)
        return nullptr;
    Item->fUndoList = this;
    fItems.push_back(std::move(Item));
    Trim();
    return fItems.back().get();
}

void TUndoList::Trim()
{
    while (int(fItems.size()) > UndoCount) {
        fGridObject->UndoRecordLeaving(fItems.front().get());
        fItems.pop_front();
    }
    qint64 Total = MemorySize();
    while (fItems.size() > 1 && Total > MemoryLimit) {
        Total -= fItems.front()->MemorySize();
        fGridObject->UndoRecordLeaving(fItems.front().get());
        fItems.pop_front();
    }
}

qint64 TUndoList::MemorySize() const
{
    qint64 Total = 0;
    for (const auto& I : fItems)
        Total += I->MemorySize();
    return Total;
}

void TUndoList::Remove(TGridObjectUndo* Item)
{
    auto It = std::find_if(
        fItems.begin(), fItems.end(), [Item](const auto& P) { return P.get() == Item; });
    if (It != fItems.end()) {
        fGridObject->UndoRecordLeaving(Item);
        fItems.erase(It);
    }
}

void TUndoList::Undo()
{
    if (fItems.empty())
        return;
    std::unique_ptr<TGridObjectUndo> Item = std::move(fItems.back());
    fItems.pop_back();
    fGridObject->UndoRecordLeaving(Item.get());
    Item->Undo();
    Item.reset();
    TGridObject& G = *fGridObject;
    if (G.EditorMode() && fStartEditor
        && (fItems.empty() || !dynamic_cast<TUndoEdit*>(fItems.back().get())))
        G.HideEditor();
}

bool TUndoList::CheckConsistency(QString* Fault) const
{
    auto Fail = [&](const QString& Why) {
        if (Fault)
            *Fault = Why;
        return false;
    };
    if (int(fItems.size()) > UndoCount)
        return Fail(QStringLiteral("more than %1 undo records").arg(UndoCount));
    if (fItems.size() > 1 && MemorySize() > MemoryLimit)
        return Fail(QStringLiteral("undo records beyond the memory bound"));
    for (const auto& I : fItems) {
        if (!I)
            return Fail(QStringLiteral("empty undo record"));
        if (&I->GridObject() != fGridObject || I->fUndoList != this)
            return Fail(QStringLiteral("undo record of another list"));
    }
    return true;
}

void TUndoList::Clear()
{
    while (!fItems.empty()) {
        fGridObject->UndoRecordLeaving(fItems.back().get());
        fItems.pop_back();
    }
}
