#include "MainFormFixture.h"
#include "app/FilterView.h"
#include "app/FormView.h"
#include "app/JournalGrid.h"
#include "grid/GridObject.h"
#include "grid/model/Head.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTabWidget>
#include <QToolButton>
#include <functional>

// The form writes what the user typed into the record it was typed for, and nothing else;
// the filter grid's Enter runs the query only outside the editor.
namespace {

class FormViewTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        ASSERT_EQ(fForm->Pages()->currentIndex(), 0) << "the program opens on the form tab";
        fGrid = &fForm->FormView()->Grid();
        fFilter = &fForm->FilterView()->Grid();
        fGrid->setFocus();
        QApplication::processEvents();
    }

    // The grid row of a field: the field at position r - 1 stands in row r.
    int RowOf(const QString& fieldName) { return ColumnOf(fieldName) + 1; }
    QString Current(const QString& fieldName)
    {
        return Query().FieldByName(fieldName).AsString();
    }
    static void Select(TJournalGrid& grid, int col, int row)
    {
        grid.Grid().SetCol(col);
        grid.Grid().SetRow(row);
    }
    static void Enter(TJournalGrid& grid) { grid.KeyStroke(Qt::Key_Return, Qt::NoModifier); }
    // Opens the value editor of a field as Enter does and replaces its text, as typing would.
    void Edit(const QString& fieldName, const QString& text)
    {
        Select(*fGrid, TJournalGrid::jcValue, RowOf(fieldName));
        Enter(*fGrid);
        ASSERT_TRUE(fGrid->Grid().EditorMode()) << fieldName.toStdString();
        fGrid->Grid().EditorText().SetWideText(text);
    }
    QString Shown(TJournalGrid& grid, int col, int row)
    {
        return grid.Grid().GetCellText(col, row, TCellStates());
    }
    QVariant StoredField(const QString& fieldName, const QString& objNum)
    {
        return Stored(QStringLiteral("select %1 from analysis where OBJ_NUM=?").arg(fieldName),
            objNum.toInt());
    }

    TJournalGrid* fGrid = nullptr;
    TJournalGrid* fFilter = nullptr;
};

TEST_F(FormViewTest, BothGridsShowTheAliasedFieldsUnderTheirLabels)
{
    for (TJournalGrid* grid : { fGrid, fFilter }) {
        const TGridObject& g = grid->Grid();
        EXPECT_EQ(g.ColCount(), 3);
        EXPECT_EQ(g.RowCount(), 1 + 16) << "one row per alias of the demo journal";
        EXPECT_GE(g.Cols().FindHead(0)->Size(), 18) << "fitted to the row numbers";
        EXPECT_EQ(g.Cols().FindHead(1)->Size(), 300);
        EXPECT_EQ(g.Cols().FindHead(2)->Size(), 300);
        EXPECT_EQ(g.clEditor(), RGBColor(255, 255, 0));
        EXPECT_EQ(g.clFixedSpace(), RGBColor(192, 192, 192));
        EXPECT_FALSE(g.EnableCalculation());
        EXPECT_EQ(Shown(*grid, 1, 0), "Поле");
        EXPECT_EQ(Shown(*grid, 2, 0), "Значение");
        EXPECT_EQ(Shown(*grid, 1, 1), "№ истории болезни");
        EXPECT_EQ(Shown(*grid, 1, RowOf("PATIENT")), "Ф.И.О.");
    }
    EXPECT_EQ(Shown(*fGrid, 2, RowOf("OBJ_NUM")), Current("OBJ_NUM"));
    EXPECT_EQ(Shown(*fFilter, 2, RowOf("OBJ_NUM")), "") << "the filter's cells are its own";
}

TEST_F(FormViewTest, AnEditReachesOnlyItsRecordWhenTheNextRecordIsShown)
{
    const QString first = Current("OBJ_NUM");
    Edit("PATIENT", "Иванов Пётр Сергеевич");
    Enter(*fGrid);
    EXPECT_FALSE(fGrid->Grid().EditorMode());
    EXPECT_EQ(Query().State(), dsEdit);
    EXPECT_EQ(Shown(*fGrid, 2, RowOf("PATIENT")), "Иванов Пётр Сергеевич");

    fForm->Navigator()->Button(TNavigatorBar::nbNext)->click();
    const QString second = Current("OBJ_NUM");
    ASSERT_NE(second, first);
    EXPECT_EQ(StoredField("PATIENT", first).toString(), "Иванов Пётр Сергеевич");
    EXPECT_EQ(Stored("select count(*) from analysis where PATIENT=?", "Иванов Пётр Сергеевич")
                  .toInt(),
        1);
    EXPECT_NE(StoredField("PATIENT", second).toString(), "Иванов Пётр Сергеевич");
    EXPECT_EQ(Shown(*fGrid, 2, RowOf("PATIENT")), Current("PATIENT"));
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
}

