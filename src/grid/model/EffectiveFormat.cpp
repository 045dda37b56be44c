#include "grid/model/EffectiveFormat.h"

#include "grid/model/Cell.h"
#include "grid/model/DrawCellInfo.h"
#include "grid/model/Head.h"
#include "grid/model/TextFlags.h"

namespace {

void TakeAll(const TCellObject& Source, TDrawCellInfo& Info)
{
    Info.SetFont(Source.Font());
    Info.Flags = Source.TextFlags();
    Info.BackColor = Source.BackColor();
    Info.DropList = Source.DropList();
}

void TakeDefaults(TColor Back, quint32 Flags, const TFormatDefaults& D, TDrawCellInfo& Info)
{
    Info.BackColor = Back;
    Info.Flags = Flags;
    Info.DropList = nullptr;
    if (D.ControlFont)
        Info.SetFont(*D.ControlFont);
}

// The source of attribute K: the first candidate, replaced by each later one
// whose stamp is strictly greater.
const TCellObject* Latest(int K, std::initializer_list<const TCellObject*> Candidates)
{
    const TCellObject* Result = nullptr;
    for (const TCellObject* C : Candidates)
        if (!Result || C->ChangedOrders()[size_t(K)] > Result->ChangedOrders()[size_t(K)])
            Result = C;
    return Result;
}

void TakeLatest(std::initializer_list<const TCellObject*> Candidates, TDrawCellInfo& Info)
{
    Info.SetFont(Latest(coFont, Candidates)->Font());
    Info.Flags = Latest(coAlignment, Candidates)->TextFlags();
    Info.BackColor = Latest(coColor, Candidates)->BackColor();
    Info.DropList = Latest(coDropList, Candidates)->DropList();
}

}

void MergeCellFormat(const TFormatDefaults& D, qint32 ACol, qint32 ARow, TCellStates AState,
    THead* AColHead, THead* ARowHead, TCell* ACell, TDrawCellInfo& Info)
{
    Info.CellFormat = cfmtDefault;
    Info.Precision = 0;
    if (AState.Contains(csFixed)) {
        if (ACol < D.FixedCols && ARow < D.FixedRows)
            TakeDefaults(D.FixedCellColor, TextFlags::tfObjectDefault, D, Info);
        else if (ACol < D.FixedCols && AColHead)
            TakeAll(*AColHead, Info);
        else if (ARow < D.FixedRows && ARowHead)
            TakeAll(*ARowHead, Info);
        else
            TakeDefaults(D.FixedCellColor, TextFlags::tfHeaderDefault, D, Info);
    } else if (AColHead && ARowHead) {
        if (ACell) {
            TakeLatest({ ACell, ARowHead, AColHead }, Info);
            Info.CellFormat = ACell->CellFormat();
            Info.Precision = ACell->Precision();
        } else {
            TakeLatest({ AColHead, ARowHead }, Info);
        }
    } else if (AColHead || ARowHead) {
        TakeAll(AColHead ? *AColHead : *ARowHead, Info);
    } else {
        TakeDefaults(D.EditCellColor, TextFlags::tfDataDefault, D, Info);
    }
    Info.Margin.reset();
    Info.CellColor = Info.BackColor;
    if (AState.Contains(csEditor))
        Info.BackColor = AState.Contains(csReadOnly) ? D.FixedCellColor : D.EditorColor;
    Info.ColHead = AColHead;
    Info.RowHead = ARowHead;
    Info.Cell = ACell;
    Info.SetPosition(ACol, ARow);
    Info.State = AState;
}
