#pragma once

#include "formula/CalcValue.h"
#include "formula/TokenArena.h"
#include "formula/TokenList.h"
#include "grid/model/GridCell.h"

#include <QString>

#include <vector>

class TFunction;
class TOperator;
class IInterfaceGridObject;

enum TOperationState : quint8 { osUnknown, osExecuting, osCalculated, osAborted };
enum TValueState : quint8 { vsUnknown, vsValue, vsConstant, vsReference, vsOperator };

class TToken;
// Visits one operand value; returns true to stop the walk.
using TForEachProc = bool (*)(TToken& Token, const TCalcValue& Value, TCalcValue& Context);

// A node of a formula's token tree: it owns its children, which can be moved
// to another owner at a chosen index.
class TToken {
public:
    TToken(TFunction* AFunction, qint32 APosition, qint32 ALength, qint32 ALevel);
    virtual ~TToken();
    TToken& operator=(const TToken&) = delete;

    // Tokens live in their formula's arena; deleting one runs its destructor
    // and leaves the memory to the arena.
    static void* operator new(std::size_t Size, TTokenArena& Arena) { return Arena.Allocate(Size); }
    static void operator delete(void*, TTokenArena&) { }
    static void operator delete(void*) { }
    static void* operator new(std::size_t) = delete;

    qint32 Position() const { return fPosition; }
    qint32 Length() const { return fLength; }
    qint32 Level() const { return fLevel; }
    bool StartToken() const { return fStartToken; }
    void SetStartToken(bool Value) { fStartToken = Value; }
    bool BeforeOperator() const { return fBeforeOperator; }
    void SetBeforeOperator(bool Value) { fBeforeOperator = Value; }
    TOperationState OperationState() const { return fOperationState; }
    TFunction* Function() const { return fFunction; }

    virtual IInterfaceGridObject* GridObject() const;
    virtual qint32 Priority() const { return 1; }
    virtual qint32 Category() const { return -1; }
    virtual TValueState State() const { return vsUnknown; }
    virtual const TCalcValue& Value() const;
    // The token's characters in the root's formula, borrowed from it.
    virtual QString Token() const;
    virtual TGridRegion Address() const;
    virtual qint64 ValueCount() const { return 1; }
    // Raises EListIndexError outside 0 .. ValueCount-1.
    virtual TCalcValue GetValues(qint64 Index) const;
    virtual void Evaluate() { }
    virtual void Clear();
    virtual void Calculate();

    TCalcValue Values(qint64 Index) const { return GetValues(Index); }

    // A copy of this token's own fields in Arena, its children left out, and
    // the size of such a copy: a parsed tree is moved this way into memory
    // of exactly its size.
    virtual TToken* CloneInto(TTokenArena& Arena) const { return new (Arena) TToken(*this); }
    virtual std::size_t CloneSize() const { return sizeof(TToken); }

    qsizetype Count() const { return qsizetype(fItems.size()); }
    TToken* Items(qsizetype Index) const { return fItems.at(size_t(Index)); }
    // Children live in the arena of the formula both tokens belong to.
    void AddItem(TToken* Item, TTokenArena& Arena)
    {
        if (fItems.capacity() == 0)
            fItems.Reserve(8, Arena);
        fItems.PushBack(Item, Arena);
    }
    // Takes ownership of the range [First, Last) of Source's children and
    // puts it, in order, before this token's child at Index.
    void MoveItemsFrom(
        TToken& Source, qsizetype First, qsizetype Last, qsizetype Index, TTokenArena& Arena);
    // Destroys the children, last to first, without descending recursively.
    void DestroyItems();

    // Calls Proc for every operand value: this token's own for a value or
    // constant, each cell's for a reference, and for an operator each child's
    // in order (a nested operator contributes its single value). True when
    // Proc stopped the walk.
    template <class TProc> bool ForEach(TProc&& Proc);
    bool ForEach(TForEachProc Proc, TCalcValue& Context)
    {
        return ForEach([&](TToken& T, const TCalcValue& V) { return Proc(T, V, Context); });
    }

    // This token or the first descendant, depth-first, whose text covers
    // APosition.
    TToken* FindToken(qint32 APosition);

protected:
    // The root moves a parsed tree's children between arenas.
    friend class TFunction;

    TToken(const TToken& Other)
        : fFunction(Other.fFunction)
        , fPosition(Other.fPosition)
        , fLength(Other.fLength)
        , fLevel(Other.fLevel)
        , fStartToken(Other.fStartToken)
        , fBeforeOperator(Other.fBeforeOperator)
        , fOperationState(Other.fOperationState)
    {
    }
    bool Covers(qint32 APosition) const
    {
        return fPosition <= APosition && APosition < fPosition + fLength;
    }

