#include "grid/model/SortedObjectList.h"

#include <algorithm>
#include <functional>

int TSortedObjectList::AddObject(TPersistent* Obj)
{
    if (!Obj)
        return -1;
    auto It = std::lower_bound(fItems.begin(), fItems.end(), Obj, std::less<TPersistent*>());
    if (It == fItems.end() || *It != Obj)
        It = fItems.insert(It, Obj);
    return int(It - fItems.begin());
}

int TSortedObjectList::IndexOfObject(const TPersistent* Obj) const
{
    auto* Key = const_cast<TPersistent*>(Obj);
    auto It = std::lower_bound(fItems.begin(), fItems.end(), Key, std::less<TPersistent*>());
    return It != fItems.end() && *It == Obj ? int(It - fItems.begin()) : -1;
}

bool TSortedObjectList::Remove(const TPersistent* Obj)
{
    const int Index = IndexOfObject(Obj);
    if (Index < 0)
        return false;
    fItems.erase(fItems.begin() + Index);
    return true;
}
