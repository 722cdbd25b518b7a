#include <QDir>
#include <QFile>
#include <QTest>

#include "fakespreadsheet.h"
#include "sheets/aggregation.h"
#include "sheets/sheetcontent.h"
#include "sheets/workbookexport.h"
#include "testsupport.h"
#include "workbook/libreofficespreadsheet.h"
#include "workbook/xlsencryption.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {

const QString kMonth = QStringLiteral("2026年11月");
const QString kPassword = QStringLiteral("pass word");

// The individual sheet of November 2026 as the screen shows it.
IndividualWorkbookContent individual(const TableStore& store, const QString& id, const QString& name,
                                     const QString& price) {
    const IndividualSheet sheet = BuildIndividualSheet(store, id, QDate(2026, 11, 1));
    IndividualWorkbookContent c{id, name, kMonth, price, {}};
    for (const IndividualSheetDay& d : sheet.days) {
        c.days.append({d.day, d.weekday, d.start, d.end, d.douhan});
    }
    return c;
}

}  // namespace

class TestWorkbookExport : public QObject {
    Q_OBJECT
private slots:

    void initTestCase() {
        if (!LibreOfficeSpreadsheet::isInstalled({})) {
            QSKIP("LibreOffice Calc is not installed; the export tests need " TSUMIKI_OFFICE_PROGRAM_DIR "/soffice");
        }
        office_ = std::make_unique<LibreOfficeSpreadsheet>(LibreOfficeSettings{.profileFolder = profile_.path()});
    }

    void cleanupTestCase() { office_.reset(); }

    // A person's clock rows in November 2026; no output folder yet.
    void init() {
        folder_ = std::make_unique<TempAppFolder>();
        folder_->writeEmptyTables();
        setPassword(kPassword);
        folder_->writeClockRows({clockRow("0002", "2026/11/01 5:00:00", "2026/11/01 09:00", "1"),
                                 clockRow("0002", "2026/11/01 5:00:00", "2026/11/01 18:00", "2"),
                                 clockRow("0002", "2026/11/02 5:00:00", "2026/11/02 20:00", "1", "1"),
                                 clockRow("0002", "2026/11/02 5:00:00", "2026/11/03 02:00", "2"),
                                 clockRow("0002", "2026/11/03 5:00:00", "2026/11/03 23:00", "2"),
                                 clockRow("0002", "2026/11/04 5:00:00", "2026/11/04 09:00", "1"),
                                 clockRow("0002", "2026/11/04 5:00:00", "2026/11/05 09:00", "2"),
                                 clockRow("0002", "2026/11/06 5:00:00", "2026/11/06 19:00", "1", "1")});
        const QDir app(folder_->path());
        app.mkpath("excelテンプレート");
        for (const char* name : {"勤務表個人.xls", "勤務表全員.xls"}) {
            QFile::copy(QStringLiteral(TSUMIKI_TEMPLATE_DIR "/") + name,
                        app.filePath(QStringLiteral("excelテンプレート/") + name));
        }
        store_ = std::make_unique<TableStore>(folder_->path());
        boxes_.shown.clear();
        export_ = std::make_unique<WorkbookExport>(*store_, boxes_, *office_, pause_);
    }

    void fileNameSafe() {
        const QString all = QStringLiteral("a/b\\c:d*e?f\"g<h>i|j") + QChar(0) + u'k';
        QCOMPARE(FileNameSafe(all), QStringLiteral("a／b＼c：d＊e？f＂g＜h＞i｜j_k"));
    }

    // A new workbook from the template; a second export into it fills only its empty cells, so that what was typed
    // by hand stays; a changed password leaves it as it is.
    void individualWorkbook() {
        QVERIFY(export_->exportIndividual(individual(*store_, "0002", "さくら", "1000")));
        QVERIFY2(boxes_.shown.isEmpty(), qPrintable(boxes_.shown.value(0).text));
        QCOMPARE(pause_.lastSeconds, 3);
        const QString output = folder_->path() + "/出力帳票/勤務表個人_さくら_2026年11月.xls";
        QCOMPARE(XlsEncryptionOf(output), XlsEncryption::Encrypted);
        QVERIFY(!office_->open(output, QString()));
        {
            std::unique_ptr<Workbook> book = openSaved(output);
            QVERIFY(book);
            QCOMPARE(book->isSheetProtected(), true);
            const auto text = [&](int r, int c) { return book->cell(r, c)->text; };
            QCOMPARE(text(2, 5), QStringLiteral("0002"));
            QCOMPARE(text(3, 5), QStringLiteral("さくら"));
            QCOMPARE(text(4, 2), kMonth);
            // Day rows: B C D E F I; ends on the 48-hour clock, but not without a start; a day with a start only; a
            // 30-day month leaves row 37 alone.
            const QStringList expected = {"1|日|09:00|～|18:00|", "2|月|20:00|～|26:00|○", "3|火||～|23:00|",
                                          "4|水|09:00|～|33:00|", "6|金|19:00|～||○",      "30|月||～||"};
            QStringList actual;
            for (int r : {7, 8, 9, 10, 12, 36, 37}) {
                actual << QStringList{text(r, 2), text(r, 3), text(r, 4), text(r, 5), text(r, 6), text(r, 9)}.join(
                    u'|');
            }
            QCOMPARE(actual, expected + QStringList{"|||||"});
            // The template's own formulas give the screen's total and pay.
            const IndividualSheet sheet = BuildIndividualSheet(*store_, "0002", QDate(2026, 11, 1));
            QCOMPARE(text(38, 7), sheet.totalText);
            QCOMPARE(text(43, 6), FormatAmount(AmountFromTotal(sheet.totalText, 1000, 15)));
            QVERIFY(book->unprotectSheet());
            QVERIFY(book->writeText(10, 4, "手書き"));
            QVERIFY(book->saveAs(output, kPassword));
        }
        // A clock-out for day 6 arrives, and the price changes; the box is empty.
        folder_->writeClockRows({clockRow("0002", "2026/11/04 5:00:00", "2026/11/04 09:00", "1"),
                                 clockRow("0002", "2026/11/06 5:00:00", "2026/11/06 19:00", "1", "1"),
                                 clockRow("0002", "2026/11/06 5:00:00", "2026/11/06 23:30", "2")});
        QVERIFY(export_->exportIndividual(individual(*store_, "0002", "さくら", "")));
        {
            std::unique_ptr<Workbook> book = openSaved(output);
            QVERIFY(book);
            QCOMPARE(book->cell(10, 4)->text, QStringLiteral("手書き"));
            QCOMPARE(book->cell(7, 6)->text, QStringLiteral("18:00"));   // kept from the first export
            QCOMPARE(book->cell(12, 6)->text, QStringLiteral("23:30"));  // was empty, now filled
            QCOMPARE(book->cell(43, 4)->text, QStringLiteral("0"));      // always rewritten
        }
        const QByteArray before = test::fileBytes(output);
        setPassword("pw2");
        QVERIFY(!export_->exportIndividual(individual(*store_, "0002", "さくら", "1000")));
        const QStringList errors = boxes_.errorTexts();
        const QString kept =
            "以前に出力したブックを開けないため、Excel出力を中止しました。ブックはそのまま残してあります。\n";
        QVERIFY2(errors.size() == 1 && errors[0].startsWith(kept) && errors[0].contains(u"パスワード"),
                 qPrintable(errors.join(u'\n')));
        QCOMPARE(test::fileBytes(output), before);
    }

