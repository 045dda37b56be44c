#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class TDbConnection;
class TJournal;

enum TArchiveResult {
    arReady, // the checks found nothing against archiving; nothing has been done yet
    arDone, // the journal is the archive now, and a copy of the template is the journal
    arCancelled, // the user declined; nothing changed
    arServerSource, // the journal is not a file of ours: archiving is the server's business
    arOtherFile, // the connection names an SQLite file other than the journal of the data folder
    arNoJournal, // there is no journal file to archive
    arTemplateMissing,
    arArchiveExists,
    arJournalBusy, // another connection is using the journal; nothing changed
    arJournalUnusable, // the journal file cannot be opened as a database; nothing changed
    arCopyFailed, // the template could not be copied; nothing changed
    arRenameFailed, // the journal could not be given the archive's name; nothing changed
    arRestored, // the copy could not be put in place, so the journal went back; nothing changed
    arRestoreFailed, // neither: every record is in the archive, the folder has no journal
};

struct TArchiveOutcome {
    TArchiveResult Result = arReady;
    // The text for an error box captioned TJournalArchive::Caption(); empty when there is
    // nothing to tell (done, cancelled, ready).
    QString Message;
};

// The yearly archive: the whole journal file goes under the name "vsk" + month and year +
// ".db" and a copy of the template becomes the journal, all in the data folder.
//
// The main window calls Run with its journal; Run checks, asks (when given a question
// callback), posts a record being edited, closes the journal, swaps the files and reopens
// the journal whatever happened, and returns the message to show. Errors of the data layer
// while posting or reopening propagate as EDatabaseError, except that a reopen failing
// after a swap with a message of its own adds its text to that message.
//
// Check and Swap are the two halves for a caller that manages the journal itself: between
// them it must close every connection of its own to the journal (one left open with a
// transaction makes Swap refuse; an idle one can no longer write afterwards), and after Swap
// it reopens the journal.
class TJournalArchive {
public:
    // The steps that touch the file system, in order; see SetFaultHook.
    enum TStep {
        asCopy, // the template to a temporary file
        asLink, // a second name, the archive's, for the journal
        asMove, // where hard links are not available: the journal renamed to the archive
        asPlace, // the copy of the template renamed to the journal's name
        asRestore, // undoing asLink or asMove after a failed asPlace
    };
    // Called before each step; a nonzero errno makes the step fail as if the system had
    // refused it. Tests use it to inject failures and crashes.
    using TFaultHook = std::function<int(TStep)>;
    using TConfirm = std::function<bool(const QString& question)>;

    // The journal as the connection reaches it, with the archive named after moment.
    explicit TJournalArchive(
        const TDbConnection& db, const QDateTime& moment = QDateTime::currentDateTime());

    static QString Caption() { return QStringLiteral("Журнал анализов"); }
    static QString ArchiveFileName(const QDateTime& moment); // "vsk" + MMYYYY + ".db"
    static QString TemplateFileName(); // "template-msk.db"

    const QString& ArchiveName() const { return fArchiveName; }
    QString ArchivePath() const; // where the archive goes, in the data folder
    QString Question() const; // for an "are you sure" step, when the caller wants one

    TArchiveOutcome Run(TJournal& journal, const TConfirm& confirm = {});

    // Only looks: the data source, the journal, the template and the archive's name.
    TArchiveOutcome Check() const;
    // Moves the journal into the archive and a copy of the template into its place, under
    // the journal's exclusive lock. Returns arDone or why not (with the message).
    TArchiveOutcome Swap();

    void SetFaultHook(TFaultHook hook) { fFault = std::move(hook); }
    // How long to wait for another connection's transaction to end before refusing.
    void SetBusyTimeout(int ms) { fBusyTimeoutMs = ms; }

private:
    int Fault(TStep step) const { return fFault ? fFault(step) : 0; }
    QString FilePath(const QString& name) const;

    QString fDataDir;
    QString fJournalPath; // the SQLite file the connection names; empty for a server
    QString fArchiveName;
    TFaultHook fFault;
    int fBusyTimeoutMs = 3000;
};
