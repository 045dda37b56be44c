#pragma once

#include "app/VersionInfo.h"

#include <QLabel>

#include <optional>

// A label showing one number of the program's version resource. It starts empty at
// vsFileDate and shows a number only once InfoType is set to a different kind.
class TVerLabel : public QLabel {
    Q_OBJECT

public:
    explicit TVerLabel(QWidget* parent = nullptr);
    // A label reading the given resource instead of the program's own.
    TVerLabel(std::optional<TFixedFileInfo> resource, QWidget* parent);

    TFixedInfo InfoType() const { return fInfoType; }
    void SetInfoType(TFixedInfo value);

private:
    TFixedInfo fInfoType = vsFileDate;
    std::optional<TFixedFileInfo> fResource;
};
