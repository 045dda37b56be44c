#pragma once

#include <QtGlobal>

#include <initializer_list>

// The buttons and the icon of a message, as bit numbers of a 16-bit set. Bits iAPPLICATION to
// iWINLOGO choose the icon; the lowest one set wins.
enum TMsgButtons {
    bOk,
    bCancel,
    bYes,
    bNo,
    bYesToAll,
    iAPPLICATION,
    iASTERISK,
    iEXCLAMATION,
    iHAND,
    iQUESTION,
    iWINLOGO,
};

class TButtonSet {
public:
    constexpr TButtonSet() = default;
    constexpr TButtonSet(std::initializer_list<TMsgButtons> values)
    {
        for (TMsgButtons v : values)
            fBits |= Bit(v);
    }
    static constexpr TButtonSet FromBits(quint16 bits)
    {
        TButtonSet set;
        set.fBits = bits;
        return set;
    }

    constexpr quint16 Bits() const { return fBits; }
    constexpr bool Contains(TMsgButtons v) const { return (fBits & Bit(v)) != 0; }
    constexpr bool operator==(const TButtonSet&) const = default;

    static constexpr quint16 IconMask = 0x7E0;
    // Messages with these icons are traced as warnings.
    static constexpr quint16 WarningMask = 0x180;

    // The lowest icon bit set, or -1 when the message asks for no icon.
    constexpr int Icon() const
    {
        for (int b = iAPPLICATION; b <= iWINLOGO; ++b)
            if (fBits & (1u << b))
                return b;
        return -1;
    }

private:
    static constexpr quint16 Bit(TMsgButtons v) { return quint16(1u << unsigned(v)); }
    quint16 fBits = 0;
};

// What closed a message; mrNone when nothing was shown.
enum TMsgResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrYes = 6,
    mrNo = 7,
    mrYesToAll = 14,
};
