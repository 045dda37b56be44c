#include "app/JournalKeyReader.h"

#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"

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

QString Reason(const QSqlQuery& query)
{
    const QSqlError e = query.lastError();
    const QString detail = e.databaseText().isEmpty() ? e.text() : e.databaseText();
    return detail.isEmpty() ? QStringLiteral("Ошибка в запросе")
                            : QStringLiteral("Ошибка в запросе: ") + detail;
}

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
    QMetaObject::invokeMethod(fContext.get(), [this] { fDb.reset(); }, Qt::BlockingQueuedConnection);
    fThread.quit();
    fThread.wait();
}

TDbConnection& TJournalKeyReader::Connection()
{
    if (fDb && !(TFileIdentity::Of(fDb->FilePath()) == fFile))
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

std::vector<qint64> TJournalKeyReader::Read(const QString& sql, const QVariantList& values)
{
    std::vector<qint64> keys;
    QString failure;
    QEventLoop loop;
    QMetaObject::invokeMethod(fContext.get(), [&] {
        try {
            QSqlQuery q(Connection().Database());
            q.setForwardOnly(true);
            if (!q.prepare(sql)) {
                failure = Reason(q);
            } else {
                for (const QVariant& v : values)
                    q.addBindValue(v);
                if (!q.exec())
                    failure = Reason(q);
                while (failure.isEmpty() && q.next())
                    keys.push_back(q.value(0).toLongLong());
            }
        } catch (const EDatabaseError& e) {
            failure = e.Message();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    {
        TInputHold hold;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!failure.isEmpty())
        throw EDatabaseError(failure);
    return keys;
}