    void staffWorkbookIsRebuilt() {
        const StaffWorkbookContent content{
            kMonth, {{"さくら", "123:05", "123,000"}, {"", "0:00", "0"}, {"a/b", "7:07", "8,400"}}};
        QVERIFY(export_->exportStaff(content));
        const QString output = export_->staffOutputPath(kMonth);
        {
            std::unique_ptr<Workbook> book = openSaved(output);
            QVERIFY(book && book->unprotectSheet());
            QVERIFY(book->writeText(20, 3, "余計な行"));
            QVERIFY(book->saveAs(output, kPassword));
        }
        QVERIFY(export_->exportStaff(content));
        std::unique_ptr<Workbook> book = openSaved(output);
        QVERIFY(book);
        QCOMPARE(book->cell(2, 2)->text, kMonth);
        QStringList rows;
        for (int r : {5, 6, 7, 20}) {
            rows << QStringList{book->cell(r, 3)->text, book->cell(r, 5)->text, book->cell(r, 6)->text}.join(u'|');
        }
        QCOMPARE(rows, (QStringList{"さくら|123:05|123,000", "|0:00|0", "a/b|7:07|8,400", "||"}));
        QCOMPARE(book->cell(3, 5)->text, QStringLiteral("130:12"));
        QCOMPARE(book->cell(3, 6)->text, QStringLiteral("131,400"));
        book.reset();
        // An empty password saves without one.
        setPassword("");
        QVERIFY(export_->exportStaff(content));
        QCOMPARE(XlsEncryptionOf(output), XlsEncryption::Plain);
    }

    // A stale lock is the office adapter's test's.
    void refusals() {
        // A nickname with "/" lands in a file of its own, found again by the next export.
        QVERIFY(export_->exportIndividual(individual(*store_, "0003", "a/b", "1200")));
        const QString output = folder_->path() + "/出力帳票/勤務表個人_a／b_2026年11月.xls";
        std::unique_ptr<Workbook> held = openSaved(output);
        QVERIFY(held);
        QVERIFY(!export_->exportIndividual(individual(*store_, "0003", "a/b", "1200")));
        QCOMPARE(boxes_.errorTexts(), QStringList{"ファイルは使用中です。ファイルを終了してください。"});
        held.reset();
        QVERIFY(export_->exportIndividual(individual(*store_, "0003", "a/b", "1200")));
        boxes_.shown.clear();
        QDir(folder_->path() + "/excelテンプレート").removeRecursively();
        QVERIFY(!export_->exportIndividual(individual(*store_, "0002", "さくら", "1000")));
        QVERIFY(!export_->exportStaff({kMonth, {}}));
        QCOMPARE(boxes_.errorTexts(), QStringList(2, QStringLiteral("テンプレートファイルが見つかりません。")));
    }

private:
    std::unique_ptr<Workbook> openSaved(const QString& path) {
        std::unique_ptr<Workbook> book = office_->open(path, kPassword);
        if (!book) {
            qWarning() << office_->errorString();
        }
        return book;
    }
    void setPassword(const QString& password) {
        folder_->writeTable(Table::Control,
                            {"CTLCODE,CODE1,CODE2,CODE3,COMMENT", "\"CTL0003\",\"05:00\",,,", "\"CTL0004\",\"15\",,,",
                             QStringLiteral("\"CTL0005\",\"%1\",,,").arg(password)});
    }

    std::unique_ptr<TempAppFolder> folder_;
    std::unique_ptr<TableStore> store_;
    std::unique_ptr<LibreOfficeSpreadsheet> office_;
    QTemporaryDir profile_;
    RecordingMessageBoxes boxes_;
    RecordingPause pause_;
    std::unique_ptr<WorkbookExport> export_;
};

QTEST_GUILESS_MAIN(TestWorkbookExport)
#include "tst_workbookexport.moc"
