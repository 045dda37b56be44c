#include "SettingsTestEnv.h"
#include "platform/registry/AtomicFile.h"
#include "platform/registry/RegApi.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kKey = QStringLiteral("Software\\Ormelin\\veskor");

long SetDword(THKey key, const QString& name, uint32_t value)
{
    return RegSetValueEx(key, name, REG_DWORD, reinterpret_cast<const uint8_t*>(&value), 4);
}

// The value as this process sees it now; -1 when it cannot be read.
int64_t GetDword(const QString& name, const QString& keyPath = kKey)
{
    THKey key = 0;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, keyPath, KEY_READ, &key) != ERROR_SUCCESS)
        return -1;
    uint32_t value = 0, size = 4;
    const long rc = RegQueryValueEx(key, name, nullptr, reinterpret_cast<uint8_t*>(&value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? int64_t(value) : -1;
}

long WriteDword(const QString& name, uint32_t value)
{
    THKey key = 0;
    long rc = RegCreateKeyEx(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key);
    if (rc == ERROR_SUCCESS)
        rc = SetDword(key, name, value);
    RegCloseKey(key);
    return rc;
}

struct TProblems {
    QStringList Lines;
    TProblems()
    {
        SetRegProblemSink([this](const QString& text) { Lines.append(text); });
    }
    ~TProblems() { SetRegProblemSink({}); }
};

}

