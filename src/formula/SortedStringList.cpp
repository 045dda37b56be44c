#include "formula/SortedStringList.h"

#include "formula/FormulaErrors.h"

#include <algorithm>

namespace {

// Case-insensitive order folding the Latin letters only, which is all the
// registered names use; the keyword scan relies on exactly this folding.
char16_t Folded(char16_t C) { return C >= u'a' && C <= u'z' ? char16_t(C - 32) : C; }

int Compare(QStringView A, QStringView B)
{
    const qsizetype N = std::min(A.size(), B.size());
    for (qsizetype I = 0; I < N; ++I) {
        const char16_t X = Folded(A[I].unicode());
        const char16_t Y = Folded(B[I].unicode());
        if (X != Y)
            return X < Y ? -1 : 1;
    }
    return A.size() < B.size() ? -1 : A.size() > B.size() ? 1 : 0;
}

bool StartsWith(QStringView S, QStringView Prefix)
{
    return S.size() >= Prefix.size() && Compare(S.first(Prefix.size()), Prefix) == 0;
}

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
    return Index < Count() && StartsWith(Strings(Index), S);
}
