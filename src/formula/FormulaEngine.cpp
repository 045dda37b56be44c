#include "formula/FormulaEngine.h"

#include "formula/FormulaSeparators.h"
#include "formula/FunctionList.h"
#include "formula/StandardFunctions.h"

#include <memory>

namespace {

std::unique_ptr<TFunctionList>& Instance()
{
    static std::unique_ptr<TFunctionList> L;
    return L;
}

}

const TFunctionList* FunctionList() { return Instance().get(); }

void InitFormulaEngine(const QLocale& Locale)
{
    if (!Instance()) {
        auto L = std::make_unique<TFunctionList>();
        RegisterStandardFunctions(*L);
        Instance() = std::move(L);
    }
    FixFormulaSeparators(Locale);
}
