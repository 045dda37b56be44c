#include "formula/Function.h"

#include "formula/FormulaErrors.h"
#include "formula/FormulaTrace.h"
#include "formula/FunctionList.h"
#include "formula/InterfaceGridObject.h"

#include <QVarLengthArray>

#include <utility>

namespace {

const TFunctionList& Registry()
{
    // A formula made before the engine's start-up step finds no names at all
    // rather than crashing.
    static const TFunctionList Empty;
    const TFunctionList* L = FunctionList();
    return L ? *L : Empty;
}

}

TFunction::TFunction(IInterfaceGridObject* AGridObject, const TGridRegion& ACoord)
    : TOperator(nullptr, 0, 0, 0, RootOperatorID)
    , fGridObject(AGridObject)
    , fCoord(ACoord)
{
}

TFunction::~TFunction() { DestroyItems(); }

void TFunction::Clear()
{
    TOperator::Clear();
    fOperators.Release();
    fArena.Reset();
}

QString TracedFormula(const QString& Formula)
{
    constexpr qsizetype Shown = 200;
    if (Formula.size() <= Shown)
        return Formula;
    return Formula.left(Shown) + QStringLiteral("... (%1 characters)").arg(Formula.size());
}

QString TFunction::RCFormulaInfo() const
{
    return QStringLiteral("<Format>") + fRCFormulaFormat + QStringLiteral("</Format><Arguments>")
        + fRCFormulaArgs + QStringLiteral("</Arguments>");
}

void TFunction::SetFormula(const QString& Value)
{
    Clear();
    fFormula = Value;
    fRCFormula.clear();
    fRCFormulaFormat.clear();
    fRCFormulaArgs.clear();
    fPos = 1;
    // The parse works in a scratch arena the thread keeps from one formula
    // to the next, so that only the fitted tree costs the heap. A formula set
    // from inside another one's parse (by a validation handler) parses in
    // its own blocks instead.
    static thread_local TTokenArena Scratch;
    static thread_local bool ScratchBusy = false;
    struct TScratchGuard {
        bool Taken;
        ~TScratchGuard()
        {
            if (Taken)
                ScratchBusy = false;
        }
    } Guard { !ScratchBusy };
    if (Guard.Taken) {
        ScratchBusy = true;
        fArena.Swap(Scratch);
    }
    fArena.Expect(size_t(fFormula.size()));
    Parse();
    TTokenArena ParseBlocks;
    FitTree(ParseBlocks);
    if (Guard.Taken) {
        constexpr size_t MaxKept = 64 * 1024;
        ParseBlocks.Rewind(MaxKept);
        Scratch.Swap(ParseBlocks);
    }
    if (fPos == 1 && fRCFormula.isEmpty()) {
        // No reference was rewritten: both forms are the formula itself and
        // share its characters instead of copying them per cell.
        fRCFormula = fFormula;
        fRCFormulaFormat = fFormula;
    } else {
        const QStringView Tail
            = QStringView(fFormula).mid(qMin<qsizetype>(fPos - 1, fFormula.size()));
        fRCFormula += Tail;
        fRCFormulaFormat += Tail;
    }
    FormulaTrace(TRACE_STATE, [&] {
        return QStringLiteral("\tFormula conversion:   %1 = %2").arg(fFormula, fRCFormula);
    });
    FormulaTrace(TRACE_DETAIL, [&] {
        return QStringLiteral("\tFormula format:   %1 = %2\n\tFormula arguments:   %1 = %3\n"
                              "\tFormula:   %4")
            .arg(fFormula, fRCFormulaFormat, fRCFormulaArgs, RCFormulaInfo());
    });
}

