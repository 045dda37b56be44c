#include "formula/FunctionList.h"

TFunctionList::TFunctionList() = default;
TFunctionList::~TFunctionList() = default;

qint32 TFunctionList::ParameterCountOf(qint32 Priority)
{
    if (Priority >= -5 && Priority <= -2)
        return 2;
    if (Priority == -1)
        return 1;
    if (Priority == 0)
        return -1;
    return 0;
}

qsizetype TFunctionList::AddFunction(
    const QString& s, TFunctionAddr Func, qint32 Priority, qint32 Category)
{
    if (s.isEmpty() || !Func || Priority < MinPriority || Priority > MaxPriority)
        return -1;
    // The ID is taken before the name is checked, so a refused duplicate
    // still uses up its ID, and the IDs of the entries after it stay put.
    fAddrs.push_back(std::make_unique<TFunctionIdentifier>(
        s, qint32(fAddrs.size() + 1), Func, Priority, Category));
    const TFunctionIdentifier* Ident = fAddrs.back().get();
    const qsizetype Index = Add(s, Ident);
    fLists[size_t(Priority - MinPriority)].Add(s, Ident);
    return Index;
}

bool TFunctionList::TestOf(QStringView s, qint32 Priority) const
{
    if (Priority < MinPriority || Priority > MaxPriority)
        return false;
    return fLists[size_t(Priority - MinPriority)].TestOf(s);
}

bool TFunctionList::Find(QStringView S, qint32 Priority, qsizetype& Index) const
{
    return Find(S, Index) && GetPriority(Index) == Priority;
}

TFunctionAddr TFunctionList::GetAddressByID(qint32 ID) const
{
    const TFunctionIdentifier* I = ByID(ID);
    return I ? I->Addr() : nullptr;
}

qint32 TFunctionList::GetPriorityByID(qint32 ID) const
{
    const TFunctionIdentifier* I = ByID(ID);
    return I ? I->Priority() : 1;
}

qint32 TFunctionList::GetCategoryByID(qint32 ID) const
{
    const TFunctionIdentifier* I = ByID(ID);
    return I ? I->Category() : -1;
}

QString TFunctionList::GetNameByID(qint32 ID) const
{
    const TFunctionIdentifier* I = ByID(ID);
    return I ? I->Name() : QString();
}
