#pragma once

#include <QString>

#include <stdexcept>

// Raised by the line lists for a bad index, a bad capacity or a forbidden
// operation; the list is unchanged when it is raised.
class EStringListError : public std::runtime_error {
public:
    explicit EStringListError(const QString& Message)
        : std::runtime_error(Message.toStdString())
    {
    }
    QString Message() const { return QString::fromUtf8(what()); }
};
