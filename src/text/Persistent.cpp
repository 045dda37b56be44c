#include "text/Persistent.h"

EConvertError::EConvertError(const QString& Message)
    : std::runtime_error(Message.toStdString())
{
}

void TPersistent::Assign(const TPersistent& Source)
{
    if (!Source.AssignTo(*this))
        throw EConvertError(
            QStringLiteral("Cannot assign a %1 to a %2").arg(Source.ClassName(), ClassName()));
}

bool TPersistent::AssignTo(TPersistent&) const { return false; }