    TFunction* fFunction;
    TTokenList<TToken*> fItems;
    qint32 fPosition;
    qint32 fLength;
    qint32 fLevel;
    bool fStartToken = false;
    bool fBeforeOperator = false;
    TOperationState fOperationState = osUnknown;
};

// A literal: a number or a quoted text, kept as text until a callback reads it.
class TValue : public TToken {
public:
    using TToken::TToken;
    TValueState State() const override { return vsValue; }
    const TCalcValue& Value() const override { return fValue; }
    void Evaluate() override;
    void Clear() override;

    TToken* CloneInto(TTokenArena& Arena) const override { return new (Arena) TValue(*this); }
    std::size_t CloneSize() const override { return sizeof(TValue); }

protected:
    TValue(const TValue&) = default;
    TCalcValue fValue;
};

// A registered constant: its value is its registry callback's result.
class TConstant : public TValue {
public:
    TConstant(
        TFunction* AFunction, qint32 APosition, qint32 ALength, qint32 ALevel, qint32 AOperator);
    qint32 Operator() const { return fOperator; }
    qint32 Priority() const override;
    qint32 Category() const override;
    TValueState State() const override { return vsConstant; }
    void Evaluate() override;

    TToken* CloneInto(TTokenArena& Arena) const override { return new (Arena) TConstant(*this); }
    std::size_t CloneSize() const override { return sizeof(TConstant); }

protected:
    TConstant(const TConstant&) = default;
    void RunCallback();
    qint32 fOperator;
};

// A cell or region name, resolved through the grid when calculated.
class TReference : public TConstant {
public:
    TReference(TFunction* AFunction, qint32 APosition, qint32 ALength, qint32 ALevel);
    TValueState State() const override { return vsReference; }
    qint64 ValueCount() const override { return fValueCount; }
    TCalcValue GetValues(qint64 Index) const override;
    void Evaluate() override;
    void Clear() override;
    void Calculate() override;
    virtual IInterfaceGridObject* GetReferenceGrid() const;
    virtual TCalcValue ReadCell(qint32 ACol, qint32 ARow) const;
    TToken* CloneInto(TTokenArena& Arena) const override { return new (Arena) TReference(*this); }
    std::size_t CloneSize() const override { return sizeof(TReference); }

    IInterfaceGridObject* ReferenceGridObject() const { return fReferenceGridObject; }
    const TGridRegion& Coord() const { return fCoord; }
    qint32 ColCount() const { return fColCount; }
    const QString& RCName() const { return fRCName; }
    void SetRCName(const QString& Value) { fRCName = Value; }

protected:
    TReference(const TReference&) = default;

private:
    // First, so that it can fill the space the base leaves after its last field.
    qint32 fColCount = 0;
    IInterfaceGridObject* fReferenceGridObject = nullptr;
    TGridRegion fCoord;
    qint64 fValueCount = 0;
    QString fRCName;
};

// An operator or function applied to its children.
class TOperator : public TConstant {
public:
    using TConstant::TConstant;
    TValueState State() const override { return vsOperator; }
    qint64 ValueCount() const override { return fValueCount; }
    TCalcValue GetValues(qint64 Index) const override;
    // Calculates the whole subtree with an explicit stack, children before
    // their operator, so that a deep chain (10,000 prefix minus signs, a sum
    // of 100,000 terms) costs heap, not native stack.
    void Evaluate() override;
    void Clear() override;
    void Calculate() override;

    TToken* CloneInto(TTokenArena& Arena) const override { return new (Arena) TOperator(*this); }
    std::size_t CloneSize() const override { return sizeof(TOperator); }

protected:
    TOperator(const TOperator&) = default;
    qint64 fValueCount = 0;
};

template <class TProc> bool TToken::ForEach(TProc&& Proc)
{
    auto Walk = [&Proc](TToken& T) {
        switch (T.State()) {
        case vsReference:
            for (qint64 I = 0, N = T.ValueCount(); I < N; ++I)
                if (Proc(T, T.GetValues(I)))
                    return true;
            return false;
        default:
            return bool(Proc(T, T.Value()));
        }
    };
    if (State() != vsOperator)
        return Walk(*this);
    for (TToken* Child : fItems)
        if (Walk(*Child))
            return true;
    return false;
}
