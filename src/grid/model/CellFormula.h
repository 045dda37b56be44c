#pragma once

#include <QString>

// The parsed formula of a cell, as the formula engine provides it.
class TCellFormula {
public:
    virtual ~TCellFormula() = default;
    // The formula's current value as text.
    virtual QString ValueText() const = 0;
    // The formula in position-independent row/column form, without "=".
    virtual QString RelativeText() const = 0;
};
