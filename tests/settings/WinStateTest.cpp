#include "settings/WinState.h"
#include "SettingsTestEnv.h"
#include "WidgetTestApp.h"
#include "settings/IniStorage.h"
#include "settings/RegStorage.h"

#include <QDockWidget>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

// A main window as the journal has it: its state component on the user's program key.
struct TWindow {
    QApplication& app = WidgetTestApp();
    QMainWindow window;
    TWinState* state;

    explicit TWindow(TStoreEngine engine = steReg)
    {
        window.setObjectName("MainForm");
        window.resize(640, 400);
        state = new TWinState(&window);
        state->SetEngine(engine);
        state->SetStorage(spHKCU);
        state->SetRegPath(kProgramRegPath);
    }
};

QByteArray ReadValue(const QString& name, TStoreEngine engine = steReg)
{
    std::unique_ptr<TConfigStorage> reg;
    if (engine == steFile)
        reg = std::make_unique<TIniStorage>();
    else
        reg = std::make_unique<TRegStorage>();
    reg->SetRootKey(HKEY_CURRENT_USER);
    if (!reg->OpenKey(kProgramRegPath, false))
        return {};
    uint32_t size = 0;
    if (!reg->ReadBinary(name, size, nullptr))
        return {};
    QByteArray bytes(qsizetype(size), '\0');
    reg->ReadBinary(name, size, bytes.data());
    return bytes.left(qsizetype(size));
}

