#include "app/JournalKeyReader.h"

#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbErrorText.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QCursor>
#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTimer>

namespace {

// Holds back the user's input while the keys are read: the window repaints, but a click or
// a key waits for the result instead of acting on a journal that is half open.
class TInputHold : public QObject {
public:
    TInputHold()
    {
        QCoreApplication::instance()->installEventFilter(this);
        // Most searches end before a busy pointer would be seen; only a longer one shows it,
        // so the pointer does not flicker at every search.
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
            QTimer::singleShot(kBusyPointerDelayMs, this, [this] {
                QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
                fBusyPointer = true;
            });
    }
    ~TInputHold() override
    {
        if (fBusyPointer)
            QGuiApplication::restoreOverrideCursor();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
        }
    }

private:
    static constexpr int kBusyPointerDelayMs = 150;
    bool fBusyPointer = false;
};

} // namespace

TJournalKeyReader::TJournalKeyReader(QString dataDir, QString connectionString)
    : fDataDir(std::move(dataDir))
    , fConnectionString(std::move(connectionString))
    , fContext(std::make_unique<QObject>())
{
    fThread.setObjectName(QStringLiteral("journal keys"));
    fContext->moveToThread(&fThread);
    fThread.start();
}

TJournalKeyReader::~TJournalKeyReader()
{
    // A connection belongs to the thread that opened it, and closes there.
    QMetaObject::invokeMethod(
        fContext.get(),
        [this] {
            const std::lock_guard<std::mutex> hold(fMutex);
            fDb.reset();
        },
        Qt::BlockingQueuedConnection);
    fThread.quit();
    fThread.wait();
    // Taken once more so that what the reader's thread last did is seen done from here,
    // also by the thread checker, which does not see the toolkit's own waiting.
    const std::lock_guard<std::mutex> hold(fMutex);
}

TDbConnection& TJournalKeyReader::Connection()
{
    // A file replaced under its name, or a server that stopped answering: a new connection.
    if (fDb && (!(TFileIdentity::Of(fDb->FilePath()) == fFile) || !fDb->Alive()))
        fDb.reset();
    if (!fDb) {
        auto db = std::make_unique<TDbConnection>(fDataDir);
        db->SetConnectionString(fConnectionString);
        db->Open();
        fFile = TFileIdentity::Of(db->FilePath());
        fDb = std::move(db);
    }
    return *fDb;
}

void TJournalKeyReader::ReadHere(
    const QString& sql, const QVariantList& values, std::vector<qint64>& keys, QString& failure)
{
    const std::lock_guard<std::mutex> hold(fMutex);
    try {
        TDbConnection& db = Connection();
        const bool sqliteCodes = db.Dialect() == sdSqlite || db.Dialect() == sdSqliteOdbc;
        QSqlQuery q(db.Database());
        q.setForwardOnly(true);
        const QString what = QStringLiteral("Ошибка в запросе");
        if (!q.prepare(sql)) {
            failure = DbErrorText::Message(what, q.lastError(), sqliteCodes);
            return;
        }
        for (const QVariant& v : values)
            q.addBindValue(v);
        if (!q.exec()) {
            failure = DbErrorText::Message(what, q.lastError(), sqliteCodes);
            return;
        }
        while (q.next())
            keys.push_back(q.value(0).toLongLong());
    } catch (const EDatabaseError& e) {
        failure = e.Message();
    }
}

std::vector<qint64> TJournalKeyReader::Read(const QString& sql, const QVariantList& values)
{
    std::vector<qint64> keys;
    QString failure;
    QEventLoop loop;
    QMetaObject::invokeMethod(fContext.get(), [&] {
        ReadHere(sql, values, keys, failure);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    {
        TInputHold hold;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    const std::lock_guard<std::mutex> hold(fMutex); // the job's results, seen whole
    if (!failure.isEmpty())
        throw EDatabaseError(failure);
    return keys;
}
