#include "grid/model/ItemStore.h"

#include "grid/model/GridObjectCollectionItem.h"

#include <algorithm>

size_t TItemStore::BlockOf(int Index) const
{
    // The last block whose start is not beyond Index.
    auto It = std::upper_bound(fBlocks.begin(), fBlocks.end(), Index,
        [](int I, const std::unique_ptr<TBlock>& B) { return I < B->Start; });
    return size_t(It - fBlocks.begin()) - 1;
}

void TItemStore::Renumber(size_t FromBlock)
{
    int Start = FromBlock == 0 ? 0 : fBlocks[FromBlock - 1]->Start + int(fBlocks[FromBlock - 1]->Items.size());
    for (size_t B = FromBlock; B < fBlocks.size(); ++B) {
        fBlocks[B]->Start = Start;
        Start += int(fBlocks[B]->Items.size());
    }
}

TGridObjectCollectionItem* TItemStore::At(int Index) const
{
    if (Index < 0 || Index >= fCount)
        return nullptr;
    const TBlock& B = *fBlocks[BlockOf(Index)];
    return B.Items[size_t(Index - B.Start)];
}

void TItemStore::Insert(int Index, TGridObjectCollectionItem* Item)
{
    Index = std::clamp(Index, 0, fCount);
    if (fBlocks.empty())
        fBlocks.push_back(std::make_unique<TBlock>());
    size_t BI = Index == fCount ? fBlocks.size() - 1 : BlockOf(Index);
    TBlock* B = fBlocks[BI].get();
    B->Items.insert(B->Items.begin() + (Index - B->Start), Item);
    Item->fStoreBlock = B;
    ++fCount;
    if (B->Items.size() > MaxBlock) {
        auto Tail = std::make_unique<TBlock>();
        const size_t Half = B->Items.size() / 2;
        Tail->Items.assign(B->Items.begin() + Half, B->Items.end());
        B->Items.resize(Half);
        for (TGridObjectCollectionItem* Moved : Tail->Items)
            Moved->fStoreBlock = Tail.get();
        fBlocks.insert(fBlocks.begin() + BI + 1, std::move(Tail));
    }
    Renumber(BI);
}

TGridObjectCollectionItem* TItemStore::Remove(int Index)
{
    if (Index < 0 || Index >= fCount)
        return nullptr;
    const size_t BI = BlockOf(Index);
    TBlock* B = fBlocks[BI].get();
    TGridObjectCollectionItem* Item = B->Items[size_t(Index - B->Start)];
    B->Items.erase(B->Items.begin() + (Index - B->Start));
    Item->fStoreBlock = nullptr;
    --fCount;
    if (B->Items.empty()) {
        fBlocks.erase(fBlocks.begin() + BI);
        if (BI < fBlocks.size())
            Renumber(BI);
    } else {
        Renumber(BI);
    }
    return Item;
}

int TItemStore::IndexOf(const TGridObjectCollectionItem* Item) const
{
    const TBlock* B = Item ? static_cast<const TBlock*>(Item->fStoreBlock) : nullptr;
    if (!B)
        return -1;
    auto It = std::find(B->Items.begin(), B->Items.end(), Item);
    return It == B->Items.end() ? -1 : B->Start + int(It - B->Items.begin());
}

void TItemStore::Assign(const std::vector<TGridObjectCollectionItem*>& Items)
{
    fBlocks.clear();
    fCount = 0;
    for (size_t I = 0; I < Items.size(); I += MaxBlock / 2) {
        auto B = std::make_unique<TBlock>();
        B->Items.assign(Items.begin() + I, Items.begin() + std::min(Items.size(), I + MaxBlock / 2));
        for (TGridObjectCollectionItem* Item : B->Items)
            Item->fStoreBlock = B.get();
        fBlocks.push_back(std::move(B));
    }
    fCount = int(Items.size());
    Renumber(0);
}

std::vector<TGridObjectCollectionItem*> TItemStore::ToVector() const
{
    std::vector<TGridObjectCollectionItem*> Result;
    Result.reserve(size_t(fCount));
    for (const auto& B : fBlocks)
        Result.insert(Result.end(), B->Items.begin(), B->Items.end());
    return Result;
}

bool TItemStore::CheckConsistency() const
{
    int Start = 0;
    for (const auto& B : fBlocks) {
        if (B->Items.empty() || B->Items.size() > MaxBlock || B->Start != Start)
            return false;
        for (const TGridObjectCollectionItem* Item : B->Items)
            if (Item->fStoreBlock != B.get())
                return false;
        Start += int(B->Items.size());
    }
    return Start == fCount;
}
