#pragma once

#include <QString>

#include <stdexcept>

// Raised by the grid model for a request it refuses, such as a duplicate name.
class EGridError : public std::runtime_error {
public:
    explicit EGridError(const QString& Message)
        : std::runtime_error(Message.toStdString())
    {
    }
    QString Message() const { return QString::fromUtf8(what()); }
};
