#include "settings/ColumnLayout.h"
#include "SettingsTestEnv.h"
#include "WidgetTestApp.h"
#include "settings/IniStorage.h"
#include "settings/RegStorage.h"
#include "settings/WinState.h"

#include <QHeaderView>
#include <QMainWindow>
#include <QStandardItemModel>
#include <QTableView>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

// A grid control as the layout store sees it: heads kept in order of their number, each
// with a permanent identifier.
class TFakeGrid : public QWidget, public IGridColumnHeads {
public:
    TFakeGrid(const QString& name, QWidget* parent, int count, int tag = 0)
        : QWidget(parent)
        , fTag(tag)
    {
        setObjectName(name);
        for (int i = 0; i < count; ++i)
            fHeads.push_back({ 64, true, 100 + i, i });
    }

    int Tag() const override { return fTag; }
    int ColumnHeadCount() const override { return int(fHeads.size()); }
    TColumnHeadState ColumnHead(int index) const override { return fHeads[size_t(index)]; }
    bool SetColumnHead(const TColumnHeadState& state) override
    {
        EXPECT_GT(fUpdates, 0);
        auto head = std::find_if(fHeads.begin(), fHeads.end(),
            [&](const TColumnHeadState& h) { return h.ID == state.ID; });
        if (head == fHeads.end())
            return false;
        *head = state;
        std::stable_sort(fHeads.begin(), fHeads.end(),
            [](const TColumnHeadState& a, const TColumnHeadState& b) { return a.Cell < b.Cell; });
        return true;
    }
    void BeginColumnHeadsUpdate() override { ++fUpdates; }
    void EndColumnHeadsUpdate() override { --fUpdates; }

    std::vector<TColumnHeadState> fHeads;
    int fTag;
    int fUpdates = 0;
};

struct TJournalWindow {
    QApplication& app = WidgetTestApp();
    QMainWindow window;
    QStandardItemModel model;
    QTableView* view;

    explicit TJournalWindow(int columns)
    {
        window.setObjectName("MainForm");
        view = new QTableView(&window);
        view->setObjectName("DBGrid1");
        window.setCentralWidget(view);
        model.setColumnCount(columns);
        model.setRowCount(2);
        view->setModel(&model);
    }

    QList<int> Widths() const
    {
        QList<int> result;
        for (int i = 0; i < model.columnCount(); ++i)
            result += view->horizontalHeader()->isSectionHidden(i) ? -1 : view->columnWidth(i);
        return result;
    }
    void SetWidths(const QList<int>& widths)
    {
        for (int i = 0; i < widths.size(); ++i) {
            view->setColumnHidden(i, widths[i] < 0);
            if (widths[i] >= 0)
                view->setColumnWidth(i, widths[i]);
        }
    }
};

QByteArray ReadValue(const QString& name)
{
    TRegStorage reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    if (!reg.OpenKey(kProgramRegPath, false))
        return {};
    uint32_t size = 0;
    if (!reg.ReadBinary(name, size, nullptr))
        return {};
    QByteArray bytes(qsizetype(size), '\0');
    reg.ReadBinary(name, size, bytes.data());
    return bytes.left(qsizetype(size));
}

QByteArray Entries(const QList<int>& values)
{
    QByteArray bytes;
    for (int v : values)
        for (int i = 0; i < 4; ++i)
            bytes += char(uint32_t(v) >> (8 * i) & 0xFF);
    return bytes;
}

void WriteCols(const QByteArray& bytes)
{
    TRegStorage reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    reg.SetAccess(int32_t(KEY_WRITE));
    ASSERT_TRUE(reg.OpenKey(kProgramRegPath, true));
    ASSERT_TRUE(reg.WriteBinary("Cols", uint32_t(bytes.size()), bytes.constData()));
}

}

TEST(ColumnLayout, ColInfoIsThirteenPackedBytes)
{
    const QByteArray bytes = TColInfo { 80, true, -2, 0x01020304 }.Encode();
    EXPECT_EQ(bytes.toHex(), QByteArray("5000000001feffffff04030201"));
    TColInfo back;
    ASSERT_TRUE(TColInfo::Decode(bytes, &back));
    EXPECT_EQ(back.Width, 80);
    EXPECT_TRUE(back.Visible);
    EXPECT_EQ(back.ID, -2);
    EXPECT_EQ(back.Cell, 0x01020304);
    EXPECT_FALSE(TColInfo::Decode(bytes.left(12), &back));
}

TEST(ColumnLayout, TableWidthsAndHiddenColumnsSurviveARestart)
{
    TSettingsTestEnv env;
    {
        TJournalWindow first(4);
        first.SetWidths({ 120, -1, 40, 77 });
        ASSERT_TRUE(StoreColumnLayouts(first.view, &first.window, kProgramRegPath));
    }
    EXPECT_EQ(ReadValue("Cols"), Entries({ 120, -1, 40, 77 }));
    TJournalWindow second(4);
    EXPECT_TRUE(RestoreColumnWidths(second.view, &second.window, kProgramRegPath));
    EXPECT_EQ(second.Widths(), QList<int>({ 120, -1, 40, 77 }));
}

