#include "platform/misc/QtClipboard.h"
#include "text/MyClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

namespace {

QGuiApplication& App()
{
    static int Argc = 1;
    static char Name[] = "test";
    static char* Argv[] = { Name, nullptr };
    static auto* A = new QGuiApplication(Argc, Argv);
    return *A;
}

struct TClipboardFixture {
    TQtClipboard Platform;
    TMyClipboard C { &Platform };
    TClipboardFixture()
    {
        App();
        QGuiApplication::clipboard()->clear();
    }
    QByteArray Raw(const QString& Mime) { return QGuiApplication::clipboard()->mimeData()->data(Mime); }
};

// The platform that is never there.
struct TNoClipboard : IPlatformClipboard {
    const QMimeData* Data() const override { return nullptr; }
    void SetData(QMimeData* D) override
    {
        delete D;
        throw EClipboardError(QStringLiteral("busy"));
    }
};

}

TEST(Clipboard, FormatsByteForByte)
{
    TClipboardFixture F;
    F.C.SetAsHTML(QByteArray());
    EXPECT_EQ(F.Raw(TMyClipboard::HtmlFormatMime),
        QByteArray("Version:0.9\r\nStartHTML:0048\r\nEndHTML:000000048\r\n"));
    EXPECT_EQ(F.Raw(TMyClipboard::HtmlFormatMime).size(), 48);

    const QByteArray Html(120, 'h');
    F.C.SetAsHTML(Html);
    EXPECT_EQ(F.Raw(TMyClipboard::HtmlFormatMime),
        QByteArray("Version:0.9\r\nStartHTML:0048\r\nEndHTML:000000168\r\n") + Html);
    EXPECT_EQ(F.Raw(QStringLiteral("text/html")), Html) << "for other programs, without header";

    F.C.SetAsWideText(QStringLiteral("ab"));
    EXPECT_EQ(F.Raw(TMyClipboard::UnicodeTextMime), QByteArray("a\0b\0\0\0", 6));
    EXPECT_EQ(F.Raw(QStringLiteral("text/plain")), QByteArray("ab"));
    EXPECT_EQ(F.C.AsWideText(), QStringLiteral("ab"));

    F.C.SetAsQXF(QByteArray("q\x01x"));
    EXPECT_EQ(F.Raw(TMyClipboard::QxfFormatMime), QByteArray("q\x01x"));
    EXPECT_EQ(F.C.AsQXF(), QByteArray("q\x01x"));
}

TEST(Clipboard, ReadingTakesWhatOthersOfferAndStopsAtTheData)
{
    TClipboardFixture F;
    auto* D = new QMimeData;
    D->setText(QStringLiteral("только текст"));
    QGuiApplication::clipboard()->setMimeData(D);
    EXPECT_EQ(F.C.AsHTML(), QByteArray()) << "text alone has no HTML";
    EXPECT_EQ(F.C.AsWideText(), QStringLiteral("только текст"));

    D = new QMimeData;
    D->setHtml(QStringLiteral("<b>x</b>"));
    QGuiApplication::clipboard()->setMimeData(D);
    EXPECT_EQ(F.C.AsHTML(), QByteArray("<b>x</b>")) << "another program's HTML";

    const QString Cell = QStringLiteral("<td>Ёж</td>");
    const QByteArray Utf16(reinterpret_cast<const char*>(Cell.utf16()), Cell.size() * 2);
    for (const QByteArray& Offered : { QByteArray("\xFF\xFE", 2) + Utf16, Utf16 }) {
        D = new QMimeData;
        D->setData(QStringLiteral("text/html"), Offered);
        QGuiApplication::clipboard()->setMimeData(D);
        EXPECT_EQ(F.C.AsHTML(), Cell.toUtf8()) << "HTML offered in UTF-16";
    }

    // An odd, unterminated UTF-16 block and a zero inside HTML.
    D = new QMimeData;
    D->setData(TMyClipboard::UnicodeTextMime, QByteArray("x\0y", 3));
    D->setData(TMyClipboard::HtmlFormatMime, QByteArray("ab\0cd", 5));
    QGuiApplication::clipboard()->setMimeData(D);
    EXPECT_EQ(F.C.AsWideText(), QStringLiteral("x"));
    EXPECT_EQ(F.C.AsHTML(), QByteArray("ab"));
    QBuffer Stream;
    Stream.open(QIODevice::ReadWrite);
    F.C.GetFormat(TMyClipboard::HtmlFormatMime, Stream);
    EXPECT_EQ(Stream.data(), QByteArray("ab\0cd", 5));
    EXPECT_EQ(Stream.pos(), 5);
}

TEST(Clipboard, OneBracketIsOneChangeAndACopyReplacesEverything)
{
    TClipboardFixture F;
    int Changes = 0;
    QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, [&] { ++Changes; });
    F.C.Open();
    F.C.Open();
    F.C.SetAsHTML(QByteArray("<p>old</p>"));
    F.C.Close();
    EXPECT_EQ(Changes, 0) << "the inner Close does not close";
    F.C.SetAsWideText(QStringLiteral("old"));
    F.C.Close();
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(F.C.OpenCount(), 0);

    F.C.Open();
    F.C.Clear();
    F.C.SetAsWideText(QStringLiteral("new"));
    F.C.Close();
    EXPECT_EQ(F.C.AsHTML(), QByteArray()) << "no older HTML to be pasted instead";
    EXPECT_EQ(F.C.AsWideText(), QStringLiteral("new"));

    TNoClipboard Busy;
    TMyClipboard Failing(&Busy);
    EXPECT_THROW(Failing.SetAsWideText(QStringLiteral("x")), EClipboardError);
    EXPECT_EQ(Failing.OpenCount(), 0) << "closed also on an error";
}
