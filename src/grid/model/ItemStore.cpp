#include "grid/model/ItemStore.h"

#include "grid/model/GridObjectCollectionItem.h"

#include <algorithm>

size_t TItemStore::BlockOf(int Index) const
{
    // The last block whose start is not beyond Index.
    const int* It
        = Partition(fStarts.data(), fStarts.size(), [Index](int S) { return S <= Index; });
    return size_t(It - fStarts.data()) - 1;
}

int TItemStore::OffsetIn(const TBlock& B, const TGridObjectCollectionItem* Item) const
{
    const auto End = B.Items + B.Size;
    const auto It = std::find(B.Items, End, Item);
    return It == End ? -1 : int(It - B.Items);
}

void TItemStore::SetKey(size_t BI, int Offset, const TItemKey& Key)
{
    TBlock& B = *fBlocks[BI];
    B.Keys[Offset] = Key;
    if (Offset == B.Size - 1)
        fLastKeys[BI] = Key;
}

void TItemStore::Renumber(size_t FromBlock)
{
    int Start = FromBlock == 0 ? 0 : fStarts[FromBlock - 1] + fBlocks[FromBlock - 1]->Size;
    for (size_t B = FromBlock; B < fBlocks.size(); ++B) {
        fStarts[B] = Start;
        fBlocks[B]->Ordinal = B;
        Start += fBlocks[B]->Size;
    }
}

TGridObjectCollectionItem* TItemStore::At(int Index) const
{
    if (Index < 0 || Index >= fCount)
        return nullptr;
    const size_t BI = BlockOf(Index);
    return fBlocks[BI]->Items[Index - fStarts[BI]];
}

const TItemKey& TItemStore::KeyAt(int Index) const
{
    const size_t BI = BlockOf(Index);
    return fBlocks[BI]->Keys[Index - fStarts[BI]];
}

void TItemStore::Insert(int Index, TGridObjectCollectionItem* Item)
{
    Index = std::clamp(Index, 0, fCount);
    if (fBlocks.empty()) {
        fBlocks.push_back(std::make_unique<TBlock>());
        fStarts.push_back(0);
        fLastKeys.emplace_back();
    }
    const size_t BI = BlockOf(Index);
    TBlock& B = *fBlocks[BI];
    const int Offset = Index - fStarts[BI];
    std::copy_backward(B.Items + Offset, B.Items + B.Size, B.Items + B.Size + 1);
    std::copy_backward(B.Keys + Offset, B.Keys + B.Size, B.Keys + B.Size + 1);
    ++B.Size;
    B.Items[Offset] = Item;
    SetKey(BI, Offset, Item->SortKey());
    Item->fStoreBlock = &B;
    ++fCount;
    // Only the starts after the block move, and they sit side by side.
    for (size_t K = BI + 1; K < fStarts.size(); ++K)
        ++fStarts[K];
    if (B.Size > MaxBlock)
        Split(BI);
}

void TItemStore::Split(size_t BI)
{
    TBlock& B = *fBlocks[BI];
    auto Tail = std::make_unique<TBlock>();
    const int Half = B.Size / 2;
    Tail->Size = B.Size - Half;
    std::copy(B.Items + Half, B.Items + B.Size, Tail->Items);
    std::copy(B.Keys + Half, B.Keys + B.Size, Tail->Keys);
    B.Size = Half;
    for (int K = 0; K < Tail->Size; ++K)
        Tail->Items[K]->fStoreBlock = Tail.get();
    fLastKeys[BI] = B.Keys[Half - 1];
    fLastKeys.insert(fLastKeys.begin() + std::ptrdiff_t(BI) + 1, Tail->Keys[Tail->Size - 1]);
    fStarts.insert(fStarts.begin() + std::ptrdiff_t(BI) + 1, fStarts[BI] + Half);
    fBlocks.insert(fBlocks.begin() + std::ptrdiff_t(BI) + 1, std::move(Tail));
    for (size_t K = BI + 1; K < fBlocks.size(); ++K)
        fBlocks[K]->Ordinal = K;
}