TEST(ColumnLayout, StoredEntriesAgainstTheCurrentColumns)
{
    struct TCase {
        const char* name;
        QByteArray stored;
        int columns;
        bool applied;
        QList<int> expected;
    } cases[] = {
        { "same count", Entries({ 50, -1, 60 }), 3, true, { 50, -1, 60 } },
        { "fewer stored: new columns get width 0", Entries({ 50, -1 }), 4, true, { 50, -1, 0, 0 } },
        { "more stored: nothing applied", Entries({ 50, 60, 70, 80 }), 3, false, {} },
        { "not whole entries", Entries({ 50, 60 }).left(7), 3, false, {} },
        { "empty", QByteArray(), 3, false, {} },
    };
    for (const TCase& c : cases) {
        TSettingsTestEnv env;
        WriteCols(c.stored);
        TJournalWindow window(c.columns);
        window.view->horizontalHeader()->setSectionHidden(0, true);
        const QList<int> before = window.Widths();
        EXPECT_EQ(RestoreColumnWidths(window.view, &window.window, kProgramRegPath), c.applied)
            << c.name;
        EXPECT_EQ(window.Widths(), c.applied ? c.expected : before) << c.name;
    }
}

TEST(ColumnLayout, FirstStartAndEmptyViewChangeNothing)
{
    TSettingsTestEnv env;
    TJournalWindow window(3);
    const QList<int> before = window.Widths();
    EXPECT_FALSE(RestoreColumnWidths(window.view, &window.window, kProgramRegPath));
    EXPECT_EQ(window.Widths(), before);

    TJournalWindow empty(0);
    EXPECT_FALSE(StoreColumnLayouts(empty.view, &empty.window, kProgramRegPath));
    TRegStorage reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(kProgramRegPath, false));
}

TEST(ColumnLayout, GridLayoutsAreStoredPerGridAndRestoredById)
{
    TSettingsTestEnv env;
    {
        TJournalWindow first(2);
        auto* tabs = new QWidget(&first.window);
        auto* form = new TFakeGrid("gcForm", tabs, 3);
        auto* filter = new TFakeGrid("gcFilter", tabs, 2);
        form->fHeads = { { 30, true, 102, 0 }, { 40, false, 100, 1 }, { 50, true, 101, 2 } };
        filter->fHeads[1].Size = 99;
        ASSERT_TRUE(StoreColumnLayouts(first.view, &first.window, kProgramRegPath));
    }
    const QByteArray formValue = ReadValue("MainForm.gcForm.Cols");
    ASSERT_EQ(formValue.size(), 3 * 13);
    EXPECT_EQ(formValue.left(13), TColInfo({ 30, true, 102, 0 }).Encode());
    EXPECT_EQ(ReadValue("MainForm.gcFilter.Cols").size(), 2 * 13);

    TJournalWindow second(2);
    auto* tabs = new QWidget(&second.window);
    auto* form = new TFakeGrid("gcForm", tabs, 3);
    auto* filter = new TFakeGrid("gcFilter", tabs, 3);
    RestoreColumnWidths(second.view, &second.window, kProgramRegPath);
    ASSERT_EQ(form->fHeads.size(), 3u);
    EXPECT_EQ(form->fHeads[0].ID, 102);
    EXPECT_EQ(form->fHeads[0].Size, 30);
    EXPECT_EQ(form->fHeads[1].ID, 100);
    EXPECT_FALSE(form->fHeads[1].Visible);
    EXPECT_EQ(form->fHeads[2].Size, 50);
    EXPECT_EQ(form->fUpdates, 0);
    // The filter grid gained a column since: it keeps its design layout.
    for (const TColumnHeadState& head : filter->fHeads)
        EXPECT_EQ(head.Size, 64);
}

TEST(ColumnLayout, NegativeTagSkipsTheGridButWalksItsChildren)
{
    TSettingsTestEnv env;
    TJournalWindow window(1);
    auto* outer = new TFakeGrid("gcOuter", &window.window, 2, -1);
    new TFakeGrid("gcInner", outer, 2);
    new TFakeGrid("", &window.window, 2);
    TIniStorage ini;
    ini.SetRootKey(HKEY_CURRENT_USER);
    ini.SetAccess(int32_t(KEY_WRITE));
    ASSERT_TRUE(ini.OpenKey(kProgramRegPath, true));
    StoreColumnLayouts(window.view, &window.window, &ini);
    QStringList names;
    ini.GetValueNames(names);
    EXPECT_EQ(names, QStringList({ "Cols", "MainForm.gcInner.Cols" }));
}

TEST(ColumnLayout, DamagedGridValueIsIgnored)
{
    TSettingsTestEnv env;
    {
        TRegStorage reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        reg.SetAccess(int32_t(KEY_WRITE));
        ASSERT_TRUE(reg.OpenKey(kProgramRegPath, true));
        reg.WriteBinary("MainForm.gcForm.Cols", 27, QByteArray(27, '\x7f').constData());
    }
    TJournalWindow window(1);
    auto* grid = new TFakeGrid("gcForm", &window.window, 2);
    RestoreColumnWidths(window.view, &window.window, kProgramRegPath);
    EXPECT_EQ(grid->fHeads[0].Size, 64);
    EXPECT_EQ(grid->fHeads[1].Size, 64);
}
