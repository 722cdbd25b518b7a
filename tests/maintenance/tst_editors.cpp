// The four table editors driven as a user does: the table file before, the actions, then the grid, the message
// boxes and the table file after.
#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "maintenance/mast_ctrl.h"
#include "maintenance/mast_kinmu.h"
#include "maintenance/mast_message.h"
#include "maintenance/mast_user.h"
#include "maintenance/tableeditor.h"
#include "screentestcontext.h"
#include "ui/grid/grid.h"

using namespace tsumiki;
using namespace tsumiki::test;

namespace {

// An application folder with users, messages (each text "<id>の文") and the table under test, and an editor on
// it driven by a script of user actions, one per line:
//   at R C           make cell (R, C) current          type TEXT    type the characters
//   ime TEXT         commit TEXT from the input method key CHORD    a key or chord as QKeySequence names it
//   clip [TEXT]      the clipboard, or empty it        add          行追加
//   del N | del F T  the delete box(es) ("-": empty), then 行削除  save   登 録
//   reopen           close the editor and open it afresh
//   append LINE      the line appended to the table file elsewhere (the front desk's clock-in)
//   replace LINE     the table file rewritten elsewhere with that one data line
struct Fixture : ScreenTestContext {
    Fixture(const EditorTable& edited, const QStringList& rows) : table(edited) {
        folder.writeEmptyTables();
        QStringList messages{"MSGID,MESSAGE"};
        for (int id = 1; id <= 14; ++id) {
            messages << QStringLiteral("E%1,E%1の文").arg(id, 5, 10, QLatin1Char('0'));
        }
        folder.writeTable(Table::Message, messages);
        folder.writeTable(Table::User,
                          {"ID,USERNAME,KENGEN,TANKA", "\"0001\",\"太郎\",\"ADMIN\",1200", "\"0002\",\"花子\",\"\","});
        folder.writeTable(table.table, QStringList{header()} + rows);
        run({"reopen"});
    }
    QString header() const { return schemaOf(table.table).columns.join(u','); }
    Grid* grid() const { return editor->findChild<Grid*>(); }
    void click(const char* button) const { editor->findChild<QPushButton*>(QLatin1String(button))->click(); }
    void fill(const char* box, const QString& text) const {
        editor->findChild<QLineEdit*>(QLatin1String(box))->setText(text == "-" ? QString() : text);
    }

    void run(const QStringList& script) {
        for (const QString& line : script) {
            const QString verb = line.section(u' ', 0, 0);
            const QString rest = line.section(u' ', 1);
            if (verb == "reopen") {
                editor = std::make_unique<TableEditor>(context, table);
                editor->show();
            } else if (verb == "at") {
                grid()->setRow(rest.section(u' ', 0, 0).toInt());
                grid()->setCol(rest.section(u' ', 1).toInt());
            } else if (verb == "type") {
                for (const QChar c : rest) {
                    QTest::sendKeyEvent(QTest::Click, grid(), Qt::Key_unknown, QString(c), Qt::NoModifier);
                }
            } else if (verb == "ime") {
                QInputMethodEvent event;
                event.setCommitString(rest);
                QCoreApplication::sendEvent(grid(), &event);
            } else if (verb == "key") {
                const QKeyCombination chord = QKeySequence(rest)[0];
                QTest::keyClick(grid(), chord.key(), chord.keyboardModifiers());
            } else if (verb == "clip") {
                rest.isEmpty() ? QGuiApplication::clipboard()->clear() : QGuiApplication::clipboard()->setText(rest);
            } else if (verb == "add") {
                click("cmdAdd");
            } else if (verb == "del" && table.deleteBy == DeleteBy::Range) {
                fill("txtDeleteNoF", rest.section(u' ', 0, 0));
                fill("txtDeleteNoT", rest.section(u' ', 1));
                click("cmdDelete");
            } else if (verb == "del") {
                fill("txtDeleteNo", rest);
                click("cmdDelete");
            } else if (verb == "save") {
                click("cmdUpdate");
            } else if (verb == "append") {
                folder.writeBytes(table.table, folder.bytes(table.table) + toCp932(rest + "\r\n"));
            } else if (verb == "replace") {
                folder.writeTable(table.table, {header(), rest});
            } else {
                qFatal("unknown script step");
            }
        }
    }

