#include "text/StringListError.h"
#include "text/WideText.h"

#include <QBuffer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList Lines(const TWideStrings& L)
{
    QStringList R;
    for (int I = 0; I < L.Count(); ++I)
        R << L.Get(I);
    return R;
}

std::string Show(const QString& S)
{
    return S.toHtmlEscaped().replace(u'\r', QStringLiteral("<CR>")).replace(u'\n', QStringLiteral("<LF>")).toStdString();
}

// A plain line list, to exercise the base behaviour that TWideText overrides.
class TPlainLines : public TWideStrings {
public:
    QString Get(int Index) const override
    {
        if (Index < 0 || Index >= fLines.size())
            Error("List index out of bounds (%1)", Index);
        return fLines[Index];
    }
    int GetCount() const override { return int(fLines.size()); }
    void Clear() override { fLines.clear(); }
    void Delete(int Index) override { fLines.removeAt(Index); }
    void Insert(int Index, const QString& S) override { fLines.insert(Index, S); }

private:
    QStringList fLines;
};

}

TEST(WideText, SplitsTextIntoLines)
{
    struct {
        const char* Name;
        QString Text;
        QStringList Lines;
    } Cases[] = {
        { "crlf after each", "a\r\nb\r\n", { "a", "b", "" } },
        { "lf cr ends two", "a\n\rb", { "a", "", "b" } },
        { "empty", "", {} },
        { "lone cr", "a\rb", { "a", "b" } },
        { "break only", "\r\n", { "", "" } },
        { "double cr", "a\r\rb", { "a", "", "b" } },
        { "stops at nul", QString("a\r\nb") + QChar(0) + "c", { "a", "b" } },
    };
    for (const auto& C : Cases) {
        TWideText T;
        T.SetWideText(C.Text);
        EXPECT_EQ(Lines(T), C.Lines) << C.Name;
        EXPECT_EQ(T.GetWideText(), C.Text) << C.Name;
    }
}

TEST(WideText, LineEditsRewriteText)
{
    struct {
        const char* Name;
        QString Text;
        std::function<void(TWideText&)> Edit;
        QString Expected;
    } Cases[] = {
        { "put first", "a\nb", [](TWideText& T) { T.Put(0, "x"); }, "x\r\nb" },
        { "put last keeps earlier break", "a\nb", [](TWideText& T) { T.Put(1, "x"); }, "a\nx" },
        { "add", "a", [](TWideText& T) { EXPECT_EQ(T.Add("b"), 1); }, "a\r\nb" },
        { "add to empty", "", [](TWideText& T) { EXPECT_EQ(T.Add("b"), 0); }, "b" },
        { "insert middle", "a\nc", [](TWideText& T) { T.Insert(1, "b"); }, "a\nb\r\nc" },
        { "delete last", "a\r\nb", [](TWideText& T) { T.Delete(1); }, "a" },
        { "delete only", "a", [](TWideText& T) { T.Delete(0); }, "" },
        { "delete first", "a\nb\nc", [](TWideText& T) { T.Delete(0); }, "b\nc" },
        { "delete middle", "a\nb\nc", [](TWideText& T) { T.Delete(1); }, "a\nc" },
        { "delete last after lone cr", "a\r\rb", [](TWideText& T) { T.Delete(2); }, "a\r" },
        { "exchange", "a\r\nb", [](TWideText& T) { T.Exchange(0, 1); }, "b\r\na" },
        { "move", "a\r\nb\r\nc", [](TWideText& T) { T.Move(0, 2); }, "b\r\nc\r\na" },
        { "clear after set", "a\nb", [](TWideText& T) { T.Clear(); }, "" },
    };
    for (const auto& C : Cases) {
        TWideText T;
        T.SetWideText(C.Text);
        C.Edit(T);
        EXPECT_EQ(Show(T.GetWideText()), Show(C.Expected)) << C.Name;
    }
}

TEST(WideText, ErrorsLeaveListUnchanged)
{
    TWideText T;
    T.SetWideText("a\r\nb");
    struct {
        const char* Name;
        std::function<void()> Call;
        const char* Message;
    } Cases[] = {
        { "get", [&] { T.Get(2); }, "List index out of bounds (2)" },
        { "get negative", [&] { T.Get(-1); }, "List index out of bounds (-1)" },
        { "put", [&] { T.Put(2, "x"); }, "List index out of bounds (2)" },
        { "insert", [&] { T.Insert(3, "x"); }, "List index out of bounds (3)" },
        { "delete", [&] { T.Delete(5); }, "List index out of bounds (5)" },
        { "capacity low", [&] { T.SetCapacity(1); }, "List capacity out of bounds (1)" },
        { "capacity high", [&] { T.SetCapacity(134217728); },
            "List capacity out of bounds (134217728)" },
    };
    for (const auto& C : Cases) {
        try {
            C.Call();
            ADD_FAILURE() << C.Name << ": no error";
        } catch (const EStringListError& E) {
            EXPECT_EQ(E.Message(), QString(C.Message)) << C.Name;
        }
        EXPECT_EQ(T.GetWideText(), QString("a\r\nb")) << C.Name;
    }
    T.SetSorted(true);
    for (auto Edit : { +[](TWideText& L) { L.Add("b"); }, +[](TWideText& L) { L.Put(0, "b"); } }) {
        try {
            Edit(T);
            ADD_FAILURE() << "sorted list accepted an insertion";
        } catch (const EStringListError& E) {
            EXPECT_EQ(E.Message(), QString("Operation not allowed on sorted list"));
        }
    }
    EXPECT_EQ(Lines(T), QStringList({ "a", "b" }));
    T.Delete(0);
    EXPECT_EQ(T.GetWideText(), QString("b"));
}

