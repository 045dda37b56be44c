#pragma once

#include <QtGlobal>

#include <initializer_list>

// A set of enumeration values stored as a bit mask, bit n for the value of
// ordinal n, so that persisted masks keep the layout of the enumeration.
template <typename TEnum, typename TBits = quint32>
class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<TEnum> Values)
    {
        for (TEnum V : Values)
            fBits |= Bit(V);
    }
    static constexpr TEnumSet FromBits(TBits Bits)
    {
        TEnumSet S;
        S.fBits = Bits;
        return S;
    }

    constexpr TBits Bits() const { return fBits; }
    constexpr bool Contains(TEnum V) const { return (fBits & Bit(V)) != 0; }
    constexpr bool IsEmpty() const { return fBits == 0; }
    constexpr TEnumSet& Include(TEnum V)
    {
        fBits |= Bit(V);
        return *this;
    }
    constexpr TEnumSet& Exclude(TEnum V)
    {
        fBits &= ~Bit(V);
        return *this;
    }
    constexpr TEnumSet operator|(TEnumSet O) const { return FromBits(fBits | O.fBits); }
    constexpr TEnumSet operator&(TEnumSet O) const { return FromBits(fBits & O.fBits); }
    constexpr bool operator==(const TEnumSet&) const = default;

private:
    static constexpr TBits Bit(TEnum V) { return TBits(1) << unsigned(V); }
    TBits fBits = 0;
};
