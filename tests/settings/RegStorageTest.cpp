#include "settings/RegStorage.h"
#include "SettingsTestEnv.h"
#include "messages/Trace.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const QString kKey = QStringLiteral("Software\\Ormelin\\veskor");

void OpenForWriting(TRegStorage& reg)
{
    reg.SetRootKey(HKEY_CURRENT_USER);
    reg.SetAccess(int32_t(KEY_READ | KEY_WRITE));
    ASSERT_TRUE(reg.OpenKey("\\" + kKey, true));
}

void SetRaw(const QString& name, uint32_t type, const QByteArray& data)
{
    THKey key = 0;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegSetValueEx(
        key, name, type, reinterpret_cast<const uint8_t*>(data.constData()), uint32_t(data.size()));
    RegCloseKey(key);
}

QByteArray Utf16z(const QString& text)
{
    return QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)
        + QByteArray(2, '\0');
}

}

TEST(RegStorage, OpenKeyPathAndError)
{
    TSettingsTestEnv env;
    TRegStorage reg;
    EXPECT_EQ(reg.RootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(reg.Access(), int32_t(KEY_READ));
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(kKey, false));
    EXPECT_EQ(reg.Error(), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(reg.Path().isEmpty());
    OpenForWriting(reg);
    EXPECT_EQ(reg.Path(), kKey);
    EXPECT_EQ(reg.Error(), 0);
}

TEST(RegStorage, ConversionsOfStoredValues)
{
    TSettingsTestEnv env;
    TRegStorage reg;
    OpenForWriting(reg);
    struct TBoolCase {
        QString text;
        bool def;
        bool expected;
    } bools[] = {
        { "yes", false, true },
        { "Off", true, true },
        { "Off", false, false },
        { "no", true, false },
        { "True", false, true },
        { "false", true, false },
        { "0", true, false },
        { "12", false, true },
        { "", true, true },
    };
    for (const TBoolCase& c : bools) {
        ASSERT_TRUE(reg.WriteString("b", c.text));
        EXPECT_EQ(reg.ReadBoolDef("b", c.def), c.expected) << c.text.toStdString();
    }
    struct TInt64Case {
        QString text;
        int64_t expected;
    } int64s[] = {
        { "00000000000000FF", 255 },
        { "255", 255 },
        { "-7", -7 },
        { "$ff", 255 },
        { "FFFFFFFFFFFFFFFF", -1 },
        { "12x", -99 },
    };
    for (const TInt64Case& c : int64s) {
        ASSERT_TRUE(reg.WriteString("i", c.text));
        EXPECT_EQ(reg.ReadInt64Def("i", -99), c.expected) << c.text.toStdString();
    }
    ASSERT_TRUE(reg.WriteString("r", "3,5"));
    EXPECT_DOUBLE_EQ(reg.ReadRealDef("r", 0), 3.5);
    ASSERT_TRUE(reg.WriteReal("r", 1.0 / 3));
    EXPECT_EQ(reg.ReadString("r"), "0.333333333333333");
    ASSERT_TRUE(reg.WriteInteger("n", -5));
    EXPECT_DOUBLE_EQ(reg.ReadRealDef("n", 0), -5);
    EXPECT_EQ(reg.ReadInt64Def("n", 0), -5);
    EXPECT_TRUE(reg.ReadBoolDef("n", false));
    EXPECT_EQ(reg.GetDataType("n"), rdInteger);

    const double d = 2.25;
    ASSERT_TRUE(reg.WriteBinary("d", 8, &d));
    EXPECT_DOUBLE_EQ(reg.ReadRealDef("d", 0), 2.25);
    const float f = -1.5f;
    ASSERT_TRUE(reg.WriteBinary("f", 4, &f));
    EXPECT_DOUBLE_EQ(reg.ReadRealDef("f", 0), -1.5);
    const uint8_t extended[10] = { 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x00, 0x40 };
    ASSERT_TRUE(reg.WriteBinary("e", 10, extended));
    EXPECT_DOUBLE_EQ(reg.ReadRealDef("e", 0), 3.0);
    ASSERT_TRUE(reg.WriteBinary("odd", 3, extended));
    EXPECT_DOUBLE_EQ(reg.ReadRealDef("odd", 9), 9);
    EXPECT_EQ(reg.ReadInt64Def("odd", 9), 0x00000000u) << "short binary zero-extended";

    ASSERT_TRUE(reg.WriteInt64("big", 0x1122334455667788LL));
    EXPECT_EQ(reg.ReadInt64Def("big", 0), 0x1122334455667788LL);
    EXPECT_EQ(reg.GetDataType("big"), rdBinary);
    EXPECT_EQ(reg.ReadIntegerDef("big", 4), 4);

    ASSERT_TRUE(reg.WriteString("s", "Журнал"));
    EXPECT_EQ(reg.ReadString("s"), "Журнал");
    EXPECT_EQ(reg.ReadStringDef("missing", "def"), "def");
    EXPECT_EQ(reg.ReadIntegerDef("s", 3), 3);
}

TEST(RegStorage, OtherStringTypesAndBinaryBuffers)
{
    TSettingsTestEnv env;
    SetRaw("exp", REG_EXPAND_SZ, Utf16z("42"));
    SetRaw("multi", REG_MULTI_SZ, Utf16z("a") + Utf16z("b") + QByteArray(2, '\0'));
    SetRaw("text", REG_BINARY, QByteArray("h\0i\0", 4));
    TRegStorage reg;
    OpenForWriting(reg);
    EXPECT_EQ(reg.GetDataType("exp"), rdExpandString);
    EXPECT_EQ(reg.ReadString("exp"), "42");
    EXPECT_EQ(reg.ReadInt64Def("exp", 0), 42);
    EXPECT_EQ(reg.GetDataType("multi"), rdString);
    EXPECT_EQ(reg.ReadString("multi"), "a\nb");
    EXPECT_EQ(reg.ReadString("text"), "hi");

    const uint8_t bytes[6] = { 1, 2, 3, 4, 5, 6 };
    ASSERT_TRUE(reg.WriteBinary("bin", 6, bytes));
    uint32_t size = 0;
    EXPECT_TRUE(reg.ReadBinary("bin", size, nullptr));
    EXPECT_EQ(size, 6u);
    uint8_t small[4] = {};
    size = sizeof small;
    EXPECT_FALSE(reg.ReadBinary("bin", size, small));
    EXPECT_EQ(reg.Error(), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    uint8_t whole[8] = {};
    size = sizeof whole;
    EXPECT_TRUE(reg.ReadBinary("bin", size, whole));
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::memcmp(whole, bytes, 6), 0);

    QStringList names;
    reg.GetValueNames(names);
    EXPECT_EQ(names, QStringList({ "exp", "multi", "text", "bin" }));
    int seen = 0;
    reg.EnumValues(&seen, [](void* ref, const QString&) { return ++*static_cast<int*>(ref) < 2; });
    EXPECT_EQ(seen, 2);
    EXPECT_TRUE(reg.DeleteValue("bin"));
    EXPECT_FALSE(reg.ValueExists("bin"));
}

TEST(RegStorage, MoveKeyKeepsEveryValueAndDeleteKeyRefusesSubkeys)
{
    TSettingsTestEnv env;
    SetRaw("exp", REG_EXPAND_SZ, Utf16z("%HOME%"));
    SetRaw("large", REG_BINARY, QByteArray(10000, 'x'));
    TRegStorage reg;
    OpenForWriting(reg);
    ASSERT_TRUE(reg.WriteInteger("n", 3));
    ASSERT_TRUE(reg.MoveKey(kKey, "Software\\Ormelin\\moved", true));
    EXPECT_TRUE(reg.Path().isEmpty() || reg.Path() == kKey);
    EXPECT_FALSE(reg.OpenKey(kKey, false));
    ASSERT_TRUE(reg.OpenKey("Software\\Ormelin\\moved", false));
    EXPECT_EQ(reg.GetDataType("exp"), rdExpandString);
    EXPECT_EQ(reg.ReadString("exp"), "%HOME%");
    uint32_t size = 0;
    EXPECT_TRUE(reg.ReadBinary("large", size, nullptr));
    EXPECT_EQ(size, 10000u);
    EXPECT_EQ(reg.ReadInteger("n"), 3);

    EXPECT_FALSE(reg.DeleteKey("\\Software\\Ormelin")) << "still has subkeys";
    EXPECT_TRUE(reg.DeleteKey("\\Software\\Ormelin\\moved"));
    EXPECT_FALSE(reg.OpenKey("Software\\Ormelin\\moved", false));
}

TEST(RegStorage, DamagedFileGivesDefaultsAndAnErrorTraceLine)
{
    TSettingsTestEnv env;
    const QString log = env.Path("trace.log");
    ASSERT_TRUE(OpenTraceLog(log));
    TSettingsTestEnv::WriteFile(env.UserFile(), "not a registry file");
    TRegStorage reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(kKey, false));
    EXPECT_EQ(reg.Error(), ERROR_BADDB);
    EXPECT_EQ(reg.ReadIntegerDef("x", 7), 7);
    CloseTraceLog();
    const QByteArray trace = TSettingsTestEnv::ReadFile(log);
    EXPECT_TRUE(trace.startsWith("Error! ")) << trace.constData();
    EXPECT_TRUE(trace.contains(QFile::encodeName(env.UserFile())));
}
