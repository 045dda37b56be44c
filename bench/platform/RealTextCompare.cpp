// Compares, over millions of reals, the text the record search joins for a real (vsk_joinlike)
// with a text made independently of it: the fewest digits that printf and strtod agree read
// back as the value, laid out as the table lays out a real. It also compares the search's
// text with the table's own (ValueText::Display), which must agree for every normal value of
// at most fifteen digits; for the others the table shows fifteen digits and the search the
// fewest that read back, and their count is reported. Exits with 1 on a disagreement that
// must not be.
//
//     real_text_compare [count, default 3000000]

#include "platform/db/DbConnection.h"
#include "platform/db/ValueText.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

struct TShortest {
    QString Digits; // without the point
    int Exponent = 0; // of the first digit
};

TShortest ShortestByPrintf(double value)
{
    char text[64];
    for (int precision = 0; precision < 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*e", precision, std::fabs(value));
        if (std::strtod(text, nullptr) == std::fabs(value))
            break;
    }
    const QString s = QString::fromLatin1(text);
    const int e = int(s.indexOf(u'e'));
    TShortest out;
    out.Digits = s.left(e).remove(u'.');
    while (out.Digits.size() > 1 && out.Digits.endsWith(u'0'))
        out.Digits.chop(1);
    out.Exponent = s.mid(e + 1).toInt();
    return out;
}

// The table writes an exponent below 1e-4 and from 1e15 on, with at least two digits, and
// the locale's exponent sign, which the search, ignoring case, takes as its own "e".
QString Reference(double value, const QLocale& locale)
{
    const TShortest s = ShortestByPrintf(value);
    const QString point = locale.decimalPoint();
    QString text = value < 0 ? locale.negativeSign() : QString();
    const int e = s.Exponent;
    const auto n = int(s.Digits.size());
    if (value == 0) {
        text = QStringLiteral("0");
    } else if (e < -4 || e >= 15) {
        text += s.Digits.left(1);
        if (n > 1)
            text += point + s.Digits.mid(1);
        text += locale.exponential() + QChar(e < 0 ? u'-' : u'+')
            + QStringLiteral("%1").arg(std::abs(e), 2, 10, QLatin1Char('0'));
    } else if (e < 0) {
        text += QStringLiteral("0") + point + QString(-e - 1, u'0') + s.Digits;
    } else if (n <= e + 1) {
        text += s.Digits + QString(e + 1 - n, u'0');
    } else {
        text += s.Digits.left(e + 1) + point + s.Digits.mid(e + 1);
    }
    return text;
}

// Half the values are measurements: up to fifteen digits with a decimal point somewhere,
// including the edges of the exponent rule; the other half are any finite double.
double NextValue(std::mt19937_64& random)
{
    if (random() % 2 == 0) {
        const int digits = 1 + int(random() % 15);
        const auto mantissa = double(random() % uint64_t(std::pow(10.0, digits)));
        const int scale = int(random() % 40) - 20;
        const double v = mantissa * std::pow(10.0, scale);
        return std::isfinite(v) && random() % 4 == 0 ? -v : v;
    }
    for (;;) {
        const double v = std::bit_cast<double>(random());
        if (std::isfinite(v))
            return v;
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const long count = argc > 1 ? std::atol(argv[1]) : 3000000;
    const QLocale russian(QLocale::Russian, QLocale::Russia);
    QLocale::setDefault(russian); // the search takes the locale of the connection's opening

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("reals.db"));
    {
        QSqlDatabase create = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "create");
        create.setDatabaseName(path);
        create.open();
        QSqlQuery(create).exec(
            QStringLiteral("create table r (x real, reference text, shown text, plain int)"));
        create.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("create"));
    TDbConnection db(dir.path());
    db.SetConnectionString(path);
    db.Open();

    std::mt19937_64 random(20261211);
    long longer = 0;
    QSqlQuery insert(db.Database());
    insert.exec(QStringLiteral("begin"));
    insert.prepare(QStringLiteral("insert into r values (?, ?, ?, ?)"));
    for (long i = 0; i < count; ++i) {
        const double v = NextValue(random);
        const bool plain = std::isnormal(v) && ShortestByPrintf(v).Digits.size() <= 15;
        longer += plain ? 0 : 1;
        insert.addBindValue(v);
        insert.addBindValue(Reference(v, russian));
        insert.addBindValue(ValueText::Display(v, ftFloat, QString(), russian));
        insert.addBindValue(plain ? 1 : 0);
        if (!insert.exec()) {
            std::printf("%s\n", qPrintable(insert.lastError().text()));
            return 1;
        }
    }
    QSqlQuery(db.Database()).exec(QStringLiteral("commit"));

    // Rows where the search does not join the text of the given column; the first few shown.
    auto differing = [&](const char* column, const char* where) -> long {
        QSqlQuery q(db.Database());
        if (!q.exec(QStringLiteral("select x, %1 from r where %2 and not vsk_joinlike(%1, '', x)")
                        .arg(QLatin1String(column), QLatin1String(where)))) {
            std::printf("%s\n", qPrintable(q.lastError().text()));
            return -1;
        }
        long n = 0;
        while (q.next())
            if (++n <= 5)
                std::printf("the search does not join the %s text %s for %.17g\n", column,
                            qPrintable(q.value(1).toString()), q.value(0).toDouble());
        return n;
    };
    const long reference = differing("reference", "1");
    const long tablePlain = differing("shown", "plain");
    const long tableOther = differing("shown", "not plain");
    std::printf("%ld reals, %ld of them subnormal or of more than fifteen digits. The search's "
                "text differs from the reference for %ld; from the table's for %ld of the "
                "others and %ld of those\n",
                count, longer, reference, tablePlain, tableOther);
    return reference == 0 && tablePlain == 0 ? 0 : 1;
}
