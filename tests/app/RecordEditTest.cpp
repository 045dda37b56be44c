#include "MainFormFixture.h"
#include "app/JournalTableView.h"
#include "app/SearchEdit.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <functional>

// Edits in the journal table always land in the record shown as current, and no command
// drops one unseen.
namespace {

class RecordEditTest : public MainFormTest {
protected:
    void SetUp() override
    {
        MainFormTest::SetUp();
        fView = fForm->TableView();
        fForm->Pages()->setCurrentIndex(2);
        fView->setFocus();
        QApplication::processEvents();
        fPatient = ColumnOf("PATIENT");
        fObjNum = ColumnOf("OBJ_NUM");
        ASSERT_GE(fPatient, 0);
        ASSERT_GE(fObjNum, 0);
    }

    QModelIndex Cell(int row, int column) const { return fView->model()->index(row, column); }
    QString Shown(int row, int column) const { return Cell(row, column).data().toString(); }
    void Click(int row, int column)
    {
        fView->scrollTo(Cell(row, column));
        QTest::mouseClick(fView->viewport(), Qt::LeftButton, {},
            fView->visualRect(Cell(row, column)).center());
    }
    // Keys as a keyboard sends them, each to whatever has the focus by then.
    static void Type(const QString& text, QWidget* into = nullptr)
    {
        for (QChar ch : text) {
            QWidget* target = into ? into : QApplication::focusWidget();
            ASSERT_NE(target, nullptr);
            QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(ch), {});
            QTest::sendKeyEvent(QTest::Release, into ? into : QApplication::focusWidget(),
                Qt::Key_unknown, QString(ch), {});
        }
    }
    // Lets the queued hand-overs of the view (an editor's Enter, a refusal) run.
    static void Settle()
    {
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
    }
    QLineEdit* OpenEditor() const
    {
        for (auto* line : fView->viewport()->findChildren<QLineEdit*>())
            if (!line->isHidden())
                return line;
        return nullptr;
    }
    QString StoredPatient(const QString& objNum) const
    {
        return Stored("select PATIENT from analysis where OBJ_NUM=?", objNum.toInt()).toString();
    }
    QStringList Patients() const
    {
        QStringList all;
        for (int row = 0; row < fView->model()->rowCount(); ++row)
            all << Shown(row, fPatient);
        return all;
    }
    // The view shows the query's record as current: the cursor and the only highlighted row.
    void ExpectShownAsCurrent(const char* where) const
    {
        const int row = Query().RecNo() - 1;
        EXPECT_EQ(fView->currentIndex().row(), row) << where;
        const QModelIndexList selected = fView->selectionModel()->selectedRows();
        ASSERT_EQ(selected.size(), 1) << where;
        EXPECT_EQ(selected.first().row(), row) << where;
    }
    TDbQuery& Query() const { return fForm->Journal().Query(); }

    TJournalTableView* fView = nullptr;
    int fPatient = -1;
    int fObjNum = -1;
};

