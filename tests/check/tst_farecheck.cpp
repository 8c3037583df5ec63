#include "check/farecheck.h"
#include "model/faretable.h"
#include "testtables.h"

#include <QTest>

using FareCheck::Rule;
using FareCheck::RuleSet;

Q_DECLARE_METATYPE(Rule)

namespace {

/**
 * Fills a table from stop lines "TICKET: FARE FARE ..." ("." an empty cell), stops named
 * "%1停N" (a placeholder in a name must reach the message as it is). The route row holds a
 * ticket number and fares that every rule would object to if it were judged as a stop, and
 * so does a row below the first empty name, which a save does not keep.
 */
void build(FareTable& table, const QStringList& stops)
{
    table.SetCell(1, 1, QStringLiteral("系統"));
    table.SetCell(1, 2, QStringLiteral("150"));
    for (int col = 3; col <= 5; ++col)
        table.SetCell(1, col, QStringLiteral("9999"));
    int row = 2;
    for (const QString& line : stops) {
        table.SetCell(row, 1, QStringLiteral("%1停") + QString::number(row - 1));
        table.SetCell(row, 2, line.section(u':', 0, 0).trimmed());
        const QStringList fares = line.section(u':', 1).split(u' ', Qt::SkipEmptyParts);
        for (int k = 1; k <= fares.size(); ++k)
            table.SetCell(row, 2 + k, fares[k - 1] == u'.' ? QString() : fares[k - 1]);
        ++row;
    }
    table.SetCell(row + 1, 1, QStringLiteral("保存外"));
    for (const auto& [col, text] : {std::pair{2, "0"}, {3, "100"}, {4, "5000"}, {5, "."}})
        table.SetCell(row + 1, col, QString::fromLatin1(text));
}

QStringList L(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* item : items)
        list.append(QString::fromUtf8(item));
    return list;
}

/** A finding as "stop/ticket" ("#" for the ticket-number column), with its rule when asked. */
QStringList cells(const QList<FareCheck::Finding>& findings, bool withRule = false)
{
    QStringList list;
    for (const FareCheck::Finding& f : findings)
        list.append((withRule ? FareCheck::ruleId(f.rule) + u' ' : QString()) +
                    QString::number(f.stop()) + u'/' +
                    (f.col == 2 ? QStringLiteral("#") : QString::number(f.ticket())));
    return list;
}

/** Stop s sells ticket s; a ride of d stops costs 170 + 30 d, and any ride inside the city
 *  zone (stops 41 to 60) a flat 250. One fare is mistyped: 3200 for 320. */
void buildZoneRoute(FareTable& table)
{
    table.SetCell(1, 1, QStringLiteral("市内線（均一区間あり）"));
    for (int s = 1; s <= 60; ++s) {
        table.SetCell(s + 1, 1, QStringLiteral("停留所%1").arg(s));
        table.SetCell(s + 1, 2, s);
        for (int k = 1; k <= s; ++k)
            table.SetCell(s + 1, 2 + k, k >= 41 ? 250 : 170 + 30 * (s - k));
    }
    table.SetCell(21, 2 + 15, 3200);
}

} // namespace

class TestFareCheck : public QObject {
    Q_OBJECT

private slots:
    void eachRule_data();
    void eachRule();
    void zoneRouteWithARuleSwitchedOff();
};

