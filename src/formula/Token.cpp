#include "formula/Token.h"

#include "formula/FormulaErrors.h"
#include "formula/Function.h"
#include "formula/FunctionList.h"
#include "formula/InterfaceGridObject.h"

#include <QVarLengthArray>

#include <algorithm>

TToken::TToken(TFunction* AFunction, qint32 APosition, qint32 ALength, qint32 ALevel)
    : fFunction(AFunction)
    , fPosition(APosition)
    , fLength(ALength)
    , fLevel(ALevel)
{
}

TToken::~TToken() { DestroyItems(); }

void TToken::DestroyItems()
{
    // A chain of 100,000 operands must not be freed by 100,000 nested
    // destructor calls: the children are detached onto a work list first.
    if (fItems.empty())
        return;
    QVarLengthArray<TToken*, 64> Pending;
    Pending.append(fItems.begin(), qsizetype(fItems.size()));
    fItems.Release();
    while (!Pending.empty()) {
        TToken* T = Pending.back();
        Pending.pop_back();
        Pending.append(T->fItems.begin(), qsizetype(T->fItems.size()));
        T->fItems.Release();
        delete T;
    }
}

void TToken::MoveItemsFrom(
    TToken& Source, qsizetype First, qsizetype Last, qsizetype Index, TTokenArena& Arena)
{
    // Most operators take two operands, which then cost one allocation.
    if (fItems.capacity() < fItems.size() + size_t(Last - First))
        fItems.Reserve(std::max<size_t>(2, fItems.size() + size_t(Last - First)), Arena);
    fItems.Insert(
        size_t(Index), Source.fItems.begin() + First, Source.fItems.begin() + Last, Arena);
    Source.fItems.Erase(size_t(First), size_t(Last));
}

IInterfaceGridObject* TToken::GridObject() const
{
    return fFunction ? fFunction->GridObject() : nullptr;
}

const TCalcValue& TToken::Value() const
{
    static const TCalcValue None {};
    return None;
}

QString TToken::Token() const
{
    if (!fFunction || fLength <= 0)
        return QString();
    // Borrowed: the root keeps its formula unchanged while its tree exists.
    return QString::fromRawData(fFunction->FormulaData() + fPosition - 1, fLength);
}

TGridRegion TToken::Address() const { return fFunction ? fFunction->Address() : TGridRegion(); }

TCalcValue TToken::GetValues(qint64 Index) const
{
    if (Index < 0 || Index >= ValueCount())
        throw EListIndexError(Index);
    return Value();
}

void TToken::Clear() { fOperationState = osUnknown; }

void TToken::Calculate()
{
    if (fOperationState != osCalculated) {
        Evaluate();
        fOperationState = osCalculated;
    }
}

TToken* TToken::FindToken(qint32 APosition)
{
    std::vector<TToken*> Pending { this };
    while (!Pending.empty()) {
        TToken* T = Pending.back();
        Pending.pop_back();
        if (T->Covers(APosition))
            return T;
        Pending.insert(Pending.end(), std::make_reverse_iterator(T->fItems.end()),
            std::make_reverse_iterator(T->fItems.begin()));
    }
    return nullptr;
}

void TValue::Evaluate() { fValue = TCalcValue::Text(Token()); }

void TValue::Clear()
{
    TToken::Clear();
    fValue = TCalcValue();
}

TConstant::TConstant(
    TFunction* AFunction, qint32 APosition, qint32 ALength, qint32 ALevel, qint32 AOperator)
    : TValue(AFunction, APosition, ALength, ALevel)
    , fOperator(AOperator)
{
}

qint32 TConstant::Priority() const
{
    const TFunctionList* L = FunctionList();
    return L ? L->GetPriorityByID(fOperator) : 1;
}

qint32 TConstant::Category() const
{
    const TFunctionList* L = FunctionList();
    return L ? L->GetCategoryByID(fOperator) : -1;
}

void TConstant::RunCallback()
{
    const TFunctionList* L = FunctionList();
    const TFunctionAddr Addr = L ? L->GetAddressByID(fOperator) : nullptr;
    TCalcValue Result;
    if (Addr)
        Addr(*this, TCalcValue::Null(), Result);
    fValue = std::move(Result);
}

void TConstant::Evaluate() { RunCallback(); }

TReference::TReference(TFunction* AFunction, qint32 APosition, qint32 ALength, qint32 ALevel)
    : TConstant(AFunction, APosition, ALength, ALevel, ReferenceOperatorID)
{
}

IInterfaceGridObject* TReference::GetReferenceGrid() const { return GridObject(); }

void TReference::Clear()
{
    TConstant::Clear();
    fCoord = TGridRegion();
    fValueCount = 0;
    fColCount = 0;
}

void TReference::Calculate()
{
    Clear();
    TConstant::Calculate();
}

void TReference::Evaluate()
{
    fReferenceGridObject = GetReferenceGrid();
    if (!fReferenceGridObject)
        return;
    // The relative name is not needed here; one buffer serves every call so
    // that resolving a reference allocates nothing of its own.
    thread_local QString RC;
    TGridRegion Coord;
    const TGridRegion Own = Address();
    if (!fReferenceGridObject->GetRegionCoordByName(Token(), Own.First(), RC, Coord))
        return;
    fCoord = Coord;
    fColCount = Coord.LastCol - Coord.FirstCol + 1;
    fValueCount = qint64(fColCount) * (qint64(Coord.LastRow) - Coord.FirstRow + 1);
    RunCallback();
}

TCalcValue TReference::GetValues(qint64 Index) const
{
    if (Index < 0 || Index >= fValueCount)
        throw EListIndexError(Index);
    if (!fReferenceGridObject)
        return TCalcValue();
    return ReadCell(
        qint32(fCoord.FirstCol + Index % fColCount), qint32(fCoord.FirstRow + Index / fColCount));
}

TCalcValue TReference::ReadCell(qint32 ACol, qint32 ARow) const
{
    return TCalcValue::Text(fReferenceGridObject->GetCellValue(ACol, ARow));
}

TCalcValue TOperator::GetValues(qint64 Index) const
{
    if (Index < 0 || Index >= fValueCount)
        throw EListIndexError(Index);
    for (TToken* Child : fItems) {
        if (Child->State() == vsReference) {
            if (Index < Child->ValueCount())
                return Child->GetValues(Index);
            Index -= Child->ValueCount();
        } else if (Index-- == 0) {
            return Child->Value();
        }
    }
    return TCalcValue();
}

void TOperator::Clear()
{
    TConstant::Clear();
    DestroyItems();
    fValueCount = 0;
}

void TOperator::Calculate()
{
    Evaluate();
    fOperationState = osCalculated;
}

void TOperator::Evaluate()
{
    struct TFrame {
        TOperator* Op;
        size_t Next;
    };
    QVarLengthArray<TFrame, 32> Stack;
    fValueCount = 0;
    Stack.push_back({ this, 0 });
    while (!Stack.empty()) {
        TOperator* Op = Stack.back().Op;
        const size_t Next = Stack.back().Next;
        if (Next < Op->fItems.size()) {
            ++Stack.back().Next;
            TToken* Child = Op->fItems[Next];
            if (Child->State() == vsOperator) {
                auto* Inner = static_cast<TOperator*>(Child);
                Inner->fValueCount = 0;
                Stack.push_back({ Inner, 0 });
                continue;
            }
            Child->Calculate();
            Op->fValueCount += Child->ValueCount();
            continue;
        }
        Stack.pop_back();
        Op->RunCallback();
        Op->fOperationState = osCalculated;
        if (!Stack.empty())
            Stack.back().Op->fValueCount += 1;
    }
}
