// Dragging the border of a row or column: the hit zones over the headers,
// the sizing line, collapsing heads dragged past their start and giving
// them back their sizes, in reverse order, when the border comes back.
#include "grid/GridObject.h"
#include "grid/GridWindow.h"

#include <algorithm>

namespace {

// How far from a border, in pixels, the pointer still takes it.
constexpr int BorderReach = 6;
constexpr int ExtractionReach = 3;

}

TGridObject::TSizingHit TGridObject::HitTestBorders(qint32 X, qint32 Y, bool IsCol) const
{
    TSizingHit Hit;
    const QRect Client = GetClientRect();
    // Along: the axis the borders cross; Across: the header band.
    const qint32 Along = IsCol ? X : Y;
    const qint32 Across = IsCol ? Y - Client.top() : X - Client.left();
    const qint32 Origin = IsCol ? Client.left() : Client.top();
    const qint32 End = IsCol ? Client.left() + Client.width() : Client.top() + Client.height();
    const qint32 FW = IsCol ? GetFixedWidth() : GetFixedHeight();
    const qint32 FH = IsCol ? GetFixedHeight() : GetFixedWidth();
    const qint32 S = IsCol ? SpaceWidth() : SpaceHeight();
    const qint32 Fixed = IsCol ? FixedCols() : FixedRows();
    const qint32 Count = IsCol ? ColCount() : RowCount();
    const qint32 First = IsCol ? LeftCol() : TopRow();
    const THeadList& Heads = IsCol ? *fColHeads : *fRowHeads;
    if (!(Along > Origin + FW + S && Along < End && Across >= 0 && Across <= FH + S))
        return Hit;
    auto Visible = [&](qint32 I) { return IsCol ? GetColVisible(I) : GetRowVisible(I); };
    auto Size = [&](qint32 I) { return IsCol ? GetColWidth(I) : GetRowHeight(I); };
    auto Collapsed = [&](qint32 I) {
        const THead* H = Heads.FindHead(I);
        return H && H->Visible() && H->Size() == 0;
    };
    const TGridState Extraction = IsCol ? gsColExtraction : gsRowExtraction;
    const TGridState Sizing = IsCol ? gsColSizing : gsRowSizing;
    // A collapsed head just before the first shown one, with nothing visible
    // between, can be pulled out at the fixed edge.
    if (First > Fixed && Along <= Origin + FW + S + BorderReach)
        for (qint32 I = First - 1; I >= Fixed && !Visible(I); --I)
            if (Collapsed(I))
                return { Extraction, I, Origin + FW + S, 0 };
    qint32 A = Origin + FW;
    qint32 LastVisible = -1;
    for (qint32 C = First; C < Count && A <= End; ++C) {
        if (!Visible(C))
            continue;
        LastVisible = C;
        A += Size(C) + S;
        const qint32 H = A + S;
        if (Along > H + ExtractionReach && Along <= H + BorderReach) {
            for (qint32 N = C + 1; N < Count && !Visible(N); ++N)
                if (Collapsed(N))
                    return { Extraction, N, H, 0 };
        }
        if (Along >= A - BorderReach && Along <= H + BorderReach)
            return { Sizing, C, A, A - Along };
        if (A - BorderReach > Along)
            return Hit;
    }
    // A head cut off at the window's edge is sized from just inside it.
    if (LastVisible >= 0 && A > End && Along >= End - ExtractionReach)
        return { Sizing, LastVisible, A, A - Along };
    return Hit;
}

TGridObject::TSizingHit TGridObject::HitTestSizing(qint32 X, qint32 Y) const
{
    if (fColSizing) {
        const TSizingHit Hit = HitTestBorders(X, Y, true);
        if (Hit.State != gsNormal)
            return Hit;
    }
    if (fRowSizing)
        return HitTestBorders(X, Y, false);
    return {};
}

qint32 TGridObject::BodyStart(qint32 Index, bool IsCol) const
{
    const QRect Client = GetClientRect();
    const qint32 S = IsCol ? SpaceWidth() : SpaceHeight();
    const qint32 Fixed = IsCol ? FixedCols() : FixedRows();
    const qint32 First = IsCol ? LeftCol() : TopRow();
    const qint64 End
        = IsCol ? qint64(Client.left()) + Client.width() : qint64(Client.top()) + Client.height();
    qint64 A = IsCol ? Client.left() : Client.top();
    qint32 From = 0;
    if (Index >= Fixed) {
        A += IsCol ? GetFixedWidth() : GetFixedHeight();
        // A head scrolled out of view starts where the shown ones begin.
        if (Index < First)
            return qint32(A + S);
        From = First;
    }
    // Only heads on screen are walked: a border beyond the window ends the
    // walk there.
    for (qint32 I = From; I < Index && A <= End; ++I)
        if (IsCol ? GetColVisible(I) : GetRowVisible(I))
            A += S + (IsCol ? GetColWidth(I) : GetRowHeight(I));
    return qint32(std::min<qint64>(A + S, INT32_MAX / 2));
}

qint32 TGridObject::GetSizingSize() const
{
    return std::max(0, fSizingPos - BodyStart(fSizingIndex, fGridState == gsColSizing));
}

void TGridObject::SetSizingHead(qint32 Index, bool IsCol)
{
    fSizingIndex = Index;
    fSizingHead = (IsCol ? fColHeads : fRowHeads)->GetHead(Index);
}

