#pragma once

#include <cstddef>
#include <vector>

class TPersistent;

// Object references in ascending order of their address, without duplicates.
class TSortedObjectList {
public:
    // -1 for none; the position of Obj, inserting it when it is new.
    int AddObject(TPersistent* Obj);
    int IndexOfObject(const TPersistent* Obj) const;
    bool Remove(const TPersistent* Obj);
    int Count() const { return int(fItems.size()); }
    TPersistent* Items(int Index) const { return fItems[std::size_t(Index)]; }
    void Clear() { fItems.clear(); }

private:
    std::vector<TPersistent*> fItems;
};