void WriteValue(const QString& name, uint32_t type, const QByteArray& data)
{
    THKey key = 0;
    ASSERT_EQ(
        RegCreateKeyEx(HKEY_CURRENT_USER, kProgramRegPath, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegSetValueEx(
        key, name, type, reinterpret_cast<const uint8_t*>(data.constData()), uint32_t(data.size()));
    RegCloseKey(key);
}

QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

}

TEST(WinState, RegStateIsFourteenLittleEndianBytes)
{
    TRegState state;
    state.X = -2;
    state.Y = 0x0102;
    state.W = 300;
    state.Pos = 3;
    const QByteArray bytes = state.Encode();
    EXPECT_EQ(bytes.toHex(), QByteArray("feff02012c010000000000000300"));
    TRegState back;
    ASSERT_TRUE(TRegState::Decode(bytes, &back));
    EXPECT_EQ(back.X, -2);
    EXPECT_EQ(back.Y, 0x0102);
    EXPECT_EQ(back.W, 300);
    EXPECT_EQ(back.Pos, 3);
    EXPECT_FALSE(TRegState::Decode(bytes.left(13), &back));
    EXPECT_FALSE(TRegState::Decode(bytes + '\0', &back));
}

TEST(WinState, NormalWindowIsStoredAsItsOuterRectangleAndComesBack)
{
    for (TStoreEngine engine : { steReg, steFile }) {
        TSettingsTestEnv env;
        QRect outer;
        {
            TWindow first(engine);
            first.window.setGeometry(50, 60, 500, 300);
            first.window.show();
            outer = first.window.frameGeometry();
            ASSERT_TRUE(first.state->StoreControls({}));
            first.state->CloseReg();
            TRegState stored;
            ASSERT_TRUE(TRegState::Decode(ReadValue("MainWnd", engine), &stored)) << engine;
            EXPECT_EQ(QRect(stored.X, stored.Y, stored.W, stored.H), outer) << engine;
            EXPECT_EQ(stored.State, 0);
            EXPECT_EQ(stored.Style, 0);
            EXPECT_EQ(stored.Pos, 0);
        }
        TWindow second(engine);
        EXPECT_TRUE(second.state->ReStoreControls({}));
        second.state->CloseReg();
        second.window.show();
        EXPECT_EQ(second.window.frameGeometry(), outer) << engine;
        EXPECT_EQ(second.window.geometry(), QRect(50, 60, 500, 300)) << engine;
        EXPECT_FALSE(second.window.isMaximized());
    }
}

TEST(WinState, MaximizedWindowComesBackMaximizedWithNormalPositionAt100)
{
    TSettingsTestEnv env;
    {
        TWindow first;
        first.window.showMaximized();
        ASSERT_TRUE(first.window.isMaximized());
        ASSERT_TRUE(first.state->StoreControls({}));
        TRegState stored;
        first.state->CloseReg();
        ASSERT_TRUE(TRegState::Decode(ReadValue("MainWnd"), &stored));
        EXPECT_LT(stored.X, 0);
        EXPECT_LT(stored.Y, 0);
        EXPECT_EQ(stored.State, 2);
    }
    TWindow second;
    EXPECT_TRUE(second.state->ReStoreControls({}));
    second.state->CloseReg();
    EXPECT_EQ(second.window.geometry().topLeft(), QPoint(100, 100));
    EXPECT_EQ(second.window.size(), QSize(640, 400));
    second.window.show();
    EXPECT_TRUE(second.window.isMaximized());
    second.window.showNormal();
    EXPECT_EQ(second.window.frameGeometry().topLeft(), QPoint(100, 100));
}

TEST(WinState, FirstStartKeepsDesignSizeCentred)
{
    TSettingsTestEnv env;
    TWindow window;
    EXPECT_FALSE(window.state->ReStoreControls({}));
    window.state->CloseReg();
    EXPECT_EQ(window.window.size(), QSize(640, 400));
    EXPECT_EQ(window.window.frameGeometry().center(), Available().center());
}

TEST(WinState, WrongSizedOrEmptyValuesLeaveTheDesignPlacement)
{
    struct TCase {
        const char* name;
        uint32_t type;
        QByteArray data;
    } cases[] = {
        { "13 bytes", REG_BINARY, QByteArray(13, '\x10') },
        { "15 bytes", REG_BINARY, QByteArray(15, '\x10') },
        { "empty", REG_BINARY, QByteArray() },
        { "dword", REG_DWORD, QByteArray(4, '\x10') },
        { "zero size", REG_BINARY, TRegState { 10, 10, 0, 0, 0, 0, 0 }.Encode() },
    };
    for (const TCase& c : cases) {
        TSettingsTestEnv env;
        WriteValue("MainWnd", c.type, c.data);
        TWindow window;
        EXPECT_FALSE(window.state->ReStoreControls({})) << c.name;
        window.state->CloseReg();
        EXPECT_EQ(window.window.size(), QSize(640, 400)) << c.name;
        EXPECT_EQ(window.window.frameGeometry().center(), Available().center()) << c.name;
        EXPECT_FALSE(window.window.isMaximized()) << c.name;
    }
}

TEST(WinState, PlacementOnAScreenThatIsGoneIsBroughtBack)
{
    TSettingsTestEnv env;
    WriteValue("MainWnd", REG_BINARY, TRegState { 20000, 20000, 300, 200, 0, 0, 0 }.Encode());
    TWindow window;
    EXPECT_TRUE(window.state->ReStoreControls({}));
    window.state->CloseReg();
    EXPECT_TRUE(Available().contains(window.window.frameGeometry()))
        << window.window.frameGeometry().x();
    EXPECT_EQ(window.window.size(), QSize(300, 200));
}

TEST(WinState, RestoreThenStoreWritesEvenWithoutCloseReg)
{
    TSettingsTestEnv env;
    WriteValue("MainWnd", REG_BINARY, TRegState { 30, 40, 300, 200, 0, 0, 0 }.Encode());
    TWindow window;
    ASSERT_TRUE(window.state->ReStoreControls({}));
    window.window.setGeometry(70, 80, 310, 210);
    EXPECT_TRUE(window.state->StoreControls({}));
    window.state->CloseReg();
    TRegState stored;
    ASSERT_TRUE(TRegState::Decode(ReadValue("MainWnd"), &stored));
    EXPECT_EQ(stored.X, 70);
    EXPECT_EQ(stored.W, 310);
}

TEST(WinState, ToolBarsAndDockWidgetsKeepTheirAreaAndVisibility)
{
    TSettingsTestEnv env;
    {
        TWindow first;
        auto* bar = new QToolBar("Tools", &first.window);
        bar->setObjectName("tbMain");
        first.window.addToolBar(Qt::LeftToolBarArea, bar);
        auto* dock = new QDockWidget("Dock", &first.window);
        dock->setObjectName("dwInfo");
        first.window.addDockWidget(Qt::BottomDockWidgetArea, dock);
        dock->hide();
        first.window.show();
        ASSERT_TRUE(first.state->StoreControls({ bar, dock }));
        first.state->CloseReg();
        TRegState stored;
        ASSERT_TRUE(TRegState::Decode(ReadValue("tbMain"), &stored));
        EXPECT_EQ(stored.Pos, 3);
        EXPECT_EQ(stored.Style, 1);
        ASSERT_TRUE(TRegState::Decode(ReadValue("dwInfo"), &stored));
        EXPECT_EQ(stored.Pos, 2);
        EXPECT_EQ(stored.Style, 0);
    }
    TWindow second;
    auto* bar = new QToolBar("Tools", &second.window);
    bar->setObjectName("tbMain");
    second.window.addToolBar(Qt::TopToolBarArea, bar);
    auto* dock = new QDockWidget("Dock", &second.window);
    dock->setObjectName("dwInfo");
    second.window.addDockWidget(Qt::RightDockWidgetArea, dock);
    EXPECT_TRUE(second.state->ReStoreControls({ bar, dock }));
    second.window.show();
    EXPECT_EQ(second.window.toolBarArea(bar), Qt::LeftToolBarArea);
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(second.window.dockWidgetArea(dock), Qt::BottomDockWidgetArea);
    EXPECT_TRUE(dock->isHidden());
}

TEST(WinState, ToolBarWithoutStoredValueGoesToTheTopAndShows)
{
    TSettingsTestEnv env;
    WriteValue("MainWnd", REG_BINARY, TRegState { 30, 40, 300, 200, 0, 0, 0 }.Encode());
    TWindow window;
    auto* bar = new QToolBar("Tools", &window.window);
    bar->setObjectName("tbMain");
    window.window.addToolBar(Qt::RightToolBarArea, bar);
    bar->hide();
    EXPECT_FALSE(window.state->ReStoreControls({ bar }));
    EXPECT_EQ(window.window.toolBarArea(bar), Qt::TopToolBarArea);
    EXPECT_FALSE(bar->isHidden());
}

TEST(WinState, ChangingPathStorageOrEngineClosesTheStore)
{
    TSettingsTestEnv env;
    TWindow window;
    ASSERT_TRUE(window.state->OpenReg(true));
    window.state->SetRegPath(kProgramRegPath);
    EXPECT_TRUE(window.state->IsRegOpen());
    window.state->SetRegPath(QStringLiteral("Software\\Ormelin\\other"));
    EXPECT_FALSE(window.state->IsRegOpen());
    ASSERT_TRUE(window.state->OpenReg(true));
    window.state->SetStorage(spHKLM);
    EXPECT_FALSE(window.state->IsRegOpen());
    window.state->SetStorage(spHKCU);
    ASSERT_TRUE(window.state->OpenReg(true));
    window.state->SetEngine(steFile);
    EXPECT_FALSE(window.state->IsRegOpen());
}
