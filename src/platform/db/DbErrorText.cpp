#include "platform/db/DbErrorText.h"

#include "messages/Trace.h"

#include <QSqlError>

namespace DbErrorText {

QString SqliteReason(int code)
{
    switch (code & 0xff) {
    case 5: // SQLITE_BUSY
        return QStringLiteral("база данных занята другой программой, повторите попытку позже");
    case 6: // SQLITE_LOCKED
        return QStringLiteral("таблица заблокирована другим запросом, повторите попытку позже");
    case 8: // SQLITE_READONLY
        return QStringLiteral("база данных открыта только для чтения");
    case 10: // SQLITE_IOERR
        return QStringLiteral("ошибка чтения или записи файла базы данных");
    case 11: // SQLITE_CORRUPT
        return QStringLiteral("файл базы данных повреждён");
    case 13: // SQLITE_FULL
        return QStringLiteral("на диске нет места");
    case 14: // SQLITE_CANTOPEN
        return QStringLiteral("не удалось открыть файл базы данных");
    case 19: // SQLITE_CONSTRAINT
        return QStringLiteral("значение нарушает ограничение базы данных");
    case 26: // SQLITE_NOTADB
        return QStringLiteral("файл не является базой данных");
    default:
        return QString();
    }
}

namespace {

    // The column or index a rejected value offended, as the database names it after "constraint
    // failed: "; the user needs it to find the value to correct.
    QString ConstraintSubject(const QString& databaseText)
    {
        static const QLatin1String marker("constraint failed: ");
        const qsizetype at = databaseText.indexOf(marker);
        return at < 0 ? QString() : databaseText.mid(at + marker.size()).trimmed();
    }

} // namespace

QString Reason(int code, const QString& databaseText)
{
    // A trigger's raise() speaks for itself: its words are the database's owner's, not the
    // library's, and name the rule the value broke.
    constexpr int kConstraintTrigger = 1811;
    QString reason = code == kConstraintTrigger ? QString() : SqliteReason(code);
    if (reason.isEmpty())
        return databaseText;
    if ((code & 0xff) == 19) {
        const QString subject = ConstraintSubject(databaseText);
        if (!subject.isEmpty())
            reason += QStringLiteral(" (") + subject + u')';
    }
    TraceText(QStringLiteral("Ошибка базы данных (код %1): %2").arg(code).arg(databaseText),
              TRACE_ERROR);
    return reason;
}

QString Message(const QString& what, const QSqlError& error, bool sqliteCodes)
{
    const QString original
        = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    bool known = false;
    const int code = error.nativeErrorCode().toInt(&known);
    const QString reason = sqliteCodes && known ? Reason(code, original) : original;
    return reason.isEmpty() ? what : what + QStringLiteral(": ") + reason;
}

} // namespace DbErrorText