TEST_F(FormViewTest, OpeningAndClosingTheEditorOverAnyValueChangesNothing)
{
    const QString objNum = Current("OBJ_NUM");
    Stored("update analysis set CONC_BLOOD=2.123456, CONC_URINE=null,"
           " NOTE='строка один' where OBJ_NUM=?",
        objNum.toInt());
    fForm->Refresh();
    ASSERT_EQ(Current("OBJ_NUM"), objNum);
    ASSERT_EQ(Shown(*fGrid, 2, RowOf("CONC_BLOOD")), "2,1235");

    struct TCase {
        const char* Field;
        QString EditorText; // what the editor opens with; null: the stored value as read
    } cases[] = {
        { "CONC_BLOOD", "2,123456" },
        { "CONC_URINE", "" },
        { "OBJ_NUM", QString() },
        { "OBJ_GETD", QString() },
        { "PATIENT", QString() },
        { "BIRTH_YEAR", QString() },
        { "NOTE", "строка один" },
    };
    for (const TCase& c : cases) {
        const QVariant before = StoredField(c.Field, objNum);
        Select(*fGrid, TJournalGrid::jcValue, RowOf(c.Field));
        Enter(*fGrid);
        ASSERT_TRUE(fGrid->Grid().EditorMode()) << c.Field;
        if (!c.EditorText.isNull()) {
            EXPECT_EQ(fGrid->Grid().EditorText().GetWideText(), c.EditorText) << c.Field;
        }
        Enter(*fGrid);
        EXPECT_FALSE(fGrid->Grid().EditorMode()) << c.Field;
        EXPECT_EQ(Query().State(), dsBrowse) << c.Field << ": no edit mode for nothing";
        fForm->Post();
        EXPECT_EQ(StoredField(c.Field, objNum), before) << c.Field;
    }
    EXPECT_EQ(StoredField("CONC_BLOOD", objNum).toDouble(), 2.123456);
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
}

TEST_F(FormViewTest, ARefusedValueStaysInItsEditorAndHoldsTheRecord)
{
    const QString objNum = Current("OBJ_NUM");
    const QVariant year = StoredField("BIRTH_YEAR", objNum);
    Edit("BIRTH_YEAR", "19x7");
    Enter(*fGrid);
    ASSERT_EQ(fErrors.size(), 1);
    EXPECT_TRUE(fErrors.first().contains("19x7")) << fErrors.first().toStdString();
    EXPECT_TRUE(fGrid->Grid().EditorMode());
    EXPECT_EQ(fGrid->Grid().EditorText().GetWideText(), "19x7");
    EXPECT_EQ(Query().State(), dsEdit);

    // Neither a move nor a post lets the text go: the record stays, the editor keeps it.
    fForm->Navigator()->Button(TNavigatorBar::nbNext)->click();
    fForm->Post();
    EXPECT_EQ(fErrors.size(), 3);
    EXPECT_EQ(Current("OBJ_NUM"), objNum);
    EXPECT_EQ(fGrid->Grid().EditorText().GetWideText(), "19x7");

    fGrid->Grid().EditorText().SetWideText("1967");
    fForm->Navigator()->Button(TNavigatorBar::nbNext)->click();
    EXPECT_NE(Current("OBJ_NUM"), objNum);
    EXPECT_EQ(StoredField("BIRTH_YEAR", objNum).toInt(), 1967);
    EXPECT_NE(year.toInt(), 1967);
}

TEST_F(FormViewTest, ARefusalInsideTheGridsOwnInputIsShownAndTheTextKept)
{
    // Whatever input of the grid ends in a refused write, a key or a click, it is reported
    // here and the editor has the text again, even should the grid have closed it first.
    const int row = RowOf("BIRTH_YEAR");
    Edit("BIRTH_YEAR", "19x7");
    fGrid->OnKeyDown = [this, row](int key, Qt::KeyboardModifiers) {
        if (key != Qt::Key_F5)
            return false;
        fGrid->DropEditor();
        fGrid->Grid().SetCellValue(TJournalGrid::jcValue, row, "19x7");
        return true;
    };
    QTest::keyClick(fGrid, Qt::Key_F5);
    ASSERT_EQ(fErrors.size(), 1);
    EXPECT_TRUE(fErrors.first().contains("19x7")) << fErrors.first().toStdString();
    ASSERT_TRUE(fGrid->Grid().EditorMode());
    EXPECT_EQ(fGrid->Grid().EditCell().Row, row);
    EXPECT_EQ(fGrid->Grid().EditorText().GetWideText(), "19x7");
}

