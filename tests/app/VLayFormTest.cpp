#include "TestApplication.h"
#include "app/ColumnDialog.h"
#include "app/VLayForm.h"

#include <QAction>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class VLayFormTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }
};

// A list of items for the dialog, recording what it is told.
struct TItems {
    QStringList Names;
    QList<bool> States;
    QList<QPair<int, bool>> Checks;
    QStringList Updates;

    void Attach(TVLayForm& form)
    {
        form.SetOnInit([this](int num, QString& Name, bool& state) {
            if (num >= Names.size())
                return false;
            Name = Names[num];
            state = States[num];
            return true;
        });
        form.SetOnCheck([this](int num, bool flag) { Checks.append({ num, flag }); });
        form.SetOnBeginUpdate([this](QObject*) { Updates << "begin"; });
        form.SetOnEndUpdate([this](QObject*) { Updates << "end"; });
    }
};

}

TEST_F(VLayFormTest, GridShapeFollowsTheScreenProportions)
{
    const QSize wide(1920, 1080);
    struct TCase {
        const char* name;
        int n, maxW, maxH;
        QSize screen;
        int columns, rows;
    } cases[] = {
        { "twelve narrow cells", 12, 20, 20, wide, 4, 3 },
        { "twelve wide cells", 12, 100, 20, wide, 2, 6 },
        { "seven cells, short last column", 7, 40, 20, wide, 3, 3 },
        { "an empty row dropped", 5, 80, 20, wide, 2, 3 },
        { "one cell", 1, 300, 20, wide, 1, 1 },
        { "no width: one row", 5, 0, 20, wide, 5, 1 },
        { "no height: one column", 5, 40, 0, wide, 1, 5 },
        { "portrait screen, an empty row dropped", 12, 20, 20, QSize(1080, 1920), 3, 4 },
    };
    for (const TCase& c : cases) {
        const TVLayForm::TGridShape shape = TVLayForm::GridShape(c.n, c.maxW, c.maxH, c.screen);
        EXPECT_EQ(shape.Columns, c.columns) << c.name;
        EXPECT_EQ(shape.Rows, c.rows) << c.name;
        EXPECT_GE(shape.Columns * shape.Rows, c.n) << c.name;
    }
}

TEST_F(VLayFormTest, BoxesFromOnInitFilledDownThenAcross)
{
    TVLayForm form;
    TItems items;
    for (int i = 0; i < 12; ++i) {
        items.Names << QString("Поле %1").arg(i % 10);
        items.States << (i % 3 != 0);
    }
    items.Attach(form);
    form.DoInit();

    ASSERT_EQ(form.CheckCount(), 12);
    const TVLayForm::TGridShape shape
        = TVLayForm::GridShape(12, form.MaxW, form.MaxH, form.screen()->geometry().size());
    for (int i = 0; i < 12; ++i) {
        QCheckBox* box = form.CheckBox(i);
        EXPECT_EQ(box->text(), items.Names[i]);
        EXPECT_EQ(form.GetState(i), items.States[i]) << i;
        EXPECT_EQ(box->pos(), QPoint(i / shape.Rows * form.MaxW, i % shape.Rows * form.MaxH))
            << "box " << i;
        EXPECT_EQ(box->size(), QSize(form.MaxW, form.MaxH)) << "equal captions, equal boxes";
    }
    EXPECT_FALSE(form.GetState(-1));
    EXPECT_FALSE(form.GetState(12));
    EXPECT_EQ(form.width(), std::max(120, shape.Columns * form.MaxW));
    EXPECT_EQ(form.height(), shape.Rows * form.MaxH + TVLayForm::ButtonPanelHeight);

    // A shorter list on the next showing leaves no stale boxes behind.
    items.Names.resize(3);
    form.DoInit();
    EXPECT_EQ(form.CheckCount(), 3);
    EXPECT_EQ(form.findChildren<QCheckBox*>().size(), 3);
}

TEST_F(VLayFormTest, NoItemsKeepTheDesignSize)
{
    TVLayForm form;
    TItems items;
    items.Attach(form);
    form.DoInit();
    EXPECT_EQ(form.CheckCount(), 0);
    EXPECT_EQ(form.size(), QSize(120, 181));

    TVLayForm bare;
    bare.DoInit();
    EXPECT_EQ(bare.CheckCount(), 0);
    EXPECT_EQ(bare.size(), QSize(120, 181));
}

TEST_F(VLayFormTest, ClicksReportedAtOnceAndHandlerErrorsSwallowed)
{
    TVLayForm form;
    TItems items;
    items.Names = { "a", "b", "c" };
    items.States = { true, false, true };
    items.Attach(form);
    form.DoInit();

    form.CheckBox(1)->click();
    form.CheckBox(0)->click();
    EXPECT_EQ(items.Checks, (QList<QPair<int, bool>> { { 1, true }, { 0, false } }));

    form.SetOnCheck([](int, bool) { throw std::runtime_error("refused"); });
    EXPECT_NO_THROW(form.CheckBox(2)->click());
    EXPECT_FALSE(form.GetState(2));
}

