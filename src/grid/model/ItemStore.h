#pragma once

#include "grid/model/ItemKey.h"

#include <algorithm>
#include <memory>
#include <vector>

class TGridObjectCollectionItem;

// The ordered item list of a collection. Items sit in blocks of bounded size,
// so that an insertion or removal at any position shifts one block instead of
// the whole list, while reading by position stays a binary search over the
// blocks' starts. Each item points back at its block, so its position is
// found without scanning the list.
//
// Next to each item the block keeps a copy of the item's sort key, and the
// store keeps the key of every block's last item, so a search by key touches
// no item at all. The copies are refreshed whenever an item's key changes:
// the item reports the change, and the store calls Refresh.
class TItemStore {
public:
    TItemStore() = default;
    TItemStore(const TItemStore&) = delete;
    TItemStore& operator=(const TItemStore&) = delete;

    int Count() const { return fCount; }
    TGridObjectCollectionItem* At(int Index) const;
    // The key stored for the item at Index; Index must be valid.
    const TItemKey& KeyAt(int Index) const;
    void Insert(int Index, TGridObjectCollectionItem* Item);
    TGridObjectCollectionItem* Remove(int Index);
    int IndexOf(const TGridObjectCollectionItem* Item) const;
    // Takes up the current key of an item of this store (or of the item at
    // Index, which is cheaper when the index is known).
    void Refresh(const TGridObjectCollectionItem* Item);
    void RefreshAt(int Index);
    // The first position in Lo .. Hi - 1 whose key is not Before (Hi when there is none);
    // the keys there must have all those that are Before first. Key, when given, receives
    // the key at that position, or none for Hi.
    template <typename F>
    int LowerBound(int Lo, int Hi, F Before, const TItemKey** Key = nullptr) const;
    // Replaces the whole order at once; used by sorting.
    void Assign(const std::vector<TGridObjectCollectionItem*>& Items);
    std::vector<TGridObjectCollectionItem*> ToVector() const;
    // Verifies block sizes, starts, back references and every stored key
    // against its item; returns false on the first fault.
    bool CheckConsistency() const;

private:
    static constexpr int MaxBlock = 256;
    // A block has room for one item more than it keeps: an insertion lands
    // first and splits the block afterwards.
    struct TBlock {
        int Size = 0;
        // The block's place in fBlocks, by which an item finds its start.
        size_t Ordinal = 0;
        TGridObjectCollectionItem* Items[MaxBlock + 1];
        TItemKey Keys[MaxBlock + 1];
    };

    // The first of the N values from First that is not Before, or First + N.
    // Its steps choose without branching, since their outcome is unpredictable.
    template <typename T, typename F> static const T* Partition(const T* First, size_t N, F Before);
    size_t BlockOf(int Index) const;
    int OffsetIn(const TBlock& B, const TGridObjectCollectionItem* Item) const;
    void SetKey(size_t BI, int Offset, const TItemKey& Key);
    void Split(size_t BI);
    void DropBlock(size_t BI);
    void Renumber(size_t FromBlock);

    // Parallel per block: the block, the position of its first item and the
    // key of its last item.
    std::vector<std::unique_ptr<TBlock>> fBlocks;
    std::vector<int> fStarts;
    std::vector<TItemKey> fLastKeys;
    int fCount = 0;
};

template <typename T, typename F>
const T* TItemStore::Partition(const T* First, size_t N, F Before)
{
    if (N == 0)
        return First;
    while (N > 1) {
        const size_t Half = N / 2;
        First = Before(First[Half]) ? First + Half : First;
        N -= Half;
    }
    return First + (Before(*First) ? 1 : 0);
}

template <typename F>
int TItemStore::LowerBound(int Lo, int Hi, F Before, const TItemKey** Key) const
{
    Lo = std::max(Lo, 0);
    Hi = std::min(Hi, fCount);
    if (Key)
        *Key = nullptr;
    if (Lo >= Hi)
        return Lo;
    // Every block before the one holding Hi - 1 ends inside the range, so
    // its last key decides whether the answer lies beyond it.
    const size_t First = Lo == 0 ? 0 : BlockOf(Lo);
    const size_t Last = Hi == fCount ? fBlocks.size() - 1 : BlockOf(Hi - 1);
    const TItemKey* const Keys = fLastKeys.data();
    const size_t BI = size_t(Partition(Keys + First, Last - First, Before) - Keys);
    const TBlock& B = *fBlocks[BI];
    const int Start = fStarts[BI];
    const int From = std::max(Lo, Start) - Start;
    const int To = std::min(Hi, Start + B.Size) - Start;
    const TItemKey* Found = Partition(B.Keys + From, size_t(To - From), Before);
    const int Result = Start + int(Found - B.Keys);
    if (Key && Result < Hi)
        *Key = Found;
    return Result;
}
