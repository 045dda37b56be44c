#pragma once

#include "grid/model/GridEvents.h"

enum TButtonViewStyle {
    bvsNone,
    bvsSimple,
    bvsList,
    bvsEllipsis,
    bvsCheck,
    bvsImage,
    bvsSpeedButton,
    bvsListButton
};
enum TButtonAlignment { baLeft, baRight, baCenter };

// The look of a cell's drop-list button, which the painter reads; opening
// and choosing belong to the list's own behaviour.
class TCustomDropList {
public:
    virtual ~TCustomDropList() = default;

    // Whether the cell's text stands for the checked state of a check box.
    virtual bool Checked(const QString& CellText) const { return CellText == CheckedText; }

    TButtonViewStyle ButtonViewStyle = bvsNone;
    bool ButtonEnabled = true;
    quint16 ButtonWidth = 13;
    TButtonAlignment ButtonAlignment = baRight;
    bool ButtonAlwaysVisible = false;
    bool ButtonTransparent = false;
    bool StretchImage = true;
    bool CaptionBorder = false;
    bool ButtonFlat = false;
    QString CheckedText = QStringLiteral("1");
    TDrawCellEvent OnDrawButton;
};
