#pragma once

#include <QStringList>

#include <memory>

#include "maintenance/editortable.h"
#include "maintenance/tableeditor.h"
#include "screentestcontext.h"

namespace tsumiki::test {

// An application folder with users, messages (each text "<id>の文") and the table under test, and an editor on
// it driven by a small script of user actions, one per line:
//   at R C          make cell (R, C) current        type TEXT     type the characters
//   ime TEXT        commit TEXT from the input method key NAME  Backspace, Delete, Escape
//   ctrl L / ctrlshift L / clip TEXT   shortcuts and the clipboard
//   add             行追加                            del N | del F T   the delete box(es) ("-": empty), 行削除
//   save            登 録                             reopen        close the editor and open it afresh
//   append FIELDS   a clock row appended by the front desk (fields separated by "|")
//   replace LINE    the table file rewritten elsewhere with that one data line
struct EditorFixture : ScreenTestContext {
    EditorFixture(const EditorTable& table, const QStringList& rows);
    void run(const QStringList& script);
    // Each data row of the grid as its cells joined by "|", column 0 included.
    QStringList gridRows() const;
    // What the message boxes showed, as "title:text".
    QStringList messages() const;
    // The table file's data lines after its header.
    QStringList fileRows() const;

    const EditorTable& table;
    std::unique_ptr<TableEditor> editor;
};

}  // namespace tsumiki::test
