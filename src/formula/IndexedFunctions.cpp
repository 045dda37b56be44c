#include "formula/CalcArithmetic.h"
#include "formula/FunctionCallbacks.h"

#include <QtMath>

#include <algorithm>
#include <cmath>

namespace FormulaCallbacks {

namespace {

bool Condition(const TCalcValue& Raw)
{
    if (Raw.IsEmpty() || Raw.Kind() == vkNull)
        return false;
    const TCalcValue V = Raw.Natural();
    if (V.IsNumeric())
        return V.IsOrdinal() ? V.AsInteger() != 0 : V.AsFloat() != 0;
    FailCalculation("Could not convert the condition into a Boolean");
}

}

void Nothing(TToken&, const TCalcValue&, TCalcValue&) { }

void Pi(TToken&, const TCalcValue&, TCalcValue& R) { R = TCalcValue::Float(M_PI); }

void True(TToken&, const TCalcValue&, TCalcValue& R) { R = TCalcValue::Boolean(true); }

void False(TToken&, const TCalcValue&, TCalcValue& R) { R = TCalcValue::Boolean(false); }

void If(TToken& T, const TCalcValue&, TCalcValue& R)
{
    R = Condition(T.Values(0)) ? T.Values(1) : T.Values(2);
}

void Equal(TToken& T, const TCalcValue&, TCalcValue& R)
{
    if (T.ValueCount() <= 1)
        return;
    const TCalcValue A = T.Values(0);
    const TCalcValue B = T.Values(1);
    const TCalcValue X = A.Natural();
    const TCalcValue Y = B.Natural();
    if (X.IsNumeric() && Y.IsNumeric())
        R = TCalcValue::Boolean(CalcCompare(X, Y) == 0);
    else if (A.IsText() && B.IsText())
        R = TCalcValue::Boolean(A.AsText() == B.AsText());
}

void Exp(TToken& T, const TCalcValue&, TCalcValue& R)
{
    if (T.ValueCount() != 1) {
        R = TCalcValue::Float(M_E);
        return;
    }
    const TCalcValue X = T.Values(0).Natural();
    if (X.IsNumeric())
        R = TCalcValue::Float(CheckedMath(std::exp(X.AsFloat()), X.AsFloat()));
}

void RefVal(TToken& T, const TCalcValue&, TCalcValue& R)
{
    if (T.State() != vsReference) {
        TCalcArray Items;
        Items.reserve(size_t(T.Count()));
        for (qsizetype I = 0; I < T.Count(); ++I)
            Items.push_back(T.Items(I)->Value());
        R = TCalcValue::Array(std::move(Items));
        return;
    }
    auto& Ref = static_cast<TReference&>(T);
    if (Ref.ValueCount() == 0)
        return;
    if (Ref.ValueCount() == 1) {
        R = Ref.GetValues(0);
        return;
    }
    const TGridRegion C = Ref.Coord();
    if (C.FirstCol != C.LastCol)
        return;
    // A column range beside the formula gives the cells on the formula's own
    // rows, so a row formula can read "its" value from a column.
    const TGridRegion Own = T.Address();
    const qint32 Top = std::max(C.FirstRow, Own.FirstRow);
    const qint32 Bottom = std::min(C.LastRow, Own.LastRow);
    if (Top > Bottom || C.FirstCol == Own.FirstCol)
        return;
    TCalcArray Items;
    for (qint32 Row = Top; Row <= Bottom; ++Row)
        Items.push_back(Ref.ReadCell(C.FirstCol, Row));
    R = TCalcValue::Array(std::move(Items));
}

void Row(TToken& T, const TCalcValue&, TCalcValue& R)
{
    qint32 Top = T.Address().FirstRow;
    if (T.Count() == 1 && T.Items(0)->State() == vsReference)
        Top = static_cast<TReference*>(T.Items(0))->Coord().FirstRow;
    R = TCalcValue::Text(QString::number(Top));
}

}
