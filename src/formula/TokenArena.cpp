#include "formula/TokenArena.h"

#include <new>

void* TTokenArena::Allocate(std::size_t Size)
{
    constexpr std::size_t Align = alignof(std::max_align_t);
    Size = (Size + Align - 1) & ~(Align - 1);
    if (Size > fFree) {
        const std::size_t Header = (sizeof(TBlock) + Align - 1) & ~(Align - 1);
        const std::size_t Bytes = Header + (Size > fNextBlock ? Size : fNextBlock);
        auto* Block = static_cast<TBlock*>(::operator new(Bytes));
        Block->Previous = fLast;
        fLast = Block;
        fNext = reinterpret_cast<std::byte*>(Block) + Header;
        fFree = Bytes - Header;
        // Blocks double so that a formula of any size takes few of them.
        fNextBlock *= 2;
    }
    void* P = fNext;
    fNext += Size;
    fFree -= Size;
    return P;
}

void TTokenArena::Reset()
{
    while (fLast) {
        TBlock* Previous = fLast->Previous;
        ::operator delete(fLast);
        fLast = Previous;
    }
    fNext = nullptr;
    fFree = 0;
}
