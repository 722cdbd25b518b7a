#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "screentestcontext.h"
#include "sheets/form2.h"
#include "ui/controlnames.h"

using namespace tsumiki;
using namespace tsumiki::test;
namespace n = tsumiki::names::form2;

namespace {
// The selection screen opened at the moment, over users 0012 ABC, 0013 without a name and "a:b c" 名前:x.
struct Selection {
    explicit Selection(const QString& now) {
        t.folder.writeEmptyTables();
        t.folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0012\",\"ABC\",\"ADMIN\",1000",
                                          "\"0013\",\"\",\"\",", "\"a:b c\",\"名前:x\",\"\",1200"});
        t.folder.writeTable(Table::Message, {"MSGID,MESSAGE", "E00009,対象の人を選んでください"});
        t.clock.set(now);
        form.show();
    }
    QComboBox* people() { return form.findChild<QComboBox*>(n::people); }
    QComboBox* months() { return form.findChild<QComboBox*>(n::months); }
    QLineEdit* year() { return form.findChild<QLineEdit*>(n::yearBox); }
    void choose(int person, int month, const QString& year) {
        people()->setCurrentIndex(person);
        months()->setCurrentIndex(month);
        this->year()->clear();
        QTest::keyClicks(this->year(), year);
    }
    void click(QLatin1String button) { QTest::mouseClick(form.findChild<QPushButton*>(button), Qt::LeftButton); }
    ScreenTestContext t;
    Form2 form{t.context};
};
}  // namespace

class TestForm2 : public QObject {
    Q_OBJECT
private slots:
    void defaultsFollowTheBusinessDate() {
        // The first minute of the year is still December's working day.
        for (const auto& [now, monthAndYear] :
             {std::pair{"2027/01/01 00:00:30", "１２月 2026"}, {"2027/01/01 00:01:00", "１月 2027"}}) {
            Selection s(now);
            QCOMPARE(s.months()->currentText() + ' ' + s.year()->text(), monthAndYear);
            QStringList people;
            for (int i = 0; i < s.people()->count(); ++i) {
                people << s.people()->itemText(i);
            }
            QCOMPARE(people, (QStringList{"0012 : ABC", "a:b c : 名前:x"}));
            QCOMPARE(s.people()->currentIndex(), -1);
        }
    }

    // The checks in their order; each button's no-month message has its own wording.
    void checks() {
        const QString noYear = "出力年を選択してください。";
        const std::tuple<QLatin1String, int, int, QString, QString> rows[] = {
            {n::individualButton, -1, -1, QString(), "月を選択してください。"},
            {n::individualButton, -1, 11, QString(), noYear},
            {n::individualButton, -1, 11, "2026", "対象の人を選んでください"},
            {n::individualButton, 1, 11, "2a0266", QString()},  // the year box keeps to four digits
            {n::staffButton, -1, -1, "2026", "出力月を選択してください。"},
            {n::staffButton, -1, 11, QString(), noYear},
            {n::staffButton, -1, 11, "2026", QString()}};  // no person needed
        for (const auto& [button, person, month, year, message] : rows) {
            Selection s("2026/12/06 12:00:00");
            s.choose(person, month, year);
            s.click(button);
            QCOMPARE(s.t.navigator.opened.size(), message.isEmpty() ? 1 : 0);
            QCOMPARE(s.t.boxes.errorTexts(), message.isEmpty() ? QStringList() : QStringList{message});
        }
    }

    // The choices stay after a sheet closed, so that the next one opens the same way.
    void handsTheChoiceOver() {
        Selection s("2026/12/06 12:00:00");
        s.choose(1, 4, "09");
        s.click(n::staffButton);
        s.click(n::individualButton);
        const QList<FakeNavigator::Opened>& opened = s.t.navigator.opened;
        QCOMPARE(opened.size(), 2);
        QCOMPARE(opened[0].screen + ' ' + opened[1].screen, "Form5 Form4");
        QCOMPARE(opened[0].properties, (QVariantMap{{"SheetYear", "09"}, {"SheetMonth", "05"}}));
        // The ID is split at the first colon only.
        QCOMPARE(
            opened[1].properties,
            (QVariantMap{
                {"TargetUserId", "a:b c"}, {"TargetUserName", "名前:x"}, {"SheetYear", "09"}, {"SheetMonth", "05"}}));
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