void TFunction::Parse()
{
    try {
        BeforeParse();
        try {
            // The parser is needed only while the text is read, so a root
            // that lives in a cell does not carry one.
            Tfp Parser(Registry());
            Parser.SetOnToken([this](Tfp&, QStringView Term, qint32 Position, qint32 Length,
                                  qint32 Operator, qint32 Level, bool StartToken) {
                TokenFound(Term, Position, Length, Operator, Level, StartToken);
            });
            Parser.SetOnParse([this](Tfp&, QStringView Term, qint32 Position, qint32 Length,
                                  qint32 Operator, qint32 Level, bool) {
                OperationFound(Term, Position, Length, Operator, Level);
            });
            Parser.Execute(QStringView(fFormula));
        } catch (...) {
            AfterParse();
            throw;
        }
        AfterParse();
    } catch (const ENestingTooDeep& E) {
        // A partial tree of such a formula would show a value that only
        // part of the text gave; the formula is refused whole instead.
        TraceText(QStringLiteral("Parse '%1': %2").arg(TracedFormula(fFormula), E.Message()),
            TRACE_ERROR);
        Clear();
    } catch (const EAbortParse&) {
    } catch (const EFormulaError& E) {
        TraceText(QStringLiteral("Parse '%1': %2").arg(TracedFormula(fFormula), E.Message()),
            TRACE_ERROR);
    } catch (const std::exception& E) {
        TraceText(QStringLiteral("Parse '%1': %2")
                      .arg(TracedFormula(fFormula), QString::fromUtf8(E.what())),
            TRACE_ERROR);
    }
}

void TFunction::FitTree(TTokenArena& Blocks)
{
    fOperators.Release();
    size_t Bytes = TTokenArena::Footprint(size_t(Count()) * sizeof(TToken*));
    QVarLengthArray<const TToken*, 64> Pending;
    Pending.append(fItems.begin(), qsizetype(fItems.size()));
    while (!Pending.empty()) {
        const TToken* T = Pending.back();
        Pending.pop_back();
        Bytes += TTokenArena::Footprint(T->CloneSize())
            + TTokenArena::Footprint(size_t(T->Count()) * sizeof(TToken*));
        Pending.append(T->fItems.begin(), qsizetype(T->fItems.size()));
    }
    TTokenList<TToken*> Items;
    if (!fItems.empty()) {
        Blocks.ExpectBytes(Bytes);
        Items.Reserve(fItems.size(), Blocks);
        // Pairs of a parsed token and its copy, whose children are still to
        // be copied; a work list, as the tree may be 100,000 levels deep.
        QVarLengthArray<std::pair<const TToken*, TToken*>, 64> Copying;
        for (TToken* T : fItems) {
            TToken* Copy = T->CloneInto(Blocks);
            Items.PushBack(Copy, Blocks);
            Copying.emplace_back(T, Copy);
        }
        while (!Copying.empty()) {
            const auto [Source, Copy] = Copying.back();
            Copying.pop_back();
            if (Source->fItems.empty())
                continue;
            Copy->fItems.Reserve(Source->fItems.size(), Blocks);
            for (TToken* T : Source->fItems) {
                TToken* Child = T->CloneInto(Blocks);
                Copy->fItems.PushBack(Child, Blocks);
                Copying.emplace_back(T, Child);
            }
        }
    }
    DestroyItems();
    fArena.Swap(Blocks);
    fItems.Swap(Items);
}

void TFunction::BeforeParse()
{
    FormulaTrace(TRACE_DETAIL, [] { return QStringLiteral("\n\rExecute"); });
    if (fEvents && fEvents->OnBeforeParse)
        fEvents->OnBeforeParse(*this);
}

void TFunction::AfterParse()
{
    FormulaTrace(TRACE_DETAIL, [&] {
        return QStringLiteral("Operators Count %1\nValues Count %2")
            .arg(fOperators.size())
            .arg(Count());
    });
    if (fEvents && fEvents->OnAfterParse)
        fEvents->OnAfterParse(*this);
}

