#pragma once

#include "formula/SortedStringList.h"

#include <array>
#include <memory>

class TToken;
class TCalcValue;

// The evaluation callback of a registered name: the token being evaluated,
// an arguments value (always null here) and the result, which starts empty.
using TFunctionAddr = void (*)(TToken& Token, const TCalcValue& Args, TCalcValue& Result);

// The operator ID a formula root carries: no entry has it.
constexpr qint32 RootOperatorID = 2147483647;
// The operator ID every cell-reference token carries ("REFVAL").
constexpr qint32 ReferenceOperatorID = 1;

constexpr qint32 MinPriority = -5;
constexpr qint32 MaxPriority = 1;

// One registered operator, constant or function.
class TFunctionIdentifier {
public:
    TFunctionIdentifier(
        QString AName, qint32 AID, TFunctionAddr AAddr, qint32 APriority, qint32 ACategory)
        : fName(std::move(AName))
        , fId(AID)
        , fPriority(APriority)
        , fCategory(ACategory)
        , fAddr(AAddr)
    {
    }

    const QString& Name() const { return fName; }
    qint32 ID() const { return fId; }
    qint32 Priority() const { return fPriority; }
    qint32 Category() const { return fCategory; }
    TFunctionAddr Addr() const { return fAddr; }

private:
    QString fName;
    qint32 fId;
    qint32 fPriority;
    qint32 fCategory;
    TFunctionAddr fAddr;
};

// Every name formula text may use, with its precedence and callback. The
// parser asks it by text, the token tree by ID.
class TFunctionList : public TSpecialStringList {
public:
    TFunctionList();
    ~TFunctionList() override;
    TFunctionList(const TFunctionList&) = delete;
    TFunctionList& operator=(const TFunctionList&) = delete;

    // The sorted index of the new name, -1 when s is empty or Func absent.
    qsizetype AddFunction(const QString& s, TFunctionAddr Func, qint32 Priority, qint32 Category);

    using TSpecialStringList::TestOf;
    bool TestOf(QStringView s, qint32 Priority) const;
    // Whether S is registered (in any case) at exactly that priority.
    bool Find(QStringView S, qint32 Priority, qsizetype& Index) const;
    using TSortedStringList::Find;

    qint32 GetID(qsizetype Index) const { return Ident(Index).ID(); }
    TFunctionAddr GetAddr(qsizetype Index) const { return Ident(Index).Addr(); }
    qint32 GetPriority(qsizetype Index) const { return Ident(Index).Priority(); }
    qint32 GetCategory(qsizetype Index) const { return Ident(Index).Category(); }
    const QString& GetName(qsizetype Index) const { return Ident(Index).Name(); }
    qint32 GetParameterCount(qsizetype Index) const { return ParameterCountOf(GetPriority(Index)); }

    // The queries by ID answer neutral values for an unregistered ID.
    TFunctionAddr GetAddressByID(qint32 ID) const;
    qint32 GetPriorityByID(qint32 ID) const;
    qint32 GetCategoryByID(qint32 ID) const;
    QString GetNameByID(qint32 ID) const;
    qint32 GetParameterCountByID(qint32 ID) const { return ParameterCountOf(GetPriorityByID(ID)); }

    qsizetype IdentifierCount() const { return qsizetype(fAddrs.size()); }

    // The parser's keyword scan over the start of Text: the longest run whose
    // every prefix passes TestOf, as its length, and the entry that run names
    // exactly (null when none).
    qsizetype ScanKeyword(QStringView Text, const TFunctionIdentifier*& Exact) const;

    static qint32 ParameterCountOf(qint32 Priority);

private:
    const TFunctionIdentifier& Ident(qsizetype Index) const { return *Objects(Index); }
    const TFunctionIdentifier* ByID(qint32 ID) const
    {
        return ID >= 1 && ID <= IdentifierCount() ? fAddrs[size_t(ID - 1)].get() : nullptr;
    }

    // Every prefix of every name, coded seven bits a folded character, so that
    // the keyword scan costs one probe a character. Names too long or not
    // ASCII switch the code off and the scan falls back to TestOf.
    struct TPrefix {
        quint64 Code = 0;
        const TFunctionIdentifier* Exact = nullptr;
    };
    static constexpr qsizetype MaxCodedLength = 9;
    static bool Code(QStringView S, quint64& Code);
    const TPrefix* FindPrefix(quint64 Code) const;
    void AddPrefixes(const QString& Name, const TFunctionIdentifier* Ident);
    std::vector<TPrefix> fPrefixes = std::vector<TPrefix>(1024);
    qsizetype fPrefixCount = 0;
    bool fCoded = true;

    // Owns the identifiers in ID order; the sorted lists only point at them.
    std::vector<std::unique_ptr<TFunctionIdentifier>> fAddrs;
    std::array<TSpecialStringList, MaxPriority - MinPriority + 1> fLists;
};

// The one registry of the process; null before InitFormulaEngine.
const TFunctionList* FunctionList();
