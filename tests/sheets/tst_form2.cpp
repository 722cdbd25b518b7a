#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "screentestcontext.h"
#include "sheets/form2.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {
void writeShop(const TempAppFolder& folder) {
    folder.writeEmptyTables();
    folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0012\",\"ABC\",\"ADMIN\",1000",
                                    "\"0013\",\"\",\"\",", "\"a:b c\",\"名前:x\",\"\",1200"});
    folder.writeTable(Table::Message, {"MSGID,MESSAGE", "E00009,対象の人を選んでください"});
}

QStringList entries(const QComboBox* box) {
    QStringList out;
    for (int i = 0; i < box->count(); ++i) {
        out << box->itemText(i);
    }
    return out;
}
}  // namespace

class TestForm2 : public QObject {
    Q_OBJECT
private slots:
    void defaultsFollowTheBusinessDate_data();
    void defaultsFollowTheBusinessDate();
    void checks_data();
    void checks();
    void individualSheetHandover();
    void staffSheetNeedsNoPerson();
    void yearBoxKeepsToFourDigits();
};

void TestForm2::defaultsFollowTheBusinessDate_data() {
    QTest::addColumn<QString>("now");
    QTest::addColumn<QString>("month");
    QTest::addColumn<QString>("year");
    QTest::newRow("first minute of the year is still December") << "2027/01/01 00:00:30"
                                                                << "１２月"
                                                                << "2026";
    QTest::newRow("after it, January") << "2027/01/01 00:01:00"
                                       << "１月"
                                       << "2027";
}

void TestForm2::defaultsFollowTheBusinessDate() {
    QFETCH(QString, now);
    QFETCH(QString, month);
    QFETCH(QString, year);
    ScreenTestContext t;
    writeShop(t.folder);
    t.clock.set(now);
    Form2 form(t.context);
    form.show();
    QCOMPARE(form.windowTitle(), QStringLiteral("勤務表選択画面"));
    auto* months = form.findChild<QComboBox*>("Combo2");
    QCOMPARE(months->count(), 12);
    QCOMPARE(months->itemText(9), QStringLiteral("１０月"));
    QCOMPARE(months->currentText(), month);
    QCOMPARE(form.findChild<QLineEdit*>("Text1")->text(), year);
    auto* people = form.findChild<QComboBox*>("Combo1");
    QCOMPARE(entries(people), (QStringList{"0012 : ABC", "a:b c : 名前:x"}));
    QCOMPARE(people->currentIndex(), -1);
    QVERIFY(!people->isEditable() && !months->isEditable());
}

void TestForm2::checks_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("person");
    QTest::addColumn<int>("month");
    QTest::addColumn<QString>("year");
    QTest::addColumn<QString>("message");  // empty: the sheet opens
    QTest::newRow("next: no month") << "cmdNext" << -1 << -1 << "2026"
                                    << "月を選択してください。";
    QTest::newRow("next: month before year") << "cmdNext" << -1 << -1 << ""
                                             << "月を選択してください。";
    QTest::newRow("next: empty year") << "cmdNext" << 0 << 11 << ""
                                      << "出力年を選択してください。";
    QTest::newRow("next: year with a full stop") << "cmdNext" << 0 << 11 << "20.6"
                                                 << "出力年を選択してください。";
    QTest::newRow("next: year with a minus") << "cmdNext" << 0 << 11 << "-206"
                                             << "出力年を選択してください。";
    QTest::newRow("next: year before person") << "cmdNext" << -1 << 11 << ""
                                              << "出力年を選択してください。";
    QTest::newRow("next: no person") << "cmdNext" << -1 << 11 << "2026"
                                     << "対象の人を選んでください";
    QTest::newRow("next: opens") << "cmdNext" << 1 << 11 << "2026"
                                 << "";
    QTest::newRow("sum: no month has its own wording") << "cmdSum" << -1 << -1 << "2026"
                                                       << "出力月を選択してください。";
    QTest::newRow("sum: empty year") << "cmdSum" << -1 << 11 << ""
                                     << "出力年を選択してください。";
    QTest::newRow("sum: opens without a person") << "cmdSum" << -1 << 11 << "2026"
                                                 << "";
}

