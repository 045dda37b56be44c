#include "settings/ExtraWinState.h"
#include "SettingsTestEnv.h"
#include "WidgetTestApp.h"
#include "messages/Trace.h"
#include "settings/RegStorage.h"

#include <QDockWidget>
#include <QMainWindow>
#include <QTemporaryFile>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

// A window with two tool bars on the top and a dock widget on the left.
struct TToolWindow {
    QApplication& app = WidgetTestApp();
    QMainWindow window;
    QToolBar* tbFile;
    QToolBar* tbEdit;
    QDockWidget* dwTree;
    TExtraWinState* state;

    TToolWindow()
    {
        window.setObjectName("MainForm");
        window.resize(640, 400);
        window.setCentralWidget(new QWidget);
        tbFile = AddBar("tbFile");
        tbEdit = AddBar("tbEdit");
        dwTree = new QDockWidget("Tree", &window);
        dwTree->setObjectName("dwTree");
        dwTree->setWidget(new QWidget);
        window.addDockWidget(Qt::LeftDockWidgetArea, dwTree);
        state = new TExtraWinState(&window);
        state->SetStorage(spHKCU);
        state->SetRegPath(kProgramRegPath);
    }

    QToolBar* AddBar(const QString& name)
    {
        auto* bar = new QToolBar(name, &window);
        bar->setObjectName(name);
        bar->addAction(name);
        window.addToolBar(Qt::TopToolBarArea, bar);
        return bar;
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

int32_t ReadInteger(const QString& name)
{
    TRegStorage reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    return reg.OpenKey(kProgramRegPath, false) ? reg.ReadIntegerDef(name, -99) : -99;
}

}

TEST(ExtraWinState, WSDataLayout)
{
    TWSData data;
    data.Name = TWSData::ShortName("tbAVeryLongToolBarNameIndeed");
    data.Position = QRect(QPoint(-5, 10), QSize(100, 30));
    data.DockName = "MainForm";
    data.Floating = true;
    data.Visible = true;
    data.Align = 3;
    const QByteArray bytes = data.Encode();
    ASSERT_EQ(bytes.size(), 64);
    EXPECT_EQ(uint8_t(bytes[0]), 20);
    EXPECT_EQ(bytes.mid(1, 20), QByteArray("tbAVeryLongToolBarNa"));
    EXPECT_EQ(bytes.mid(21, 3), QByteArray(3, '\0'));
    EXPECT_EQ(bytes.mid(24, 16).toHex(), QByteArray("fbffffff0a0000005f00000028000000"));
    EXPECT_EQ(uint8_t(bytes[40]), 8);
    EXPECT_EQ(bytes.mid(41, 8), QByteArray("MainForm"));
    EXPECT_EQ(bytes.mid(61, 3).toHex(), QByteArray("010103"));
    TWSData back;
    ASSERT_TRUE(TWSData::Decode(bytes, &back));
    EXPECT_EQ(back.Name, data.Name);
    EXPECT_EQ(back.Position, data.Position);
    EXPECT_EQ(back.DockName, data.DockName);
    EXPECT_TRUE(back.Floating && back.Visible);
    EXPECT_EQ(back.Align, 3);

    data.WindowState = 2;
    const QByteArray owner = data.Encode(true);
    EXPECT_EQ(uint8_t(owner[40]), 2);
    EXPECT_EQ(owner.mid(41, 20), QByteArray(20, '\0'));
    EXPECT_FALSE(TWSData::Decode(bytes.left(63), &back));
}

TEST(ExtraWinState, ControlListRoundTrip)
{
    TSettingsTestEnv env;
    {
        TToolWindow first;
        first.window.removeToolBar(first.tbEdit);
        first.window.addToolBar(Qt::BottomToolBarArea, first.tbEdit);
        first.tbEdit->show();
        first.window.addDockWidget(Qt::RightDockWidgetArea, first.dwTree);
        first.tbFile->hide();
        first.window.show();
        bool stored = false;
        first.state->SetOnStore([&] { stored = true; });
        ASSERT_TRUE(first.state->StoreControls());
        EXPECT_TRUE(stored);
        EXPECT_FALSE(first.state->IsRegOpen());
    }
    EXPECT_EQ(ReadInteger("controlcount"), 3);
    EXPECT_EQ(ReadValue("controllist").size(), 3 * 64);

    TToolWindow second;
    QList<QPair<QString, TRestoreState>> shown;
    second.state->SetOnShowRestore([&](QWidget* ctrl, TRestoreState origin, bool&) {
        shown += qMakePair(ctrl->objectName(), origin);
    });
    EXPECT_TRUE(second.state->RestoreControls());
    second.window.show();
    EXPECT_EQ(second.window.toolBarArea(second.tbEdit), Qt::BottomToolBarArea);
    EXPECT_EQ(second.window.toolBarArea(second.tbFile), Qt::TopToolBarArea);
    EXPECT_EQ(second.window.dockWidgetArea(second.dwTree), Qt::RightDockWidgetArea);
    EXPECT_TRUE(second.tbFile->isHidden());
    EXPECT_FALSE(second.tbEdit->isHidden());
    ASSERT_EQ(shown.size(), 3);
    for (const auto& entry : shown)
        EXPECT_EQ(entry.second, rsRegistry) << entry.first.toStdString();
}

TEST(ExtraWinState, ToolBarLinesSurvive)
{
    TSettingsTestEnv env;
    {
        TToolWindow first;
        first.window.insertToolBarBreak(first.tbEdit);
        first.window.show();
        ASSERT_GT(first.tbEdit->y(), first.tbFile->y());
        ASSERT_TRUE(first.state->StoreControls());
    }
    TToolWindow second;
    second.window.show();
    ASSERT_EQ(second.tbEdit->y(), second.tbFile->y());
    EXPECT_TRUE(second.state->RestoreControls());
    QApplication::processEvents();
    EXPECT_GT(second.tbEdit->y(), second.tbFile->y());
}

TEST(ExtraWinState, DamagedListIsTracedAndTheDefaultListUsed)
{
    TSettingsTestEnv env;
    QTemporaryFile log;
    ASSERT_TRUE(log.open());
    ASSERT_TRUE(OpenTraceLog(log.fileName()));
    {
        TRegStorage reg;
        reg.SetRootKey(HKEY_CURRENT_USER);
        reg.SetAccess(int32_t(KEY_READ | KEY_WRITE));
        ASSERT_TRUE(reg.OpenKey(kProgramRegPath, true));
        reg.WriteInteger("controlcount", 3);
        reg.WriteBinary("controllist", 70, QByteArray(70, 'x').constData());
    }
    TToolWindow window;
    int defaults = 0;
    window.state->SetOnShowRestore(
        [&](QWidget*, TRestoreState origin, bool&) { defaults += origin == rsDefault ? 1 : 0; });
    EXPECT_FALSE(window.state->RestoreControls());
    CloseTraceLog();
    EXPECT_EQ(defaults, 3);
    EXPECT_EQ(window.window.toolBarArea(window.tbEdit), Qt::TopToolBarArea);
    EXPECT_TRUE(
        TSettingsTestEnv::ReadFile(log.fileName()).contains("TExtraWinState.RestoreControls: "));
}

TEST(ExtraWinState, OwnerFormKeepsItsNormalRectangleWhenMaximized)
{
    TSettingsTestEnv env;
    {
        TToolWindow first;
        first.state->SetStoreOwnerForm(true);
        first.window.setGeometry(40, 50, 400, 300);
        first.window.showMaximized();
        ASSERT_TRUE(first.state->StoreControls());
        TWSData data;
        ASSERT_TRUE(TWSData::Decode(ReadValue("MainForm"), &data, true));
        EXPECT_EQ(data.Position, QRect(40, 50, 400, 300));
        EXPECT_EQ(data.WindowState, 2);
    }
    TToolWindow second;
    second.state->SetStoreOwnerForm(true);
    bool restoring = false;
    second.state->SetOnRestore([&] { restoring = true; });
    EXPECT_TRUE(second.state->RestoreControls());
    EXPECT_TRUE(restoring);
    second.window.show();
    EXPECT_TRUE(second.window.isMaximized());
    second.window.showNormal();
    EXPECT_EQ(second.window.geometry(), QRect(40, 50, 400, 300));
}

TEST(ExtraWinState, OnCanStoreAddsOtherControlsAndHandlersMayThrow)
{
    TSettingsTestEnv env;
    TToolWindow window;
    auto* panel = new QWidget(window.window.centralWidget());
    panel->setObjectName("pnlInfo");
    window.state->SetOnCanStore([&](QWidget* ctrl, bool& store) {
        if (ctrl == panel)
            store = true;
        if (ctrl == window.tbEdit)
            throw std::runtime_error("handler failed");
    });
    window.state->SetOnStore([] { throw 1; });
    EXPECT_TRUE(window.state->StoreControls());
    EXPECT_EQ(ReadInteger("controlcount"), 4);
}
