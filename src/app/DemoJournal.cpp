#include "app/DemoJournal.h"

#include "platform/db/DbConnection.h"
#include "platform/db/DbError.h"
#include "platform/db/DbErrorText.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QUuid>
#include <random>

// The word lists and the schema are compiled into this static library; it has to ask for
// them to be registered, or the linker leaves them out.
static void InitDemoResources() { Q_INIT_RESOURCE(data); }

namespace DemoJournal {

namespace {

    QStringList Lines(const QString& resource)
    {
        QFile f(resource);
        f.open(QIODevice::ReadOnly);
        QStringList out;
        for (const QString& line : QString::fromUtf8(f.readAll()).split(u'\n')) {
            const QString t = line.trimmed();
            if (!t.isEmpty())
                out << t;
        }
        return out;
    }

    // The sections ("# methods", "# units", ...) of the methods file.
    QStringList Section(const QStringList& lines, const QString& name)
    {
        QStringList out;
        bool in = false;
        for (const QString& l : lines) {
            if (l.startsWith(u'#'))
                in = l.mid(1).trimmed() == name;
            else if (in)
                out << l;
        }
        return out;
    }

    // The statements of the journal's schema, comments dropped.
    QStringList SchemaStatements()
    {
        InitDemoResources();
        QFile schemaFile(QStringLiteral(":/data/schema.sql"));
        schemaFile.open(QIODevice::ReadOnly);
        QString schema;
        for (const QString& line : QString::fromUtf8(schemaFile.readAll()).split(u'\n'))
            schema += line.section(QStringLiteral("--"), 0, 0) + u'\n';
        QStringList out;
        for (const QString& statement : schema.split(u';'))
            if (!statement.trimmed().isEmpty())
                out << statement;
        return out;
    }

    // The schema in the server's types. The records get a key of their own, the last column
    // so that the journal still shows its fields first: the server has no row number to
    // edit a record by, and a case history number may repeat.
    QStringList ServerSchemaStatements()
    {
        QStringList out;
        for (QString statement : SchemaStatements()) {
            statement.replace(QRegularExpression(QStringLiteral("\\bDOUBLE\\b")),
                QStringLiteral("DOUBLE PRECISION"));
            statement.replace(QRegularExpression(QStringLiteral("\\bLONGTEXT\\b")),
                QStringLiteral("TEXT"));
            if (statement.contains(QLatin1String("CREATE TABLE analysis"))) {
                const qsizetype close = statement.lastIndexOf(u')');
                statement.insert(close, QStringLiteral(",\n  ID SERIAL PRIMARY KEY\n"));
            }
            out << statement;
        }
        return out;
    }

    void Exec(QSqlQuery& q, const QString& sql)
    {
        if (!q.exec(sql))
            throw EDatabaseError(DbErrorText::Message(
                QStringLiteral("Не удалось создать журнал"), q.lastError(), true));
    }

    class TGenerator {
    public:
        explicit TGenerator(unsigned seed)
            : fRandom(seed)
        {
            InitDemoResources();
            for (const QString& l : Lines(QStringLiteral(":/data/words/surnames.txt"))) {
                const QStringList pair = l.split(u'\t');
                fSurnames.push_back({ pair.value(0), pair.value(1, pair.value(0)) });
            }
            fNames = Lines(QStringLiteral(":/data/words/given_names_patronymics.txt"));
            fObjects = Lines(QStringLiteral(":/data/words/objects.txt"));
            fSubstances = Lines(QStringLiteral(":/data/words/substances.txt"));
            const QStringList m = Lines(QStringLiteral(":/data/words/methods_units_results.txt"));
            fMethods = Section(m, QStringLiteral("methods"));
            fUnits = Section(m, QStringLiteral("units"));
            fResults = Section(m, QStringLiteral("results"));
            for (const QString& r : fResults)
                if (!r.startsWith(QStringLiteral("не ")))
                    fFoundResults << r;
            if (fSurnames.empty() || fNames.isEmpty() || fObjects.isEmpty()
                || fSubstances.isEmpty() || fMethods.isEmpty() || fUnits.isEmpty()
                || fFoundResults.isEmpty())
                throw EDatabaseError(QStringLiteral("Нет словарей демонстрационного журнала."));
        }

        int Int(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(fRandom); }
        double Real(double lo, double hi)
        {
            return std::uniform_real_distribution<double>(lo, hi)(fRandom);
        }
        const QString& Pick(const QStringList& list) { return list[Int(0, int(list.size()) - 1)]; }

        QString Person()
        {
            const QString& name = Pick(fNames);
            const auto& pair = fSurnames[Int(0, int(fSurnames.size()) - 1)];
            const bool female = name.endsWith(QStringLiteral("вна"));
            return (female ? pair.second : pair.first) + u' ' + name;
        }

