#include <QTest>

#include "store/inputhelpers.h"

using namespace tsumiki;

class TestInputHelpers : public QObject {
    Q_OBJECT
private slots:
    void isDoubleByteText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("doubleByte");
        QTest::newRow("kanji and wave dash") << "店長～" << true;
        QTest::newRow("half-width katakana") << "ｱｲｳ" << false;
        QTest::newRow("character the code page lacks counts as single") << "あ한" << false;
        QTest::newRow("empty") << "" << true;
    }

    void isDoubleByteText() {
        QFETCH(QString, text);
        QFETCH(bool, doubleByte);
        QCOMPARE(IsDoubleByteText(text), doubleByte);
    }
};

QTEST_APPLESS_MAIN(TestInputHelpers)
#include "tst_inputhelpers.moc"
