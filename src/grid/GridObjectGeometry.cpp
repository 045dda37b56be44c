// The pixel layout of a grid: display order, strips and gaps, hit tests,
// region rectangles, stepping over hidden heads, scrolling and fitting.
#include "grid/GridCanvas.h"
#include "grid/GridObject.h"
#include "grid/GridWindow.h"

#include <algorithm>

namespace {

constexpr int TrackInterval = 99;

}

bool TGridObject::GetColVisible(qint32 ACol) const
{
    const THead* H = ACol >= 0 ? fColHeads->FindHead(ACol) : nullptr;
    return !H || (H->Visible() && H->Size() >= 1);
}

bool TGridObject::GetRowVisible(qint32 ARow) const
{
    const THead* H = ARow >= 0 ? fRowHeads->FindHead(ARow) : nullptr;
    return !H || (H->Visible() && H->Size() >= 1);
}

qint32 TGridObject::GetColWidth(qint32 ACol) const
{
    const THead* H = ACol >= 0 ? fColHeads->FindHead(ACol) : nullptr;
    return H ? H->Size() : fCellSize.x();
}

qint32 TGridObject::GetRowHeight(qint32 ARow) const
{
    const THead* H = ARow >= 0 ? fRowHeads->FindHead(ARow) : nullptr;
    return H ? H->Size() : fCellSize.y();
}

qint32 TGridObject::GetFixedWidth() const
{
    qint32 W = 0;
    for (qint32 C = 0; C < FixedCols(); ++C)
        if (GetColVisible(C))
            W += GetColWidth(C) + SpaceWidth();
    return W;
}

qint32 TGridObject::GetFixedHeight() const
{
    qint32 H = 0;
    for (qint32 R = 0; R < FixedRows(); ++R)
        if (GetRowVisible(R))
            H += GetRowHeight(R) + SpaceHeight();
    return H;
}

qint32 TGridObject::NextCol(qint32 ACol) const
{
    return ACol + 1 == FixedCols() ? std::max(ACol + 1, LeftCol()) : ACol + 1;
}

qint32 TGridObject::NextRow(qint32 ARow) const
{
    return ARow + 1 == FixedRows() ? std::max(ARow + 1, TopRow()) : ARow + 1;
}

QRect TGridObject::GetClientRect() const
{
    if (fClientOverride)
        return *fClientOverride;
    return fGridControl ? fGridControl->ClientRect() : QRect();
}

namespace {

// Sum over every index of a head list's dimension without visiting indices
// that have no head: those all take the default size.
qint64 Integral(const THeadList& Heads, qint32 Count, qint32 Default, qint32 Space,
    bool (TGridObject::*Visible)(qint32) const, const TGridObject& G)
{
    qint64 Total = qint64(Count) * (Default + Space) + Space;
    for (int I = 0; I < Heads.Count(); ++I) {
        const THead* H = Heads.Items(I);
        if (H->Cell() < 0 || H->Cell() >= Count)
            continue;
        Total -= Default + Space;
        if ((G.*Visible)(qint32(H->Cell())))
            Total += H->Size() + Space;
    }
    return Total;
}

}

qint32 TGridObject::IntegralColWidth() const
{
    return qint32(std::min<qint64>(INT32_MAX,
        Integral(*fColHeads, ColCount(), DefaultColWidth(), SpaceWidth(), &TGridObject::GetColVisible, *this)));
}

qint32 TGridObject::IntegralRowHeight() const
{
    return qint32(std::min<qint64>(INT32_MAX,
        Integral(*fRowHeads, RowCount(), DefaultRowHeight(), SpaceHeight(), &TGridObject::GetRowVisible, *this)));
}

TGridCell TGridObject::MouseToCell(qint32 X, qint32 Y) const
{
    const QRect R = GetClientRect();
    X = std::min(X, R.left() + R.width());
    Y = std::min(Y, R.top() + R.height());
    TGridCell Result { -1, -1 };
    qint64 A = R.left();
    while (X >= A && Result.Col < ColCount()) {
        Result.Col = NextCol(Result.Col);
        if (Result.Col < ColCount() && GetColVisible(Result.Col))
            A += SpaceWidth() + GetColWidth(Result.Col);
    }
    A = R.top();
    while (Y >= A && Result.Row < RowCount()) {
        Result.Row = NextRow(Result.Row);
        if (Result.Row < RowCount() && GetRowVisible(Result.Row))
            A += SpaceHeight() + GetRowHeight(Result.Row);
    }
    return Result;
}

