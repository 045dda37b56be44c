#include "formula/StandardFunctions.h"

#include "formula/FunctionCallbacks.h"
#include "formula/FunctionList.h"

void RegisterStandardFunctions(TFunctionList& List)
{
    using namespace FormulaCallbacks;
    struct TEntry {
        const char16_t* Name;
        TFunctionAddr Addr;
        qint32 Priority;
    };
    // The order is the ID order, which cell formulas stored as operator IDs
    // rely on; entries are only ever appended.
    static const TEntry Entries[] = {
        { u"REFVAL", RefVal, 1 },
        { u"@", RefVal, -1 },
        { u"NOT", Not, -1 },
        { u"^", Power, -2 },
        { u"*", Multiply, -3 },
        { u"/", Divide, -3 },
        { u"DIV", IntDiv, -3 },
        { u"MOD", IntMod, -3 },
        { u"AND", And, -3 },
        { u"SHL", Shl, -3 },
        { u"SHR", Shr, -3 },
        { u"AS", Nothing, -3 },
        { u"+", Sum, -4 },
        { u"-", Sub, -4 },
        { u"OR", Or, -4 },
        { u"XOR", Xor, -4 },
        { u"=", Equal, -5 },
        { u"<>", NotEqual, -5 },
        { u"<", Less, -5 },
        { u">", Greater, -5 },
        { u"<=", LessEqual, -5 },
        { u">=", GreaterEqual, -5 },
        { u"IN", Nothing, -5 },
        { u"IS", Nothing, -5 },
        { u"PI", Pi, 1 },
        { u"TRUE", True, 1 },
        { u"FALSE", False, 1 },
        { u"SUM", Sum, 0 },
        { u"SUB", Sub, 0 },
        { u"INT", Int, 0 },
        { u"FRAC", Frac, 0 },
        { u"TRUNC", Trunc, 0 },
        { u"ROUND", Round, 0 },
        { u"ORD", Ord, 0 },
        { u"CHR", Chr, 0 },
        { u"CHAR", Chr, 0 },
        { u"MAX", Max, 0 },
        { u"MIN", Min, 0 },
        { u"SGN", Sgn, 0 },
        { u"IF", If, 0 },
        { u"ABS", Abs, 0 },
        { u"EXP", Exp, 0 },
        { u"LN", Ln, 0 },
        { u"LOG2", Log2, 0 },
        { u"LOG10", Log10, 0 },
        { u"LOG", Log, 0 },
        { u"SQR", Sqr, 0 },
        { u"SQRT", Sqrt, 0 },
        { u"SIN", Sin, 0 },
        { u"SINH", Sinh, 0 },
        { u"ASIN", ASin, 0 },
        { u"ASINH", ASinh, 0 },
        { u"COS", Cos, 0 },
        { u"COSH", Cosh, 0 },
        { u"ACOS", ACos, 0 },
        { u"ACOSH", Nothing, 0 },
        { u"TAN", Tan, 0 },
        { u"TANH", Tanh, 0 },
        { u"ATAN", ATan, 0 },
        { u"ATAN2", Nothing, 0 },
        { u"ATANH", ATanh, 0 },
        { u"COTAN", Cotan, 0 },
        { u"SEC", Sec, 0 },
        { u"COSEC", Cosec, 0 },
        { u"DEG", Deg, 0 },
        { u"RAD", Rad, 0 },
        { u"CONCAT", Nothing, 0 },
        { u"LENGTH", Nothing, 0 },
        { u"REPLACE", Nothing, 0 },
        { u"COMPARE", Nothing, 0 },
        { u"COUNT", Count, 0 },
        { u"COUNTN", CountN, 0 },
        { u"AVERAGE", Average, 0 },
        { u"SUMSQ", SumSq, 0 },
        { u"AVERAGESQ", AverageSq, 0 },
        { u"RMS", Rms, 0 },
        { u"STDEVP", Rms, 0 },
        { u"STDEV", StDev, 0 },
        { u"ROW", Row, 0 },
    };
    for (const TEntry& E : Entries)
        List.AddFunction(QString::fromUtf16(E.Name), E.Addr, E.Priority, 0);
}
