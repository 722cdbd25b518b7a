#include <QTest>

#include "testsupport.h"
#include "ui/digitfilter.h"

using namespace tsumiki;
using tsumiki::test::RecordingMessageBoxes;

namespace {
// A text box whose change notification runs FilterDigits again, as the real box's does.
class FakeBox final : public TextBox {
public:
    explicit FakeBox(MessageBoxes& beeper) : beeper_(beeper) {}
    QString text() const override { return text_; }
    void setText(const QString& text) override {
        if (text == text_) {
            return;
        }
        text_ = text;
        cursor = -1;
        FilterDigits(*this, beeper_);
    }
    void setCursorPosition(int position) override { cursor = position; }
    void setFocus() override { ++focusCalls; }
    int cursor = -1;
    int focusCalls = 0;

private:
    MessageBoxes& beeper_;
    QString text_;
};
}  // namespace

class TestDigitFilter : public QObject {
    Q_OBJECT
private slots:
    void filterDigits_data();
    void filterDigits();
};

void TestDigitFilter::filterDigits_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("kept");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<bool>("focused");
    QTest::newRow("letter") << "12a"
                            << "12" << 1 << false;
    QTest::newRow("leading minus") << "-5"
                                   << "-5" << 0 << false;
    QTest::newRow("full stops pass") << "1.2.3"
                                     << "1.2.3" << 0 << false;
    QTest::newRow("minus after a digit") << "5-"
                                         << "5" << 1 << true;
    QTest::newRow("blank") << "1 2"
                           << "12" << 1 << false;
    QTest::newRow("slash") << "1/2"
                           << "12" << 1 << false;
    QTest::newRow("comma of a formatted price") << "10,000"
                                                << "10000" << 1 << false;
    QTest::newRow("two full-width digits") << "１２"
                                           << "" << 2 << false;
    QTest::newRow("pasted mixture") << "a1!b-2"
                                    << "12" << 4 << true;
    QTest::newRow("empty") << ""
                           << "" << 0 << false;
    QTest::newRow("control characters pass") << "1\t2"
                                             << "1\t2" << 0 << false;
}

void TestDigitFilter::filterDigits() {
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(int, beeps);
    QFETCH(bool, focused);
    RecordingMessageBoxes boxes;
    FakeBox box(boxes);
    box.setText(typed);
    QCOMPARE(box.text(), kept);
    QCOMPARE(boxes.beeps, beeps);
    QCOMPARE(box.focusCalls > 0, focused);
    if (beeps > 0) {
        QCOMPARE(box.cursor, kept.size());
    }
    // A clean text is left alone.
    QVERIFY(!FilterDigits(box, boxes));
}

QTEST_APPLESS_MAIN(TestDigitFilter)
#include "tst_digitfilter.moc"