    // Each data row of the grid as its cells joined by "|", column 0 included.
    QStringList gridRows() const {
        QStringList rows;
        for (int r = 1; r < grid()->rows(); ++r) {
            QStringList cells;
            for (int c = 0; c < grid()->cols(); ++c) {
                cells << grid()->textMatrix(r, c);
            }
            rows << cells.join(u'|');
        }
        return rows;
    }
    const EditorTable& table;
    std::unique_ptr<TableEditor> editor;
};

const QString kAsk = QStringLiteral("更新確認:E00002の文");
const QStringList kAny{QStringLiteral("*")};        // not compared
const QStringList kUnchanged{QStringLiteral("=")};  // the file as before

QString refused(const char* id) {
    return QStringLiteral("更新エラー:%1の文").arg(QLatin1String(id));
}

const QStringList kControl{"CTL0004,15,,,丸め", ",x,,,", "\"CTL0003\",\"5:00\",\"\",\"\",\"日替\""};
const QStringList kUsers{"\"U2\",\"花子\",\"\",\"10000\"", "\"U1\",\"太郎\",\"ADMIN\",1200",
                         "\"U3\",\"次郎\",\"admin\","};
const QStringList kClock{"\"0002\",\"2026/12/05 5:00:00\",\"2026/12/05 18:00\",\"2\",\"\"",
                         "\"0001\",\"2026/12/05 5:00:00\",\"2026/12/05 09:00\",\"1\",\"1\"",
                         "\"\",\"2026/12/04\",\"2026/12/04 09:00\",\"1\",\"0\"",
                         "\"0099\",\"2026/12/04\",\"2026/12/04 10:00\",\"1\",\"0\""};
const QStringList kClockWritten{"\"0099\",\"2026/12/04\",\"2026/12/04 10:00\",\"1\",\"0\"",
                                "\"0001\",\"2026/12/05 5:00:00\",\"2026/12/05 09:00\",\"1\",\"1\"",
                                "\"0002\",\"2026/12/05 5:00:00\",\"2026/12/05 18:00\",\"2\",\"0\""};
const QString kClockDate =
    QStringLiteral("更新エラー:存在しない日付が入力されたか、入力形式が違います。修正してください。");

struct Session {
    const EditorTable* editor;
    QStringList before, script;
    QString answers;  // one per question asked, "y" or "n"
    QStringList grid, messages, after;
};

void row(const char* name, const EditorTable& editor, const QStringList& before, const QStringList& script,
         const char* answers, const QStringList& grid, const QStringList& messages, const QStringList& after) {
    QTest::newRow(name) << Session{&editor, before, script, answers, grid, messages, after};
}

}  // namespace

Q_DECLARE_METATYPE(Session)

