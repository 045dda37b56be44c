#include "settings/IniStorage.h"
#include "SettingsTestEnv.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>

namespace {

const int32_t kWrite = int32_t(KEY_READ | KEY_WRITE);

std::unique_ptr<TIniStorage> Open(
    const QString& path, bool create, int32_t access = kWrite, THKey root = HKEY_CURRENT_USER)
{
    auto ini = std::make_unique<TIniStorage>();
    ini->SetRootKey(root);
    ini->SetAccess(access);
    return ini->OpenKey(path, create) ? std::move(ini) : nullptr;
}

}

TEST(IniStorage, FileAndSectionFromTheKeyPath)
{
    TSettingsTestEnv env;
    const QString file = env.Path("home/.tessaline/veskor.ini");
    EXPECT_EQ(Open("\\Software\\Ormelin\\veskor\\Cols", false), nullptr);
    auto ini = Open("\\Software\\Ormelin\\veskor\\Cols", true);
    ASSERT_NE(ini, nullptr);
    ini->CloseKey();
    EXPECT_TRUE(TSettingsTestEnv::ReadFile(file).contains("[Cols]"));

    ini = Open("Software/Ormelin/veskor", true);
    ASSERT_NE(ini, nullptr);
    EXPECT_TRUE(ini->WriteString("", "default"));
    EXPECT_TRUE(ini->WriteString("Name", "Журнал"));
    ini.reset();
    const QByteArray text = TSettingsTestEnv::ReadFile(file);
    EXPECT_TRUE(text.contains("[@]\n@=default\nName=" + QString("Журнал").toUtf8() + "\n"));

    EXPECT_EQ(Open("Software\\Ormelin\\veskor\\Missing", false, int32_t(KEY_READ)), nullptr)
        << "a missing section fails although the file exists";
    EXPECT_EQ(Open("Software\\Ormelin\\veskor\\Missing", true, int32_t(KEY_READ)), nullptr);
    EXPECT_EQ(Open("Software\\Ormelin", true), nullptr);

    qputenv("USERPROFILE", QFile::encodeName(env.Path("profile")));
    QDir().mkpath(env.Path("profile"));
    ASSERT_NE(Open("Software\\Ormelin\\other\\x\\ignored", true), nullptr);
    EXPECT_TRUE(QFileInfo::exists(env.Path("profile/.tessaline/other.ini")));
    qunsetenv("USERPROFILE");

    ASSERT_NE(Open("Software\\Ormelin\\veskor", true, kWrite, HKEY_LOCAL_MACHINE), nullptr);
    EXPECT_TRUE(QFileInfo::exists(env.Path("program/etc/veskor.ini")));
}

TEST(IniStorage, ValuesReadBack)
{
    TSettingsTestEnv env;
    auto ini = Open("Software\\Ormelin\\veskor\\Place", true);
    ASSERT_NE(ini, nullptr);
    const uint8_t bytes[3] = { 0, 171, 255 };
    ASSERT_TRUE(ini->WriteBinary("bin", 3, bytes));
    EXPECT_EQ(ini->ReadString("bin"), "00ABFF");
    ASSERT_TRUE(ini->WriteInteger("n", -12));
    ASSERT_TRUE(ini->WriteReal("r", 2.5));
    ASSERT_TRUE(ini->WriteInt64("big", 0x0102030405060708LL));
    ASSERT_TRUE(ini->WriteString("hex", "$1F"));
    ASSERT_TRUE(ini->WriteString("comma", "3,5"));
    ini.reset();

    ini = Open("Software\\Ormelin\\veskor\\Place", false, int32_t(KEY_READ));
    ASSERT_NE(ini, nullptr);
    uint8_t back[3] = {};
    uint32_t size = sizeof back;
    ASSERT_TRUE(ini->ReadBinary("bin", size, back));
    EXPECT_EQ(size, 3u);
    EXPECT_EQ(back[1], 171);
    EXPECT_EQ(back[2], 255);
    size = 2;
    EXPECT_FALSE(ini->ReadBinary("bin", size, back)) << "never past the caller's buffer";
    EXPECT_EQ(ini->ReadIntegerDef("n", 0), -12);
    EXPECT_EQ(ini->ReadIntegerDef("hex", 0), 31);
    EXPECT_EQ(ini->ReadIntegerDef("r", 9), 9);
    EXPECT_TRUE(ini->ReadBoolDef("n", false));
    EXPECT_TRUE(ini->ReadBoolDef("missing", true));
    EXPECT_DOUBLE_EQ(ini->ReadRealDef("r", 0), 2.5);
    EXPECT_DOUBLE_EQ(ini->ReadRealDef("comma", 0), 3.5);
    EXPECT_EQ(ini->ReadInt64Def("big", 0), 0x0102030405060708LL);
    EXPECT_EQ(ini->GetDataType("n"), rdString);
    EXPECT_EQ(ini->GetDataType("missing"), rdUnknown);
    QStringList names;
    ini->GetValueNames(names);
    EXPECT_EQ(names, QStringList({ "bin", "n", "r", "big", "hex", "comma" }));
}

TEST(IniStorage, BadContentLosesNothing)
{
    TSettingsTestEnv env;
    const QString file = env.Path("home/.tessaline/veskor.ini");
    const QByteArray original
        = "; kept comment\n[Place]\nstray line\nbin=0G\nodd=ABC\n\n[Other]\nx=1\n";
    TSettingsTestEnv::WriteFile(file, original);
    auto ini = Open("Software\\Ormelin\\veskor\\Place", false, int32_t(KEY_READ));
    ASSERT_NE(ini, nullptr);
    uint8_t buf[4];
    uint32_t size = sizeof buf;
    EXPECT_FALSE(ini->ReadBinary("bin", size, buf)) << "not hexadecimal";
    size = sizeof buf;
    EXPECT_TRUE(ini->ReadBinary("odd", size, buf));
    EXPECT_EQ(size, 1u);
    ini.reset();
    EXPECT_EQ(TSettingsTestEnv::ReadFile(file), original) << "reading never rewrites";

    ini = Open("Software\\Ormelin\\veskor\\Place", false);
    ASSERT_NE(ini, nullptr);
    EXPECT_FALSE(ini->WriteString("two\nlines", "x"));
    EXPECT_FALSE(ini->WriteString("a=b", "x"));
    EXPECT_FALSE(ini->WriteString("v", "line\nbreak"));
    EXPECT_TRUE(ini->WriteString("added", "1"));
    ini.reset();
    const QByteArray text = TSettingsTestEnv::ReadFile(file);
    EXPECT_TRUE(text.contains("; kept comment\n[Place]\nstray line\nbin=0G\nodd=ABC\nadded=1\n"))
        << text.constData();
    EXPECT_TRUE(text.contains("[Other]\nx=1\n"));
}

TEST(IniStorage, DeleteKeyErasesTheOpenSection)
{
    TSettingsTestEnv env;
    auto ini = Open("Software\\Ormelin\\veskor\\Cols", true);
    ASSERT_NE(ini, nullptr);
    ini->WriteInteger("n", 1);
    ini->CloseKey();
    ini->SetAccess(kWrite);
    EXPECT_TRUE(ini->DeleteKey("Software\\Ormelin\\veskor\\Cols"));
    EXPECT_EQ(Open("Software\\Ormelin\\veskor\\Cols", false), nullptr);
    EXPECT_FALSE(ini->DeleteKey("Software\\Ormelin\\veskor\\Cols"));
    EXPECT_FALSE(ini->MoveKey("a", "b", true));
}
