#include "platform/registry/RegFileFormat.h"
#include "platform/registry/RegApi.h"

#include <gtest/gtest.h>

namespace {

const QString kRoot = QStringLiteral("HKEY_CURRENT_USER");

QByteArray Utf16z(const QString& text)
{
    QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes + QByteArray(2, '\0');
}

}

TEST(RegFileFormat, EveryTypeSurvivesTheText)
{
    TRegKeyNode root;
    TRegKeyNode& key = root.GetPath({ "Software", "Ormelin", "veskor" });
    QByteArray window(14, '\0');
    window[0] = 100;
    key.SetValue("MainWnd", REG_BINARY, window);
    key.SetValue("Count", REG_DWORD, QByteArray("\x0a\x00\x00\x00", 4));
    key.SetValue("", REG_SZ, Utf16z("default"));
    key.SetValue("Quoted \"name\" \\", REG_SZ, Utf16z("C:\\path \"x\" Журнал"));
    key.SetValue("Lines", REG_SZ, Utf16z("one\r\ntwo"));
    key.SetValue("NoTerminator", REG_SZ, QByteArray("a\0", 2));
    key.SetValue("Path", REG_EXPAND_SZ, Utf16z("%HOME%/x"));
    key.SetValue("Multi", REG_MULTI_SZ, Utf16z("a") + Utf16z("b") + QByteArray(2, '\0'));
    key.SetValue("Long", REG_BINARY, QByteArray(300, '\x7f'));
    key.SetValue("Short", REG_DWORD, QByteArray("\x01", 1));
    key.SetValue("Odd", 11, QByteArray("\x01\x02", 2));
    key.SetValue("Empty", REG_BINARY, QByteArray());
    root.GetPath({ "Software", "Empty key" });

    const QByteArray text = FormatRegFile(kRoot, root);
    EXPECT_TRUE(text.startsWith("Windows Registry Editor Version 5.00\n"));
    EXPECT_TRUE(text.contains("[HKEY_CURRENT_USER\\Software\\Ormelin\\veskor]\n"));
    EXPECT_TRUE(text.contains("\"MainWnd\"=hex:64,00,00,00,00,00,00,00,00,00,00,00,00,00\n"));
    EXPECT_TRUE(text.contains("\"Count\"=dword:0000000a\n"));
    EXPECT_TRUE(text.contains("@=\"default\"\n"));
    EXPECT_TRUE(text.contains("\"Path\"=hex(2):"));
    EXPECT_TRUE(text.contains("\"Multi\"=hex(7):"));
    EXPECT_TRUE(text.contains("\"Lines\"=hex(1):"));
    for (const QByteArray& line : text.split('\n'))
        EXPECT_LE(line.size(), 80) << line.constData();

    TRegKeyNode parsed;
    QString error;
    ASSERT_TRUE(ParseRegFile(text, kRoot, parsed, &error)) << error.toStdString();
    EXPECT_TRUE(parsed == root);
}

TEST(RegFileFormat, AdministratorEdits)
{
    const QByteArray text = "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
                            "; a comment\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Old]\r\n"
                            "\"a\"=dword:00000001\r\n"
                            "[hkey_current_user\\Software\\Keep]\r\n"
                            "\"x\"=\"1\"\r\n"
                            "\"gone\"=\"2\"\r\n"
                            "\"gone\"=-\r\n"
                            "\"wrapped\"=hex:01,\\\r\n"
                            "  02\r\n"
                            "[-HKEY_CURRENT_USER\\Software\\Old]\r\n";
    TRegKeyNode root;
    QString error;
    ASSERT_TRUE(ParseRegFile(text, kRoot, root, &error)) << error.toStdString();
    EXPECT_EQ(root.FindPath({ "Software", "Old" }), nullptr);
    const TRegKeyNode* keep = root.FindPath({ "software", "KEEP" });
    ASSERT_NE(keep, nullptr);
    EXPECT_EQ(keep->Values().size(), 2u);
    EXPECT_EQ(keep->FindValue("wrapped")->Data, QByteArray("\x01\x02", 2));

    const QString utf16 = QStringLiteral("Windows Registry Editor Version 5.00\r\n"
                                         "[HKEY_CURRENT_USER\\A]\r\n\"n\"=\"Журнал\"\r\n");
    QByteArray exported("\xFF\xFE");
    exported += QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    ASSERT_TRUE(ParseRegFile(exported, kRoot, root, &error)) << error.toStdString();
    EXPECT_EQ(root.FindPath({ "A" })->FindValue("n")->Data, Utf16z("Журнал"));
}