class TestEditors : public QObject {
    Q_OBJECT

private slots:
    void session_data() {
        QTest::addColumn<Session>("s");

        // Load order, skipped empty keys, the written form.
        row("control: load sorted, save quotes every field", Mast_Ctrl::table(), kControl, {"save"}, "",
            {"1|CTL0003|5:00|||日替", "2|CTL0004|15|||丸め"}, {kAsk, "更新確認:E00011の文"},
            {"\"CTL0003\",\"5:00\",\"\",\"\",\"日替\"", "\"CTL0004\",\"15\",\"\",\"\",\"丸め\""});
        row("control: an empty file shows one unnumbered row; two empty keys are duplicates", Mast_Ctrl::table(), {},
            {"add", "save"}, "", {"|||||", "2|||||"}, {refused("E00003")}, kUnchanged);

        // Cell editing from the grid's keys.
        row("keys: type, input method, backspace, copy, paste, delete", Mast_Ctrl::table(), kControl,
            {"at 1 2", "key Del", "ime あ", "type 1", "key Backspace", "key Ctrl+C", "at 1 3", "key Ctrl+V", "at 1 4",
             "type x", "key Alt+C", "key Ctrl+Shift+V", "key Ctrl+X", "at 2 5", "clip", "key Ctrl+V", "at 2 1",
             "key Backspace", "type 9"},
            "", {"1|CTL0003|あ|あ|x|日替", "2|CTL0009|15|||"}, {}, kUnchanged);

        // The single-row delete.
        row("delete: messages, a three-character box, leading zeros, renumbering", Mast_Ctrl::table(),
            {"A,,,,", "B,,,,", "C,,,,"}, {"del", "del 0", "del 4", "del -1", "del 1.5", "del 0012", "del 2"}, "yn",
            {"1|B||||", "2|C||||"},
            {"エラー:削除する行を入力してください。", "エラー:行が存在しません", "エラー:行が存在しません",
             "エラー:行が存在しません", "エラー:行が存在しません", "行の削除確認:001行目を削除します。",
             "行の削除確認:2行目を削除します。"},
            kUnchanged);
        row("messages: the only row deleted leaves one empty row; two empty keys are duplicates", Mast_Message::table(),
            {"E00002,はい"}, {"del 1", "add", "save", "del 2", "save"}, "yyy", {"1||"},
            {"行の削除確認:1行目を削除します。", "更新エラー:errcode 'E00003'", "行の削除確認:2行目を削除します。",
             "更新確認:はい", "更新確認:errcode 'E00010'"},
            {","});

        // A message text with a comma survives although the table is written unquoted; the completion already
        // reads the saved text.
        row("messages: comma text round trip", Mast_Message::table(), {"E00010,保存しました", "E00002,保存しますか"},
            {"at 2 2", "type 、OK,1", "save", "reopen"}, "", {"1|E00002|保存しますか", "2|E00010|保存しました、OK,1"},
            {"更新確認:保存しますか", "更新確認:保存しました、OK,1"},
            {"E00002,保存しますか", "E00010,\"保存しました、OK,1\""});

        // The user table: 管理者 <-> ADMIN, prices, and every check in its order.
        row("users: two empty ids are duplicates first", Mast_User::table(), kUsers, {"add", "add", "save"}, "", kAny,
            {refused("E00003")}, kUnchanged);
        row("users: each refusal in its turn, mended, then saved", Mast_User::table(), kUsers,
            {"at 3 1",  "key Del", "save",       "ime ＡＢＣ",    "save",       "key Del", "ime Aあ", "at 3 2",
             "key Del", "save",    "ime 次郎",   "at 3 3",        "type ADMIN", "save",    "key Del", "at 1 3",
             "key Del", "save",    "ime 管理者", "at 3 4",        "type 1.5",   "save",    "key Del", "type 2,500",
             "at 3 2",  "ime 😀",   "save",       "key Backspace", "save"},
            "", {"1|U1|太郎|管理者|1,200", "2|U2|花子||10,000", "3|Aあ|次郎||2,500"},
            {refused("E00005"), refused("E00004"), refused("E00014"), refused("E00007"), refused("E00006"),
             "更新エラー:3行目の単価「1.5」は登録できません。単価は空白か、0から2,147,483,647までの整数で入力して"
             "ください。",
             "更新エラー:3行目の「ニックネーム」にある文字「😀」(U+1F600)はファイルに保存できません。"
             "別の文字に置き換えてから登録してください。",
             kAsk, "更新確認:E00008の文"},
            {"\"U1\",\"太郎\",\"ADMIN\",1200", "\"U2\",\"花子\",\"\",10000", "\"Aあ\",\"次郎\",\"\",2500"});
        // Half-width names are also valid UTF-8 (Cyrillic, Greek): the saved file must still read as code page 932.
        row("users: half-width names saved and read again", Mast_User::table(),
            {"\"0001\",\"ﾐｷ\",\"ADMIN\",", "\"0002\",\"ﾅｵ\",\"\","},
            {"add", "at 3 1", "type 0003", "at 3 2", "ime ﾏｷ", "at 3 4", "type 1000", "save", "reopen"}, "",
            {"1|0001|ﾐｷ|管理者|", "2|0002|ﾅｵ||", "3|0003|ﾏｷ||1,000"}, {kAsk, "更新確認:E00008の文"}, kAny);
        row("users: ids that differ only in a wave dash the file stores alike", Mast_User::table(), kUsers,
            {"at 2 1", "key Del", "ime A\u301C", "at 3 1", "key Del", "ime A\uFF5E", "save"}, "", kAny,
            {refused("E00003")}, kUnchanged);

        // The clock records: question first, checks row by row, codes written, range delete.
        // A declined question checks nothing: the rows as loaded would have been saved.
        row("clock: rows checked in turn, a bad date before a later duplicate and a duplicate before a later bad date",
            Mast_Kinmu::table(), kClock,
            {"save", "at 3 1", "key Del", "type 0001", "at 3 5", "key Del", "ime 出勤", "at 1 3", "type x", "save",
             "key Backspace", "at 3 4", "type x", "save"},
            "n", kAny,
            {kAsk, kAsk, kClockDate, kAsk, "更新エラー:同日付に複数の出勤か退出が存在します。修正してください。"},
            kUnchanged);
        row("clock: kind and 同伴 take their words only; mended rows written in codes, an empty added row unchecked",
            Mast_Kinmu::table(), kClock,
            {"at 2 5", "key Backspace", "save", "ime 勤", "at 3 6", "type 1", "save", "key Backspace", "ime ○", "add",
             "at 4 4", "type 9:00", "save"},
            "", kAny,
            {kAsk, "更新エラー:区分には「出勤」か「退出」しか入力できません。修正してください。", kAsk,
             "更新エラー:同伴には「○」か空白しか入力できません。修正してください。", kAsk, "更新確認:E00012の文"},
            kClockWritten.first(2) + QStringList{"\"0002\",\"2026/12/05 5:00:00\",\"2026/12/05 18:00\",\"2\",\"1\"",
                                                 "\"\",\"\",\"9:00\",\"2\",\"0\""});
        row("clock: range delete messages and deleting all rows", Mast_Kinmu::table(), kClock,
            {"del - -", "del 4 -", "del - 0", "del 3 2", "del 2 2", "del - 3", "del 1 3"}, "nny", {"1||||||"},
            {"エラー:削除する行を入力してください。", "エラー:存在しない行を含んでいます。",
             "エラー:存在しない行を含んでいます。", "エラー:削除対象行の大小関係が正しくありません。",
             "行の削除確認:2行目から、2行目を削除します。", "行の削除確認:3行目を削除します。",
             "行の削除確認:1行目から、3行目を削除します。"},
            kUnchanged);
        row("clock: rows appended meanwhile are kept", Mast_Kinmu::table(), kClock,
            {"del 1 -", "append \"0002\",\"2026/12/06\",\"2026/12/06 09:00\",\"1\",\"0\"", "save", "save"}, "",
            {"1|0001|太郎|2026/12/05 5:00:00|2026/12/05 09:00|出勤|○",
             "2|0002|花子|2026/12/05 5:00:00|2026/12/05 18:00|退出|"},
            {"行の削除確認:1行目を削除します。", kAsk, "更新確認:E00012の文",
             "更新確認:"
             "この画面を開いた後に追加された1行は、消さずにファイルの最後に残しました。表示するには画面を"
             "開き直してください。",
             kAsk, "更新確認:E00012の文"},
            kClockWritten.mid(1) + QStringList{"\"0002\",\"2026/12/06\",\"2026/12/06 09:00\",\"1\",\"0\""});
        // Loaded by date and time, with nicknames (none for an unknown user), a row without its keys skipped.
        row("clock: a file changed elsewhere is not overwritten", Mast_Kinmu::table(), kClock,
            {"replace \"0001\",\"2026/12/07\",\"2026/12/07 09:00\",\"1\",\"0\"", "save"}, "",
            {"1|0099||2026/12/04|2026/12/04 10:00|出勤|", "2|0001|太郎|2026/12/05 5:00:00|2026/12/05 09:00|出勤|○",
             "3|0002|花子|2026/12/05 5:00:00|2026/12/05 18:00|退出|"},
            {kAsk,
             "更新エラー:ファイル「個人出退勤時間.csv」は、この画面を開いた後に別の画面またはプログラムで変更された"
             "ため、登録を中止しました（ファイルは変更していません）。画面を閉じて開き直してから、もう一度修正して"
             "ください。"},
            {"\"0001\",\"2026/12/07\",\"2026/12/07 09:00\",\"1\",\"0\""});
    }

