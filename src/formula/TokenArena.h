#pragma once

#include <cstddef>
#include <new>
#include <type_traits>

// The memory of one formula's tokens. A formula is parsed into a few dozen
// small tokens and rebuilt whole when its text changes, so its tokens are
// carved from blocks that are freed together instead of one by one.
class TTokenArena {
public:
    TTokenArena() = default;
    ~TTokenArena() { Reset(); }
    TTokenArena(const TTokenArena&) = delete;
    TTokenArena& operator=(const TTokenArena&) = delete;

    // Sets the size of the next block, for a formula of that many characters.
    // A cell formula then takes one block: its tokens need about this much.
    void Expect(std::size_t Characters)
    {
        fNextBlock = Characters * 44 < 256 ? 256 : Characters * 44;
    }
    void* Allocate(std::size_t Size);
    // Frees every block; the objects in them must have been destroyed.
    void Reset();

private:
    struct TBlock {
        TBlock* Previous;
    };
    TBlock* fLast = nullptr;
    std::byte* fNext = nullptr;
    std::size_t fFree = 0;
    std::size_t fNextBlock = 256;
};

// Lets a token's list of children live in its formula's arena too; without an
// arena (the root's own list) it falls back to the heap.
template <class T> class TArenaAllocator {
public:
    using value_type = T;
    // A list moved into place takes its allocator along, so the root can
    // switch its own children to its arena once the arena exists.
    using propagate_on_container_move_assignment = std::true_type;

    explicit TArenaAllocator(TTokenArena* AArena = nullptr)
        : fArena(AArena)
    {
    }
    template <class U>
    TArenaAllocator(const TArenaAllocator<U>& Other)
        : fArena(Other.Arena())
    {
    }

    T* allocate(std::size_t N)
    {
        return static_cast<T*>(
            fArena ? fArena->Allocate(N * sizeof(T)) : ::operator new(N * sizeof(T)));
    }
    void deallocate(T* P, std::size_t)
    {
        if (!fArena)
            ::operator delete(P);
    }
    TTokenArena* Arena() const { return fArena; }
    bool operator==(const TArenaAllocator& Other) const { return fArena == Other.fArena; }

private:
    TTokenArena* fArena;
};
