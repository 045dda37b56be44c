#include "app/JournalQuery.h"
#include "platform/db/DbError.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <map>

namespace {

// The fields of the worked example: A (text), B, and OBJ_NUM (numeric).
const std::vector<TQueryField> kExample = { { "A", false, false },
                                            { "B", false, false },
                                            { "OBJ_NUM", true, false } };

struct TInputs {
    QString Search = TJournalQueryBuilder::SearchPlaceholder();
    std::map<int, QString> Filters;

    TQueryInputs Get() const
    {
        TQueryInputs in;
        in.SearchText = Search;
        in.FilterRowCount = 3;
        in.FilterValue = [this](int r) {
            auto it = Filters.find(r);
            return it == Filters.end() ? QString() : it->second;
        };
        return in;
    }
};

// The program's locale for one test, which the builder reads for dates and numbers.
class TDefaultLocale {
public:
    explicit TDefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~TDefaultLocale() { QLocale::setDefault(fSaved); }

private:
    QLocale fSaved;
};

TEST(JournalQuery, WorkedExampleInBothDialects)
{
    const TDefaultLocale locale(QLocale::c());
    TJournalQueryBuilder b;
    b.SetSortItem(1, true);
    TInputs in;
    in.Search = "иванов";
    in.Filters = { { 1, "пет" }, { 3, "100..200" } };
    b.SetDialect(sdAccess);
    EXPECT_EQ(b.Build(in.Get(), kExample).toStdString(),
              "select * from analysis where (A&' '&B&' '&OBJ_NUM) like :par1 and "
              "(A like :par_1) and ((OBJ_NUM>=100.00) and (OBJ_NUM<=200.00)) order by "
              "OBJ_NUM DESC");
    b.SetDialect(sdSqlite);
    EXPECT_EQ(b.Build(in.Get(), kExample).toStdString(),
              "select * from analysis where vsk_joinlike(:par1,'...',A,B,OBJ_NUM) and "
              "(A like :par_1) and ((OBJ_NUM>=100.00) and (OBJ_NUM<=200.00)) order by "
              "OBJ_NUM DESC");
    b.SetDialect(sdSqliteOdbc);
    EXPECT_EQ(b.Build(in.Get(), kExample).toStdString(),
              "select * from analysis where (coalesce(A,'')||' '||coalesce(B,'')||' '||"
              "coalesce(OBJ_NUM,'')) like :par1 and (A like :par_1) and ((OBJ_NUM>=100.00) "
              "and (OBJ_NUM<=200.00)) order by OBJ_NUM DESC");

    QString value;
    ASSERT_TRUE(TJournalQueryBuilder::ParamValue("par1", in.Get(), &value));
    EXPECT_EQ(value, "%иванов%");
    ASSERT_TRUE(TJournalQueryBuilder::ParamValue("par_1", in.Get(), &value));
    EXPECT_EQ(value, "%пет%");
    EXPECT_FALSE(TJournalQueryBuilder::ParamValue("par_x", in.Get(), &value));
}

TEST(JournalQuery, SearchAndFilterForms)
{
    struct {
        const char* Name;
        const char* Search; // nullptr: the placeholder shows
        std::map<int, QString> Filters;
        const char* Access;
        const char* Sqlite;
    } cases[] = {
        { "nothing", nullptr, {}, "select * from analysis", "select * from analysis" },
        { "empty focused search", "", {}, "select * from analysis where (A&' '&B&' '&OBJ_NUM) like :par1",
          nullptr },
        { "one filter row", nullptr, { { 2, "x" } }, "select * from analysis where (B like :par_2)",
          "select * from analysis where (B like :par_2)" },
        { "search then two rows", "s", { { 1, "a" }, { 2, "b" } },
          "select * from analysis where (A&' '&B&' '&OBJ_NUM) like :par1 and (A like :par_1) and "
          "(B like :par_2)",
          nullptr },
        { "upper bound", nullptr, { { 3, "..5" } }, "select * from analysis where (OBJ_NUM<=5.00)",
          "select * from analysis where (OBJ_NUM<=5.00)" },
        { "lower bound", nullptr, { { 3, "5.." } }, "select * from analysis where (OBJ_NUM>=5.00)",
          nullptr },
        { "third part ignored", nullptr, { { 3, "1..2..3" } },
          "select * from analysis where ((OBJ_NUM>=1.00) and (OBJ_NUM<=2.00))", nullptr },
        { "decimal comma and point", nullptr, { { 3, "12,5..7.25" } },
          "select * from analysis where ((OBJ_NUM>=12.50) and (OBJ_NUM<=7.25))", nullptr },
        { "plain number matches as text", nullptr, { { 3, "5" } },
          "select * from analysis where (OBJ_NUM like :par_3)", nullptr },
        { "unreadable range adds nothing", nullptr, { { 3, "a..b" } }, "select * from analysis",
          nullptr },
        { "dots in a text field", nullptr, { { 1, "1..2" } },
          "select * from analysis where (A like :par_1)", nullptr },
    };
    for (const auto& c : cases) {
        TInputs in;
        if (c.Search)
            in.Search = QString::fromUtf8(c.Search);
        in.Filters = c.Filters;
        TJournalQueryBuilder b;
        b.SetDialect(sdAccess);
        EXPECT_EQ(b.Build(in.Get(), kExample).toStdString(), c.Access) << c.Name;
        if (c.Sqlite) {
            b.SetDialect(sdSqlite);
            EXPECT_EQ(b.Build(in.Get(), kExample).toStdString(), c.Sqlite) << c.Name;
        }
    }
}

TEST(JournalQuery, DatesMatchAsShownAndNamesAreQuoted)
{
    const std::vector<TQueryField> fields = { { "AN_DATE", false, true },
                                              { "Концентрация в крови", true, false } };
    TInputs in;
    in.Search = "05.03";
    in.Filters = { { 1, "03.2024" }, { 2, "1..2" } };
    TJournalQueryBuilder b;
    b.SetDialect(sdSqlite);
    EXPECT_EQ(b.Build(in.Get(), fields).toStdString(),
              "select * from analysis where vsk_joinlike(:par1,'d.',AN_DATE,"
              "\"Концентрация в крови\") and (vsk_datetext(AN_DATE) like "
              ":par_1) and ((\"Концентрация в крови\">=1.00) and (\"Концентрация в крови\"<=2.00))");
    b.SetDialect(sdPostgres);
    const QString pg = b.Build(in.Get(), fields);
    EXPECT_TRUE(pg.contains(") like translate(lower(:par1),'ё','е')")) << pg.toStdString();
    EXPECT_TRUE(pg.contains("to_char(AN_DATE,")) << pg.toStdString();
}

TEST(JournalQuery, SearchFindsNumbersWithTheLocaleDecimalSeparator)
{
    const std::vector<TQueryField> fields = { { "A", false, false }, { "X", true, false } };
    TInputs in;
    in.Search = "0,25";
    in.Filters = { { 2, "0,25" } };
    const struct {
        QLocale Locale;
        TSqlDialect Dialect;
        const char* Expected;
    } cases[] = {
        { QLocale(QLocale::Russian, QLocale::Russia), sdPostgres,
          "select * from analysis where translate(lower((coalesce(A::text,'')||' '||"
          "coalesce(replace(X::text,'.',','),''))),'ё','е') like translate(lower(:par1),'ё','е')"
          " and (translate(lower(X::text),'ё','е') like translate(lower(:par_2),'ё','е'))" },
        { QLocale(QLocale::Russian, QLocale::Russia), sdSqliteOdbc,
          "select * from analysis where (coalesce(A,'')||' '||coalesce(replace(X,'.',','),'')) "
          "like :par1 and (X like :par_2)" },
        { QLocale::c(), sdPostgres,
          "select * from analysis where translate(lower((coalesce(A::text,'')||' '||"
          "coalesce(X::text,''))),'ё','е') like translate(lower(:par1),'ё','е') and "
          "(translate(lower(X::text),'ё','е') like translate(lower(:par_2),'ё','е'))" },
    };
    for (const auto& c : cases) {
        const TDefaultLocale locale(c.Locale);
        TJournalQueryBuilder b;
        b.SetDialect(c.Dialect);
        EXPECT_EQ(b.Build(in.Get(), fields).toStdString(), c.Expected)
            << c.Locale.name().toStdString() << " " << c.Dialect;
    }
}

TEST(JournalQuery, OrderClauses)
{
    TJournalQueryBuilder b;
    const std::vector<std::pair<int, const char*>> items = {
        { 0, "" }, { 1, "order by OBJ_NUM " }, { 2, "order by AN_DATE ,OBJ_NUM" },
        { 3, "order by OBJ_DELIVD ,OBJ_NUM" }, { 4, "order by OBJ_GETD ,OBJ_NUM" }, { 9, "" },
    };
    for (const auto& [index, clause] : items) {
        b.SetSortItem(index, false);
        EXPECT_EQ(b.OrderClause().toStdString(), clause) << index;
    }
    b.SetSortItem(2, true);
    EXPECT_EQ(b.OrderClause(), "order by AN_DATE DESC,OBJ_NUM");

    b.SetTitleSort("PATIENT", false);
    EXPECT_EQ(b.Build(TInputs().Get(), kExample), "select * from analysis  order by PATIENT");
    EXPECT_EQ(b.FullTable(), "select * from analysis  order by PATIENT")
        << "the command's trailing blank and the clause's leading one";
    b.SetSortItem(1, false);
    EXPECT_EQ(b.FullTable(), "select * from analysis order by OBJ_NUM ");
    b.SetTitleSort("PATIENT", true);
    EXPECT_EQ(b.OrderClause(), " order by PATIENT DESC") << "the last one used wins";
}

TEST(JournalQuery, AFilterRowWithoutAFieldFails)
{
    TInputs in;
    in.Filters = { { 3, "x" } };
    EXPECT_THROW(TJournalQueryBuilder().Build(in.Get(), { { "A", false, false } }),
                 EDatabaseError);
    in.Search = "x";
    in.Filters.clear();
    EXPECT_EQ(TJournalQueryBuilder().Build(in.Get(), {}), "select * from analysis where () like :par1")
        << "a closed journal gives an empty chain, which the database then rejects";
}

} // namespace
