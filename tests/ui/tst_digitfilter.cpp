#include <QTest>

#include "testsupport.h"
#include "ui/digitfilter.h"

using namespace tsumiki;

namespace {
// A text box whose change notification runs FilterDigits again, as the real box's does.
class FakeBox final : public TextBox {
public:
    explicit FakeBox(MessageBoxes& beeper) : beeper_(beeper) {}
    QString text() const override { return text_; }
    void setText(const QString& text) override {
        if (text != text_) {
            text_ = text;
            cursor = -1;
            FilterDigits(*this, beeper_);
        }
    }
    void setCursorPosition(int position) override { cursor = position; }
    void setFocus() override { focused = true; }
    int cursor = -1;
    bool focused = false;

private:
    MessageBoxes& beeper_;
    QString text_;
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
        QTest::newRow("letter") << "12a" << QString("12") << 1 << false;
        QTest::newRow("leading minus, full stops and control characters pass") << "-1.2.3\t" << QString() << 0 << false;
        QTest::newRow("minus after a digit takes the focus") << "5-" << QString("5") << 1 << true;
        QTest::newRow("blank and slash") << "1 /2" << QString("12") << 2 << false;
        QTest::newRow("comma of a formatted price") << "10,000" << QString("10000") << 1 << false;
        QTest::newRow("full-width digits, one beep each") << "１２" << QString("") << 2 << false;
        QTest::newRow("pasted mixture") << "a1!b-2" << QString("12") << 4 << true;
    }

    void filterDigits() {
        QFETCH(QString, typed);
        QFETCH(QString, kept);
        QFETCH(int, beeps);
        QFETCH(bool, focused);
        test::RecordingMessageBoxes boxes;
        FakeBox box(boxes);
        box.setText(typed);
        const QString expected = kept.isNull() ? typed : kept;
        QCOMPARE(box.text(), expected);
        QCOMPARE(boxes.beeps, beeps);
        QCOMPARE(box.focused, focused);
        QCOMPARE(box.cursor, beeps ? expected.size() : -1);
        QVERIFY(!FilterDigits(box, boxes));  // a clean text is left alone
    }
};

QTEST_APPLESS_MAIN(TestDigitFilter)
#include "tst_digitfilter.moc"