    void session() {
        QFETCH(Session, s);
        Fixture fixture(*s.editor, s.before);
        const QByteArray original = fixture.folder.bytes(s.editor->table);
        for (QChar a : s.answers) {
            fixture.boxes.answers << (a == u'y');
        }
        fixture.run(s.script);
        if (s.grid != kAny) {
            QCOMPARE(fixture.gridRows(), s.grid);
        }
        QStringList shown;  // what the message boxes showed, as "title:text"
        for (const ShownMessage& m : fixture.boxes.shown) {
            shown << m.title + u':' + m.text;
        }
        QCOMPARE(shown, s.messages);
        const QByteArray file = fixture.folder.bytes(s.editor->table);
        if (s.after == kUnchanged) {
            QCOMPARE(file, original);
        } else if (s.after != kAny) {  // the header, the rows, CR LF after each
            QCOMPARE(fromCp932(file).split("\r\n"), QStringList{fixture.header()} + s.after + QStringList{""});
        }
    }

    // The clock records open at their newest row, which is current and in view; a key typed when the view was
    // scrolled away brings that row back into view before it changes it.
    void aKeyNeverChangesACellOutOfSight() {
        QStringList rows;
        for (int i = 0; i < 300; ++i) {
            rows << clockRow(QString::number(i).rightJustified(4, u'0'), "2026/01/01",
                             "2026/01/01 " + QTime(0, 0).addSecs(60 * i).toString("hh:mm"), "1", "0");
        }
        Fixture fixture(Mast_Kinmu::table(), rows);
        QCoreApplication::processEvents();
        Grid* grid = fixture.grid();
        auto inView = [grid] { return grid->viewport()->rect().intersects(grid->visualRect(grid->currentIndex())); };
        QCOMPARE(grid->row(), 300);
        QVERIFY(inView());
        grid->scrollToTop();
        QVERIFY(!inView());
        fixture.run({"type 7"});
        QVERIFY(inView());
        QCOMPARE(fixture.gridRows().last().section(u'|', 0, 1), "300|02997");
    }

    // Closed and shown again, the same editor is a new opening: the file as it is, the typed 5 gone; the grid once
    // refused the second load's rows.
    void shownAgainLoadsAfresh() {
        Fixture fixture(Mast_Kinmu::table(), kClock);
        fixture.run({"at 1 1", "type 5"});
        fixture.editor->close();
        fixture.editor->show();
        QCOMPARE(fixture.gridRows().first(), "1|0099||2026/12/04|2026/12/04 10:00|出勤|");
    }
};

QTEST_MAIN(TestEditors)
#include "tst_editors.moc"
