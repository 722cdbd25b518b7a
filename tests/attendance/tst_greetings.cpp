#include <QTest>

#include "attendance/greetings.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

class TestGreetings : public QObject {
    Q_OBJECT
private slots:
    void draw_data();
    void draw();
    void reseedsOnEveryCall();
    void count_data();
    void count();
};

void TestGreetings::draw_data() {
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<int>("kind");
    QTest::addColumn<double>("random");
    QTest::addColumn<QString>("greeting");
    const QStringList gap{"M01001,一", "M01002,二", "M01005,五", "M02001,帰り"};
    QTest::newRow("single message, lowest draw") << QStringList{"M01001,おはよう"} << 1 << 0.0 << "おはよう";
    QTest::newRow("single message, highest draw") << QStringList{"M01001,おはよう"} << 1 << 0.999999 << "おはよう";
    QTest::newRow("gap: first") << gap << 1 << 0.0 << "一";
    QTest::newRow("gap: second") << gap << 1 << 0.5 << "二";
    QTest::newRow("gap: third number has no message") << gap << 1 << 0.9 << "";
    QTest::newRow("clock-out group") << gap << 2 << 0.9 << "帰り";
    QTest::newRow("an extra id counts but is never drawn") << QStringList{"M01001,一", "M01,余分"} << 1 << 0.6 << "";
    QTest::newRow("empty group") << QStringList{"M01001,一"} << 2 << 0.0 << "";
    QTest::newRow("duplicate id: the later text")
        << QStringList{"M02001,古い", "M02001,新しい"} << 2 << 0.0 << "新しい";
    QTest::newRow("empty text") << QStringList{"M01001,"} << 1 << 0.0 << "";
    QTest::newRow("other kind") << QStringList{"M01001,一"} << 3 << 0.0 << "";
}

void TestGreetings::draw() {
    QFETCH(QStringList, messages);
    QFETCH(int, kind);
    QFETCH(double, random);
    QFETCH(QString, greeting);
    TempAppFolder folder;
    folder.writeTable(Table::Message, QStringList{"MSGID,MESSAGE"} + messages);
    ScriptedRandom rng({random});
    QCOMPARE(GetGreetingMessage(TableStore(folder.path()), rng, kind), greeting);
}

void TestGreetings::reseedsOnEveryCall() {
    TempAppFolder folder;
    folder.writeTable(Table::Message, {"MSGID,MESSAGE", "M01001,一", "M01002,二"});
    const TableStore store(folder.path());
    ScriptedRandom rng({0.0, 0.7});
    QCOMPARE(GetGreetingMessage(store, rng, 1), QStringLiteral("一"));
    QCOMPARE(GetGreetingMessage(store, rng, 1), QStringLiteral("二"));
    QCOMPARE(rng.reseeds, 2);
}

void TestGreetings::count_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("count");
    QTest::newRow("1 counts M01") << "1" << 2;
    QTest::newRow("2 counts M02") << "2" << 1;
    QTest::newRow("anything else counts M02") << "x" << 1;
}

void TestGreetings::count() {
    QFETCH(QString, kind);
    QFETCH(int, count);
    TempAppFolder folder;
    folder.writeTable(Table::Message, {"MSGID,MESSAGE", "M01001,a", "M01009,b", "M02001,c", "XM01,d", "E00001,e"});
    QCOMPARE(CountMessagesWithPrefix(TableStore(folder.path()), kind), count);
}

QTEST_APPLESS_MAIN(TestGreetings)
#include "tst_greetings.moc"
