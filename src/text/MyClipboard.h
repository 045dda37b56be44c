#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <exception>
#include <memory>
#include <stdexcept>

class QIODevice;
class QMimeData;

// Raised when the system clipboard cannot be reached.
class EClipboardError : public std::runtime_error {
public:
    explicit EClipboardError(const QString& Message)
        : std::runtime_error(Message.toStdString())
    {
    }
};

// The system clipboard as the program reaches it: one set of data, read and
// replaced whole.
class IPlatformClipboard {
public:
    virtual ~IPlatformClipboard() = default;
    // None when the clipboard is empty.
    virtual const QMimeData* Data() const = 0;
    // Takes ownership, also when it throws; the data replaces what was there.
    virtual void SetData(QMimeData* Data) = 0;
};

// The program's clipboard: UTF-16 text, HTML with its offset header, and the
// grid's private format, with an Open/Close bracket that makes several
// writes one change of the clipboard.
class TMyClipboard {
public:
    // The formats by their system names, and the MIME types that carry them.
    static const QString UnicodeTextMime; // the exact UTF-16 bytes with their zero
    static const QString HtmlFormatMime; // "HTML Format": header and HTML
    static const QString QxfFormatMime; // "QXFV Format"
    static constexpr int HtmlHeaderLength = 48;

    explicit TMyClipboard(IPlatformClipboard* Platform = nullptr);
    ~TMyClipboard();
    TMyClipboard(const TMyClipboard&) = delete;
    TMyClipboard& operator=(const TMyClipboard&) = delete;

    // The process's clipboard; the program gives it its platform at start.
    static TMyClipboard& Instance();
    void SetPlatform(IPlatformClipboard* Platform) { fPlatform = Platform; }
    bool HasPlatform() const { return fPlatform != nullptr; }

    // The first Open starts collecting writes; the last Close hands them to
    // the system as one change.
    void Open();
    void Close();
    // Close for a bracket left by an error: the error that is passing is the
    // one to report, so a failure to hand the data over is not.
    void CloseQuietly() noexcept;
    int OpenCount() const { return fOpenCount; }
    void Clear();
    void SetBuffer(const QString& Mime, const QByteArray& Bytes);
    QByteArray GetBuffer(const QString& Mime) const;
    bool HasFormat(const QString& Mime) const;
    int FormatCount() const;
    bool HasData() const { return FormatCount() > 0; }

    QString AsText() const;
    QString AsWideText() const;
    void SetAsWideText(const QString& Value);
    // The "HTML Format" bytes, header included; HTML that another program
    // offered, without a header, when there are none.
    QByteArray AsHTML() const;
    void SetAsHTML(const QByteArray& Value);
    QByteArray AsQXF() const;
    void SetAsQXF(const QByteArray& Value);
    void SetFormat(const QString& Mime, QIODevice& Stream);
    // Writes the format's bytes into Stream from its start; an absent
    // format leaves it as it was.
    void GetFormat(const QString& Mime, QIODevice& Stream) const;

    // The header the "HTML Format" bytes begin with, for a body of BodyBytes.
    static QByteArray HtmlHeader(qsizetype BodyBytes);

private:
    const QMimeData* Current() const;
    QMimeData& Pending();

    IPlatformClipboard* fPlatform;
    int fOpenCount = 0;
    std::unique_ptr<QMimeData> fPending;
};

// Opens the clipboard for the scope, closing it also when an error passes.
// The last Close may fail to hand the data to the system; that failure is
// raised unless another error is already on its way.
class TClipboardBracket {
public:
    explicit TClipboardBracket(TMyClipboard& C)
        : fClipboard(C)
        , fExceptions(std::uncaught_exceptions())
    {
        C.Open();
    }
    ~TClipboardBracket() noexcept(false)
    {
        if (std::uncaught_exceptions() > fExceptions)
            fClipboard.CloseQuietly();
        else
            fClipboard.Close();
    }
    TClipboardBracket(const TClipboardBracket&) = delete;
    TClipboardBracket& operator=(const TClipboardBracket&) = delete;

private:
    TMyClipboard& fClipboard;
    int fExceptions;
};

// A copy replaces everything on the clipboard, so that an older copy's HTML
// is never pasted instead of the new text.
void ClipboardCopyText(const QString& Text);
void ClipboardCopy(const QByteArray& Html, const QString& Text);
bool ClipboardHasData();
