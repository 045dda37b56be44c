#pragma once

#include <QString>

#include <stdexcept>

// A failure inside the formula machinery; it never leaves a formula, whose
// value becomes the empty text instead.
class EFormulaError : public std::runtime_error {
public:
    explicit EFormulaError(const QString& Message)
        : std::runtime_error(Message.toStdString())
    {
    }
    QString Message() const { return QString::fromUtf8(what()); }
};

// A cell asked to calculate while its own calculation is in progress.
class ECyclicalReference : public EFormulaError {
public:
    ECyclicalReference()
        : EFormulaError(QStringLiteral("Cyclical reference"))
    {
    }
};

class EInvalidArgument : public EFormulaError {
public:
    EInvalidArgument()
        : EFormulaError(QStringLiteral("Invalid argument"))
    {
    }
};

// A token's value asked for with an index outside its value count.
class EListIndexError : public EFormulaError {
public:
    explicit EListIndexError(qint64 Index)
        : EFormulaError(QStringLiteral("List index out of bounds (%1)").arg(Index))
    {
    }
};

// Ends a parse whose events no longer fit the tree being built; traced like
// any parse error but carries no message of its own.
class EAbortParse : public EFormulaError {
public:
    EAbortParse()
        : EFormulaError(QStringLiteral("Operation aborted"))
    {
    }
};

// Formula text nested deeper than the parser descends.
class ENestingTooDeep : public EFormulaError {
public:
    explicit ENestingTooDeep(qint32 Depth)
        : EFormulaError(QStringLiteral("Brackets nested deeper than %1").arg(Depth))
    {
    }
};