        QString Initials()
        {
            const auto& pair = fSurnames[Int(0, int(fSurnames.size()) - 1)];
            const QStringList parts = Pick(fNames).split(u' ');
            const bool female = parts.value(1).endsWith(QStringLiteral("вна"));
            return (female ? pair.second : pair.first) + u' ' + parts.value(0).left(1) + u'.'
                + parts.value(1).left(1) + u'.';
        }

        std::mt19937 fRandom;
        std::vector<std::pair<QString, QString>> fSurnames;
        QStringList fNames, fObjects, fSubstances, fMethods, fUnits, fResults, fFoundResults;
    };

    const QStringList kInstitutions = {
        QStringLiteral("ГБУЗ «Городская клиническая больница № 1»"),
        QStringLiteral("ГБУЗ «Городская клиническая больница № 15»"),
        QStringLiteral("Бюро судебно-медицинской экспертизы, районное отделение"),
        QStringLiteral("Наркологический диспансер № 3"),
        QStringLiteral("Станция скорой медицинской помощи"),
        QStringLiteral("Детская городская больница № 2"),
        QStringLiteral("Отдел полиции по Центральному району"),
    };

    const QStringList kNotes = {
        QStringLiteral("Повторное исследование по запросу следователя."),
        QStringLiteral("Объект поступил в ненадлежащей упаковке; целостность пломбы "
                       "нарушена, составлен акт."),
        QStringLiteral("Исследование выполнено в два этапа:\nскрининг методом ИФА, затем "
                       "подтверждение методом ГХ-МС."),
        QStringLiteral("Остаток объекта возвращён на хранение."),
    };

