#include "editorscript.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "store/queries.h"
#include "ui/grid/grid.h"

namespace tsumiki::test {
namespace {

Grid* gridOf(QWidget& editor) {
    return editor.findChild<Grid*>(QStringLiteral("MSFlexGrid1"));
}

void click(QWidget& editor, const char* name) {
    editor.findChild<QPushButton*>(QLatin1String(name))->click();
}

void typeNumber(QWidget& editor, const char* name, const QString& text) {
    editor.findChild<QLineEdit*>(QLatin1String(name))->setText(text == QStringLiteral("-") ? QString() : text);
}

Qt::Key keyNamed(const QString& name) {
    static const QHash<QString, Qt::Key> named{
        {"Backspace", Qt::Key_Backspace}, {"Delete", Qt::Key_Delete}, {"Escape", Qt::Key_Escape}};
    return named.value(name, Qt::Key(Qt::Key_A + (name.front().toUpper().unicode() - u'A')));
}

}  // namespace

EditorFixture::EditorFixture(const EditorTable& t, const QStringList& rows) : table(t) {
    folder.writeEmptyTables();
    QStringList messages{QStringLiteral("MSGID,MESSAGE")};
    for (const char* id : {"E00002", "E00003", "E00004", "E00005", "E00006", "E00007", "E00008", "E00010", "E00011",
                           "E00012", "E00014"}) {
        messages << QStringLiteral("%1,%1の文").arg(QLatin1String(id));
    }
    folder.writeTable(Table::Message, messages);
    folder.writeTable(Table::User,
                      {QStringLiteral("ID,USERNAME,KENGEN,TANKA"), QStringLiteral("\"0001\",\"太郎\",\"ADMIN\",1200"),
                       QStringLiteral("\"0002\",\"花子\",\"\",")});
    folder.writeTable(table.table, QStringList{schemaOf(table.table).columns.join(u',')} + rows);
    run({QStringLiteral("reopen")});
}

void EditorFixture::run(const QStringList& script) {
    for (const QString& line : script) {
        const qsizetype space = line.indexOf(u' ');
        const QString verb = line.left(space < 0 ? line.size() : space);
        const QString rest = space < 0 ? QString() : line.mid(space + 1);
        const QStringList words = rest.split(u' ');
        Grid* grid = editor ? gridOf(*editor) : nullptr;
        if (verb == QStringLiteral("reopen")) {
            editor = std::make_unique<TableEditor>(context, table);
            editor->show();
        } else if (verb == QStringLiteral("at")) {
            grid->setRow(words[0].toInt());
            grid->setCol(words[1].toInt());
        } else if (verb == QStringLiteral("type")) {
            for (const QChar c : rest) {
                if (c.unicode() < 0x80) {
                    QTest::keyClick(grid, char(c.unicode()));
                } else {
                    QTest::sendKeyEvent(QTest::Click, grid, Qt::Key_unknown, QString(c), Qt::NoModifier);
                }
            }
        } else if (verb == QStringLiteral("ime")) {
            QInputMethodEvent event;
            event.setCommitString(rest);
            QCoreApplication::sendEvent(grid, &event);
        } else if (verb == QStringLiteral("key")) {
            QTest::keyClick(grid, keyNamed(rest));
        } else if (verb == QStringLiteral("ctrl")) {
            QTest::keyClick(grid, keyNamed(rest), Qt::ControlModifier);
        } else if (verb == QStringLiteral("ctrlshift")) {
            QTest::keyClick(grid, keyNamed(rest), Qt::ControlModifier | Qt::ShiftModifier);
        } else if (verb == QStringLiteral("clip")) {
            rest.isEmpty() ? QGuiApplication::clipboard()->clear() : QGuiApplication::clipboard()->setText(rest);
        } else if (verb == QStringLiteral("add")) {
            click(*editor, "cmdAdd");
        } else if (verb == QStringLiteral("del")) {
            if (table.deleteBy == DeleteBy::Range) {
                typeNumber(*editor, "txtDeleteNoF", words[0]);
                typeNumber(*editor, "txtDeleteNoT", words[1]);
            } else {
                typeNumber(*editor, "txtDeleteNo", rest);
            }
            click(*editor, "cmdDelete");
        } else if (verb == QStringLiteral("save")) {
            click(*editor, "cmdUpdate");
        } else if (verb == QStringLiteral("append")) {
            QList<Value> fields;
            for (const QString& f : rest.split(u'|')) {
                fields << (f.isEmpty() ? Value() : Value(f));
            }
            store.append(table.table, fields);
        } else if (verb == QStringLiteral("replace")) {
            folder.writeTable(table.table, {schemaOf(table.table).columns.join(u','), rest});
        } else {
            qFatal("unknown script step");
        }
    }
}

QStringList EditorFixture::gridRows() const {
    const Grid* grid = gridOf(*editor);
    QStringList rows;
    for (int r = 1; r < grid->rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->cols(); ++c) {
            cells << grid->textMatrix(r, c);
        }
        rows << cells.join(u'|');
    }
    return rows;
}

QStringList EditorFixture::messages() const {
    QStringList out;
    for (const ShownMessage& m : boxes.shown) {
        out << m.title + u':' + m.text;
    }
    return out;
}

QStringList EditorFixture::fileRows() const {
    QStringList lines = fromCp932(folder.bytes(table.table)).split(QStringLiteral("\r\n"));
    if (lines.size() < 2 || lines.front() != schemaOf(table.table).columns.join(u',') || !lines.back().isEmpty()) {
        return {QStringLiteral("<not a table file>")};
    }
    return lines.mid(1, lines.size() - 2);
}

}  // namespace tsumiki::test