void TestFareCheck::eachRule_data()
{
    QTest::addColumn<Rule>("rule");
    QTest::addColumn<QStringList>("stops");
    QTest::addColumn<QStringList>("expected");
    const auto row = [](const char* name, Rule rule, QStringList stops, QStringList expected) {
        QTest::newRow(name) << rule << stops << expected;
    };
    row("ticket number falls", Rule::TicketOrder, L({"1: 170", "3: 200 170 .", "2: 230 200"}),
        L({"3/#"}));
    row("fares without a ticket number", Rule::TicketOrder, L({"1: 170", ": 200 170"}), L({"2/#"}));
    row("ticket numbers level or rising, one stop without either", Rule::TicketOrder,
        L({"1: 170", "2: 200 170", "2: 230 200", ":", "3: 260 230 200"}), L({}));
    row("fare for a ticket not yet issued", Rule::NotIssued, L({"1: 170", "2: 200 170 150"}),
        L({"2/3"}));
    row("fares up to the own ticket only", Rule::NotIssued, L({"1: 170", "3: 230 200 170"}), L({}));
    row("ticket number 0: no ticket issued yet", Rule::NotIssued, L({"0: 170"}), L({"1/1"}));
    row("gap between two fares", Rule::MissingFare, L({"1: 170", "4: 260 . . 170 ."}),
        L({"2/2", "2/3"}));
    row("empty before the first and after the last fare", Rule::MissingFare,
        L({"1: 170", "4: . 200 170 ."}), L({}));
    row("fare falls down a column", Rule::ColumnFalls, L({"1: 170", "2: 200 170", "3: 190 . 170"}),
        L({"3/1"}));
    row("flat zone fare down a column", Rule::ColumnFalls, L({"1: 200", "2: 200 200", "3: . 200"}),
        L({}));
    row("later ticket dearer", Rule::RowRises, L({"1: 170", "2: 170 200"}), L({"2/2"}));
    row("later tickets cheaper across a gap", Rule::RowRises, L({"1: 170", "3: 230 . 170"}), L({}));
    row("fare ten times its neighbours", Rule::Outlier, L({"1: 170", "2: 1800", "3: 200"}),
        L({"2/1"}));
    row("fare a tenth of its neighbours", Rule::Outlier, L({"1: 1500", "2: 150", "3: 1600"}),
        L({"2/1"}));
    row("a third or more of the fare above", Rule::Outlier, L({"1: 500", "2: 200", "3: 700"}),
        L({}));
    row("a third or more of the fare below", Rule::Outlier, L({"1: 700", "2: 200", "3: 500"}),
        L({}));
    row("large steps but no outlier", Rule::Outlier, L({"1: 170", "2: 600", "3: 2000", "4: 7000"}),
        L({}));
}

void TestFareCheck::eachRule()
{
    QFETCH(Rule, rule);
    QFETCH(QStringList, stops);
    QFETCH(QStringList, expected);
    FareTable table;
    build(table, stops);
    const auto ofRule = [rule](const QList<FareCheck::Finding>& all) {
        QList<FareCheck::Finding> found;
        std::copy_if(all.begin(), all.end(), std::back_inserter(found),
                     [rule](const FareCheck::Finding& f) { return f.rule == rule; });
        return found;
    };
    const QList<FareCheck::Finding> found = ofRule(FareCheck::checkTable(table));
    QCOMPARE(cells(found), expected);
    // The rule alone finds the same: no rule depends on another being switched on.
    RuleSet alone = RuleSet::saveRules();
    alone.set(rule, true);
    QCOMPARE(cells(ofRule(FareCheck::checkTable(table, alone))), expected);
    for (const FareCheck::Finding& f : std::as_const(found)) {
        const QString number = QString::number(f.stop());
        const QString stop = QStringLiteral("停留所 ") + number + QStringLiteral("「%1停") + number;
        QVERIFY2(f.message.startsWith(stop), qPrintable(f.message));
    }
}

void TestFareCheck::zoneRouteWithARuleSwitchedOff()
{
    FareTable table;
    buildZoneRoute(table);
    table.setCurrentCell(7, 9);
    const QStringList before = TestTables::snapshot(table);
    const QStringList typo = L({"row-rises 20/15", "outlier 20/15", "column-falls 21/15"});
    const QStringList zone = L({"row-rises 41/41", "row-rises 42/41"});
    QCOMPARE(cells(FareCheck::checkTable(table), true), typo + zone);
    // The zone's flat fare is dearer than the shortest rides into it: with that rule off only
    // the typing slip remains, still found by the other rules.
    RuleSet rules = RuleSet::all();
    rules.set(Rule::RowRises, false);
    QCOMPARE(cells(FareCheck::checkTable(table, rules), true), typo.mid(1));
    QCOMPARE(TestTables::snapshot(table), before);
    QCOMPARE(table.CurRow(), 7);
    QCOMPARE(table.CurCol(), 9);
}

QTEST_GUILESS_MAIN(TestFareCheck)
#include "tst_farecheck.moc"
