// Blocks of cells carried by the pointer: a block dragged by its border to
// another place, and the texts of a block repeated by the fill handle.
// Texts are read and written with the region states set, so that a formula
// can travel in a position-independent form once cells carry formulas.
#include "grid/EditStateScope.h"
#include "grid/GridObject.h"
#include "grid/GridWindow.h"
#include "grid/Undo.h"
#include "grid/model/TextFlags.h"

#include <memory>
#include <vector>

namespace {

qint32 PositiveMod(qint32 V, qint32 M) { return ((V % M) + M) % M; }

}

void TGridObject::WriteCellText(qint32 ACol, qint32 ARow, const QString& Text)
{
    THead* ColHead = fColHeads->FindHead(ACol);
    THead* RowHead = fRowHeads->FindHead(ARow);
    const TCellStates State;
    if (fGridControl && fGridControl->SetEditText(ACol, ARow, State, ColHead, RowHead, Text))
        ;
    else if (ColHead && ColHead->SetEditText(ACol, ARow, State, ColHead, RowHead, Text))
        ;
    else if (RowHead && RowHead->SetEditText(ACol, ARow, State, ColHead, RowHead, Text))
        ;
    else if (TCell* Cell
        = Text.isEmpty() ? fCells->FindCell(ACol, ARow) : fCells->GetCell(ACol, ARow))
        Cell->SetEditText(ACol, ARow, State, ColHead, RowHead, Text);
    InvalidateCell(ACol, ARow);
}

void TGridObject::PlaceCellRecord(
    qint32 ACol, qint32 ARow, const TDrawCellInfo& Info, bool HadObject)
{
    if (HadObject) {
        TCell* Cell = fCells->GetCell(ACol, ARow);
        Cell->SetDropList(Info.DropList);
        Cell->SetFont(Info.Font());
        Cell->SetAlignment(FlagsToAlignment(Info.Flags));
        Cell->SetBackColor(Info.CellColor);
        Cell->SetCellFormat(Info.CellFormat);
        Cell->SetPrecision(Info.Precision);
    } else {
        // A plain cell lands as a plain cell: the look of what stood there
        // before must not stay behind under the new text.
        int Index = 0;
        if (fCells->Find(ACol, ARow, Index))
            fCells->Delete(Index);
    }
    WriteCellText(ACol, ARow, Info.FullText);
}

void TGridObject::MoveRegion(const TGridRegion& ASource, const TGridRegion& ADest)
{
    const TGridRegion Source = ASource.Normalized();
    const TGridRegion Dest = ADest.Normalized();
    const qint32 W = Source.LastCol - Source.FirstCol;
    const qint32 H = Source.LastRow - Source.FirstRow;
    if (W != Dest.LastCol - Dest.FirstCol || H != Dest.LastRow - Dest.FirstRow || Source == Dest)
        return;
    auto Inside = [this](const TGridRegion& R) {
        return fArea.Contains(R.First()) && fArea.Contains(R.Last());
    };
    if (!Inside(Source) || !Inside(Dest))
        return;
    const qint32 DC = Dest.FirstCol - Source.FirstCol;
    const qint32 DR = Dest.FirstRow - Source.FirstRow;
    const TEditStateScope Dragging(*this, esDragRegion);
    TUndoDragRegion* Record = nullptr;
    if (fUndoEnabled && !fEditState.Contains(esUndo))
        Record = static_cast<TUndoDragRegion*>(
            fUndoList->AddItem(std::make_unique<TUndoDragRegion>(this, Source, Dest)));
    struct TCopied {
        std::unique_ptr<TDrawCellInfo> Info;
        bool HadObject;
    };
    // Everything is read before anything is written: the two blocks may
    // overlap.
    std::vector<TCopied> Copied;
    Copied.reserve(size_t(W + 1) * size_t(H + 1));
    for (qint32 R = Source.FirstRow; R <= Source.LastRow; ++R)
        for (qint32 C = Source.FirstCol; C <= Source.LastCol; ++C) {
            if (Record) {
                auto Old = std::make_unique<TDrawCellInfo>();
                GetCellInfo(C + DC, R + DR, TCellStates(), *Old);
                const bool Had = Old->Cell != nullptr;
                Record->StoreCell(std::move(Old), Had);
            }
            auto Info = std::make_unique<TDrawCellInfo>();
            GetCellInfo(C, R, TCellStates(), *Info);
            const bool Had = Info->Cell != nullptr;
            Copied.push_back({ std::move(Info), Had });
        }
    if (Record)
        fUndoList->Trim();
    for (const TCopied& Item : Copied) {
        const qint32 C = Item.Info->Col();
        const qint32 R = Item.Info->Row();
        PlaceCellRecord(C + DC, R + DR, *Item.Info, Item.HadObject);
        if (!Dest.Contains(C, R)) {
            int Index = 0;
            if (fCells->Find(C, R, Index))
                fCells->Delete(Index);
            InvalidateCell(C, R);
        }
    }
    InvalidateRegion(Source);
    InvalidateRegion(Dest);
}

void TGridObject::FillRegion(const TGridRegion& ASource, const TGridRegion& ADest)
{
    const TGridRegion Source = ASource.Normalized();
    const TGridRegion Dest = ADest.Normalized();
    if (!Dest.Contains(Source.First()) || !Dest.Contains(Source.Last()) || Source == Dest
        || !fArea.Contains(Dest.First()) || !fArea.Contains(Dest.Last()))
        return;
    const qint32 W = Source.LastCol - Source.FirstCol + 1;
    const qint32 H = Source.LastRow - Source.FirstRow + 1;
    std::vector<QString> Texts;
    Texts.reserve(size_t(W) * size_t(H));
    {
        const TEditStateScope Copying(*this, esCopyRegion);
        for (qint32 R = Source.FirstRow; R <= Source.LastRow; ++R)
            for (qint32 C = Source.FirstCol; C <= Source.LastCol; ++C)
                Texts.push_back(GetCellText(C, R, TCellStates()));
    }
    // The whole fill is one paste, so that one undo takes it back.
    TUndoPaste* Record = nullptr;
    if (fUndoEnabled && !fEditState.Contains(esUndo))
        Record = static_cast<TUndoPaste*>(fUndoList->AddItem(std::make_unique<TUndoPaste>(this)));
    TUndoPaste* const SavedRecord = fPasteUndo;
    fPasteUndo = Record;
    {
        const TEditStateScope Pasting(*this, esPasteRegion);
        struct TRestore {
            TGridObject& G;
            TUndoPaste* Saved;
            ~TRestore() { G.fPasteUndo = Saved; }
        } Restore { *this, SavedRecord };
        for (qint32 R = Dest.FirstRow; R <= Dest.LastRow; ++R)
            for (qint32 C = Dest.FirstCol; C <= Dest.LastCol; ++C) {
                if (Source.Contains(C, R))
                    continue;
                const qint32 I
                    = PositiveMod(R - Source.FirstRow, H) * W + PositiveMod(C - Source.FirstCol, W);
                SetCellValue(C, R, Texts[size_t(I)]);
            }
    }
    if (Record) {
        if (Record->Count() == 0)
            fUndoList->Remove(Record);
        else
            fUndoList->Trim();
    }
    InvalidateRegion(Dest);
}