TEST_F(VLayFormTest, ContextMenuTicksAllBetweenBeginAndEnd)
{
    TVLayForm form;
    TItems items;
    items.Names = { "a", "b", "c" };
    items.States = { true, false, true };
    items.Attach(form);
    form.show();
    EXPECT_TRUE(form.BtmPanel->actions().contains(form.miCheckAll));
    EXPECT_EQ(form.miCheckAll->text(), "Включить Все");
    EXPECT_EQ(form.miUncheckAll->text(), "Выключить Все");

    form.miUncheckAll->trigger();
    // A box whose tick changes is reported twice, every report carries the new state.
    EXPECT_EQ(items.Checks,
        (QList<QPair<int, bool>> { { 0, false }, { 0, false }, { 1, false }, { 2, false },
            { 2, false } }));
    EXPECT_EQ(items.Updates, (QStringList { "begin", "end" }));
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(form.GetState(i));

    items.Checks.clear();
    items.Updates.clear();
    form.SetOnBeginUpdate([](QObject*) { throw std::runtime_error("busy"); });
    EXPECT_NO_THROW(form.miCheckAll->trigger());
    EXPECT_TRUE(items.Checks.isEmpty()) << "an error ends the sequence";
    form.hide();
}

TEST_F(VLayFormTest, RightClickOverABoxOpensTheMenu)
{
    TVLayForm form;
    TItems items;
    items.Names = { "a", "b" };
    items.States = { true, true };
    items.Attach(form);
    form.show();
    QStringList shown;
    QTimer::singleShot(20, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            for (QAction* a : popup->actions())
                shown << a->text();
            popup->close();
        }
    });
    QCheckBox* box = form.CheckBox(1);
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), box->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(box, &event);
    EXPECT_EQ(shown, (QStringList { "Включить Все", "Выключить Все" }));
    form.hide();
}

TEST_F(VLayFormTest, Texts)
{
    TVLayForm form;
    EXPECT_EQ(form.windowTitle(), "Просмотр");
    EXPECT_EQ(form.btnOk->text(), "&OK");
    EXPECT_TRUE(form.btnOk->isDefault());
    EXPECT_EQ(form.btnCancel->text(), "Отмена");
    EXPECT_EQ(form.BtmPanel->toolTip(),
        "Нажмите правой кнопкой мыши, чтобы включить или выключить все");
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(form.font().pixelSize(), 11);
}

namespace {

class ColumnDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        TestApplication();
        fModel.setColumnCount(4);
        fModel.setRowCount(2);
        fModel.setHorizontalHeaderLabels({ "№", "Дата", "Фамилия", "Результат" });
        fView.setModel(&fModel);
    }

    QStandardItemModel fModel;
    QTableView fView;
};

}

TEST_F(ColumnDialogTest, StateFromTheHeaderAndTheView)
{
    fView.setColumnHidden(1, true);
    fView.setColumnWidth(2, 0);
    struct TCase {
        int num;
        bool exists;
        QString name;
        bool state;
    } cases[] = {
        { 0, true, "№", true },
        { 1, true, "Дата", false },
        { 2, true, "Фамилия", false },
        { 3, true, "Результат", true },
        { 4, false, "", false },
        { -1, false, "", false },
    };
    for (const TCase& c : cases) {
        QString name;
        bool state = false;
        EXPECT_EQ(GetColumnState(fView, c.num, name, state), c.exists) << c.num;
        EXPECT_EQ(name, c.name) << c.num;
        EXPECT_EQ(state, c.state) << c.num;
    }
}

TEST_F(ColumnDialogTest, ShowingAColumnWithoutWidthGivesItTheDefault)
{
    const int defaultWidth = fView.horizontalHeader()->defaultSectionSize();
    fView.setColumnWidth(0, 0);
    fView.setColumnWidth(1, 57);

    SetColumnVisible(fView, 0, false);
    SetColumnVisible(fView, 1, false);
    EXPECT_TRUE(fView.isColumnHidden(0));
    EXPECT_TRUE(fView.isColumnHidden(1));

    SetColumnVisible(fView, 0, true);
    SetColumnVisible(fView, 1, true);
    EXPECT_FALSE(fView.isColumnHidden(0));
    EXPECT_EQ(fView.columnWidth(0), defaultWidth);
    EXPECT_EQ(fView.columnWidth(1), 57) << "a column that kept its width keeps it";

    EXPECT_NO_THROW(SetColumnVisible(fView, 9, false));
}

TEST_F(ColumnDialogTest, UncheckAllThenCancelLeavesEveryColumnHidden)
{
    QWidget owner;
    owner.resize(600, 400);
    owner.show();
    QStringList captions;
    QList<bool> states;
    QPoint centre, ownerCentre;
    WhenModal([&](QWidget* w) {
        auto* form = qobject_cast<TVLayForm*>(w);
        ASSERT_NE(form, nullptr);
        for (int i = 0; i < form->CheckCount(); ++i) {
            captions << form->CheckBox(i)->text();
            states << form->GetState(i);
        }
        centre = form->frameGeometry().center();
        ownerCentre = owner.frameGeometry().center();
        form->miUncheckAll->trigger();
        form->btnCancel->click();
    });
    fView.setColumnHidden(2, true);
    ShowColumnDialog(fView, &owner);

    EXPECT_EQ(captions, (QStringList { "№", "Дата", "Фамилия", "Результат" }));
    EXPECT_EQ(states, (QList<bool> { true, true, false, true }));
    EXPECT_LE((centre - ownerCentre).manhattanLength(), 2);
    for (int c = 0; c < 4; ++c)
        EXPECT_TRUE(fView.isColumnHidden(c)) << c;
}

TEST_F(ColumnDialogTest, TickingInTheDialogShowsTheColumn)
{
    fView.setColumnHidden(3, true);
    WhenModal([&](QWidget* w) {
        auto* form = qobject_cast<TVLayForm*>(w);
        form->CheckBox(3)->click();
        EXPECT_FALSE(fView.isColumnHidden(3)) << "shown before the dialog closes";
        form->CheckBox(0)->click();
        form->btnOk->click();
    });
    ShowColumnDialog(fView, nullptr);
    EXPECT_FALSE(fView.isColumnHidden(3));
    EXPECT_TRUE(fView.isColumnHidden(0));
}
