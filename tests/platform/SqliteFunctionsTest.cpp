#include "TestDatabase.h"
#include "platform/db/DbConnection.h"
#include "platform/db/DbQuery.h"

namespace {

// A connection to a fresh database, opened in the Russian locale, which the date functions
// take when the connection opens.
class SqliteFunctions : public ::testing::Test {
protected:
    SqliteFunctions()
    {
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        fDb.SetConnectionString(fFile.Path());
        fDb.Open();
    }

    TTestDatabase fFile { { "create table t (x text)" } };
    TDbConnection fDb { fFile.Dir() };
};

TEST_F(SqliteFunctions, LikeIgnoresCaseInEveryScript)
{
    struct {
        const char* Text;
        const char* Pattern;
        int Expected; // -1: null
    } cases[] = {
        { "Иванов", "%ИВАН%", 1 },
        { "ФЁДОРОВ", "%федоров%", 1 },
        { "Фёдоров", "%ФЕДОР%", 1 },
        { "Straße", "%STRASSE%", 0 }, // simple folding, one character for one
        { "Ωmega", "ωMEGA", 1 },
        { "abc", "a_c", 1 },
        { "ac", "a_c", 0 },
        { "abc", "%", 1 },
        { "", "%%", 1 },
        { "a%c", "a\\%c", 1 },
        { "abc", "a\\%c", 0 },
        { "кровь и моча", "%кровь%моча%", 1 },
        { "моча и кровь", "%кровь%моча%", 0 },
        { "ааб", "%аб", 1 },
        { "abc", "", 0 },
        { "", "", 1 },
        { "ABC", "abc", 1 },
        { "abcd", "abc", 0 },
        { "a", "a%a", 0 },
        { "aXa", "a%a", 1 },
        { "Ελληνικά ΚΕΙΜΕΝΑ", "%κειμενα", 1 },
        { "ёлка Ёж", "%ЕЛКА%еж", 1 },
    };
    QSqlQuery q(fDb.Database());
    for (const auto& c : cases) {
        const bool escaped = QString(c.Pattern).contains('\\');
        ASSERT_TRUE(q.prepare(escaped ? "select ? like ? escape '\\'" : "select ? like ?"));
        q.addBindValue(QString::fromUtf8(c.Text));
        q.addBindValue(QString::fromUtf8(c.Pattern));
        ASSERT_TRUE(q.exec() && q.next()) << q.lastError().text().toStdString();
        EXPECT_EQ(q.value(0).toInt(), c.Expected) << c.Text << " like " << c.Pattern;
    }
    ASSERT_TRUE(q.exec("select null like '%'") && q.next());
    EXPECT_TRUE(q.value(0).isNull());
}

TEST_F(SqliteFunctions, DateTextShowsTheLocaleShortDate)
{
    QSqlQuery q(fDb.Database());
    ASSERT_TRUE(q.exec("select vsk_datetext('2024-03-05'), vsk_datetext('2024-03-05 09:15:00'),"
                       " vsk_datetext(null), vsk_datetext('мусор')")
                && q.next());
    EXPECT_EQ(q.value(0).toString(), "05.03.2024");
    EXPECT_EQ(q.value(1).toString(), "05.03.2024 09:15");
    EXPECT_TRUE(q.value(2).isNull());
    EXPECT_EQ(q.value(3).toString(), "мусор");
}

TEST_F(SqliteFunctions, LikeTakesTextThatIsNoUtf8)
{
    // Text written by another program in a single-byte code page: every byte is replaced on
    // reading, so the folded text is three times as long as the stored bytes.
    QSqlQuery q(fDb.Database());
    const QString bytes = QString("C8E2E0EDEEE2").repeated(50);
    ASSERT_TRUE(q.exec("select cast(x'" + bytes + "' as text) like '%abc%', "
                       "cast(x'" + bytes + "41' as text) like '%a'")
                && q.next())
        << q.lastError().text().toStdString();
    EXPECT_EQ(q.value(0).toInt(), 0);
    EXPECT_EQ(q.value(1).toInt(), 1);
}

TEST_F(SqliteFunctions, JoinLikeMatchesTheValuesJoinedWithBlanksAndNullsAsEmpty)
{
    QSqlQuery q(fDb.Database());
    struct {
        const char* Call;
        int Expected; // -1: null
    } cases[] = {
        { "vsk_joinlike('Иванов  12 1,5 ', '', 'Иванов', null, 12, 1.5, '')", 1 },
        { "vsk_joinlike('%ИВАНОВ  12%', '', 'Иванов', null, 12, 1.5, '')", 1 },
        { "vsk_joinlike('%1,5', '', 'Иванов', null, 12, 1.5, '')", 0 },
        { "vsk_joinlike('%a %', '', 'a', null)", 1 },
        { "vsk_joinlike('ab_cd', '..', 'ab', 'cd')", 1 },
        { "vsk_joinlike('%b%ё%', '', 'ab', 'cd', 'ЕЛЬ')", 1 },
        { "vsk_joinlike('-5 1e+20 0', '', -5, 1e20, -0.0)", 1 },
        { "vsk_joinlike('%', '', null)", 1 },
        { "vsk_joinlike('', '')", 1 },
        // Dates as the table shows them, wherever the kinds say so.
        { "vsk_joinlike('a 05.03.2024 2024-03-05', '.d', 'a', '2024-03-05', '2024-03-05')", 1 },
        { "vsk_joinlike('05.03.2024 09:15 мусор ', 'ddd', '2024-03-05 09:15:00', 'мусор', null)", 1 },
        { "vsk_joinlike(null, '', 'a')", -1 },
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(q.exec(QString("select ") + c.Call) && q.next())
            << c.Call << ": " << q.lastError().text().toStdString();
        EXPECT_EQ(q.value(0).isNull() ? -1 : q.value(0).toInt(), c.Expected) << c.Call;
    }
}

TEST_F(SqliteFunctions, JoinLikeShowsRealsInTheLocaleWithTheFewestDigits)
{
    const struct {
        const char* Value; // as SQL
        const char* Russian;
        const char* C;
    } cases[] = {
        { "0.25", "0,25", "0.25" },
        { "1.0", "1", "1" },
        { "-1234.5678", "-1234,5678", "-1234.5678" },
        { "0.1 + 0.2", "0,30000000000000004", "0.30000000000000004" },
        { "123456789012.345", "123456789012,345", "123456789012.345" },
        { "1e14", "100000000000000", "100000000000000" },
        { "1e15", "1e+15", "1e+15" }, // beyond fifteen digits the table writes an exponent
        { "0.0001", "0,0001", "0.0001" },
        { "2.5e-5", "2,5e-05", "2.5e-05" },
        { "1.7976931348623157e308", "1,7976931348623157e+308", "1.7976931348623157e+308" },
        { "1e-300", "1e-300", "1e-300" },
    };
    const QLocale russian = QLocale();
    QLocale::setDefault(QLocale::c());
    TDbConnection c(fFile.Dir()); // opened in the C locale
    c.SetConnectionString(fFile.Path());
    c.Open();
    QLocale::setDefault(russian);
    for (TDbConnection* db : { &fDb, &c }) {
        const bool inC = db == &c;
        QSqlQuery q(db->Database());
        ASSERT_TRUE(q.exec("create temporary table r (x real)"));
        for (const auto& row : cases) {
            const QString text = QString::fromUtf8(inC ? row.C : row.Russian);
            const QString value = row.Value;
            ASSERT_TRUE(q.exec("delete from r") && q.exec("insert into r values (" + value + ")"));
            ASSERT_TRUE(q.prepare("select vsk_joinlike(?, '', x), x from r"));
            q.addBindValue(text); // no wildcards: the whole joined text
            ASSERT_TRUE(q.exec() && q.next()) << q.lastError().text().toStdString();
            EXPECT_EQ(q.value(0).toInt(), 1) << row.Value << (inC ? " in C" : " in Russian");
            bool ok = false;
            EXPECT_EQ((inC ? QLocale::c() : russian).toDouble(text, &ok), q.value(1).toDouble())
                << row.Value;
            EXPECT_TRUE(ok) << row.Value;
        }
    }
}

} // namespace
