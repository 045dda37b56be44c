#include "app/JournalGrid.h"

#include "app/Journal.h"
#include "grid/GridObject.h"
#include "grid/model/Head.h"
#include "platform/db/DbError.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace {

constexpr quint8 kCyrillicCharset = 204;
constexpr TColor clSilver = RGBColor(192, 192, 192);
constexpr TColor clYellow = RGBColor(255, 255, 0);

TGridFont ArialPixels(int pixels)
{
    TGridFont font;
    font.SetName(QStringLiteral("Arial"));
    font.SetCharset(kCyrillicCharset);
    font.SetHeight(-pixels);
    return font;
}

void SetUpHead(THead& head, const QString& title, int width, int fontPixels,
    TTextAlignment alignment, TColor background)
{
    head.SetSize(width);
    head.SetFont(ArialPixels(fontPixels));
    head.SetAlignment(alignment);
    head.SetBackColor(background);
    if (!title.isEmpty()) {
        TWideText lines;
        lines.SetWideText(title);
        head.SetTitle(lines);
    }
}

// The name column of both grids: the label of row r's field, for valid rows only, so that
// the grid keeps its own content beyond the field list.
void gcFromParGET(const TJournal& journal, qint32 ARow, QString& Value, bool& Handled)
{
    if (journal.RowLabel(ARow, Value))
        Handled = true;
}

} // namespace

TJournalGrid::TJournalGrid(QWidget* parent)
    : TGridControl(parent)
{
    TGridObject& g = Grid();
    g.SetColCount(3);
    g.SetFixedCols(1);
    g.SetFixedRows(1);
    g.SetRowCount(2);
    g.SetSpaceWidth(1);
    g.SetSpaceHeight(1);
    g.SetSelectionFrame(true);
    g.SetHighlight(true);
    g.SetGridColor(TGridObject::gcFixedSpace, clSilver);
    g.SetGridColor(TGridObject::gcFixedHighlight, RGBColor(206, 225, 244));
    g.SetGridColor(TGridObject::gcEditor, clYellow);
    g.SetAutoHint(true);
    g.SetEnableCalculation(false);
    g.SetCellExitKeys({ gcekUp, gcekDown, gcekPageUp, gcekPageDown });
    g.SetUseTheme(false);

    SetUpHead(*g.Cols().GetHead(jcNumber), QString(), 18, 11, { afTop, afRight, afNoPrefix },
        clBtnFace);
    SetUpHead(*g.Cols().GetHead(jcName), QStringLiteral("Поле"), 300, 12,
        { afTop, afLeft, afNoPrefix }, RGBColor(250, 252, 205));
    SetUpHead(*g.Cols().GetHead(jcValue), QStringLiteral("Значение"), 300, 12,
        { afTop, afLeft, afNoPrefix }, RGBColor(201, 248, 252));
    g.Cols().FindHead(jcName)->SetReadOnly(true);
    // The user comes to the grid for the values; Enter or typing goes there, not into a label.
    g.FocusCell(jcValue, g.FixedRows(), false, true);
}

void TJournalGrid::ShowFieldLabels(const TJournal& journal)
{
    Grid().Cols().FindHead(jcName)->OnGetEditText
        = [&journal](TPersistent*, qint32, qint32 ARow, TCellStates, THead*, THead*,
              QString& Value, bool& Handled) { gcFromParGET(journal, ARow, Value, Handled); };
}

void TJournalGrid::SetDataRows(int aliasedCount)
{
    TGridObject& g = Grid();
    g.SetRowCount(TJournal::GridRowCount(g.FixedRows(), aliasedCount));
}

bool TJournalGrid::GetEditText(qint32 ACol, qint32 ARow, TCellStates AState, THead* AColHead,
    THead* ARowHead, QString& Text)
{
    // A title row shows the column head's title, the row numbers' column the automatic
    // numbers.
    const TGridObject& g = Grid();
    if (ARow < g.FixedRows() && ACol >= g.FixedCols() && AColHead
        && ARow < AColHead->Title().Count()) {
        Text = AColHead->Title().Get(ARow);
        return true;
    }
    return TGridControl::GetEditText(ACol, ARow, AState, AColHead, ARowHead, Text);
}

