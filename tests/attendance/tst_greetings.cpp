#include <QTest>

#include "attendance/greetings.h"
#include "testsupport.h"

using namespace tsumiki;
using namespace tsumiki::test;

class TestGreetings : public QObject {
    Q_OBJECT
private slots:
    void drawsFromTheMessageTable() {
        TempAppFolder folder;
        // M01: 001, 002, a gap at 003, and an id outside the sequence that still counts; M02: one id twice.
        folder.writeTable(Table::Message, {"MSGID,MESSAGE", "M01001,一", "M01002,二", "M01,余分", "M01005,五",
                                           "M02001,古い", "M02001,新しい", "XM01,x"});
        const TableStore store(folder.path());
        QCOMPARE(CountMessagesWithPrefix(store, ClockKind::In), 4);
        ScriptedRandom rng({0.0, 0.3, 0.6, 0.9, 0.0});
        QStringList drawn;
        for (int i = 0; i < 4; ++i) {
            drawn << GetGreetingMessage(store, rng, ClockKind::In);
        }
        QCOMPARE(drawn, (QStringList{"一", "二", "", ""}));
        QCOMPARE(GetGreetingMessage(store, rng, ClockKind::Out), "新しい");
        QCOMPARE(rng.reseeds, 5);
    }
};

QTEST_APPLESS_MAIN(TestGreetings)
#include "tst_greetings.moc"
