#pragma once

#include <QString>
#include <QStringList>

namespace tsumiki {

// The application folder (the folder holding DB, excelテンプレート, 出力帳票 and 履歴) and whether it is the
// program's own folder.
struct ApplicationFolder {
    QString path;
    bool portable = false;
};

// The program's own folder when it holds a DB folder: the shop's own layout, and a copy of the program kept with
// its data on a stick or a shared folder. Otherwise the per-user folder `tsumiki` under $XDG_DATA_HOME, or under
// ~/.local/share when that variable is unset, empty or not an absolute path (such a value is to be ignored).
ApplicationFolder chooseApplicationFolder(const QString& programFolder, const QString& xdgDataHome,
                                          const QString& home);

// What completing a per-user folder added, as paths relative to it ("DB/ユーザー.csv").
struct Completion {
    QStringList created;
    // A user table written now holds only the starting administrator, who must be told how to log in.
    bool createdUsers() const;
};

// Gives `folder` every file of the starting folder's DB and excelテンプレート that it lacks, and the output folder
// 出力帳票. A file that is there is never replaced, whatever it holds: each new file is written in full under a
// temporary name and then moved to its name only if that name is still free, so neither a crash nor a second
// copy of the program starting at the same moment can leave a half-written table or overwrite one. Throws
// StoreError when a folder or file cannot be created, or when a folder without its tables has no starting
// folder to take them from.
Completion completeApplicationFolder(const QString& folder, const QString& startingFolder);

// The one-time notice after the starting tables were written into `folder`.
QString firstStartNotice(const QString& folder);

}  // namespace tsumiki
