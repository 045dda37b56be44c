#pragma once

#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <vector>

class TGridObjectCollectionItem;

// The ordered item list of a collection. Items sit in blocks of bounded size,
// so that an insertion or removal at any position shifts one block instead of
// the whole list, while reading by position stays a binary search over the
// blocks. Each item points back at its block, so its position is found
// without scanning the list.
class TItemStore {
public:
    struct TBlock {
        std::vector<TGridObjectCollectionItem*> Items;
        int Start = 0;
    };

    TItemStore() = default;
    TItemStore(const TItemStore&) = delete;
    TItemStore& operator=(const TItemStore&) = delete;

    int Count() const { return fCount; }
    TGridObjectCollectionItem* At(int Index) const;
    void Insert(int Index, TGridObjectCollectionItem* Item);
    TGridObjectCollectionItem* Remove(int Index);
    int IndexOf(const TGridObjectCollectionItem* Item) const;
    // The first position in Lo .. Hi - 1 whose item is not Before (Hi when there is none);
    // the items there must have all those that are Before first. It searches the blocks by
    // their last items and then one block, so a step costs no block lookup as At does.
    template <typename F> int LowerBound(int Lo, int Hi, F Before) const;
    // Replaces the whole order at once; used by sorting.
    void Assign(const std::vector<TGridObjectCollectionItem*>& Items);
    std::vector<TGridObjectCollectionItem*> ToVector() const;
    // Verifies block sizes, starts and back references; returns false on the
    // first fault.
    bool CheckConsistency() const;

private:
    static constexpr size_t MaxBlock = 512;
    size_t BlockOf(int Index) const;
    void Renumber(size_t FromBlock);

    std::vector<std::unique_ptr<TBlock>> fBlocks;
    int fCount = 0;
};

template <typename F> int TItemStore::LowerBound(int Lo, int Hi, F Before) const
{
    Lo = std::max(Lo, 0);
    Hi = std::min(Hi, fCount);
    if (Lo >= Hi)
        return Lo;
    size_t First = BlockOf(Lo);
    const size_t End = BlockOf(Hi - 1) + 1;
    size_t Last = End;
    while (First < Last) {
        const size_t Mid = First + (Last - First) / 2;
        const TBlock& B = *fBlocks[Mid];
        const int Back = std::min(B.Start + int(B.Items.size()), Hi) - 1;
        if (Before(B.Items[size_t(Back - B.Start)]))
            First = Mid + 1;
        else
            Last = Mid;
    }
    if (First == End)
        return Hi;
    const TBlock& B = *fBlocks[First];
    const auto From = B.Items.begin() + (std::max(Lo, B.Start) - B.Start);
    const auto To = B.Items.begin() + (std::min(Hi, B.Start + int(B.Items.size())) - B.Start);
    return B.Start + int(std::partition_point(From, To, Before) - B.Items.begin());
}