QRect TGridObject::RegionToRect(const TGridRegion& Region) const
{
    const QRect Client = GetClientRect();
    const TGridRegion N = Region.Normalized();
    struct TSpan {
        qint64 Low;
        qint64 High;
    };
    auto Extent = [this](qint32 First, qint32 Last, qint32 Fixed, qint32 FirstShown, qint32 Count,
                      qint64 Origin, qint64 Edge, qint32 Space, bool IsCol) -> TSpan {
        auto Scrolled = [&](qint32 I) { return I >= Fixed && I < FirstShown; };
        if (Last < 0 || (Scrolled(First) && Scrolled(Last)))
            return { -1, -1 };
        if (First < Fixed)
            First = std::max(First, 0);
        if (Scrolled(Last))
            Last = Fixed - 1;
        if (Scrolled(First))
            First = FirstShown;
        qint64 A = Origin;
        qint64 Low = -1;
        qint64 High = -1;
        qint32 I = -1;
        while (A <= Edge) {
            I = IsCol ? NextCol(I) : NextRow(I);
            if (I > Last || I >= Count)
                break;
            if (Low < 0 && I >= First)
                Low = A;
            if (IsCol ? GetColVisible(I) : GetRowVisible(I))
                A += Space + (IsCol ? GetColWidth(I) : GetRowHeight(I));
        }
        High = A + Space;
        if (Low < 0 || Low >= Edge) {
            Low = High + 1;
            High = Low;
        }
        return { Low, High };
    };
    const qint64 XEdge = qint64(Client.left()) + Client.width();
    const qint64 YEdge = qint64(Client.top()) + Client.height();
    TSpan X = Extent(N.FirstCol, N.LastCol, FixedCols(), LeftCol(), ColCount(), Client.left(),
        XEdge, SpaceWidth(), true);
    TSpan Y = Extent(N.FirstRow, N.LastRow, FixedRows(), TopRow(), RowCount(), Client.top(),
        YEdge, SpaceHeight(), false);
    if (fSelectionFrame) {
        X = { X.Low - 1, X.High + 2 };
        Y = { Y.Low - 1, Y.High + 2 };
    }
    auto Clip = [](qint64 V) { return qint32(std::clamp<qint64>(V, INT32_MIN / 2, INT32_MAX / 2)); };
    return QRect(QPoint(Clip(X.Low), Clip(Y.Low)), QPoint(Clip(X.High) - 1, Clip(Y.High) - 1));
}

TGridCell TGridObject::GetLastVisible(const QRect& Rect, TGridCell* ShownCount) const
{
    auto Walk = [this](qint64 Origin, qint64 Edge, qint32 Count, qint32 FirstShown, qint32 Space,
                    bool IsCol, qint32& Shown) {
        qint64 A = Origin;
        qint32 I = -1;
        qint32 LastVisible = -1;
        Shown = 0;
        while (true) {
            I = IsCol ? NextCol(I) : NextRow(I);
            if (I >= Count)
                return LastVisible;
            if (!(IsCol ? GetColVisible(I) : GetRowVisible(I)))
                continue;
            const qint32 Previous = LastVisible;
            A += Space + (IsCol ? GetColWidth(I) : GetRowHeight(I));
            if (I >= FirstShown)
                ++Shown;
            LastVisible = I;
            if (A > Edge)
                return Shown == 1 && I >= FirstShown ? I : Previous;
        }
    };
    TGridCell Count;
    TGridCell Last;
    Last.Col = Walk(Rect.left(), qint64(Rect.left()) + Rect.width(), ColCount(), LeftCol(),
        SpaceWidth(), true, Count.Col);
    Last.Row = Walk(Rect.top(), qint64(Rect.top()) + Rect.height(), RowCount(), TopRow(),
        SpaceHeight(), false, Count.Row);
    if (ShownCount)
        *ShownCount = Count;
    return Last;
}