    void Fill(QSqlDatabase& db, int records, unsigned seed)
    {
        TGenerator g(seed);
        QSqlQuery q(db);
        q.prepare(QStringLiteral(
            "insert into analysis (OBJ_NUM, OBJ_GETD, OBJ_DELIVD, AN_DATE, PATIENT, BIRTH_YEAR,"
            " INSTITUTION, OBJ_KIND, SUBSTANCES, CONC_BLOOD, CONC_URINE, UNITS, METHOD,"
            " ANALYST, CONCLUSION, NOTE) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        const QDate yearStart(QDate::currentDate().year(), 1, 1);
        QStringList analysts;
        for (int i = 0; i < 6; ++i)
            analysts << g.Initials();
        int number = 1000;
        for (int i = 0; i < records; ++i) {
            number += g.Int(1, 3);
            const QDate taken = yearStart.addDays(g.Int(0, 340));
            const QDate delivered = taken.addDays(g.Int(0, 3));
            const QDate analysed = delivered.addDays(g.Int(0, 10));
            const bool found = g.Int(0, 99) < 55;
            QStringList substances;
            if (found)
                for (int n = g.Int(1, 3); n > 0; --n)
                    substances << g.Pick(g.fSubstances);
            substances.removeDuplicates();
            const bool ethanol = substances.contains(QStringLiteral("этанол"));
            QVariant blood, urine;
            if (found && g.Int(0, 9) < 8)
                blood = std::round(g.Real(0.01, ethanol ? 4.5 : 1.2) * 1000) / 1000;
            if (found && g.Int(0, 9) < 5)
                urine = std::round(g.Real(0.01, ethanol ? 5.5 : 2.5) * 1000) / 1000;
            q.addBindValue(number);
            q.addBindValue(taken.toString(Qt::ISODate));
            q.addBindValue(delivered.toString(Qt::ISODate));
            q.addBindValue(g.Int(0, 19) == 0 ? QVariant(QMetaType(QMetaType::QString))
                                             : QVariant(analysed.toString(Qt::ISODate)));
            q.addBindValue(g.Person());
            q.addBindValue(g.Int(1938, 2010));
            q.addBindValue(g.Pick(kInstitutions));
            q.addBindValue(g.Pick(g.fObjects));
            q.addBindValue(found ? substances.join(QStringLiteral(", "))
                                 : QStringLiteral("не обнаружено"));
            q.addBindValue(blood.isValid() ? blood : QVariant(QMetaType(QMetaType::Double)));
            q.addBindValue(urine.isValid() ? urine : QVariant(QMetaType(QMetaType::Double)));
            q.addBindValue(ethanol ? QStringLiteral("г/л") : g.Pick(g.fUnits));
            q.addBindValue(g.Pick(g.fMethods));
            q.addBindValue(g.Pick(analysts));
            q.addBindValue(found ? g.Pick(g.fFoundResults) : QStringLiteral("не обнаружен"));
            q.addBindValue(g.Int(0, 9) == 0 ? QVariant(g.Pick(kNotes))
                                            : QVariant(QMetaType(QMetaType::QString)));
            if (!q.exec())
                throw EDatabaseError(DbErrorText::Message(
                    QStringLiteral("Не удалось создать журнал"), q.lastError(), true));
        }
    }

} // namespace

QString TemplateFileName() { return QStringLiteral("template-msk.db"); }

void Create(const QString& path, int records, unsigned seed)
{
    if (QFileInfo::exists(path))
        throw EDatabaseError(QStringLiteral("Файл уже существует: %1").arg(path));
    const QString partial = path + QStringLiteral(".part");
    QFile::remove(partial);
    const QString name = QStringLiteral("demo-") + QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(partial);
        if (!db.open())
            throw EDatabaseError(DbErrorText::Message(
                QStringLiteral("Не удалось создать журнал %1").arg(path), db.lastError(), true));
        try {
            QSqlQuery q(db);
            Exec(q, QStringLiteral("begin"));
            for (const QString& statement : SchemaStatements())
                Exec(q, statement);
            Fill(db, records, seed);
            Exec(q, QStringLiteral("commit"));
        } catch (...) {
            db.close();
            QSqlDatabase::removeDatabase(name);
            QFile::remove(partial);
            throw;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!QFile::rename(partial, path)) {
        QFile::remove(partial);
        throw EDatabaseError(QStringLiteral("Не удалось создать журнал %1").arg(path));
    }
}

namespace {

    QString RecordsText(int n)
    {
        const int last = n % 10, lastTwo = n % 100;
        const char* word = lastTwo >= 11 && lastTwo <= 14 ? "записей"
            : last == 1                                   ? "запись"
            : last >= 2 && last <= 4                      ? "записи"
                                                          : "записей";
        return QLocale(QLocale::Russian, QLocale::Russia).toString(n) + u' '
            + QString::fromUtf8(word);
    }

} // namespace

void CreateOnServer(TDbConnection& connection, int records, unsigned seed)
{
    connection.Open();
    if (connection.Dialect() != sdPostgres)
        throw EDatabaseError(QStringLiteral(
            "Демонстрационный журнал создаётся в рабочей папке или на сервере PostgreSQL, "
            "а «%1» — другой источник данных. Ничего не создано.")
                                 .arg(connection.ConnectionString()));
    QSqlDatabase db = connection.Database();
    QSqlQuery q(db);
    Exec(q, QStringLiteral("select to_regclass('analysis') is not null"));
    if (q.next() && q.value(0).toBool())
        throw EDatabaseError(QStringLiteral("На сервере уже есть журнал (таблица analysis): "
                                            "новый не создан, записи не тронуты."));
    // One transaction for the schema and the records: a failure leaves no half journal.
    if (!db.transaction())
        throw EDatabaseError(DbErrorText::Message(
            QStringLiteral("Не удалось создать журнал"), db.lastError(), false));
    try {
        for (const QString& statement : ServerSchemaStatements())
            Exec(q, statement);
        Fill(db, records, seed);
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QSqlError error = db.lastError();
        db.rollback();
        throw EDatabaseError(
            DbErrorText::Message(QStringLiteral("Не удалось создать журнал"), error, false));
    }
}

QString ServerMadeText(int records)
{
    return QStringLiteral("Создан демонстрационный журнал на сервере: %1").arg(RecordsText(records));
}

TMadeFiles EnsureFiles(const QString& dataDir, int records)
{
    QDir().mkpath(dataDir);
    const QDir dir(dataDir);
    TMadeFiles made;
    const QString journal = dir.filePath(TDbConnection::JournalFileName());
    if (!QFileInfo::exists(journal)) {
        Create(journal, records);
        made.Journal = journal;
    }
    const QString empty = dir.filePath(TemplateFileName());
    if (!QFileInfo::exists(empty)) {
        Create(empty, 0);
        made.Template = empty;
    }
    return made;
}


QString MadeFilesText(const TMadeFiles& made, const QString& dataDir, int records)
{
    const QString journal = QDir(dataDir).filePath(TDbConnection::JournalFileName());
    const QString madeTemplate = QStringLiteral("пустой шаблон: %1").arg(made.Template);
    if (!made.Journal.isEmpty()) {
        QString text = QStringLiteral("Создан демонстрационный журнал: %1, %2")
                           .arg(RecordsText(records), made.Journal);
        if (!made.Template.isEmpty())
            text += QStringLiteral("; ") + madeTemplate;
        return text;
    }
    QString text = QStringLiteral("Журнал уже есть, новый не создан: %1").arg(journal);
    if (!made.Template.isEmpty())
        text += QStringLiteral("; создан ") + madeTemplate;
    return text;
}

} // namespace DemoJournal
