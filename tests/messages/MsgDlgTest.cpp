#include "TestApplication.h"
#include "messages/MsgDlg.h"
#include "messages/MyMsgDlg.h"
#include "messages/Trace.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace {

class MsgDlgTest : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }
};

// Runs the event loop until done() holds or five seconds have passed.
bool SpinUntil(const std::function<bool()>& done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

struct TShown {
    QStringList Captions; // of the visible buttons, btn0 to Btn3
    QString Title;
    int Width = 0;
    int Height = 0;
    QString Memo;
    QImage Icon;
};

TShown Inspect(TMyMsgDlg* dlg)
{
    TShown s;
    for (QPushButton* b : { dlg->btn0, dlg->btn1, dlg->btn2, dlg->Btn3 }) {
        if (!b->isVisible())
            continue;
        s.Captions << b->text();
    }
    s.Title = dlg->windowTitle();
    s.Width = dlg->width();
    s.Height = dlg->height();
    s.Memo = dlg->Memo->toPlainText();
    s.Icon = dlg->Image->pixmap().toImage();
    return s;
}

QPushButton* ButtonByText(QWidget* dlg, const QString& text)
{
    for (QPushButton* b : dlg->findChildren<QPushButton*>())
        if (b->isVisible() && b->text() == text)
            return b;
    return nullptr;
}

// Shows a message, records how it looked, and answers it with the given action.
int ShowAndAnswer(const QString& text, TButtonSet buttons, const QString& caption,
    const std::function<void(QWidget*)>& answer, TShown* shown = nullptr)
{
    WhenModal([answer, shown](QWidget* w) {
        if (shown) {
            if (auto* dlg = qobject_cast<TMyMsgDlg*>(w))
                *shown = Inspect(dlg);
        }
        answer(w);
    });
    return ShowMsgDlg(text, buttons, caption);
}

std::function<void(QWidget*)> Click(const QString& caption)
{
    return [caption](QWidget* w) {
        if (QPushButton* b = ButtonByText(w, caption))
            b->click();
        else
            ADD_FAILURE() << "no button " << caption.toStdString();
    };
}

std::function<void(QWidget*)> Press(int key)
{
    return [key](QWidget* w) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target && target->window() == w ? target : w, Qt::Key(key));
    };
}

QImage IconImage(QStyle::StandardPixmap which)
{
    return QApplication::style()->standardIcon(which).pixmap(QSize(32, 32)).toImage();
}

}

TEST_F(MsgDlgTest, ButtonSetsCaptionsAndResults)
{
    struct TCase {
        const char* name;
        TButtonSet buttons;
        QStringList captions;
        int width;
        QList<QPair<QString, int>> clicks;
    } cases[] = {
        { "ok", { bOk }, { "O&K" }, 262, { { "O&K", mrOk } } },
        { "ok cancel", { bOk, bCancel }, { "O&K", "&Отмена" }, 262,
            { { "O&K", mrOk }, { "&Отмена", mrCancel } } },
        { "yes no", { bYes, bNo }, { "&Да", "&Нет" }, 262,
            { { "&Да", mrYes }, { "&Нет", mrNo } } },
        { "yes no cancel", { bYes, bNo, bCancel }, { "&Да", "&Нет", "&Отмена" }, 262,
            { { "&Да", mrYes }, { "&Нет", mrNo }, { "&Отмена", mrCancel } } },
        { "ok and no share a button", { bOk, bNo }, { "&Нет" }, 262,
            { { "&Нет", mrNo } } },
        { "yes to all", { bYesToAll, bYes, bNo, bCancel },
            { "Да для всех", "&Да", "&Нет", "&Отмена" }, 302,
            { { "Да для всех", mrYesToAll }, { "&Да", mrYes }, { "&Нет", mrNo },
                { "&Отмена", mrCancel } } },
    };
    for (const TCase& c : cases) {
        for (const auto& [caption, expected] : c.clicks) {
            TShown shown;
            EXPECT_EQ(ShowAndAnswer("text", c.buttons, {}, Click(caption), &shown), expected)
                << c.name << " / " << caption.toStdString();
            EXPECT_EQ(shown.Captions, c.captions) << c.name;
            EXPECT_EQ(shown.Width, c.width) << c.name;
        }
        EXPECT_EQ(ShowAndAnswer("text", c.buttons, {}, Press(Qt::Key_Escape)), mrCancel)
            << c.name << " / Escape";
    }
}

TEST_F(MsgDlgTest, EnterPressesTheOnlyOkButton)
{
    EXPECT_EQ(ShowAndAnswer("text", { bOk }, {}, Press(Qt::Key_Return)), mrOk);
}

TEST_F(MsgDlgTest, EnterAnswersAQuestionNo)
{
    EXPECT_EQ(ShowAndAnswer("text", { bYes, bNo, iQUESTION }, {}, Press(Qt::Key_Return)), mrNo);
}