TEST(Registry, KeysValuesAndResultCodes)
{
    TSettingsTestEnv env;
    THKey key = 0;
    uint32_t disposition = 0;
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kKey, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(
        RegCreateKeyEx(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);

    const uint8_t bytes[14] = { 1, 2, 3 };
    ASSERT_EQ(RegSetValueEx(key, "MainWnd", REG_BINARY, bytes, 14), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key, "B", 7), ERROR_SUCCESS);
    ASSERT_EQ(SetDword(key, "a", 8), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(key, "A", 9), ERROR_SUCCESS) << "names ignore case";

    uint32_t type = 0, size = 0;
    EXPECT_EQ(RegQueryValueEx(key, "mainwnd", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(size, 14u);
    uint8_t small[4];
    size = sizeof small;
    EXPECT_EQ(RegQueryValueEx(key, "MainWnd", &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(RegQueryValueEx(key, "missing", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);

    QStringList names;
    QString name;
    for (uint32_t i = 0; RegEnumValue(key, i, &name) == ERROR_SUCCESS; ++i)
        names << name;
    EXPECT_EQ(names, QStringList({ "MainWnd", "B", "a" }));
    EXPECT_EQ(RegEnumValue(key, 0, &name, 3), ERROR_MORE_DATA);

    THKey readOnly = 0;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kKey, KEY_READ, &readOnly), ERROR_SUCCESS);
    EXPECT_EQ(SetDword(readOnly, "x", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueEx(key, "bad\nname", REG_SZ, nullptr, 0), ERROR_INVALID_PARAMETER);
    THKey deep = 0;
    EXPECT_EQ(RegCreateKeyEx(key, QString("\\a").repeated(510), KEY_ALL_ACCESS, &deep),
        ERROR_INVALID_PARAMETER)
        << "no deeper than 512 levels, counting the levels above the open key";

    THKey child = 0;
    ASSERT_EQ(RegCreateKeyEx(key, "Zeta\\Inner", KEY_ALL_ACCESS, &child), ERROR_SUCCESS);
    RegCloseKey(child);
    ASSERT_EQ(RegCreateKeyEx(key, "alpha", KEY_ALL_ACCESS, &child), ERROR_SUCCESS);
    RegCloseKey(child);
    EXPECT_EQ(RegEnumKeyEx(key, 0, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "alpha");
    EXPECT_EQ(RegEnumKeyEx(key, 1, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, "Zeta");
    EXPECT_EQ(RegEnumKeyEx(key, 2, &name), ERROR_NO_MORE_ITEMS);

    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, kKey + "\\Zeta"), ERROR_ACCESS_DENIED)
        << "a key with subkeys stays";
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, kKey + "\\Zeta\\Inner"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, kKey + "\\Zeta"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, kKey + "\\Zeta"), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(RegOpenKeyEx(key, "alpha", KEY_READ, &child), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(key, "alpha"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueEx(child, "x", nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
    RegCloseKey(child);
    RegCloseKey(readOnly);
    RegCloseKey(key);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegOpenKeyEx(HKEY_USERS, "x", KEY_READ, &key), ERROR_INVALID_HANDLE);
}

TEST(Registry, FileIsPrivateReadableAndFollowsOutsideEdits)
{
    TSettingsTestEnv env;
    ASSERT_EQ(WriteDword("Count", 10), ERROR_SUCCESS);
    EXPECT_EQ(env.UserFile(), env.Path("config/Ormelin/HKEY_CURRENT_USER.reg"));
    struct stat info;
    ASSERT_EQ(::stat(QFile::encodeName(env.UserFile()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    const QByteArray text = TSettingsTestEnv::ReadFile(env.UserFile());
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Ormelin\\veskor]\n\"Count\"=dword:"
                              "0000000a\n"));

    // An administrator's edit is seen by the running program on its next read.
    TSettingsTestEnv::WriteFile(env.UserFile(),
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Ormelin\\veskor]"
        "\n\"Count\"=dword:0000000b\n\"Extra\"=dword:00000001\n");
    EXPECT_EQ(GetDword("Count"), 11);
    EXPECT_EQ(GetDword("Extra"), 1);

    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, kKey, KEY_ALL_ACCESS, new THKey), ERROR_SUCCESS);
    EXPECT_TRUE(QFileInfo::exists(env.Path("program/etc/HKEY_LOCAL_MACHINE.reg")));
}

TEST(Registry, DamagedFileIsReportedAndKeptAside)
{
    struct TCase {
        const char* name;
        QByteArray text;
    } cases[] = {
        { "garbage",
            QByteArray("\x7f"
                       "ELF\x02\x01\x00\x00garbage",
                16) },
        { "truncated",
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\"
            "Ormelin\\veskor]\n\"MainWnd\"=hex:64,00,c8,00,\\\n" },
        { "empty", "" },
        { "cut in a byte",
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\"
            "Ormelin\\veskor]\n\"MainWnd\"=hex:64,00,c8,00,04,01,0" },
        { "valid but oversized",
            "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\"
            "Ormelin\\veskor]\n\"Count\"=dword:00000001\n;"
                + QByteArray(16 * 1024 * 1024, 'x') + "\n" },
    };
    for (const TCase& c : cases) {
        TSettingsTestEnv env;
        TProblems problems;
        TSettingsTestEnv::WriteFile(env.UserFile(), c.text);
        THKey key = 0;
        EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kKey, KEY_READ, &key), ERROR_BADDB) << c.name;
        EXPECT_EQ(problems.Lines.size(), 1) << c.name;
        EXPECT_EQ(TSettingsTestEnv::ReadFile(env.UserFile()), c.text) << "untouched by reads";

        ASSERT_EQ(WriteDword("New", 5), ERROR_SUCCESS) << c.name;
        EXPECT_EQ(TSettingsTestEnv::ReadFile(env.UserFile() + ".damaged"), c.text) << c.name;
        EXPECT_EQ(GetDword("New"), 5) << c.name;
        EXPECT_GE(problems.Lines.size(), 2) << c.name;
    }
}

// A file far beyond what memory holds is refused by its size alone; were it read first, the
// test would die of exhausted memory instead of failing.
TEST(Registry, HugeFileIsDamagedBeforeItIsRead)
{
    TSettingsTestEnv env;
    TProblems problems;
    TSettingsTestEnv::WriteFile(env.UserFile(), "Windows Registry Editor Version 5.00\n");
    const qint64 size = qint64(1) << 40;
    ASSERT_EQ(::truncate(QFile::encodeName(env.UserFile()).constData(), size), 0);

    EXPECT_EQ(GetDword("Count"), -1);
    ASSERT_EQ(problems.Lines.size(), 1);
    EXPECT_TRUE(problems.Lines[0].contains(QString::number(size)))
        << problems.Lines[0].toStdString();
    ASSERT_EQ(WriteDword("Count", 3), ERROR_SUCCESS);
    EXPECT_EQ(GetDword("Count"), 3);
    EXPECT_EQ(QFileInfo(env.UserFile() + ".damaged").size(), size);
}

