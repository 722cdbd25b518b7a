#include <QTest>
#include <utility>

#include "testsupport.h"
#include "ui/digitfilter.h"

using namespace tsumiki;

namespace {
// A text box whose change notification runs FilterDigits again, as the real box's does.
struct FakeBox final : TextBox {
    QString text() const override { return shown; }
    void setText(const QString& text) override {
        if (std::exchange(shown, text) != text) {
            cursor = -1;
            FilterDigits(*this, beeper);
        }
    }
    void setCursorPosition(int position) override { cursor = position; }
    void setFocus() override { focused = true; }
    test::RecordingMessageBoxes beeper;
    QString shown;
    int cursor = -1;
    bool focused = false;
};
}  // namespace

class TestDigitFilter : public QObject {
    Q_OBJECT
private slots:
    void filterDigits_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("beeps");
        QTest::addColumn<bool>("focused");
        QTest::newRow("leading minus, full stops and control characters pass")
            << "-1.2.3\t" << QString("-1.2.3\t") << 0 << false;
        QTest::newRow("blank and slash") << "1 /2" << QString("12") << 2 << false;
        QTest::newRow("comma of a formatted price") << "10,000" << QString("10000") << 1 << false;
        QTest::newRow("full-width digits, one beep each") << "１２" << QString("") << 2 << false;
        QTest::newRow("letters, a mark, a late minus (focus)") << "a1!b-2" << QString("12") << 4 << true;
    }

    void filterDigits() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, beeps);
        QFETCH(bool, focused);
        FakeBox box;
        box.setText(typed);
        QCOMPARE(box.text(), kept);
        QCOMPARE(box.beeper.beeps, beeps);
        QCOMPARE(box.focused, focused);
        QCOMPARE(box.cursor, beeps ? kept.size() : -1);
        QVERIFY(!FilterDigits(box, box.beeper));  // a clean text is left alone
    }
};

QTEST_APPLESS_MAIN(TestDigitFilter)
#include "tst_digitfilter.moc"
