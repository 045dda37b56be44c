#include "MainFormFixture.h"
#include "app/DemoJournal.h"
#include "app/JournalArchive.h"
#include "app/JournalTableModel.h"
#include "app/MainForm.h"
#include "app/SearchEdit.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <functional>

namespace {

TEST_F(MainFormTest, OpensTheJournalOnTheFormTab)
{
    EXPECT_EQ(fForm->windowTitle(), "KLV - Журнал учета проведенных анализов");
    EXPECT_EQ(fForm->Pages()->currentIndex(), 0);
    EXPECT_TRUE(fForm->ViewFormAction()->isChecked());
    EXPECT_EQ(Query().RecordCount(), 40);
    EXPECT_EQ(fForm->TableView()->model()->rowCount(), 40);
    EXPECT_EQ(fForm->SortList()->currentText(), "Сортировать ...");
    EXPECT_EQ(fForm->SearchBox()->text(), "Поиск ...");
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
}

TEST_F(MainFormTest, TableModelPassesTheItemModelChecks)
{
    auto* model = fForm->TableView()->model();
    QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    Query().Insert();
    Query().Cancel();
    Query().Last();
    fForm->FullTable();
    EXPECT_EQ(model->rowCount(), 40);
}

TEST_F(MainFormTest, SearchBoxPlaceholderAndEnter)
{
    TSearchEdit* box = fForm->SearchBox();
    fForm->Pages()->setCurrentIndex(2);
    box->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(box->text(), "");
    // Enter in an empty, focused box searches for everything.
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_TRUE(Query().SQL().contains(":par1"));
    EXPECT_EQ(Query().RecordCount(), 40);

    box->setText("нет такого"); // what the user typed
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(Query().RecordCount(), 0);

    // Entering again empties it; leaving it empty brings the placeholder back, and the next
    // query has no search condition.
    fForm->TableView()->setFocus();
    box->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(box->text(), "");
    fForm->TableView()->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(box->text(), "Поиск ...");
    EXPECT_EQ(box->palette().color(QPalette::Text), QColor(192, 192, 192));
    fForm->ApplyQuery();
    EXPECT_EQ(Query().SQL(), "select * from analysis");
    EXPECT_EQ(Query().RecordCount(), 40);
}

TEST_F(MainFormTest, SortListTitleClickAndReverse)
{
    fForm->ReverseBox()->click(); // an order with the reverse box but sort item 0: none
    EXPECT_EQ(Query().SQL(), "select * from analysis");
    fForm->SortList()->setCurrentIndex(1);
    emit fForm->SortList()->activated(1);
    EXPECT_EQ(Query().SQL(), "select * from analysis order by OBJ_NUM DESC");
    const int column = ColumnOf("AN_DATE");
    ASSERT_GE(column, 0);
    emit fForm->TableView()->horizontalHeader()->sectionClicked(column);
    EXPECT_EQ(Query().SQL(), "select * from analysis  order by AN_DATE DESC");
    EXPECT_EQ(fForm->SortList()->currentIndex(), 1);
    fForm->FullTable();
    EXPECT_EQ(Query().SQL(), "select * from analysis  order by AN_DATE DESC");
}

TEST_F(MainFormTest, StatusBarSaysWhereTheUserIs)
{
    EXPECT_EQ(fForm->RecordPosition(), "Запись 1 из 40");
    fForm->Navigator()->Button(TNavigatorBar::nbLast)->click();
    EXPECT_EQ(fForm->RecordPosition(), "Запись 40 из 40");
    Query().SetRecNo(15);
    EXPECT_EQ(fForm->RecordPosition(), "Запись 15 из 40");
    fForm->Navigator()->Button(TNavigatorBar::nbInsert)->click();
    EXPECT_EQ(fForm->RecordPosition(), "Запись 15 из 41");
    fForm->SearchBox()->setText("нет такого");
    fForm->ApplyQuery();
    EXPECT_EQ(fForm->RecordPosition(), "Нет записей");
}

TEST_F(MainFormTest, ViewMenuFollowsTheActiveTab)
{
    fForm->Pages()->setCurrentIndex(1);
    EXPECT_TRUE(fForm->ViewTableAction()->isChecked());
    fForm->ViewFormAction()->trigger();
    EXPECT_EQ(fForm->Pages()->currentIndex(), 0);
    fForm->ViewTableAction()->trigger();
    EXPECT_EQ(fForm->Pages()->currentIndex(), 2);
    EXPECT_FALSE(fForm->ViewFormAction()->isChecked());
}

TEST_F(MainFormTest, ReportTabsAreNumberedByPositionAndOnlyTheyClose)
{
    QTabWidget* pages = fForm->Pages();
    for (int fixed = 0; fixed < 3; ++fixed) {
        pages->setCurrentIndex(fixed);
        fForm->PrepareTabMenu();
        EXPECT_FALSE(fForm->CloseTabAction()->isEnabled()) << fixed;
        fForm->CloseActiveReport();
        EXPECT_EQ(pages->count(), 3);
    }
    fForm->ReportCommand();
    fForm->ReportCommand();
    ASSERT_EQ(pages->count(), 5);
    EXPECT_EQ(pages->tabText(3), "Отчёт 2");
    EXPECT_EQ(pages->tabText(4), "Отчёт 3");
    EXPECT_EQ(pages->currentIndex(), 4);

    pages->setCurrentIndex(3);
    fForm->PrepareTabMenu();
    EXPECT_TRUE(fForm->CloseTabAction()->isEnabled());
    fForm->CloseTabAction()->trigger();
    ASSERT_EQ(pages->count(), 4);
    EXPECT_EQ(pages->tabText(3), "Отчёт 3");
    fForm->ReportCommand();
    EXPECT_EQ(pages->tabText(4), "Отчёт 3");
}

TEST_F(MainFormTest, TableRowAndCurrentRecordFollowEachOther)
{
    QTableView* view = fForm->TableView();
    fForm->Pages()->setCurrentIndex(2);
    Query().SetRecNo(7);
    EXPECT_EQ(view->currentIndex().row(), 6);
    view->setCurrentIndex(view->model()->index(12, 1));
    EXPECT_EQ(Query().RecNo(), 13);
    EXPECT_EQ(view->model()->headerData(12, Qt::Vertical).toString(), "▶");
}

TEST_F(MainFormTest, EditsFromTheTableReachTheDatabase)
{
    QTableView* view = fForm->TableView();
    const int column = ColumnOf("PATIENT");
    ASSERT_GE(column, 0);
    const QModelIndex cell = view->model()->index(3, column);
    view->setCurrentIndex(cell);
    ASSERT_TRUE(view->model()->setData(cell, "Проверкина Анна"));
    EXPECT_EQ(Query().State(), dsEdit);
    EXPECT_EQ(view->model()->headerData(3, Qt::Vertical).toString(), "I");
    fForm->Post();
    EXPECT_EQ(Query().State(), dsBrowse);
    fForm->Refresh();
    EXPECT_EQ(view->model()->index(3, column).data().toString(), "Проверкина Анна");
}

TEST_F(MainFormTest, LettersInANumberFieldAreReportedAndTheEditStays)
{
    QTableView* view = fForm->TableView();
    const int patient = ColumnOf("PATIENT");
    const int year = ColumnOf("BIRTH_YEAR");
    ASSERT_GE(year, 0);
    view->setCurrentIndex(view->model()->index(2, patient));
    ASSERT_TRUE(view->model()->setData(view->model()->index(2, patient), "Новое Имя"));
    EXPECT_FALSE(view->model()->setData(view->model()->index(2, year), "тысяча"));
    ASSERT_EQ(fErrors.size(), 1);
    EXPECT_EQ(Query().State(), dsEdit);
    EXPECT_EQ(view->model()->index(2, patient).data().toString(), "Новое Имя");
}

TEST_F(MainFormTest, UntouchedNewRecordIsDroppedWhenLeft)
{
    QTableView* view = fForm->TableView();
    fForm->Pages()->setCurrentIndex(2);
    Query().SetRecNo(5);
    fForm->Navigator()->Button(TNavigatorBar::nbInsert)->click();
    EXPECT_EQ(Query().State(), dsInsert);
    EXPECT_EQ(view->model()->rowCount(), 41);
    // Moving to a row below the new one lands on the record that was there.
    const QString below = view->model()->index(10, 0).data().toString();
    view->setCurrentIndex(view->model()->index(10, 0));
    EXPECT_EQ(Query().State(), dsBrowse);
    EXPECT_EQ(view->model()->rowCount(), 40);
    EXPECT_EQ(view->currentIndex().data().toString(), below);
    fForm->Refresh();
    EXPECT_EQ(Query().RecordCount(), 40);
}

TEST_F(MainFormTest, RefreshKeepsTheSearchAndWritesAPendingEdit)
{
    fForm->SearchBox()->setText("кровь");
    fForm->ApplyQuery();
    const int found = Query().RecordCount();
    ASSERT_GT(found, 0);
    ASSERT_LT(found, 40);
    const int column = ColumnOf("NOTE");
    Query().SetRecNo(1);
    Query().Edit();
    Query().Field(column).SetAsWideString("кровь, повторно");
    fForm->Navigator()->Button(TNavigatorBar::nbRefresh)->click();
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
    EXPECT_EQ(Query().RecordCount(), found);
    EXPECT_EQ(Query().State(), dsBrowse);
    EXPECT_EQ(Query().DisplayTextAt(0, Query().Field(column)), "кровь, повторно");
}

TEST_F(MainFormTest, DeleteAsksAndRemovesTheRecord)
{
    bool asked = false;
    fForm->SetConfirmSink([&](const QString& q) {
        asked = true;
        EXPECT_EQ(q, "Удалить запись?");
        return false;
    });
    Query().SetRecNo(3);
    fForm->Navigator()->Button(TNavigatorBar::nbDelete)->click();
    EXPECT_TRUE(asked);
    EXPECT_EQ(Query().RecordCount(), 40);
    fForm->SetConfirmSink([](const QString&) { return true; });
    fForm->Navigator()->Button(TNavigatorBar::nbDelete)->click();
    EXPECT_EQ(Query().RecordCount(), 39);
    fForm->Refresh();
    EXPECT_EQ(Query().RecordCount(), 39);
}

TEST_F(MainFormTest, CloseWritesAPendingEdit)
{
    const int column = ColumnOf("PATIENT");
    Query().SetRecNo(1);
    Query().Edit();
    Query().Field(column).SetAsWideString("Закрытие Окна");
    fForm->close();
    fForm.reset();
    TMainForm again(fDir.path());
    EXPECT_EQ(again.Journal().Query().DisplayTextAt(0, again.Journal().Query().Field(column)),
        "Закрытие Окна");
}

TEST_F(MainFormTest, ArchiveStartsAnEmptyJournalAndRefusesASecondTimeInAMonth)
{
    const QString name = TJournalArchive::ArchiveFileName(QDateTime::currentDateTime());
    QStringList questions;
    bool agree = false;
    fForm->SetConfirmSink([&](const QString& q) {
        questions << q;
        return agree;
    });
    fForm->ArchiveCommand(); // declined: nothing moves
    ASSERT_EQ(questions.size(), 1);
    EXPECT_EQ(questions[0],
        QStringLiteral("Перенести все записи журнала в архив %1 и начать новый журнал?").arg(name));
    EXPECT_EQ(Query().RecordCount(), 40);
    EXPECT_FALSE(QFileInfo::exists(fDir.filePath(name)));
    EXPECT_TRUE(fInfos.isEmpty());

    agree = true;
    fForm->ArchiveCommand();
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
    ASSERT_EQ(fInfos.size(), 1);
    EXPECT_TRUE(fInfos[0].contains(QDir::toNativeSeparators(fDir.filePath(name))))
        << fInfos[0].toStdString();
    EXPECT_TRUE(Query().Active());
    EXPECT_EQ(Query().RecordCount(), 0);
    EXPECT_EQ(fForm->TableView()->model()->rowCount(), 0);
    const QString archive
        = fDir.filePath(TJournalArchive::ArchiveFileName(QDateTime::currentDateTime()));
    EXPECT_TRUE(QFileInfo::exists(archive));
    fForm->ArchiveCommand();
    ASSERT_EQ(fErrors.size(), 1);
    EXPECT_TRUE(fErrors.first().contains("уже существует")) << fErrors.first().toStdString();
    EXPECT_TRUE(Query().Active());
}

TEST_F(MainFormTest, PlacementAndColumnsAreKeptForTheNextStart)
{
    const QString settings
        = QDir::home().filePath(".config/Ormelin/HKEY_CURRENT_USER.reg");
    QFile::remove(settings);
    const int patient = ColumnOf("PATIENT");
    const int year = ColumnOf("BIRTH_YEAR");
    fForm->setGeometry(120, 90, 700, 540);
    fForm->TableView()->setColumnWidth(patient, 233);
    fForm->TableView()->setColumnHidden(year, true);
    QApplication::processEvents();
    const QRect outer = fForm->frameGeometry();
    fForm->close();
    fForm.reset();
    ASSERT_TRUE(QFileInfo::exists(settings));

    TMainForm again(fDir.path());
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&again));
    EXPECT_EQ(again.frameGeometry().size(), outer.size());
    EXPECT_EQ(again.TableView()->columnWidth(patient), 233);
    EXPECT_TRUE(again.TableView()->isColumnHidden(year));
    // What the user changes in this run outlives every reopen of the journal query.
    again.TableView()->setColumnHidden(year, false);
    again.FullTable();
    EXPECT_FALSE(again.TableView()->isColumnHidden(year));
    again.close();
    QFile::remove(settings);
}