TEST_F(MsgDlgTest, CaptionDefaultsToTessaline)
{
    TShown shown;
    ShowAndAnswer("text", { bOk }, {}, Click("O&K"), &shown);
    EXPECT_EQ(shown.Title, "Tessaline");
    ShowAndAnswer("text", { bOk }, "veskor2", Click("O&K"), &shown);
    EXPECT_EQ(shown.Title, "veskor2");
    ShowAndAnswer("text", { bOk }, {}, Click("O&K"), &shown);
    EXPECT_EQ(shown.Title, "Tessaline");
}

TEST_F(MsgDlgTest, CarriageReturnsBreakLinesAndTheWindowGrowsWithThem)
{
    TMyMsgDlg probe;
    const int lineHeight = QFontMetrics(probe.Memo->font()).height() + 2;
    const int iconHeight = TMsgForm::ButtonPanelHeight + 2 * TMsgForm::IconTop + 32;
    auto expectedHeight = [&](int lines) {
        return std::max((lines + 1) * lineHeight + TMsgForm::ButtonPanelHeight
                + 2 * TMsgForm::TextBorderWidth,
            iconHeight);
    };
    struct TCase {
        QString text;
        QString memo;
        int lines;
    } cases[] = {
        { "one", "one", 1 },
        { "VESKOR2\r\rЖурнал\r\rлаборатория\rстрока", "VESKOR2\n\nЖурнал\n\nлаборатория\nстрока",
            6 },
        { "a\r\nb\nc", "a\nb\nc", 3 },
    };
    for (const TCase& c : cases) {
        TShown shown;
        ShowAndAnswer(c.text, { bOk }, {}, Click("O&K"), &shown);
        EXPECT_EQ(shown.Memo, c.memo) << c.text.toStdString();
        EXPECT_EQ(shown.Height, expectedHeight(c.lines)) << c.text.toStdString();
    }

    TShown oneLine, wrapped;
    ShowAndAnswer("word", { bOk }, {}, Click("O&K"), &oneLine);
    ShowAndAnswer(QString("word ").repeated(60), { bOk }, {}, Click("O&K"), &wrapped);
    EXPECT_GT(wrapped.Height, oneLine.Height) << "a long paragraph gets the room of its lines";
}

TEST_F(MsgDlgTest, IconOfTheLowestIconBit)
{
    QPixmap own(32, 32);
    own.fill(Qt::magenta);
    QApplication::setWindowIcon(QIcon(own));
    struct TCase {
        const char* name;
        TButtonSet buttons;
        QImage icon;
    } cases[] = {
        { "none: the program's icon", { bOk }, own.toImage() },
        { "asterisk", { bOk, iASTERISK }, IconImage(QStyle::SP_MessageBoxInformation) },
        { "exclamation", { bOk, iEXCLAMATION }, IconImage(QStyle::SP_MessageBoxWarning) },
        { "hand", { bOk, iHAND }, IconImage(QStyle::SP_MessageBoxCritical) },
        { "question", { bOk, iQUESTION }, IconImage(QStyle::SP_MessageBoxQuestion) },
        { "lowest wins", { bOk, iQUESTION, iHAND, iASTERISK },
            IconImage(QStyle::SP_MessageBoxInformation) },
    };
    for (const TCase& c : cases) {
        TShown shown;
        ShowAndAnswer("text", c.buttons, {}, Click("O&K"), &shown);
        EXPECT_FALSE(shown.Icon.isNull()) << c.name;
        EXPECT_EQ(shown.Icon.convertToFormat(QImage::Format_ARGB32),
            c.icon.convertToFormat(QImage::Format_ARGB32))
            << c.name;
    }
    QApplication::setWindowIcon(QIcon());
}

TEST_F(MsgDlgTest, MessageGoesToTheTrace)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("trace.log");
    ASSERT_TRUE(OpenTraceLog(path));
    ShowAndAnswer("Сообщение\rвторая", { bOk, iASTERISK }, {}, Click("O&K"));
    // Warnings are above the trace's threshold, so an error message leaves no line.
    ShowAndAnswer("Ошибка", { bOk, iHAND }, {}, Click("O&K"));
    ShowAndAnswer("Внимание", { bOk, iEXCLAMATION }, {}, Click("O&K"));
    CloseTraceLog();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString log = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(log.contains("\t[MsgInfo] Сообщение\rвторая\r\n")) << log.toStdString();
    EXPECT_FALSE(log.contains("Ошибка")) << log.toStdString();
    EXPECT_FALSE(log.contains("Внимание")) << log.toStdString();
}

TEST_F(MsgDlgTest, NoSecondMessageWhileOneIsShowing)
{
    int nested = -1;
    int windows = 0;
    WhenModal([&](QWidget* first) {
        QTimer::singleShot(0, [&, first] {
            nested = ShowMsgDlg("second", { bOk });
            for (QWidget* w : QApplication::topLevelWidgets())
                if (qobject_cast<TMyMsgDlg*>(w) && w->isVisible())
                    ++windows;
            ButtonByText(first, "&Да")->click();
        });
    });
    EXPECT_EQ(ShowMsgDlg("first", { bYes, bNo }), mrYes);
    EXPECT_EQ(nested, mrNone);
    EXPECT_EQ(windows, 1);
}