qint32 TGridObject::StepVisible(qint32 From, qint32 N, qint32 Limit, bool IsCol) const
{
    auto Visible = [&](qint32 I) { return IsCol ? GetColVisible(I) : GetRowVisible(I); };
    qint32 Result = From;
    if (N > 0) {
        for (qint32 I = From; N >= 0 && I < Limit; ++I)
            if (Visible(I)) {
                Result = I;
                --N;
            }
    } else if (N < 0) {
        for (qint32 I = From; N < 1 && I > Limit; --I)
            if (Visible(I)) {
                Result = I;
                ++N;
            }
    }
    return Result;
}

qint32 TGridObject::NearestVisible(qint32 From, int Direction, bool IsCol) const
{
    const qint32 Low = IsCol ? FixedCols() : FixedRows();
    const qint32 High = IsCol ? fArea.LastCol : fArea.LastRow;
    for (qint32 I = std::clamp(From, Low, High); I >= Low && I <= High; I += Direction)
        if (IsCol ? GetColVisible(I) : GetRowVisible(I))
            return I;
    return std::clamp(From, Low, High);
}

void TGridObject::MakeVisible(qint32 ACol, qint32 ARow)
{
    const QRect Client = GetClientRect();
    const TGridCell Last = GetLastVisible();
    TGridCell New = fFirst;
    auto Fit = [this](qint32 Target, qint32 First, qint32 LastShown, qint32 Fixed, qint64 Edge,
                   qint64 Limit, qint32 Space, bool IsCol) {
        if (Target < Fixed || !(IsCol ? GetColVisible(Target) : GetRowVisible(Target)))
            return First;
        if (Target < First)
            return Target;
        if (Target <= LastShown)
            return First;
        qint32 Result = Target;
        qint64 V = Edge;
        for (qint32 I = Target; I >= First; --I) {
            if (!(IsCol ? GetColVisible(I) : GetRowVisible(I)))
                continue;
            V -= Space + (IsCol ? GetColWidth(I) : GetRowHeight(I));
            if (V < Limit)
                break;
            Result = I;
        }
        return Result;
    };
    New.Col = Fit(ACol, fFirst.Col, Last.Col, FixedCols(), qint64(Client.left()) + Client.width(),
        Client.left() + GetFixedWidth(), SpaceWidth(), true);
    New.Row = Fit(ARow, fFirst.Row, Last.Row, FixedRows(), qint64(Client.top()) + Client.height(),
        Client.top() + GetFixedHeight(), SpaceHeight(), false);
    SetFirst(New.Col, New.Row);
}

qint32 TGridObject::Distance(qint32 From, qint32 To, bool IsCol) const
{
    // A distance as large as the window means the whole picture is painted again, whatever
    // the exact figure; summing stops there, so that a jump across a million rows costs no
    // more than a step of one page.
    const QRect Client = GetClientRect();
    const qint64 Limit = qint64(IsCol ? Client.width() : Client.height());
    qint64 D = 0;
    for (qint32 I = std::min(From, To); I < std::max(From, To) && D <= Limit; ++I)
        if (IsCol ? GetColVisible(I) : GetRowVisible(I))
            D += (IsCol ? GetColWidth(I) + SpaceWidth() : GetRowHeight(I) + SpaceHeight());
    return qint32(std::min<qint64>(D, INT32_MAX));
}

void TGridObject::SetFirst(qint32 ACol, qint32 ARow)
{
    ACol = std::clamp(ACol, FixedCols(), fArea.LastCol);
    ARow = std::clamp(ARow, FixedRows(), fArea.LastRow);
    if (ACol == fFirst.Col && ARow == fFirst.Row)
        return;
    const TGridCell Old = fFirst;
    fFirst = { ACol, ARow };
    TopLeftChanged(Old.Row != ARow);
    UpdateScrollBars();
    // The picture moves against the scroll: a larger first row moves it up.
    const qint32 DX = Distance(Old.Col, ACol, true);
    const qint32 DY = Distance(Old.Row, ARow, false);
    ScrollView(ACol > Old.Col ? -DX : DX, ARow > Old.Row ? -DY : DY);
}

void TGridObject::TopLeftChanged(bool TopChanged)
{
    if (fAutoNumRows && TopChanged)
        AdjustWidth(0);
    if (fGridControl)
        fGridControl->TopLeftChanged();
}