TEST_F(MainFormTest, SearchesSortsAndRefreshesKeepTheColumnsAsTheUserLeftThem)
{
    QTableView* view = fForm->TableView();
    const int patient = ColumnOf("PATIENT");
    const int year = ColumnOf("BIRTH_YEAR");
    // Nothing is stored for this journal yet: widths fitted to the contents, never all alike.
    const int fittedNote = view->columnWidth(ColumnOf("NOTE"));
    EXPECT_NE(view->columnWidth(patient), view->columnWidth(year));
    view->setColumnWidth(patient, 321);
    view->setColumnHidden(year, true);
    const std::function<void()> reopens[] = {
        [&] {
            fForm->SearchBox()->setText("а");
            fForm->ApplyQuery();
        },
        [&] {
            fForm->SortList()->setCurrentIndex(2);
            emit fForm->SortList()->activated(2);
        },
        [&] { emit view->horizontalHeader()->sectionClicked(patient); },
        [&] { fForm->Refresh(); },
        [&] { fForm->FullTable(); },
    };
    for (const auto& reopen : reopens) {
        reopen();
        EXPECT_EQ(view->columnWidth(patient), 321);
        EXPECT_TRUE(view->isColumnHidden(year));
        EXPECT_EQ(view->columnWidth(ColumnOf("NOTE")), fittedNote);
    }
    // A query that failed to open leaves the view without columns; the next open still gets
    // the user's columns back.
    fForm->Journal().Query().Close();
    fForm->FullTable();
    EXPECT_EQ(view->columnWidth(patient), 321);
    EXPECT_TRUE(view->isColumnHidden(year));
    EXPECT_TRUE(fErrors.isEmpty()) << fErrors.join('\n').toStdString();
}

TEST_F(MainFormTest, CloseTakesTheTextOfAnOpenCellEditor)
{
    QTableView* view = fForm->TableView();
    const int column = ColumnOf("PATIENT");
    fForm->Pages()->setCurrentIndex(2);
    const QModelIndex cell = view->model()->index(0, column);
    view->setCurrentIndex(cell);
    view->edit(cell);
    auto* editor = view->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("Незакрытый Редактор");
    fForm->close();
    fForm.reset();
    TMainForm again(fDir.path());
    TDbQuery& q = again.Journal().Query();
    EXPECT_EQ(q.DisplayTextAt(0, q.Field(column)), "Незакрытый Редактор");
}

TEST_F(MainFormTest, MissingDatabaseIsReportedAndTheWindowStays)
{
    QStringList errors;
    QTemporaryDir empty;
    TMainForm form(empty.path(), "nowhere.db");
    form.SetErrorSink([&](const QString& m) { errors << m; });
    QApplication::processEvents();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_FALSE(form.Journal().Query().Active());
    form.FullTable(); // still usable, just fails again with its message
    EXPECT_EQ(errors.size(), 2);
    EXPECT_FALSE(QFileInfo::exists(empty.filePath("nowhere.db")));
}

} // namespace