TEST_F(MsgDlgTest, OtherThreadsAreShownByTheMainThreadOneAtATime)
{
    QThread* mainThread = QThread::currentThread();
    std::atomic<int> open { 0 };
    std::atomic<int> mostOpen { 0 };
    std::atomic<int> answered { 0 };
    bool allOnMainThread = true;

    // Answers every message that comes up until the workers are done; the driver left waiting
    // for one more message afterwards must not touch this test's state.
    auto active = std::make_shared<bool>(true);
    std::function<void(QWidget*)> answer = [&, active](QWidget* w) {
        if (!*active)
            return;
        mostOpen = std::max<int>(mostOpen, ++open);
        allOnMainThread = allOnMainThread && w->thread() == mainThread;
        QTimer::singleShot(20, w, [&, w] {
            --open;
            ButtonByText(w, "&Нет")->click();
            WhenModal(answer);
        });
    };
    WhenModal(answer);

    int results[3] = {};
    std::thread workers[3];
    for (int i = 0; i < 3; ++i)
        workers[i] = std::thread([&, i] {
            results[i] = ShowMsgDlg(QString("worker %1").arg(i), { bYes, bNo });
            ++answered;
        });
    EXPECT_TRUE(SpinUntil([&] { return answered == 3; }));
    for (std::thread& t : workers)
        t.join();
    for (int r : results)
        EXPECT_EQ(r, mrNo);
    EXPECT_EQ(mostOpen, 1);
    EXPECT_TRUE(allOnMainThread);
    *active = false;
}

TEST_F(MsgDlgTest, OtherThreadWaitsForTheMessageOnScreen)
{
    std::atomic<int> workerResult { -1 };
    std::thread worker;
    QWidget* mainDialog = nullptr;
    QString workerText;
    WhenModal([&](QWidget* w) {
        mainDialog = w;
        worker = std::thread([&] { workerResult = ShowMsgDlg("from worker", { bOk, bCancel }); });
        // Give the worker's request time to arrive while this message is still up.
        QTimer::singleShot(100, [&, w] {
            EXPECT_EQ(workerResult, -1);
            WhenModal(
                [&](QWidget* second) {
                    workerText = qobject_cast<TMyMsgDlg*>(second)->Memo->toPlainText();
                    ButtonByText(second, "&Отмена")->click();
                },
                w);
            ButtonByText(w, "O&K")->click();
        });
    });
    EXPECT_EQ(ShowMsgDlg("main", { bOk }), mrOk);
    EXPECT_TRUE(SpinUntil([&] { return workerResult != -1; }));
    worker.join();
    EXPECT_EQ(workerResult, mrCancel);
    EXPECT_EQ(workerText, "from worker");
}

namespace {

class TFailingFactory : public TDlgFactory {
public:
    TMyMsgDlg* DoCreate() override { throw std::runtime_error("no window"); }
};

}

TEST_F(MsgDlgTest, FallsBackToThePlatformMessageBox)
{
    TFailingFactory failing;
    SetDlgFactory(&failing);
    struct TCase {
        const char* name;
        TButtonSet buttons;
        QMessageBox::StandardButtons shown;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton press;
        int expected;
    } cases[] = {
        { "ok cancel", { bOk, bCancel, iQUESTION }, QMessageBox::Ok | QMessageBox::Cancel,
            QMessageBox::Question, QMessageBox::Cancel, mrCancel },
        { "yes no cancel", { bYes, bNo, bCancel }, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
            QMessageBox::NoIcon, QMessageBox::No, mrNo },
        { "yes no", { bYes, bNo, iHAND }, QMessageBox::Yes | QMessageBox::No,
            QMessageBox::Critical, QMessageBox::Yes, mrYes },
        { "ok", { bOk, iEXCLAMATION }, QMessageBox::Ok, QMessageBox::Warning, QMessageBox::Ok,
            mrOk },
        { "yes to all alone", { bYesToAll, iASTERISK }, QMessageBox::Ok,
            QMessageBox::Information, QMessageBox::Ok, mrOk },
    };
    for (const TCase& c : cases) {
        QMessageBox::StandardButtons shown;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QString title, text;
        WhenModal([&](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            ASSERT_NE(box, nullptr) << c.name;
            shown = box->standardButtons();
            icon = box->icon();
            title = box->windowTitle();
            text = box->text();
            box->button(c.press)->click();
        });
        EXPECT_EQ(ShowMsgDlg("a\rb", c.buttons, "ignored"), c.expected) << c.name;
        EXPECT_EQ(shown, c.shown) << c.name;
        EXPECT_EQ(icon, c.icon) << c.name;
        EXPECT_EQ(title, "Tessaline") << c.name;
        EXPECT_EQ(text, "a\nb") << c.name;
    }
    SetDlgFactory(nullptr);
    EXPECT_EQ(ShowAndAnswer("own again", { bOk }, {}, Click("O&K")), mrOk);
}