void TGridObject::ScrollView(qint32 DX, qint32 DY)
{
    // Only one direction at a time can move pixels: the fixed rows move
    // with a horizontal scroll and the fixed columns with a vertical one,
    // so a diagonal jump is painted afresh.
    const QRect Client = GetClientRect();
    const bool Moves = fGridControl && (DX == 0) != (DY == 0)
        && std::abs(DX) < Client.width() && std::abs(DY) < Client.height();
    if (Moves) {
        QRect Area = Client;
        if (DX != 0)
            Area.setLeft(Client.left() + GetFixedWidth());
        else
            Area.setTop(Client.top() + GetFixedHeight());
        if (fGridControl->ScrollArea(Area, DX, DY)) {
            // The gaps along the fixed area take the fixed colour, so the
            // new first row or column is painted again; a frame cut at the
            // edge moves with the pixels and is painted again too.
            if (DY != 0)
                InvalidateRow(TopRow());
            else
                InvalidateCol(LeftCol());
            if (fSelectionFrame)
                fSelection->Invalidate();
            return;
        }
    }
    InvalidateGrid();
}

bool TGridObject::GetScrollData(TScrollData& Data) const
{
    const QRect Full = fGridControl ? fGridControl->ControlRect() : QRect();
    const TGridCell Last = GetLastVisible(Full);
    Data.Horz.Max = ColCount() - 1 - FixedCols();
    Data.Horz.Pos = LeftCol() - FixedCols();
    Data.Horz.PageSize = Last.Col - LeftCol() + 1;
    Data.Horz.Visible
        = !(LeftCol() == FixedCols() && Last.Col == ColCount() - 1) && Data.Horz.PageSize >= 0;
    Data.Vert.Max = RowCount() - 1 - FixedRows();
    Data.Vert.Pos = TopRow() - FixedRows();
    Data.Vert.PageSize = Last.Row - TopRow() + 1;
    Data.Vert.Visible
        = !(TopRow() == FixedRows() && Last.Row == RowCount() - 1) && Data.Vert.PageSize >= 0;
    return true;
}

void TGridObject::StopTimer()
{
    if (fGridControl && fStartTrack)
        fGridControl->SetTimerEvent({}, 0);
    fStartTrack = false;
}

void TGridObject::CancelScrollTracking() { StopTimer(); }

void TGridObject::ApplyScrollCode(bool IsCol, int Code, qint32 ScrollPos)
{
    qint32& V = IsCol ? fNewFirst.Col : fNewFirst.Row;
    const qint32 Fixed = IsCol ? FixedCols() : FixedRows();
    const qint32 Count = IsCol ? ColCount() : RowCount();
    TGridCell Shown;
    const TGridCell Last = GetLastVisible(&Shown);
    // Whole scrollable heads on the page: the cut-off one does not count.
    const qint32 LastFull = IsCol ? Last.Col : Last.Row;
    const qint32 Page = std::max(1, LastFull - (IsCol ? LeftCol() : TopRow()) + 1);
    switch (Code) {
    case scLineUp:
        V = StepVisible(V, -1, Fixed - 1, IsCol);
        break;
    case scLineDown:
        V = StepVisible(V, 1, Count, IsCol);
        break;
    case scPageUp:
        V = StepVisible(V, -Page, Fixed - 1, IsCol);
        break;
    case scPageDown:
        V = StepVisible(V, Page, Count, IsCol);
        break;
    case scTop:
        V = NearestVisible(Fixed, 1, IsCol);
        break;
    case scBottom:
        V = NearestVisible(Count - 1, -1, IsCol);
        break;
    case scTrack:
    case scPosition: {
        const qint32 Target = std::clamp(ScrollPos + Fixed, Fixed, Count - 1);
        if (Target > V)
            V = NearestVisible(Target, 1, IsCol);
        else if (Target < V)
            V = NearestVisible(Target, -1, IsCol);
        break;
    }
    default:
        break;
    }
    V = std::clamp(V, Fixed, Count - 1);
}

void TGridObject::ScrollEvent(int ScrollBar, int ScrollCode, qint32& ScrollPos)
{
    const bool IsCol = ScrollBar == 0;
    if (ScrollCode == scPosition || ScrollCode == scEndScroll) {
        if (fStartTrack) {
            if (ScrollCode == scPosition)
                ApplyScrollCode(IsCol, ScrollCode, ScrollPos);
            StopTimer();
            SetFirst(fNewFirst.Col, fNewFirst.Row);
        } else if (ScrollCode == scPosition) {
            fNewFirst = fFirst;
            ApplyScrollCode(IsCol, ScrollCode, ScrollPos);
            SetFirst(fNewFirst.Col, fNewFirst.Row);
        }
        return;
    }
    if (!fStartTrack) {
        fStartTrack = true;
        fNewFirst = fFirst;
        if (fGridControl)
            fGridControl->SetTimerEvent([this] { SetFirst(fNewFirst.Col, fNewFirst.Row); },
                TrackInterval);
    }
    ApplyScrollCode(IsCol, ScrollCode, ScrollPos);
}

