// The one rule for typed dates and times: what the clock-record editor accepts is what the program reads back.
#include <QtTest>

#include "attendance/datetext.h"

using namespace tsumiki;

class TestDateText : public QObject {
    Q_OBJECT

private slots:
    void validDates_data();
    void validDates();
    void writtenFormsReadBack();
};

void TestDateText::validDates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("date") << "2026/12/05" << true;
    QTest::newRow("business date with time of day") << "2026/12/05 5:00:00" << true;
    QTest::newRow("clock time") << "2026/12/05 09:15" << true;
    QTest::newRow("one-digit month and day") << "2026/1/5" << true;
    QTest::newRow("one-digit month, day and hour") << "2026/1/5 9:05" << true;
    QTest::newRow("time alone") << "9:15" << true;
    QTest::newRow("time alone with seconds") << "23:59:59" << true;
    QTest::newRow("leap day") << "2024/02/29" << true;
    QTest::newRow("no such day") << "2009/02/30" << false;
    QTest::newRow("not a leap year") << "2009/02/29" << false;
    QTest::newRow("month 13") << "2009/13/01" << false;
    QTest::newRow("hour 25 alone") << "25:00" << false;
    QTest::newRow("hour 25 with date") << "2009/05/01 25:00" << false;
    QTest::newRow("minute 60") << "2009/05/01 10:60" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("words") << "きょう" << false;
    QTest::newRow("date and junk") << "2009/05/01x" << false;
    QTest::newRow("hyphens") << "2009-05-01" << false;
}

void TestDateText::validDates() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsDateText(text), valid);
}

// Every business date and clock time the program writes over two years passes the rule.
void TestDateText::writtenFormsReadBack() {
    const QDate start(2025, 1, 1);
    for (int day = 0; day < 730; ++day) {
        const QDate date = start.addDays(day);
        const QTime time(day % 24, (day * 7) % 60);
        QVERIFY(IsDateText(InputTimeText(QDateTime(date, time))));
        QVERIFY(IsDateText(TimePrintText(date, time)));
        QCOMPARE(ParseDateTimeText(TimePrintText(date, time)), QDateTime(date, time));
    }
}

QTEST_GUILESS_MAIN(TestDateText)
#include "tst_datetext.moc"
