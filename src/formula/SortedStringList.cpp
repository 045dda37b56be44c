#include "formula/SortedStringList.h"

#include "formula/FormulaErrors.h"

#include <algorithm>

namespace {

int Compare(QStringView A, QStringView B) { return A.compare(B, Qt::CaseInsensitive); }

}

bool TSortedStringList::Find(QStringView S, qsizetype& Index) const
{
    const auto It = std::lower_bound(fItems.begin(), fItems.end(), S,
        [](const TItem& Item, QStringView Key) { return Compare(Item.Name, Key) < 0; });
    Index = It - fItems.begin();
    return It != fItems.end() && Compare(It->Name, S) == 0;
}

qsizetype TSortedStringList::Add(const QString& S, const TFunctionIdentifier* Object)
{
    qsizetype Index = 0;
    if (Find(S, Index))
        throw EFormulaError(QStringLiteral("String list does not allow duplicates"));
    fItems.insert(fItems.begin() + Index, TItem { S, Object });
    return Index;
}

bool TSpecialStringList::TestOf(QStringView S) const
{
    qsizetype Index = 0;
    if (Find(S, Index))
        return true;
    return Index < Count() && QStringView(Strings(Index)).startsWith(S, Qt::CaseInsensitive);
}