TEST_F(RecordEditTest, TypingRightAfterAClickGoesIntoTheClickedCell)
{
    // A click on a cell of the current record and typing at once: no letter jumps to another
    // row that starts with it, none is lost, and a click on the current cell edits it too.
    QStringList before = Patients();
    Click(0, fPatient);
    Type("Павлова Анна");
    QTest::keyClick(OpenEditor(), Qt::Key_Return);
    QTest::keyClick(fView, Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
    EXPECT_EQ(Query().State(), dsBrowse);
    EXPECT_EQ(StoredPatient(Shown(0, fObjNum)), "Павлова Анна");
    before[0] = "Павлова Анна";
    EXPECT_EQ(Patients(), before);

    Click(3, fPatient);
    Click(3, fPatient); // now the current cell: its editor opens at once
    ASSERT_NE(OpenEditor(), nullptr);
    Type("Жукова");
    QTest::keyClick(OpenEditor(), Qt::Key_Return);
    fForm->Post();
    EXPECT_EQ(StoredPatient(Shown(3, fObjNum)), "Жукова");
}

TEST_F(RecordEditTest, AnEditAfterADroppedNewRecordGoesIntoTheRowShownAsCurrent)
{
    Click(12, fPatient);
    fForm->Navigator()->Button(TNavigatorBar::nbInsert)->click();
    ASSERT_EQ(Query().State(), dsInsert);
    ASSERT_EQ(fView->model()->rowCount(), 41);
    // The row clicked shows this record; dropping the new row above it moves it up by one.
    const QString clicked = Shown(15, fObjNum);
    fView->setFocus();
    Click(15, fPatient);
    EXPECT_EQ(Query().State(), dsBrowse);
    EXPECT_EQ(fView->model()->rowCount(), 40);
    EXPECT_EQ(Query().FieldByName("OBJ_NUM").DisplayText(), clicked);
    ExpectShownAsCurrent("after the drop");
    Type("Ж");
    QTest::keyClick(OpenEditor(), Qt::Key_Return);
    fForm->Post();
    EXPECT_EQ(StoredPatient(clicked), "Ж");
    ExpectShownAsCurrent("after the edit");
}

TEST_F(RecordEditTest, EveryCommandTakesTheTextOfAnOpenEditorFirst)
{
    struct TCase {
        const char* Name;
        std::function<void()> Run;
    };
    auto navigator = [this](TNavigatorBar::TButton b) {
        return [this, b] { fForm->Navigator()->Button(b)->click(); };
    };
    const TCase cases[] = {
        { "Ctrl+S", [this] { QTest::keyClick(fForm.get(), Qt::Key_S, Qt::ControlModifier); } },
        { "navigator post", navigator(TNavigatorBar::nbPost) },
        { "navigator next", navigator(TNavigatorBar::nbNext) },
        { "navigator refresh", navigator(TNavigatorBar::nbRefresh) },
        { "search", [this] { fForm->ApplyQuery(); } },
        { "sort", [this] {
             fForm->SortList()->setCurrentIndex(1);
             emit fForm->SortList()->activated(1);
         } },
        { "full table", [this] { fForm->FullTable(); } },
    };
    int row = 0;
    for (const TCase& c : cases) {
        fForm->FullTable();
        const QString objNum = Shown(row, fObjNum);
        fView->setCurrentIndex(Cell(row, fPatient));
        fView->edit(Cell(row, fPatient));
        ASSERT_NE(OpenEditor(), nullptr) << c.Name;
        const QString text = QStringLiteral("Набрано перед командой %1").arg(row);
        OpenEditor()->selectAll();
        Type(text, OpenEditor());
        c.Run();
        EXPECT_EQ(OpenEditor(), nullptr) << c.Name;
        EXPECT_EQ(StoredPatient(objNum), text) << c.Name;
        ++row;
    }
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();

    // A report reads what is written; the text goes into the record being edited.
    fView->setCurrentIndex(Cell(0, fPatient));
    fView->edit(Cell(0, fPatient));
    OpenEditor()->setText("Перед отчётом");
    fForm->ReportCommand();
    EXPECT_EQ(Query().State(), dsEdit);
    EXPECT_EQ(Query().Field(fPatient).DisplayText(), "Перед отчётом");
}

TEST_F(RecordEditTest, ARefusedNumberComesBackInItsEditorOnItsRecord)
{
    const int year = ColumnOf("BIRTH_YEAR");
    const QString objNum = Shown(2, fObjNum);
    const QString patient = Shown(2, fPatient);
    const QString yearBefore = Shown(2, year);
    fView->setCurrentIndex(Cell(2, fPatient));
    Type("Новое Имя");
    QTest::keyClick(OpenEditor(), Qt::Key_Return);
    Settle();
    ASSERT_EQ(Query().State(), dsEdit);

    fView->setCurrentIndex(Cell(2, year));
    Type("тысяча");
    QTest::keyClick(OpenEditor(), Qt::Key_Down); // leaves the cell
    Settle();
    ASSERT_EQ(fErrors.size(), 1);
    EXPECT_EQ(Query().State(), dsEdit);
    EXPECT_EQ(Query().RecNo(), 3);
    EXPECT_EQ(fView->currentIndex(), Cell(2, year));
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->text(), "тысяча");
    EXPECT_EQ(StoredPatient(objNum), patient) << "nothing of the record is written";

    // The same on Enter and on a command: the text stays for correcting.
    QTest::keyClick(OpenEditor(), Qt::Key_Return);
    Settle();
    ASSERT_NE(OpenEditor(), nullptr);
    EXPECT_EQ(OpenEditor()->text(), "тысяча");
    fForm->Post();
    Settle();
    EXPECT_EQ(fErrors.size(), 3);
    EXPECT_EQ(Query().State(), dsEdit);
    ASSERT_NE(OpenEditor(), nullptr);

    // Escape drops the cell's edit first, then the record's.
    QTest::keyClick(OpenEditor(), Qt::Key_Escape);
    EXPECT_EQ(OpenEditor(), nullptr);
    EXPECT_EQ(Query().State(), dsEdit);
    QTest::keyClick(fView, Qt::Key_Escape);
    EXPECT_EQ(Query().State(), dsBrowse);
    EXPECT_EQ(Shown(2, fPatient), patient);
    EXPECT_EQ(Shown(2, year), yearBefore);
}

