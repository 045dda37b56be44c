#pragma once

#include <cstddef>

// The memory of one formula's tokens. A formula is parsed into a few dozen
// small tokens and rebuilt whole when its text changes, so its tokens are
// carved from blocks that are freed together instead of one by one.
class TTokenArena {
public:
    TTokenArena() = default;
    ~TTokenArena() { Reset(); }
    TTokenArena(const TTokenArena&) = delete;
    TTokenArena& operator=(const TTokenArena&) = delete;

    // What Allocate takes for an object of Size bytes.
    static constexpr std::size_t Footprint(std::size_t Size)
    {
        return (Size + Align - 1) & ~(Align - 1);
    }
    // Sets the size of the next block, for a parse of a formula of that many
    // characters: generous, as the parse's blocks are given back when its
    // tree is moved into memory of its exact size.
    void Expect(std::size_t Characters)
    {
        fNextBlock = Characters * 64 < 512 ? 512 : Characters * 64;
    }
    // The next block holds exactly Bytes of allocations.
    void ExpectBytes(std::size_t Bytes) { fNextBlock = Bytes; }
    void* Allocate(std::size_t Size);
    void Swap(TTokenArena& Other);
    // Frees every block; the objects in them must have been destroyed.
    void Reset();
    // Frees every block but the newest, the largest, when it has at most
    // MaxKept bytes, and makes that one empty again: a scratch arena then
    // serves the next formula without the heap and holds no more than that.
    void Rewind(std::size_t MaxKept);

private:
    // Tokens and their lists hold pointers and 64-bit numbers at most, so
    // 8-byte steps suffice; wider ones would pad every token.
    static constexpr std::size_t Align = alignof(void*);
    struct TBlock {
        TBlock* Previous;
        std::size_t Bytes;
    };
    TBlock* fLast = nullptr;
    std::byte* fNext = nullptr;
    std::size_t fFree = 0;
    std::size_t fNextBlock = 256;
};