void TGridObject::InvalidateSizingLine()
{
    const QRect Client = GetClientRect();
    if (fGridState == gsColSizing)
        InvalidateRect(QRect(fSizingPos - 1, Client.top(), 3, Client.height()));
    else
        InvalidateRect(QRect(Client.left(), fSizingPos - 1, Client.width(), 3));
}

void TGridObject::StartSizing(const TSizingHit& Hit, bool Focusing)
{
    if (Focusing)
        InvalidateGrid();
    const bool IsCol = Hit.State == gsColSizing || Hit.State == gsColExtraction;
    fGridState = IsCol ? gsColSizing : gsRowSizing;
    fSizingPos = Hit.Pos;
    fSizingOfs = Hit.Ofs;
    SetSizingHead(Hit.Index, IsCol);
    (IsCol ? fColHeads : fRowHeads)->CollapseHistory().clear();
    InvalidateSizingLine();
    if (fGridControl)
        fGridControl->SetMouseCapture(true);
}

void TGridObject::MoveSizing(qint32 X, qint32 Y)
{
    const qint32 NewPos = (fGridState == gsColSizing ? X : Y) + fSizingOfs;
    if (NewPos == fSizingPos)
        return;
    InvalidateSizingLine();
    if (fAutoCollapse)
        CollapseStep(NewPos, X, Y);
    else
        fSizingPos = NewPos;
    InvalidateSizingLine();
}

void TGridObject::CollapseStep(qint32 NewPos, qint32 X, qint32 Y)
{
    const bool IsCol = fGridState == gsColSizing;
    THeadList& Heads = IsCol ? *fColHeads : *fRowHeads;
    std::vector<THead*>& History = Heads.CollapseHistory();
    auto InHistory
        = [&](THead* H) { return std::find(History.begin(), History.end(), H) != History.end(); };
    auto Remember = [&](THead* H) {
        if (!InHistory(H)) {
            H->SetAnchorSize(H->Size());
            History.push_back(H);
        }
    };
    const TGridCell PointerCell = MouseToCell(X, Y);
    const qint32 Pointer = IsCol ? PointerCell.Col : PointerCell.Row;
    const qint32 Fixed = IsCol ? FixedCols() : FixedRows();
    auto First = [&] { return IsCol ? LeftCol() : TopRow(); };
    const bool Shrinking = NewPos < fSizingPos;
    fSizingPos = NewPos;
    if (Shrinking) {
        Remember(fSizingHead);
        // Past the start of the head: it collapses and the border of the
        // head before it is taken up, as far as the pointer went.
        while (Pointer < fSizingIndex) {
            qint32 Previous = fSizingIndex - 1;
            while (
                Previous >= Fixed && !(IsCol ? GetColVisible(Previous) : GetRowVisible(Previous)))
                --Previous;
            if (Previous < First())
                break;
            fSizingHead->SetSize(0);
            SetSizingHead(Previous, IsCol);
            Remember(fSizingHead);
        }
        if (Pointer < First()) {
            // Over the headers: the first shown head collapses and the view
            // starts at the next visible one.
            fSizingHead->SetSize(0);
            const qint32 Count = IsCol ? ColCount() : RowCount();
            qint32 Next = fSizingIndex + 1;
            while (Next < Count && !(IsCol ? GetColVisible(Next) : GetRowVisible(Next)))
                ++Next;
            if (fSizingIndex == First() && Next < Count) {
                if (IsCol)
                    fFirst.Col = Next;
                else
                    fFirst.Row = Next;
                TopLeftChanged(!IsCol);
                UpdateScrollBars();
            }
        } else {
            fSizingHead->SetSize(GetSizingSize());
        }
    } else {
        while (true) {
            if (fSizingIndex < First()) {
                // The head was pushed out of view at the start; it comes
                // back into view before it grows again.
                if (fSizingIndex < Pointer) {
                    if (IsCol)
                        fFirst.Col = fSizingIndex;
                    else
                        fFirst.Row = fSizingIndex;
                    TopLeftChanged(!IsCol);
                    UpdateScrollBars();
                }
                fSizingHead->SetSize(0);
                break;
            }
            const qint32 Wanted = GetSizingSize();
            if (InHistory(fSizingHead) && Wanted > fSizingHead->AnchorSize()) {
                // Back past the size it had: it gets that size again and the
                // head collapsed after it is taken up next.
                fSizingHead->SetSize(fSizingHead->AnchorSize());
                fSizingHead->SetAnchorSize(0);
                std::erase(History, fSizingHead);
                if (History.empty()) {
                    fSizingHead->SetSize(Wanted);
                    break;
                }
                SetSizingHead(qint32(History.back()->Cell()), IsCol);
                continue;
            }
            fSizingHead->SetSize(Wanted);
            break;
        }
    }
    InvalidateGrid();
}

void TGridObject::EndSizing()
{
    InvalidateSizingLine();
    if (!fSizingHead) {
        return;
    }
    if (!fAutoCollapse)
        fSizingHead->SetSize(GetSizingSize());
    // Heads given their size back keep no anchor; those still collapsed
    // keep theirs, so that the expand command finds it.
    (fGridState == gsColSizing ? fColHeads : fRowHeads)->CollapseHistory().clear();
    fSizingHead = nullptr;
    fSizingIndex = -1;
    InvalidateGrid();
}
