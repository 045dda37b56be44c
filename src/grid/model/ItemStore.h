#pragma once

#include <QtGlobal>

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
