#pragma once

#include "formula/TokenArena.h"

#include <QtGlobal>

#include <cstring>
#include <limits>
#include <stdexcept>
#include <type_traits>
#include <utility>

// A list of pointers whose items live in a formula's arena: one pointer and
// two 32-bit counts, so that every token of a loaded sheet carries 16 bytes
// for its children instead of a standard vector and its allocator. Growing
// leaves the old items to the arena, which frees them with the formula.
template <class T> class TTokenList {
    static_assert(std::is_pointer_v<T>);

public:
    TTokenList() = default;
    TTokenList(const TTokenList&) = delete;
    TTokenList& operator=(const TTokenList&) = delete;

    size_t size() const { return fSize; }
    bool empty() const { return fSize == 0; }
    size_t capacity() const { return fCapacity; }
    T* begin() const { return fData; }
    T* end() const { return fData + fSize; }
    T operator[](size_t Index) const { return fData[Index]; }
    T back() const { return fData[fSize - 1]; }
    // Raises std::out_of_range outside 0 .. size-1, as a caller's wrong index
    // must not read another token's memory.
    T at(size_t Index) const
    {
        if (Index >= fSize)
            throw std::out_of_range("token list index");
        return fData[Index];
    }

    void Reserve(size_t Capacity, TTokenArena& Arena)
    {
        if (Capacity <= fCapacity)
            return;
        if (Capacity > std::numeric_limits<quint32>::max())
            throw std::length_error("token list too long");
        auto* Data = static_cast<T*>(Arena.Allocate(Capacity * sizeof(T)));
        if (fSize)
            std::memcpy(Data, fData, fSize * sizeof(T));
        fData = Data;
        fCapacity = quint32(Capacity);
    }
    // Puts the items [First, Last) of another list before Index.
    void Insert(size_t Index, const T* First, const T* Last, TTokenArena& Arena)
    {
        const size_t N = size_t(Last - First);
        if (fSize + N > fCapacity)
            Reserve(fSize + N > 2 * size_t(fCapacity) ? fSize + N : 2 * size_t(fCapacity), Arena);
        if (N == 0)
            return;
        std::memmove(fData + Index + N, fData + Index, (fSize - Index) * sizeof(T));
        std::memcpy(fData + Index, First, N * sizeof(T));
        fSize += quint32(N);
    }
    void PushBack(T Item, TTokenArena& Arena) { Insert(fSize, &Item, &Item + 1, Arena); }
    void Erase(size_t First, size_t Last)
    {
        std::memmove(fData + First, fData + Last, (fSize - Last) * sizeof(T));
        fSize -= quint32(Last - First);
    }
    void PopBack() { --fSize; }
    void Clear() { fSize = 0; }
    void Swap(TTokenList& Other)
    {
        std::swap(fData, Other.fData);
        std::swap(fSize, Other.fSize);
        std::swap(fCapacity, Other.fCapacity);
    }
    // Forgets the items and their memory, which stays with the arena.
    void Release()
    {
        fData = nullptr;
        fSize = 0;
        fCapacity = 0;
    }

private:
    T* fData = nullptr;
    quint32 fSize = 0;
    quint32 fCapacity = 0;
};
