#include "FormulaTestEnvironment.h"

#include "formula/FormulaParser.h"
#include "formula/FunctionList.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

// The parser's events as "T text op level start" and "P text" lines.
QStringList Events(const QString& Formula)
{
    QStringList Lines;
    Tfp Parser(*FunctionList());
    Parser.SetOnToken([&](Tfp&, QStringView Term, qint32 Position, qint32 Length, qint32 Op,
                          qint32 Level, bool Start) {
        Lines << QStringLiteral("T %1 @%2 op%3 L%4%5")
                     .arg(Term.left(Length).toString())
                     .arg(Position)
                     .arg(Op)
                     .arg(Level)
                     .arg(Start ? " start" : "");
    });
    Parser.SetOnParse([&](Tfp&, QStringView Term, qint32, qint32 Length, qint32, qint32, bool) {
        Lines << QStringLiteral("P %1").arg(Term.left(Length).toString());
    });
    Parser.Execute(QStringView(Formula));
    return Lines;
}

struct TEventCase {
    const char* Formula;
    QStringList Expected;
};

TEST(ParserEvents, ReportTokensInTextOrderAndOperationsInEvaluationOrder)
{
    StartFormulaEngine();
    const TEventCase Cases[] = {
        { "1+2*3",
            { "T 1 @1 op0 L6 start", "T + @2 op13 L1", "T 2 @3 op0 L6", "T * @4 op5 L2",
                "T 3 @5 op0 L6", "P *", "P +" } },
        { "SUM(1,2)",
            { "T SUM @1 op28 L5 start", "T 1 @5 op0 L13 start", "T 2 @7 op0 L13 start", "P SUM" } },
        { "sum(2)", { "T sum @1 op28 L5 start", "T 2 @5 op0 L13 start", "P sum" } },
        { "PIE", { "T PIE @1 op-1 L6 start" } },
        { "PI", { "T PI @1 op25 L6 start" } },
        { "<=5", { "T <= @1 op21 L0 start", "T 5 @3 op0 L6", "P <=" } },
        { "1.5E-3", { "T 1.5E-3 @1 op0 L6 start" } },
        { "1-3", { "T 1 @1 op0 L6 start", "T - @2 op14 L1", "T 3 @3 op0 L6", "P -" } },
        { "1E5E2", { "T 1E5 @1 op0 L6 start", "T E2 @4 op-1 L6" } },
        { "A1 : B2", { "T A1 : B2 @1 op-1 L6 start" } },
        { "A1 B2", { "T A1 @1 op-1 L6 start", "T B2 @4 op-1 L6" } },
        { "\"ab\"", { "T ab @2 op0 L6 start" } },
        { "(1+2)", { "T 1 @2 op0 L13 start", "T + @3 op13 L8", "T 2 @4 op0 L13", "P +" } },
        { "1)+2", { "T 1 @1 op0 L6 start" } },
        // The operator after an empty pair continues the list element.
        { "ROW()*2",
            { "T ROW @1 op79 L5 start", "P ROW", "T * @6 op5 L2", "T 2 @7 op0 L6", "P *" } },
        { "\"ab", { "T ab @2 op0 L6 start" } },
    };
    for (const TEventCase& C : Cases)
        EXPECT_EQ(Events(QString::fromUtf8(C.Formula)), C.Expected) << C.Formula;
}

TEST(ParserEvents, ReadNumbersAndListsWithTheLocaleSeparators)
{
    StartFormulaEngine(QLocale::Russian);
    EXPECT_EQ(Events("SUM(1,5; 2)"),
        QStringList({ "T SUM @1 op28 L5 start", "T 1,5 @5 op0 L13 start", "T 2 @10 op0 L13 start",
            "P SUM" }));
    StartFormulaEngine();
}

TEST(ParserEvents, IgnoreTextAfterAnEmbeddedNul)
{
    StartFormulaEngine();
    const QString F = QStringLiteral("1+2") + QChar() + QStringLiteral("+3");
    EXPECT_EQ(Events(F).size(), 4);
}

}
