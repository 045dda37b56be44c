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

    // Sets the size of the next block, for a formula of that many characters.
    void Expect(std::size_t Characters) { fNextBlock = Characters * 48 < 256 ? 256 : Characters * 48; }
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
