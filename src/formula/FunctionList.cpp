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
    AddPrefixes(s, Ident);
    return Index;
}

namespace {

char16_t FoldedAscii(QChar C)
{
    const char16_t U = C.unicode();
    return U >= u'a' && U <= u'z' ? char16_t(U - 32) : U;
}

size_t Slot(quint64 Code, size_t Size)
{
    return size_t((Code * 0x9E3779B97F4A7C15ull) >> 40) & (Size - 1);
}

}

bool TFunctionList::Code(QStringView S, quint64& C)
{
    if (S.size() > MaxCodedLength)
        return false;
    C = 0;
    for (QChar Ch : S) {
        const char16_t U = FoldedAscii(Ch);
        if (U == 0 || U >= 128)
            return false;
        C = C << 7 | U;
    }
    return true;
}

const TFunctionList::TPrefix* TFunctionList::FindPrefix(quint64 C) const
{
    for (size_t I = Slot(C, fPrefixes.size());; I = (I + 1) & (fPrefixes.size() - 1)) {
        const TPrefix& P = fPrefixes[I];
        if (P.Code == C)
            return &P;
        if (P.Code == 0)
            return nullptr;
    }
}

void TFunctionList::AddPrefixes(const QString& Name, const TFunctionIdentifier* Ident)
{
    quint64 C = 0;
    // The table stays at most half full, so that a probe ends soon.
    if (!Code(Name, C) || (fPrefixCount + Name.size()) * 2 > qsizetype(fPrefixes.size())) {
        fCoded = false;
        return;
    }
    for (qsizetype N = 1; N <= Name.size(); ++N) {
        Code(QStringView(Name).first(N), C);
        size_t I = Slot(C, fPrefixes.size());
        while (fPrefixes[I].Code != 0 && fPrefixes[I].Code != C)
            I = (I + 1) & (fPrefixes.size() - 1);
        fPrefixCount += fPrefixes[I].Code == 0 ? 1 : 0;
        fPrefixes[I].Code = C;
        if (N == Name.size())
            fPrefixes[I].Exact = Ident;
    }
}

qsizetype TFunctionList::ScanKeyword(QStringView Text, const TFunctionIdentifier*& Exact) const
{
    Exact = nullptr;
    qsizetype N = 0;
    if (!fCoded) {
        while (N < Text.size() && TestOf(Text.first(N + 1)))
            ++N;
        qsizetype Index = 0;
        if (N > 0 && Find(Text.first(N), Index))
            Exact = Objects(Index);
        return N;
    }
    quint64 C = 0;
    const TPrefix* Last = nullptr;
    while (N < Text.size() && N < MaxCodedLength) {
        const char16_t U = FoldedAscii(Text[N]);
        if (U == 0 || U >= 128)
            break;
        const TPrefix* P = FindPrefix(C << 7 | U);
        if (!P)
            break;
        C = P->Code;
        Last = P;
        ++N;
    }
    Exact = Last ? Last->Exact : nullptr;
    return N;
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
