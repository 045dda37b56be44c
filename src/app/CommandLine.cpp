#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QDir>

QString TCommandLine::Usage()
{
    return QStringLiteral(
        "Журнал регистрации результатов токсикологической лаборатории\n"
        "\n"
        "veskor [--data-dir DIR] [--database CONN] [--log FILE]\n"
        "    открыть журнал в окне программы\n"
        "veskor [--data-dir DIR] [--database CONN] --list [--search TEXT] [--filter ROW=VALUE]...\n"
        "       [--sort INDEX] [--reverse] [--title-sort FIELD] [--full]\n"
        "    вывести записи журнала (UTF-8, поля через табуляцию)\n"
        "veskor [--data-dir DIR] [--database CONN] [параметры запроса, как у --list]\n"
        "       [--report FILE.pdf] [--report-emf PREFIX]\n"
        "    напечатать отчёт по записям запроса в PDF или в файлы EMF по страницам\n"
        "    (PREFIX01.emf, PREFIX02.emf, ...)\n"
        "veskor [--data-dir DIR] --create-demo N\n"
        "    создать демонстрационный журнал из N записей и пустой шаблон, если их нет\n"
        "\n"
        "  --data-dir DIR      папка файлов данных (по умолчанию папка программы)\n"
        "  --database CONN     файл SQLite, строка подключения ODBC (DSN=... или DRIVER=...)\n"
        "                      или PostgreSQL (postgresql://... или host=... dbname=...)\n"
        "  --search TEXT       текст поля поиска\n"
        "  --filter ROW=VALUE  условие в строке ROW фильтра (например 3=100..200)\n"
        "  --sort INDEX        пункт списка сортировки (0-4)\n"
        "  --reverse           «в обратном порядке»\n"
        "  --title-sort FIELD  щелчок по заголовку столбца FIELD\n"
        "  --full              «Полная таблица»\n"
        "  --report FILE.pdf   записать отчёт в файл PDF (страницы A4)\n"
        "  --report-emf PREFIX записать каждую страницу отчёта в файл EMF\n"
        "  --log FILE          писать диагностику в FILE\n");
}

bool TCommandLine::TakesValue(const QString& a)
{
    return a == u"--data-dir" || a == u"--database" || a == u"--log" || a == u"--search"
        || a == u"--filter" || a == u"--sort" || a == u"--title-sort" || a == u"--create-demo"
        || a == u"--report" || a == u"--report-emf";
}

bool TCommandLine::AsksForReport(const QStringList& arguments)
{
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == u"--report" || arguments[i] == u"--report-emf")
            return true;
        if (TakesValue(arguments[i]))
            ++i;
    }
    return false;
}

TCommandLine TCommandLine::Parse(const QStringList& arguments)
{
    TCommandLine c;
    auto fail = [&](const QString& message) {
        c.Error = message;
        return c;
    };
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](QString* out) {
            if (i + 1 >= arguments.size())
                return false;
            *out = arguments[++i];
            return true;
        };
        QString v;
        if (a == u"--help" || a == u"-h") {
            c.Help = true;
        } else if (a == u"--version") {
            c.Version = true;
        } else if (a == u"--list") {
            c.List = true;
        } else if (a == u"--reverse") {
            c.Reverse = true;
        } else if (a == u"--full") {
            c.Full = true;
        } else if (TakesValue(a)) {
            if (!value(&v))
                return fail(QStringLiteral("После %1 нужно значение.").arg(a));
            bool ok = true;
            if (a == u"--data-dir")
                c.DataDir = QDir(v).absolutePath();
            else if (a == u"--database")
                c.Database = v;
            else if (a == u"--log")
                c.LogFile = v;
            else if (a == u"--search")
                c.Search = v;
            else if (a == u"--title-sort")
                c.TitleSort = v;
            else if (a == u"--report")
                c.ReportPdf = v;
            else if (a == u"--report-emf")
                c.ReportEmf = v;
            else if (a == u"--sort")
                c.Sort = v.toInt(&ok);
            else if (a == u"--create-demo") {
                c.CreateDemo = v.toInt(&ok);
                ok = ok && *c.CreateDemo >= 0;
            } else {
                const int eq = v.indexOf(u'=');
                const int row = eq > 0 ? v.left(eq).toInt(&ok) : 0;
                ok = ok && eq > 0 && row >= 1;
                if (ok)
                    c.Filters.emplace_back(row, v.mid(eq + 1));
            }
            if (!ok)
                return fail(QStringLiteral("Неверное значение %1: %2").arg(a, v));
        } else {
            return fail(QStringLiteral("Неизвестный параметр: %1").arg(a));
        }
    }
    // Without an application object yet, the caller fills the folder in once it has one.
    if (c.DataDir.isEmpty() && QCoreApplication::instance())
        c.DataDir = QCoreApplication::applicationDirPath();
    return c;
}
