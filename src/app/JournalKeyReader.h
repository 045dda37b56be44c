#pragma once

#include "platform/db/FileIdentity.h"

#include <QString>
#include <QThread>
#include <QVariantList>
#include <memory>
#include <mutex>
#include <vector>

class TDbConnection;

// Reads which records a journal query finds (its keys) on a thread of its own, over a
// connection of its own that stays open between queries, so its page cache stays warm. The
// calling thread waits in an event loop meanwhile and keeps its windows painted: a search
// through a large journal never freezes the window. User input waits until the keys are in,
// under a busy pointer, so that no command starts in the middle of another.
class TJournalKeyReader {
public:
    TJournalKeyReader(QString dataDir, QString connectionString);
    ~TJournalKeyReader();
    TJournalKeyReader(const TJournalKeyReader&) = delete;
    TJournalKeyReader& operator=(const TJournalKeyReader&) = delete;

    // The keys in the query's order; throws EDatabaseError with the database's reason.
    std::vector<qint64> Read(const QString& sql, const QVariantList& values);

private:
    // On the reader's thread: the connection, opened anew when the journal file under its
    // name is no longer the one it opened (archived meanwhile).
    TDbConnection& Connection();
    // On the reader's thread: one query's keys, or why not.
    void ReadHere(const QString& sql, const QVariantList& values, std::vector<qint64>& keys,
        QString& failure);

    QString fDataDir;
    QString fConnectionString;
    QThread fThread;
    std::unique_ptr<QObject> fContext; // lives on fThread; jobs run in its thread
    std::mutex fMutex; // held by a job on fThread, and by the caller reading its results
    std::unique_ptr<TDbConnection> fDb; // used only on fThread
    TFileIdentity fFile;
};
