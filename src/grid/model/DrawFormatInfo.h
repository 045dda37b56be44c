#pragma once

#include "grid/model/GridCell.h"
#include "grid/model/GridColor.h"
#include "grid/model/GridFont.h"

#include <optional>

class TCustomDropList;

// The effective look of one cell: what every handler and the painter get.
class TDrawFormatInfo {
public:
    TDrawFormatInfo() = default;
    virtual ~TDrawFormatInfo() = default;
    TDrawFormatInfo(const TDrawFormatInfo&) = delete;
    TDrawFormatInfo& operator=(const TDrawFormatInfo&) = delete;

    // Copies what both records have in common; a TDrawCellInfo copies more.
    virtual void Assign(const TDrawFormatInfo& Source);
    virtual bool SameFormat(const TDrawFormatInfo* Other) const;

    const TGridFont& Font() const { return fFont; }
    TGridFont& Font() { return fFont; }
    void SetFont(const TGridFont& Value)
    {
        if (&Value != &fFont)
            fFont = Value;
    }

    TColor BackColor = 0;
    TCustomDropList* DropList = nullptr;
    quint32 Flags = 0;
    std::optional<TTextMargin> Margin;

private:
    TGridFont fFont;
};