TEST_F(RecordEditTest, ASaveThatFailsAtCloseAsksAndCanGoBackToTheRecord)
{
    const QString objNum = Shown(0, fObjNum);
    const QString patient = Shown(0, fPatient);
    Query().SetRecNo(1);
    Query().Edit();
    Query().Field(fPatient).SetAsWideString("Не записать");
    Stored("create trigger refuse before update on analysis "
           "begin select raise(abort, 'журнал только для чтения'); end");
    QStringList questions;
    bool closeAnyway = false;
    fForm->SetConfirmSink([&](const QString& q) {
        questions << q;
        return closeAnyway;
    });
    EXPECT_FALSE(fForm->close());
    ASSERT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions[0].contains("журнал только для чтения")) << questions[0].toStdString();
    EXPECT_TRUE(questions[0].contains("«Ф.И.О.»: Не записать")) << questions[0].toStdString();
    EXPECT_TRUE(fForm->isVisible());
    EXPECT_EQ(Query().State(), dsEdit);
    EXPECT_EQ(fForm->Pages()->currentIndex(), 2);

    closeAnyway = true;
    EXPECT_TRUE(fForm->close());
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(StoredPatient(objNum), patient);
}

TEST_F(RecordEditTest, AJournalArchivedElsewhereIsOpenedAnewAndTheLostEditShown)
{
    const QString objNum = Shown(0, fObjNum);
    Query().SetRecNo(1);
    Query().Edit();
    Query().Field(fPatient).SetAsWideString("Правка до архива");
    {
        TMainForm other(fDir.path());
        QStringList otherErrors;
        other.SetErrorSink([&](const QString& m) { otherErrors << m; });
        other.SetInfoSink([](const QString&) {});
        other.SetConfirmSink([](const QString&) { return true; });
        other.ArchiveCommand();
        ASSERT_TRUE(otherErrors.isEmpty()) << otherErrors.join('\n').toStdString();
        other.close();
    }
    fForm->Navigator()->Button(TNavigatorBar::nbRefresh)->click();
    ASSERT_EQ(fErrors.size(), 1);
    EXPECT_TRUE(fErrors[0].contains("перенесён в архив")) << fErrors[0].toStdString();
    EXPECT_TRUE(fErrors[0].contains("«Ф.И.О.»: Правка до архива")) << fErrors[0].toStdString();
    EXPECT_EQ(Query().State(), dsBrowse);
    EXPECT_EQ(Query().RecordCount(), 0);

    // The new journal takes records; the archive is left as it was.
    Query().Insert();
    Query().FieldByName("OBJ_NUM").SetAsWideString("1");
    fForm->Post();
    EXPECT_EQ(fErrors.size(), 1) << fErrors.join('\n').toStdString();
    EXPECT_EQ(Stored("select count(*) from analysis").toInt(), 1);
    EXPECT_TRUE(fForm->close());
}

TEST_F(RecordEditTest, TheWindowKeepsPaintingWhileASearchRuns)
{
    // The search reads on a thread of its own; meanwhile the window's own events go on, and
    // the user's input waits for the result.
    struct TKeyCounter : QObject {
        int Keys = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            Keys += e->type() == QEvent::KeyPress;
            return false;
        }
    } counter;
    fView->installEventFilter(&counter);
    bool ranDuringTheSearch = false;
    int keysDuringTheSearch = -1;
    QTimer::singleShot(0, fForm.get(), [&] {
        ranDuringTheSearch = !Query().Active();
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(fView, &key);
        keysDuringTheSearch = counter.Keys;
    });
    fForm->SearchBox()->setText("кровь");
    fForm->ApplyQuery();
    EXPECT_TRUE(ranDuringTheSearch);
    EXPECT_EQ(keysDuringTheSearch, 0);
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
    EXPECT_GT(Query().RecordCount(), 0);
    EXPECT_LT(Query().RecordCount(), 40);
}

} // namespace
