#include "platform/db/FieldType.h"

TFieldType FieldTypeFromDeclared(const QString& declared)
{
    const QString t = declared.trimmed().toUpper();
    if (t.isEmpty())
        return ftUnknown;
    auto has = [&](const char* part) { return t.contains(QLatin1String(part)); };
    if (has("BOOL") || t == u"BIT" || t == u"YESNO")
        return ftBoolean;
    if (has("INT") || t == u"COUNTER" || t == u"AUTOINCREMENT" || t == u"BYTE")
        return ftInteger;
    if (has("CURRENCY") || has("MONEY"))
        return ftCurrency;
    if (has("DEC") || has("NUMERIC"))
        return ftBCD;
    if (has("REAL") || has("FLOA") || has("DOUB"))
        return ftFloat;
    if (has("DATETIME") || has("TIMESTAMP"))
        return ftDateTime;
    if (has("DATE"))
        return ftDate;
    if (has("TIME"))
        return ftTime;
    if (has("BLOB") || has("BINARY") || has("IMAGE") || has("OLE") || has("GRAPHIC")
        || has("BYTEA"))
        return has("IMAGE") || has("GRAPHIC") ? ftGraphic : ftBlob;
    if (has("MEMO") || has("LONG") || has("CLOB") || has("NOTE") || t == u"TEXT")
        return ftMemo;
    return ftString;
}