void TestForm2::checks() {
    QFETCH(QString, button);
    QFETCH(int, person);
    QFETCH(int, month);
    QFETCH(QString, year);
    QFETCH(QString, message);
    ScreenTestContext t;
    writeShop(t.folder);
    t.clock.set(QStringLiteral("2026/12/06 12:00:00"));
    Form2 form(t.context);
    form.show();
    form.findChild<QComboBox*>("Combo1")->setCurrentIndex(person);
    form.findChild<QComboBox*>("Combo2")->setCurrentIndex(month);
    form.findChild<QLineEdit*>("Text1")->setText(year);
    QTest::mouseClick(form.findChild<QPushButton*>(button), Qt::LeftButton);
    if (message.isEmpty()) {
        QCOMPARE(t.boxes.shown.size(), 0);
        QCOMPARE(t.navigator.opened.size(), 1);
    } else {
        QCOMPARE(t.navigator.opened.size(), 0);
        QCOMPARE(t.boxes.shown.size(), 1);
        QCOMPARE(t.boxes.shown[0].text, message);
        QCOMPARE(t.boxes.shown[0].title, QStringLiteral("エラー"));
        QCOMPARE(t.boxes.shown[0].icon, MessageIcon::Exclamation);
    }
}

void TestForm2::individualSheetHandover() {
    ScreenTestContext t;
    writeShop(t.folder);
    t.clock.set(QStringLiteral("2026/12/06 12:00:00"));
    Form2 form(t.context);
    form.show();
    form.findChild<QComboBox*>("Combo1")->setCurrentIndex(1);
    form.findChild<QComboBox*>("Combo2")->setCurrentIndex(4);
    form.findChild<QLineEdit*>("Text1")->setText(QStringLiteral("09"));
    auto* next = form.findChild<QPushButton*>("cmdNext");
    QTest::mouseClick(next, Qt::LeftButton);
    QTest::mouseClick(next, Qt::LeftButton);
    // The choices stay, so a second sheet opens the same way.
    QCOMPARE(t.navigator.opened.size(), 2);
    const FakeNavigator::Opened& opened = t.navigator.opened[1];
    QCOMPARE(opened.screen, QStringLiteral("Form4"));
    QCOMPARE(opened.properties.value("TargetUserId").toString(), QStringLiteral("a:b c"));
    QCOMPARE(opened.properties.value("TargetUserName").toString(), QStringLiteral("名前:x"));
    QCOMPARE(opened.properties.value("SheetYear").toString(), QStringLiteral("09"));
    QCOMPARE(opened.properties.value("SheetMonth").toString(), QStringLiteral("05"));
}

void TestForm2::staffSheetNeedsNoPerson() {
    ScreenTestContext t;
    writeShop(t.folder);
    t.clock.set(QStringLiteral("2026/10/06 12:00:00"));
    Form2 form(t.context);
    form.show();
    QTest::mouseClick(form.findChild<QPushButton*>("cmdSum"), Qt::LeftButton);
    QCOMPARE(t.navigator.opened.size(), 1);
    QCOMPARE(t.navigator.opened[0].screen, QStringLiteral("Form5"));
    QCOMPARE(t.navigator.opened[0].properties.value("SheetYear").toString(), QStringLiteral("2026"));
    QCOMPARE(t.navigator.opened[0].properties.value("SheetMonth").toString(), QStringLiteral("10"));
}

void TestForm2::yearBoxKeepsToFourDigits() {
    ScreenTestContext t;
    writeShop(t.folder);
    t.clock.set(QStringLiteral("2026/12/06 12:00:00"));
    Form2 form(t.context);
    form.show();
    auto* year = form.findChild<QLineEdit*>("Text1");
    year->clear();
    QTest::keyClicks(year, QStringLiteral("2a0266"));
    QCOMPARE(year->text(), QStringLiteral("2026"));
    QCOMPARE(t.boxes.beeps, 1);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