TEST(WideText, SearchIgnoresCase)
{
    TWideText T;
    T.SetWideText("x\nabc\nAbC");
    EXPECT_EQ(T.IndexOf("ABC"), 1);
    int Index = 7;
    EXPECT_FALSE(T.Find("zz", Index));
    EXPECT_EQ(Index, -1);
    TWideText Other;
    Other.SetWideText("x\r\nabc\r\nAbC");
    EXPECT_TRUE(T.SameLines(Other));
    Other.Put(1, "ABC");
    EXPECT_FALSE(T.SameLines(Other));
}

TEST(WideText, NotifiesAfterTextHasNewValue)
{
    TWideText T;
    QStringList Log;
    T.OnChanging = [&](TWideText& S) { Log << "changing:" + S.GetWideText(); };
    T.OnChange = [&](TWideText& S) { Log << "change:" + S.GetWideText(); };
    T.SetWideText("a");
    Log.clear();
    T.Add("b");
    EXPECT_EQ(Log,
        QStringList({ "changing:a", "changing:a", "change:a\r\nb", "change:a\r\nb" }));
    Log.clear();
    T.BeginUpdate();
    T.Add("c");
    T.Delete(0);
    EXPECT_EQ(Log, QStringList({ "changing:a\r\nb" }));
    T.EndUpdate();
    EXPECT_EQ(Log, QStringList({ "changing:a\r\nb", "change:b\r\nc" }));
}

TEST(WideText, StreamsAsUtf16LittleEndian)
{
    TWideText T;
    QByteArray Five("a\0b\0c", 5);
    QBuffer In(&Five);
    In.open(QIODevice::ReadOnly);
    ASSERT_TRUE(T.LoadFromStream(In));
    EXPECT_EQ(T.GetWideText(), QString("ab"));

    T.SetWideText(QString::fromUtf8("Проба\r\nx"));
    QTemporaryDir Dir;
    const QString Path = Dir.filePath("lines.txt");
    ASSERT_TRUE(T.SaveToFile(Path));
    TWideText Back;
    ASSERT_TRUE(Back.LoadFromFile(Path));
    EXPECT_EQ(Back.GetWideText(), T.GetWideText());
    EXPECT_FALSE(Back.LoadFromFile(Dir.filePath("missing")));
    EXPECT_EQ(Back.Count(), 2);
}

TEST(WideStrings, BaseListJoinsAndSplits)
{
    TPlainLines L;
    L.SetWideText("a\n\rb\r\n");
    EXPECT_EQ(Lines(L), QStringList({ "a", "", "b" }));
    L.Add("");
    EXPECT_EQ(Show(L.GetWideText()), Show("a\r\n\r\nb\r\n\r\n"));
    L.Clear();
    L.Add("");
    EXPECT_EQ(L.GetWideText(), QString("\r\n"));

    TWideText T;
    T.SetWideText("x\ny");
    L.Assign(T);
    EXPECT_EQ(Lines(L), QStringList({ "x", "y" }));
    T.Clear();
    T.Assign(L);
    EXPECT_EQ(T.GetWideText(), QString("x\r\ny"));
}

TEST(WideStrings, EncodedLinesRoundTrip)
{
    TPlainLines L;
    L.SetWideText(QString::fromUtf8("Яa\nb"));
    const QString Encoded = L.EncodedLines();
    EXPECT_TRUE(Encoded.startsWith("#$042F#$0061#$000D#$000A")) << Encoded.toStdString();
    TPlainLines Back;
    ASSERT_TRUE(Back.DecodeLines(Encoded));
    EXPECT_TRUE(Back.SameLines(L));
    EXPECT_FALSE(Back.DecodeLines("#$00"));
    EXPECT_FALSE(Back.DecodeLines("#$00G1"));
    EXPECT_FALSE(Back.DecodeLines("xx0041"));
    EXPECT_TRUE(Back.SameLines(L));
    EXPECT_TRUE(L.ShouldStoreLines(nullptr));
    EXPECT_FALSE(L.ShouldStoreLines(&Back));
    TPlainLines Empty;
    EXPECT_FALSE(Empty.ShouldStoreLines(nullptr));
}
