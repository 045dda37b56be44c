#include "report/ReportTarget.h"

#include "platform/db/FileIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

bool IsSqliteDatabase(const QString& fileName)
{
    static const QByteArray magic("SQLite format 3\0", 16);
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) && f.read(magic.size()) == magic;
}

} // namespace

QString ReportTargetRefusal(const QString& fileName, const QStringList& protectedFiles)
{
    // A file that does not exist yet cannot be anything that must be kept.
    if (!QFileInfo::exists(fileName))
        return QString();
    const QString shown = QDir::toNativeSeparators(fileName);
    for (const QString& kept : protectedFiles)
        if (!kept.isEmpty() && SameFile(fileName, kept))
            return QStringLiteral("Отчёт не записан: «%1» — файл журнала (база данных, её шаблон "
                                  "или архив). Укажите для отчёта другое имя файла.")
                .arg(shown);
    if (IsSqliteDatabase(fileName))
        return QStringLiteral("Отчёт не записан: «%1» — файл базы данных. Укажите для отчёта "
                              "другое имя файла.")
            .arg(shown);
    return QString();
}

QStringList DatabaseCompanionFiles(const QString& databaseFile)
{
    return { databaseFile + QStringLiteral("-journal"), databaseFile + QStringLiteral("-wal"),
             databaseFile + QStringLiteral("-shm") };
}