bool TGridObject::AdjustWidth(qint32 ACol)
{
    IGridCanvas* Canvas = fGridControl ? fGridControl->Canvas() : nullptr;
    const TGridCell Last = GetLastVisible();
    if (!Canvas || Last.Row < FixedRows() || ACol < 0 || ACol >= ColCount())
        return false;
    qint32 Best = 0;
    TDrawCellInfo Info;
    for (qint32 R = TopRow(); R <= Last.Row; ++R) {
        if (!GetRowVisible(R))
            continue;
        GetCellInfo(ACol, R, CellState(ACol, R), Info);
        const qint32 Margin = Info.Margin ? Info.Margin->Left + Info.Margin->Right : 6;
        if (Info.Flags & 0x20) {
            Best = std::max(Best, Canvas->TextExtent(Info.Font(), Info.WideText(), Info.Flags).width() + Margin);
        } else {
            for (int L = 0; L < Info.WideStrings.Count(); ++L)
                Best = std::max(Best,
                    Canvas->TextExtent(Info.Font(), Info.WideStrings.Get(L), Info.Flags).width() + Margin);
        }
        if (fAutoNumRows && ACol == 0 && Last.Row < FixedRows() + 99)
            Best = std::max(Best,
                Canvas->TextExtent(Info.Font(), QStringLiteral("99"), Info.Flags).width() + Margin + 4);
    }
    if (Best <= 0)
        return false;
    THead* Head = fColHeads->GetHead(ACol);
    if (Head->Size() == Best)
        return false;
    Head->SetSize(Best);
    InvalidateCol(ACol);
    return true;
}

bool TGridObject::AdjustHeight(qint32 ARow)
{
    IGridCanvas* Canvas = fGridControl ? fGridControl->Canvas() : nullptr;
    const TGridCell Last = GetLastVisible();
    if (!Canvas || Last.Col < FixedCols() || ARow < 0 || ARow >= RowCount())
        return false;
    qint32 Best = 0;
    TDrawCellInfo Info;
    for (qint32 C = LeftCol(); C <= Last.Col; ++C) {
        if (!GetColVisible(C))
            continue;
        GetCellInfo(C, ARow, CellState(C, ARow), Info);
        const qint32 Margin = Info.Margin ? Info.Margin->Top + Info.Margin->Bottom : 4;
        const qint32 Line = Canvas->TextExtent(Info.Font(), QStringLiteral("A"), Info.Flags).height();
        const qint32 Lines = std::max(1, Info.WideStrings.Count());
        const qint32 H = (Info.Flags & 0x20) ? Line : (Line + 1) * Lines - 1;
        Best = std::max(Best, H + Margin);
    }
    if (Best <= 0)
        return false;
    THead* Head = fRowHeads->GetHead(ARow);
    if (Head->Size() == Best)
        return false;
    Head->SetSize(Best);
    InvalidateRow(ARow);
    return true;
}

void TGridObject::ChangeScale(qint32 M, qint32 D)
{
    if (D == 0 || (fGridControl && !fGridControl->HasScalingFlags()))
        return;
    auto Scale = [M, D](qint32 V) {
        const qint64 P = qint64(V) * M;
        return qint32((P + (P >= 0 ? D / 2 : -D / 2)) / D);
    };
    fCellSize = { Scale(fCellSize.x()), Scale(fCellSize.y()) };
    fColHeads->SetDefHeadSize(Scale(fColHeads->DefHeadSize()));
    fRowHeads->SetDefHeadSize(Scale(fRowHeads->DefHeadSize()));
    for (THeadList* L : { fColHeads.get(), fRowHeads.get() })
        for (int I = 0; I < L->Count(); ++I) {
            THead* H = L->Items(I);
            H->StoreSize(Scale(H->Size()));
            H->SetAnchorSize(Scale(H->AnchorSize()));
        }
    GeometryChanged();
}