TEST_F(FormViewTest, EveryCommandTakesTheFormEditorIntoItsOwnRecordFirst)
{
    struct TCase {
        const char* Name;
        std::function<void()> Run;
    };
    auto navigator = [this](TNavigatorBar::TButton b) {
        return [this, b] { fForm->Navigator()->Button(b)->click(); };
    };
    const TCase cases[] = {
        { "navigator next", navigator(TNavigatorBar::nbNext) },
        { "navigator prior", navigator(TNavigatorBar::nbPrior) },
        { "navigator last", navigator(TNavigatorBar::nbLast) },
        { "navigator refresh", navigator(TNavigatorBar::nbRefresh) },
        { "Ctrl+S", [this] { QTest::keyClick(fForm.get(), Qt::Key_S, Qt::ControlModifier); } },
        { "search", [this] { fForm->ApplyQuery(); } },
        { "sort", [this] {
             fForm->SortList()->setCurrentIndex(1);
             emit fForm->SortList()->activated(1);
         } },
        { "full table", [this] { fForm->FullTable(); } },
        { "table tab", [this] { fForm->Pages()->setCurrentIndex(2); } },
    };
    int n = 0;
    for (const TCase& c : cases) {
        fForm->Pages()->setCurrentIndex(0);
        Query().SetRecNo(5 + n);
        const QString objNum = Current("OBJ_NUM");
        const QString text = QStringLiteral("Набрано в форме перед командой %1").arg(n++);
        Edit("PATIENT", text);
        c.Run();
        EXPECT_FALSE(fGrid->Grid().EditorMode()) << c.Name;
        fForm->Post();
        EXPECT_EQ(StoredField("PATIENT", objNum).toString(), text) << c.Name;
        EXPECT_EQ(Stored("select count(*) from analysis where PATIENT=?", text).toInt(), 1)
            << c.Name;
    }
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
}

TEST_F(FormViewTest, CancelDropsTheEditorAndTheRecordsChanges)
{
    const QString objNum = Current("OBJ_NUM");
    const QString patient = Current("PATIENT");
    Edit("PATIENT", "Набрано и отменено");
    Enter(*fGrid);
    Edit("INSTITUTION", "Ещё не внесено");
    fForm->Cancel();
    EXPECT_FALSE(fGrid->Grid().EditorMode());
    EXPECT_EQ(Query().State(), dsBrowse);
    EXPECT_EQ(Shown(*fGrid, 2, RowOf("PATIENT")), patient);
    fForm->Navigator()->Button(TNavigatorBar::nbNext)->click();
    EXPECT_EQ(StoredField("PATIENT", objNum).toString(), patient);
}

TEST_F(FormViewTest, AnEditorOpenWhileTheRecordMovesWithoutACommandWritesNowhere)
{
    const QString first = Current("OBJ_NUM");
    Edit("PATIENT", "Набрано, пока запись сменилась");
    Query().Next(); // as the data layer itself would reposition, without a command
    const QString second = Current("OBJ_NUM");
    EXPECT_FALSE(fGrid->Grid().EditorMode());
    ASSERT_EQ(fErrors.size(), 1);
    EXPECT_TRUE(fErrors.first().contains("Набрано, пока запись сменилась"))
        << "the user sees what was not written";
    fForm->Post();
    for (const QString& objNum : { first, second })
        EXPECT_NE(StoredField("PATIENT", objNum).toString(), "Набрано, пока запись сменилась");
}

TEST_F(FormViewTest, UndoNeverReachesAnotherRecord)
{
    Edit("PATIENT", "Первая правка");
    Enter(*fGrid);
    fForm->Navigator()->Button(TNavigatorBar::nbNext)->click();
    const QString second = Current("OBJ_NUM");
    const QString patient = Current("PATIENT");
    fGrid->KeyStroke(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Query().State(), dsBrowse);
    EXPECT_EQ(Current("PATIENT"), patient);
    EXPECT_EQ(StoredField("PATIENT", second).toString(), patient);
}

TEST_F(FormViewTest, TheNameColumnOfEitherGridCannotBeWritten)
{
    const int row = RowOf("PATIENT");
    for (TJournalGrid* grid : { fGrid, fFilter }) {
        grid->Grid().SetCellValue(TJournalGrid::jcName, row, "чужой текст");
        Select(*grid, TJournalGrid::jcName, row);
        grid->OpenEditor();
        EXPECT_EQ(grid->Grid().EditorText().GetWideText(), "Ф.И.О.");
        grid->Grid().EditorText().SetWideText("набрано в названии");
        EXPECT_TRUE(grid->CommitEditor());
        EXPECT_EQ(Shown(*grid, TJournalGrid::jcName, row), "Ф.И.О.");
        EXPECT_EQ(grid->Grid().Cells().Count(), 0) << "nothing kept behind the label either";
    }
    EXPECT_EQ(Query().State(), dsBrowse);
}