void TItemStore::DropBlock(size_t BI)
{
    fBlocks.erase(fBlocks.begin() + std::ptrdiff_t(BI));
    fStarts.erase(fStarts.begin() + std::ptrdiff_t(BI));
    fLastKeys.erase(fLastKeys.begin() + std::ptrdiff_t(BI));
    for (size_t K = BI; K < fBlocks.size(); ++K)
        fBlocks[K]->Ordinal = K;
}

TGridObjectCollectionItem* TItemStore::Remove(int Index)
{
    if (Index < 0 || Index >= fCount)
        return nullptr;
    const size_t BI = BlockOf(Index);
    TBlock& B = *fBlocks[BI];
    const int Offset = Index - fStarts[BI];
    TGridObjectCollectionItem* Item = B.Items[Offset];
    std::copy(B.Items + Offset + 1, B.Items + B.Size, B.Items + Offset);
    std::copy(B.Keys + Offset + 1, B.Keys + B.Size, B.Keys + Offset);
    --B.Size;
    Item->fStoreBlock = nullptr;
    --fCount;
    for (size_t K = BI + 1; K < fStarts.size(); ++K)
        --fStarts[K];
    if (B.Size == 0)
        DropBlock(BI);
    else if (Offset == B.Size)
        fLastKeys[BI] = B.Keys[B.Size - 1];
    return Item;
}

int TItemStore::IndexOf(const TGridObjectCollectionItem* Item) const
{
    const TBlock* B = Item ? static_cast<const TBlock*>(Item->fStoreBlock) : nullptr;
    if (!B)
        return -1;
    const int Offset = OffsetIn(*B, Item);
    return Offset < 0 ? -1 : fStarts[B->Ordinal] + Offset;
}

void TItemStore::Refresh(const TGridObjectCollectionItem* Item)
{
    const TBlock* B = Item ? static_cast<const TBlock*>(Item->fStoreBlock) : nullptr;
    if (!B)
        return;
    if (const int Offset = OffsetIn(*B, Item); Offset >= 0)
        SetKey(B->Ordinal, Offset, Item->SortKey());
}

void TItemStore::RefreshAt(int Index)
{
    if (Index < 0 || Index >= fCount)
        return;
    const size_t BI = BlockOf(Index);
    const int Offset = Index - fStarts[BI];
    SetKey(BI, Offset, fBlocks[BI]->Items[Offset]->SortKey());
}

void TItemStore::Assign(const std::vector<TGridObjectCollectionItem*>& Items)
{
    fBlocks.clear();
    fStarts.clear();
    fLastKeys.clear();
    // Half-full blocks leave room for insertions after a sort.
    const size_t Fill = MaxBlock / 2;
    for (size_t I = 0; I < Items.size(); I += Fill) {
        auto B = std::make_unique<TBlock>();
        B->Size = int(std::min(Items.size() - I, Fill));
        for (int K = 0; K < B->Size; ++K) {
            TGridObjectCollectionItem* Item = Items[I + size_t(K)];
            B->Items[K] = Item;
            B->Keys[K] = Item->SortKey();
            Item->fStoreBlock = B.get();
        }
        fLastKeys.push_back(B->Keys[B->Size - 1]);
        fStarts.push_back(0);
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
        Result.insert(Result.end(), B->Items, B->Items + B->Size);
    return Result;
}

bool TItemStore::CheckConsistency() const
{
    if (fStarts.size() != fBlocks.size() || fLastKeys.size() != fBlocks.size())
        return false;
    int Start = 0;
    for (size_t BI = 0; BI < fBlocks.size(); ++BI) {
        const TBlock& B = *fBlocks[BI];
        if (B.Size <= 0 || B.Size > MaxBlock || B.Ordinal != BI || fStarts[BI] != Start
            || !(fLastKeys[BI] == B.Keys[B.Size - 1]))
            return false;
        for (int K = 0; K < B.Size; ++K)
            if (B.Items[K]->fStoreBlock != &B || !(B.Keys[K] == B.Items[K]->SortKey()))
                return false;
        Start += B.Size;
    }
    return Start == fCount;
}