void TJournalGrid::OpenEditor()
{
    // The grid loads its editor with the editor's state, so the value column's handler gives
    // the value as it is edited (2.123456), not as it is displayed (2.1235).
    Grid().ShowEditor();
}

bool TJournalGrid::CommitEditor()
{
    TGridObject& g = Grid();
    if (!g.EditorMode())
        return true;
    const TGridCell cell = g.EditCell();
    const QString text = g.EditorText().GetWideText();
    try {
        // The grid writes a changed text through the value column's handler; an unchanged
        // one is not written at all.
        g.HideEditor();
    } catch (const EDatabaseError& e) {
        ReopenEditor(cell, text);
        ReportRefusal(e.Message());
        return false;
    } catch (const std::exception& e) {
        ReopenEditor(cell, text);
        ReportRefusal(QString::fromLocal8Bit(e.what()));
        return false;
    }
    return true;
}

void TJournalGrid::DropEditor()
{
    TGridObject& g = Grid();
    if (!g.EditorMode())
        return;
    // As for Escape: while the grid is read-only, closing the editor writes nothing.
    const bool readOnly = g.ReadOnly();
    g.SetReadOnly(true);
    try {
        g.HideEditor();
    } catch (const EDatabaseError&) {
    }
    g.SetReadOnly(readOnly);
}

void TJournalGrid::ReopenEditor(TGridCell cell, const QString& text)
{
    TGridObject& g = Grid();
    if (g.EditorMode())
        return;
    if (g.Current().Col != cell.Col || g.Current().Row != cell.Row)
        g.FocusCell(cell.Col, cell.Row, true, true);
    OpenEditor();
    if (g.EditorMode())
        g.EditorText().SetWideText(text);
    g.InvalidateCell(cell);
}

void TJournalGrid::ReportRefusal(const QString& message)
{
    if (fOnRefused)
        fOnRefused(message);
}

void TJournalGrid::Guarded(const std::function<void()>& input)
{
    TGridObject& g = Grid();
    const bool editing = g.EditorMode();
    const TGridCell cell = g.EditCell();
    const QString text = editing ? g.EditorText().GetWideText() : QString();
    try {
        input();
    } catch (const EDatabaseError& e) {
        if (editing)
            ReopenEditor(cell, text);
        ReportRefusal(e.Message());
    } catch (const std::exception& e) {
        if (editing)
            ReopenEditor(cell, text);
        ReportRefusal(QString::fromLocal8Bit(e.what()));
    }
}

void TJournalGrid::keyPressEvent(QKeyEvent* event)
{
    Guarded([&] { TGridControl::keyPressEvent(event); });
}

void TJournalGrid::inputMethodEvent(QInputMethodEvent* event)
{
    Guarded([&] { TGridControl::inputMethodEvent(event); });
}

void TJournalGrid::mousePressEvent(QMouseEvent* event)
{
    Guarded([&] { TGridControl::mousePressEvent(event); });
}

void TJournalGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    Guarded([&] { TGridControl::mouseDoubleClickEvent(event); });
}

void TJournalGrid::mouseReleaseEvent(QMouseEvent* event)
{
    Guarded([&] { TGridControl::mouseReleaseEvent(event); });
}

int TJournalGrid::ColumnHeadCount() const { return Grid().Cols().Count(); }

TColumnHeadState TJournalGrid::ColumnHead(int index) const
{
    const THead* head = Grid().Cols().Items(index);
    return TColumnHeadState { head->Size(), head->Visible(), head->ID(), int32_t(head->Cell()) };
}

bool TJournalGrid::SetColumnHead(const TColumnHeadState& state)
{
    THeadList& heads = Grid().Cols();
    for (int i = 0; i < heads.Count(); ++i) {
        THead* head = heads.Items(i);
        if (head->ID() != state.ID)
            continue;
        head->SetSize(state.Size);
        head->SetVisible(state.Visible);
        // A number beyond the grid's columns would leave the head where no column shows it.
        if (state.Cell >= 0 && state.Cell < Grid().ColCount())
            head->SetCell(state.Cell);
        return true;
    }
    return false;
}

void TJournalGrid::BeginColumnHeadsUpdate() { Grid().Cols().BeginUpdate(); }

void TJournalGrid::EndColumnHeadsUpdate() { Grid().Cols().EndUpdate(); }
