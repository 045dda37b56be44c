#include "formula/TokenArena.h"

#include <new>
#include <utility>

void* TTokenArena::Allocate(std::size_t Size)
{
    Size = Footprint(Size);
    if (Size > fFree) {
        const std::size_t Header = Footprint(sizeof(TBlock));
        const std::size_t Bytes = Header + (Size > fNextBlock ? Size : fNextBlock);
        auto* Block = static_cast<TBlock*>(::operator new(Bytes));
        Block->Previous = fLast;
        Block->Bytes = Bytes;
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

void TTokenArena::Rewind(std::size_t MaxKept)
{
    if (!fLast || fLast->Bytes > MaxKept) {
        Reset();
        return;
    }
    TBlock* Kept = fLast;
    fLast = Kept->Previous;
    Reset();
    Kept->Previous = nullptr;
    fLast = Kept;
    const std::size_t Header = Footprint(sizeof(TBlock));
    fNext = reinterpret_cast<std::byte*>(Kept) + Header;
    fFree = Kept->Bytes - Header;
}

void TTokenArena::Swap(TTokenArena& Other)
{
    std::swap(fLast, Other.fLast);
    std::swap(fNext, Other.fNext);
    std::swap(fFree, Other.fFree);
    std::swap(fNextBlock, Other.fNextBlock);
}