TEST(RegFileFormat, DamagedTextIsRejectedWhole)
{
    const QByteArray header = "Windows Registry Editor Version 5.00\n";
    struct TCase {
        const char* name;
        QByteArray text;
    } cases[] = {
        { "empty", "" },
        { "no header", "[HKEY_CURRENT_USER\\A]\n\"a\"=dword:1\n" },
        { "binary garbage", QByteArray("\x00\x01\x02\xff\xfe\x80garbage", 12) },
        { "truncated name", header + "[HKEY_CURRENT_USER\\A]\n\"a\"=dword:00000001\n\"MainW" },
        { "truncated continuation", header + "[HKEY_CURRENT_USER\\A]\n\"a\"=hex:01,02,\\\n" },
        { "dangling comma", header + "[HKEY_CURRENT_USER\\A]\n\"a\"=hex:01,02,\n" },
        { "bad byte", header + "[HKEY_CURRENT_USER\\A]\n\"a\"=hex:01,xyz\n" },
        { "bad dword", header + "[HKEY_CURRENT_USER\\A]\n\"a\"=dword:123456789\n" },
        { "other root", header + "[HKEY_LOCAL_MACHINE\\A]\n" },
        { "value outside a key", header + "\"a\"=dword:1\n" },
        { "unclosed section", header + "[HKEY_CURRENT_USER\\A\n" },
        { "text after string", header + "[HKEY_CURRENT_USER\\A]\n\"a\"=\"x\"y\n" },
        { "bad utf-8", header + "[HKEY_CURRENT_USER\\A]\n\"a\"=\"\xc3\x28\"\n" },
        { "key deeper than the registry allows",
            header + "[HKEY_CURRENT_USER" + QByteArray("\\a").repeated(513) + "]\n" },
        { "key name too long", header + "[HKEY_CURRENT_USER\\" + QByteArray(256, 'a') + "]\n" },
    };
    for (const TCase& c : cases) {
        TRegKeyNode root;
        root.GetSubKey("before");
        QString error;
        EXPECT_FALSE(ParseRegFile(c.text, kRoot, root, &error)) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
        EXPECT_NE(root.FindSubKey("before"), nullptr) << c.name;
    }
}

// A value cut short or spelled other than it is ever written must not pass for a shorter
// value: the whole file is then damaged, to be traced and kept aside by its holder.
TEST(RegFileFormat, CutOrMalformedValues)
{
    const QByteArray head = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\A]\n";
    struct TCase {
        const char* name;
        QByteArray values;
        bool accepted;
        QByteArray data;
    } cases[] = {
        { "empty binary", "\"a\"=hex:\n", true, "" },
        { "digits of either case, blanks around bytes", "\"a\"=hex:0a, FF\n", true, "\x0a\xff" },
        { "continued", "\"a\"=hex:01,\\\n  02\n", true, "\x01\x02" },
        { "typed", "\"a\"=hex(2):41,00,00,00\n", true, QByteArray("A\0\0\0", 4) },
        { "dword", "\"a\"=dword:0000002A\n", true, QByteArray("\x2a\0\0\0", 4) },
        { "cut in the last byte", "\"a\"=hex:64,00,c8,00,04,01,0", false, "" },
        { "cut in the only byte", "\"a\"=hex:0\n", false, "" },
        { "one digit inside", "\"a\"=hex:1,02\n", false, "" },
        { "three digits", "\"a\"=hex:012\n", false, "" },
        { "blank inside a byte", "\"a\"=hex:0 1\n", false, "" },
        { "sign", "\"a\"=hex:+1\n", false, "" },
        { "continuation at the end", "\"a\"=hex:01,02\\", false, "" },
        { "continuation before the last newline", "\"a\"=hex:01,02\\\n", false, "" },
        { "continuation onto an empty line", "\"a\"=hex:01,\\\n\n\"b\"=hex:02\n", false, "" },
        { "cut type", "\"a\"=hex(2", false, "" },
        { "bad type", "\"a\"=hex(x):01\n", false, "" },
        { "short dword", "\"a\"=dword:0000001\n", false, "" },
        { "empty dword", "\"a\"=dword:", false, "" },
        { "prefixed dword", "\"a\"=dword:0x000001\n", false, "" },
        { "cut string", "\"a\"=\"abc", false, "" },
        { "cut after an escape", "\"a\"=\"abc\\", false, "" },
        { "cut inside a character", "\"a\"=\"\xd0", false, "" },
        { "cut after the equals sign", "\"a\"=", false, "" },
        { "cut in the kind", "\"a\"=dwo", false, "" },
    };
    for (const TCase& c : cases) {
        TRegKeyNode root;
        QString error;
        const bool accepted = ParseRegFile(head + c.values, kRoot, root, &error);
        EXPECT_EQ(accepted, c.accepted) << c.name << ": " << error.toStdString();
        if (!accepted) {
            EXPECT_FALSE(error.isEmpty()) << c.name;
            continue;
        }
        const TRegKeyNode* key = root.FindPath({ "A" });
        ASSERT_NE(key, nullptr) << c.name;
        const TRegValue* value = key->FindValue("a");
        ASSERT_NE(value, nullptr) << c.name;
        EXPECT_EQ(value->Data, c.data) << c.name;
    }
}