TEST(Registry, UnwritableFolderFailsAndKeepsTheOldFile)
{
    TSettingsTestEnv env;
    TProblems problems;
    TSettingsTestEnv::WriteFile(env.Path("config/Ormelin"), "a file where the folder goes");
    THKey key = 0;
    EXPECT_NE(RegCreateKeyEx(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(key, 0u);
    EXPECT_FALSE(problems.Lines.isEmpty());
    EXPECT_EQ(
        TSettingsTestEnv::ReadFile(env.Path("config/Ormelin")), "a file where the folder goes");

    struct TFault {
        const char* name;
        TAtomicWriteStep step;
        int code;
        long result;
    } faults[] = {
        { "folder not writable", awsCreate, EACCES, ERROR_ACCESS_DENIED },
        { "disk full", awsWrite, ENOSPC, ERROR_DISK_FULL },
        { "read-only file system at the rename", awsRename, EROFS, ERROR_ACCESS_DENIED },
    };
    TSettingsTestEnv writable;
    ASSERT_EQ(WriteDword("Count", 1), ERROR_SUCCESS);
    const QByteArray before = TSettingsTestEnv::ReadFile(writable.UserFile());
    for (const TFault& f : faults) {
        problems.Lines.clear();
        {
            TAtomicWriteFault fault(f.step, f.code);
            EXPECT_EQ(WriteDword("Count", 2), f.result) << f.name;
        }
        EXPECT_EQ(problems.Lines.size(), 1) << f.name;
        EXPECT_EQ(GetDword("Count"), 1) << f.name << ": a failed write changes nothing in memory";
        EXPECT_EQ(TSettingsTestEnv::ReadFile(writable.UserFile()), before) << f.name;
        EXPECT_FALSE(QFileInfo::exists(writable.UserFile() + ".new")) << f.name;
    }
    ASSERT_EQ(WriteDword("Count", 3), ERROR_SUCCESS) << "the fault ends with its holder";
    EXPECT_EQ(GetDword("Count"), 3);
}

TEST(Registry, LeftoverTemporaryFileFromAKilledWrite)
{
    TSettingsTestEnv env;
    ASSERT_EQ(WriteDword("Old", 1), ERROR_SUCCESS);
    TSettingsTestEnv::WriteFile(env.UserFile() + ".new",
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Ormelin\\veskor]"
        "\n\"Old\"=dword:000000");
    EXPECT_EQ(GetDword("Old"), 1);
    ASSERT_EQ(WriteDword("Next", 2), ERROR_SUCCESS);
    EXPECT_EQ(GetDword("Old"), 1);
    EXPECT_EQ(GetDword("Next"), 2);
    EXPECT_FALSE(QFileInfo::exists(env.UserFile() + ".new"));
}

// A forked child starts with the parent's cached view of the file, which is exactly the
// situation of two instances of the program with their own stale copies.
TEST(Registry, TwoInstancesKeepEachOthersValues)
{
    TSettingsTestEnv env;
    ASSERT_EQ(WriteDword("First", 1), ERROR_SUCCESS);
    ASSERT_EQ(GetDword("First"), 1);

    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(WriteDword("FromChild", 2) == ERROR_SUCCESS ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(WriteDword("FromParent", 3), ERROR_SUCCESS);

    EXPECT_EQ(GetDword("First"), 1);
    EXPECT_EQ(GetDword("FromChild"), 2);
    EXPECT_EQ(GetDword("FromParent"), 3);

    const pid_t writer = ::fork();
    if (writer == 0) {
        for (uint32_t i = 0; i < 40; ++i)
            WriteDword(QString("c%1").arg(i), i);
        ::_exit(0);
    }
    for (uint32_t i = 0; i < 40; ++i)
        WriteDword(QString("p%1").arg(i), i);
    ::waitpid(writer, &status, 0);
    for (uint32_t i = 0; i < 40; ++i) {
        EXPECT_EQ(GetDword(QString("c%1").arg(i)), i);
        EXPECT_EQ(GetDword(QString("p%1").arg(i)), i);
    }
}
