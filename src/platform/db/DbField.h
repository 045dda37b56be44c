#pragma once

#include "platform/db/FieldType.h"

#include <QString>
#include <QVariant>

class TDbQuery;

// One column of an open query as the rest of the system sees it: its name, the label and
// position the alias pass gives it, and the current record's value as text.
class TDbField {
public:
    const QString& FieldName() const { return fFieldName; }
    const QString& DisplayLabel() const { return fDisplayLabel; }
    void SetDisplayLabel(const QString& label) { fDisplayLabel = label; }

    // The position in the field list; assigning it moves the field there, the fields in
    // between shift by one and keep their order.
    int Index() const;
    void SetIndex(int index);

    TFieldType DataType() const { return fDataType; }
    bool IsNumeric() const { return IsNumericType(fDataType); }
    bool IsFloat() const { return fDataType == ftFloat; }
    bool IsDate() const { return IsDateType(fDataType); }
    bool IsLongText() const { return fDataType == ftMemo; }

    // A number picture such as "0.0000"; only numeric fields use it.
    const QString& DisplayFormat() const { return fDisplayFormat; }
    void SetDisplayFormat(const QString& picture);

    QVariant Value() const;
    bool IsNull() const { return Value().isNull(); }
    QString AsString() const; // the value as plain text, no formatting
    QString DisplayText() const;

    // Converts the text by the field's type in the user's locale and stores it in the
    // record buffer; the query must be in edit or insert mode. Throws EDatabaseError with a
    // message for the user when the text does not fit, leaving the value as it was.
    void SetAsWideString(const QString& text);

    // The column of the field in the rows the query reads, which moving does not change.
    int Column() const { return fColumn; }

private:
    friend class TDbQuery;
    TDbField(TDbQuery* query, int column, QString name, TFieldType type);

    TDbQuery* fQuery;
    int fColumn;
    QString fFieldName;
    QString fDisplayLabel;
    TFieldType fDataType;
    QString fDisplayFormat;
};
