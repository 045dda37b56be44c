#include "platform/db/DbField.h"

#include "platform/db/DbError.h"
#include "platform/db/DbQuery.h"
#include "platform/db/ValueText.h"

TDbField::TDbField(TDbQuery* query, int column, QString name, TFieldType type)
    : fQuery(query)
    , fColumn(column)
    , fFieldName(name)
    , fDisplayLabel(std::move(name))
    , fDataType(type)
{
}

int TDbField::Index() const
{
    for (int i = 0; i < fQuery->FieldCount(); ++i)
        if (&fQuery->Field(i) == this)
            return i;
    return -1;
}

void TDbField::SetIndex(int index) { fQuery->MoveField(this, index); }

void TDbField::SetDisplayFormat(const QString& picture)
{
    if (IsNumeric())
        fDisplayFormat = picture;
}

QVariant TDbField::Value() const { return fQuery->CurrentValue(fColumn); }

QString TDbField::AsString() const
{
    const QVariant v = Value();
    return v.isNull() ? QString() : v.toString();
}

QString TDbField::DisplayText() const
{
    return ValueText::Display(Value(), fDataType, fDisplayFormat, QLocale());
}

void TDbField::SetAsWideString(const QString& text)
{
    if (fQuery->State() != dsEdit && fQuery->State() != dsInsert)
        throw EDatabaseError(QStringLiteral("Запись не открыта для правки."));
    QVariant value;
    QString error;
    if (!ValueText::Parse(text, fDataType, QLocale(), &value, &error))
        throw EDatabaseError(QStringLiteral("Поле «%1»: %2").arg(fDisplayLabel, error));
    fQuery->SetBufferValue(fColumn, value);
}
