#pragma once

#include "formula/FormulaParser.h"
#include "formula/Token.h"

#include <functional>
#include <memory>

class TFunction;

using TValidateEvent = std::function<void(TFunction& Sender, TToken& Token)>;
using TGetValueEvent
    = std::function<bool(TFunction& Sender, const TCalcValue& Reference, TCalcValue& Value)>;
using TNotifyEvent = std::function<void(TFunction& Sender)>;

// The root of a formula's token tree. Setting the formula parses it into
// tokens; calculating evaluates every top-level token and keeps the value
// text. No error leaves either step: parse and calculation failures are
// traced and the value becomes the empty text.
class TFunction : public TOperator {
public:
    TFunction(IInterfaceGridObject* AGridObject, const TGridRegion& ACoord);
    ~TFunction() override;

    // A root is owned by a cell or a grid, not by a formula's arena.
    static void* operator new(std::size_t Size) { return ::operator new(Size); }
    static void operator delete(void* P) { ::operator delete(P); }

    const QString& Formula() const { return fFormula; }
    void SetFormula(const QString& Value);
    // The position-independent form: "<Format>" with "%s" for every resolved
    // reference, "<Arguments>" with their relative names.
    QString RCFormulaInfo() const;
    const QString& RCFormula() const { return fRCFormula; }

    IInterfaceGridObject* GridObject() const override { return fGridObject; }
    TGridRegion Address() const override { return fCoord; }
    QString Token() const override { return fFormula; }
    const QChar* FormulaData() const { return fFormula.constData(); }
    TTokenArena& Arena() { return fArena; }

    void Clear() override;
    void Evaluate() override;
    virtual void SetResult(const TCalcValue& Value);

    void SetOnValidateToken(TValidateEvent E) { Events().OnValidateToken = std::move(E); }
    void SetOnGetValueByReference(TGetValueEvent E)
    {
        Events().OnGetValueByReference = std::move(E);
    }
    void SetOnBeforeParse(TNotifyEvent E) { Events().OnBeforeParse = std::move(E); }
    void SetOnAfterParse(TNotifyEvent E) { Events().OnAfterParse = std::move(E); }

protected:
    virtual void Parse();
    // Moves the parsed tree into one block of exactly its size, as the
    // parse's blocks were sized by guess and hold lists that grew and were
    // left. Blocks comes in empty and goes out holding the parse's blocks.
    void FitTree(TTokenArena& Blocks);
    virtual void DoOperation(qsizetype Index);
    virtual void BeforeParse();
    virtual void AfterParse();
    virtual void TokenFound(QStringView Term, qint32 Position, qint32 Length, qint32 Operator,
        qint32 Level, bool StartToken);
    virtual void OperationFound(
        QStringView Term, qint32 Position, qint32 Length, qint32 Operator, qint32 Level);

private:
    TTokenArena fArena;
    IInterfaceGridObject* fGridObject;
    TGridRegion fCoord;
    QString fFormula;
    // Pending operators exist only while a formula is parsed; the list lives
    // in the arena with the tokens.
    TTokenList<TOperator*> fOperators;
    // Most roots have no handlers at all; a sheet of formulas then does not
    // carry four empty callables per cell.
    struct TEvents {
        TValidateEvent OnValidateToken;
        TGetValueEvent OnGetValueByReference;
        TNotifyEvent OnBeforeParse;
        TNotifyEvent OnAfterParse;
    };
    TEvents& Events()
    {
        if (!fEvents)
            fEvents = std::make_unique<TEvents>();
        return *fEvents;
    }
    std::unique_ptr<TEvents> fEvents;
    QString fRCFormula;
    QString fRCFormulaFormat;
    QString fRCFormulaArgs;
    qint32 fPos = 1;
};
