#pragma once

#include <QString>
#include <exception>

// A failure of the data layer. It carries the text shown to the user as it stands, so the
// journal code never catches it and the top-level handler can display its message.
class EDatabaseError : public std::exception {
public:
    explicit EDatabaseError(QString message)
        : fMessage(std::move(message))
        , fUtf8(fMessage.toUtf8())
    {
    }

    const QString& Message() const noexcept { return fMessage; }
    const char* what() const noexcept override { return fUtf8.constData(); }

private:
    QString fMessage;
    QByteArray fUtf8;
};

// A post refused because another workstation changed or deleted the record after this one
// read it. The edit stays in the record, so nothing typed is lost.
class ERecordConflict : public EDatabaseError {
public:
    ERecordConflict(QString message, bool gone)
        : EDatabaseError(std::move(message))
        , fGone(gone)
    {
    }

    bool Gone() const noexcept { return fGone; }

private:
    bool fGone;
};
