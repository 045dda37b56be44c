#include "messages/Trace.h"
#include "messages/TraceFormat.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

const QDateTime kStamp(QDate(2012, 5, 24), QTime(10, 54, 11, 42));

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Points standard output at a file for the lifetime of the object.
class TStdoutCapture {
public:
    explicit TStdoutCapture(const QString& path)
    {
        std::fflush(stdout);
        fSaved = ::dup(STDOUT_FILENO);
        const int handle
            = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(handle, STDOUT_FILENO);
        ::close(handle);
    }
    ~TStdoutCapture()
    {
        std::fflush(stdout);
        ::dup2(fSaved, STDOUT_FILENO);
        ::close(fSaved);
    }

private:
    int fSaved;
};

}

TEST(TraceLine, StampPrefixAndLevels)
{
    const QByteArray stamp = "2012-05-24 10:54:11.042";
    struct TCase {
        int level;
        int channel;
        QByteArray expected;
    } cases[] = {
        { 0, 1, stamp + "\tabc\r\n" },
        { 0, 0, stamp + "\tabc\r\n" },
        { 1, 1, "" },
        { -1, 1, "Error! " + stamp + "\tabc\r\n" },
        { -1, 0, "Message! " + stamp + "\tabc\r\n" },
        { -2, 1, "abc\r\n" },
        { 3, 1, "" },
        { 8, 1, "" },
    };
    for (const TCase& c : cases)
        EXPECT_EQ(TraceLine("%s", { "abc" }, c.channel, c.level, kStamp), c.expected)
            << "level " << c.level << " channel " << c.channel;
}

TEST(TraceLine, CyrillicIsUtf8)
{
    const QString text = QStringLiteral("Журнал");
    const QByteArray line = TraceLine("%s", { text }, 1, 0, kStamp);
    EXPECT_TRUE(line.contains(text.toUtf8()));
    EXPECT_EQ(text.toUtf8().size(), 12);
}

TEST(TraceFormat, PlaceholdersAndFaultyFormats)
{
    struct TCase {
        const char* format;
        QVariantList args;
        QString expected;
    } cases[] = {
        { "%s=%d", { "n", 42 }, "n=42" },
        { "%5d|%-4s|", { 7, "ab" }, "    7|ab  |" },
        { "%x %X %u", { 255, 255, 3 }, "ff FF 3" },
        { "%.2f", { 3.14159 }, "3.14" },
        { "100%%", {}, "100%" },
        { "%d and %s", { 1 }, "1 and %s" },
        { "%d", { "text" }, "text" },
        { "%q %", { 1 }, "%q %" },
        { "%s", { "50% off %d" }, "50% off %d" },
    };
    for (const TCase& c : cases)
        EXPECT_EQ(FormatTraceText(c.format, c.args), c.expected) << c.format;
}

TEST(Trace, HandleThenLogThenStdout)
{
    QTemporaryDir dir;
    const QString own = dir.filePath("own.txt"), log = dir.filePath("log.txt"),
                  out = dir.filePath("out.txt");
    const int handle = ::open(QFile::encodeName(own).constData(), O_WRONLY | O_CREAT, 0600);
    ASSERT_TRUE(OpenTraceLog(log));
    {
        TStdoutCapture capture(out);
        TraceText("to handle", 0, 1, handle);
        TraceText("to log", -1);
        TraceText("dropped", 3);
        CloseTraceLog();
        TraceText("to stdout", 0);
        TraceText("bad handle falls back", 0, 1, 9999);
    }
    ::close(handle);
    EXPECT_TRUE(ReadAll(own).endsWith("\tto handle\r\n"));
    EXPECT_TRUE(ReadAll(log).startsWith("Error! "));
    EXPECT_TRUE(ReadAll(log).endsWith("\tto log\r\n"));
    const QByteArray stdoutText = ReadAll(out);
    EXPECT_TRUE(stdoutText.contains("\tto stdout\r\n"));
    EXPECT_TRUE(stdoutText.contains("\tbad handle falls back\r\n"));
    EXPECT_FALSE(stdoutText.contains("dropped"));
    EXPECT_FALSE(OpenTraceLog(dir.filePath("missing/folder/log.txt")));
}

TEST(Trace, NoStdoutAndClosedPipeAreHarmless)
{
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    ::close(STDOUT_FILENO);
    TraceText("nowhere", 0);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);

    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ::close(pipeEnds[0]);
    TraceText("reader gone", 0, 1, pipeEnds[1]);
    ::close(pipeEnds[1]);
    SUCCEED();
}

TEST(Trace, TwoThreadsWriteWholeLines)
{
    QTemporaryDir dir;
    const QString log = dir.filePath("log.txt");
    ASSERT_TRUE(OpenTraceLog(log));
    const QString a(200, QLatin1Char('a')), b(200, QLatin1Char('b'));
    auto writer = [](const QString& text) {
        for (int i = 0; i < 500; ++i)
            TraceText(text);
    };
    std::thread first(writer, a), second(writer, b);
    first.join();
    second.join();
    CloseTraceLog();
    const QList<QByteArray> lines = ReadAll(log).split('\n');
    ASSERT_EQ(lines.size(), 1001);
    for (int i = 0; i < 1000; ++i) {
        const QByteArray body = lines[i].mid(lines[i].indexOf('\t') + 1);
        ASSERT_TRUE(body == a.toLatin1() + "\r" || body == b.toLatin1() + "\r") << i;
    }
}
