#pragma once

#include <QString>

#include <stdexcept>

// The error raised when one object cannot take over the state of another.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& Message);
    QString Message() const { return QString::fromUtf8(what()); }
};

// An object whose state can be copied from another object. Assign asks the
// destination first and, when it does not know the source's kind, the source
// (AssignTo), so that either side can implement the conversion.
class TPersistent {
public:
    virtual ~TPersistent() = default;

    virtual void Assign(const TPersistent& Source);
    virtual QString ClassName() const { return QStringLiteral("TPersistent"); }

protected:
    TPersistent() = default;
    TPersistent(const TPersistent&) = default;
    TPersistent& operator=(const TPersistent&) = default;

    // Returns false when this object cannot be copied into Dest.
    virtual bool AssignTo(TPersistent& Dest) const;
};