void TFunction::TokenFound(QStringView Term, qint32 Position, qint32 Length, qint32 Operator,
    qint32 Level, bool StartToken)
{
    FormulaTrace(TRACE_DETAIL, [&] { return QString(Level, u'.') + Term.toString(); });
    TToken* Token = nullptr;
    if (Operator < 0) {
        Token = new (fArena) TReference(this, Position, Length, Level);
    } else if (Operator == 0) {
        Token = new (fArena) TValue(this, Position, Length, Level);
    } else if (Registry().GetPriorityByID(Operator) > 0) {
        Token = new (fArena) TConstant(this, Position, Length, Level, Operator);
    } else {
        auto* Op = new (fArena) TOperator(this, Position, Length, Level, Operator);
        if (fOperators.capacity() == 0)
            fOperators.Reserve(8, fArena);
        fOperators.PushBack(Op, fArena);
        Token = Op;
    }
    Token->SetStartToken(StartToken);
    AddItem(Token, fArena);
    if (fEvents && fEvents->OnValidateToken)
        fEvents->OnValidateToken(*this, *Token);
    if (Token->State() == vsReference) {
        const QString& RCName = static_cast<TReference*>(Token)->RCName();
        if (!RCName.isEmpty()) {
            const QStringView Before = QStringView(fFormula).mid(fPos - 1, Position - fPos);
            fRCFormula += Before;
            fRCFormula += RCName;
            fRCFormulaFormat += Before;
            fRCFormulaFormat += QStringLiteral("%s");
            if (fRCFormulaArgs.isEmpty())
                fRCFormulaArgs = RCName;
            else
                fRCFormulaArgs += u',' + RCName;
            fPos = Position + Length;
        }
    }
}

void TFunction::OperationFound(
    QStringView Term, qint32 Position, qint32 Length, qint32 Operator, qint32 Level)
{
    FormulaTrace(TRACE_DETAIL, [&] {
        return QStringLiteral("Do operation \"%1\" (Position %2; Level %3)")
            .arg(Term.left(Length).toString())
            .arg(Position)
            .arg(Level);
    });
    if (fOperators.empty())
        throw EAbortParse();
    const TOperator* Last = fOperators.back();
    if (Last->Function() != this || Last->Position() != Position || Last->Length() != Length
        || Last->Operator() != Operator || Last->Level() != Level)
        throw EAbortParse();
    DoOperation(qsizetype(fOperators.size()) - 1);
}

void TFunction::DoOperation(qsizetype Index)
{
    if (Index < 0 || Index >= qsizetype(fOperators.size()) || !fOperators[size_t(Index)])
        throw EAbortParse();
    TOperator* Current = fOperators[size_t(Index)];
    fOperators.Erase(size_t(Index), size_t(Index) + 1);
    for (;;) {
        qsizetype At = Count() - 1;
        while (At >= 0 && fItems[size_t(At)] != Current)
            --At;
        if (At < 0)
            throw EAbortParse();
        // Everything after the operator is its right operand, kept in order.
        Current->MoveItemsFrom(*this, At + 1, Count(), 0, fArena);
        if (At == 0 || Current->Priority() >= -1 || Current->Count() == 0)
            return;
        TToken* Candidate = fItems[size_t(At - 1)];
        if ((!fOperators.empty() && Candidate == fOperators.back()) || Current->StartToken())
            return;
        if (Candidate->Priority() >= 0 || Candidate->Count() > 0) {
            Current->MoveItemsFrom(*this, At - 1, At, 0, fArena);
            Candidate->SetBeforeOperator(true);
            return;
        }
        // An operator scanned before this one that got no operand of its own,
        // as "*" in 2*-3: it takes the finished operator as its right operand
        // and then its own left operand.
        FormulaTrace(TRACE_DETAIL, [&] {
            return QStringLiteral("Do operation \"%1\" (Position %2; Level %3)")
                .arg(Candidate->Token())
                .arg(Candidate->Position())
                .arg(Candidate->Level());
        });
        Current = static_cast<TOperator*>(Candidate);
    }
}

void TFunction::Evaluate()
{
    QString Text;
    try {
        for (TToken* Child : fItems) {
            Child->Calculate();
            Child->Value().AppendValueText(Text);
        }
    } catch (const std::exception& E) {
        FormulaTrace(TRACE_WARNING, [&] {
            const QString Cell = fGridObject
                ? fGridObject->GetCellName(fCoord.FirstCol, fCoord.FirstRow)
                : QString();
            return QStringLiteral("Calculate at %1 '%2': %3")
                .arg(Cell, TracedFormula(fFormula), QString::fromUtf8(E.what()));
        });
        SetResult(TCalcValue::Error(1));
        return;
    }
    SetResult(TCalcValue::Text(std::move(Text)));
}

void TFunction::SetResult(const TCalcValue& Value)
{
    // The text Evaluate built is its own value text and owns its characters.
    fValue = Value.IsText() ? Value : TCalcValue::Text(Value.ValueText());
}