TEST_F(FormViewTest, MovingThroughRecordsRepaintsOnlyTheValueColumn)
{
    TGridObject& g = fGrid->Grid();
    fGrid->PaintPending();
    ASSERT_TRUE(fGrid->PendingRegion().isEmpty());
    const QRect values = g.RegionToRect({ 2, 0, 2, g.RowCount() - 1 });
    for (TNavigatorBar::TButton b : { TNavigatorBar::nbNext, TNavigatorBar::nbLast,
             TNavigatorBar::nbPrior, TNavigatorBar::nbFirst }) {
        fForm->Navigator()->Button(b)->click();
        const QRegion pending = fGrid->PendingRegion();
        EXPECT_FALSE(pending.isEmpty()) << int(b);
        EXPECT_TRUE((pending - QRegion(values)).isEmpty()) << int(b);
        for (int row = 0; row < g.RowCount(); ++row)
            for (int col : { 0, 1 })
                EXPECT_FALSE(pending.intersects(g.GetTextRect(col, row)))
                    << int(b) << ": cell " << col << ", " << row;
        fGrid->PaintPending();
        EXPECT_EQ(Shown(*fGrid, 2, RowOf("OBJ_NUM")), Current("OBJ_NUM"));
    }
}

TEST_F(FormViewTest, EnterInTheFilterWritesAnOpenEditorAndThenRunsTheQuery)
{
    fForm->Pages()->setCurrentIndex(1);
    fFilter->setFocus();
    const int expected
        = Stored("select count(*) from analysis where OBJ_NUM>=1010 and OBJ_NUM<=1030").toInt();
    ASSERT_GT(expected, 0);
    ASSERT_LT(expected, 40);
    const int row = RowOf("OBJ_NUM");
    Select(*fFilter, TJournalGrid::jcValue, row);
    fFilter->OpenEditor();
    fFilter->Grid().EditorText().SetWideText("1010..1030");

    Enter(*fFilter);
    EXPECT_FALSE(fFilter->Grid().EditorMode());
    EXPECT_EQ(Shown(*fFilter, 2, row), "1010..1030");
    EXPECT_EQ(Query().RecordCount(), 40) << "the first Enter only ends the editor";

    Enter(*fFilter);
    EXPECT_EQ(Query().RecordCount(), expected);
    EXPECT_TRUE(Query().SQL().contains("1010.00")) << Query().SQL().toStdString();
    EXPECT_EQ(Shown(*fFilter, 2, row), "1010..1030") << "the condition stays for the next query";

    // Enter on the name column is the grid's, not a query.
    fForm->FullTable();
    Select(*fFilter, TJournalGrid::jcName, row);
    Enter(*fFilter);
    EXPECT_EQ(Query().RecordCount(), 40);
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
}

TEST_F(FormViewTest, AConditionStillInItsEditorCountsForASearch)
{
    const int row = RowOf("OBJ_NUM");
    Select(*fFilter, TJournalGrid::jcValue, row);
    fFilter->OpenEditor();
    fFilter->Grid().EditorText().SetWideText("..1005");
    fForm->ApplyQuery();
    EXPECT_FALSE(fFilter->Grid().EditorMode());
    EXPECT_EQ(Query().RecordCount(),
        Stored("select count(*) from analysis where OBJ_NUM<=1005").toInt());
}

TEST_F(FormViewTest, GridColumnLayoutsAreKeptForTheNextStart)
{
    const QString settings = QDir::home().filePath(".config/Ormelin/HKEY_CURRENT_USER.reg");
    QFile::remove(settings);
    fGrid->Grid().Cols().FindHead(1)->SetSize(211);
    fFilter->Grid().Cols().FindHead(2)->SetSize(144);
    fFilter->Grid().Cols().FindHead(1)->SetVisible(false);
    fForm->close();
    fForm.reset();
    ASSERT_TRUE(QFileInfo::exists(settings));

    TMainForm again(fDir.path());
    const TGridObject& form = again.FormView()->Grid().Grid();
    const TGridObject& filter = again.FilterView()->Grid().Grid();
    EXPECT_EQ(again.Pages()->currentIndex(), 0);
    EXPECT_EQ(form.Cols().FindHead(1)->Size(), 211);
    EXPECT_EQ(form.Cols().FindHead(2)->Size(), 300);
    EXPECT_EQ(filter.Cols().FindHead(2)->Size(), 144);
    EXPECT_FALSE(filter.Cols().FindHead(1)->Visible());
    again.close();
    QFile::remove(settings);
}

} // namespace
