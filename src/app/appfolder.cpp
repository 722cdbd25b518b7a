#include "app/appfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "store/storeerror.h"

namespace tsumiki {
namespace {

const QString kUsers = QStringLiteral("DB/ユーザー.csv");

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

StoreError cannotCreate(const QString& path, const QString& reason) {
    return StoreError(QStringLiteral("データフォルダに「%1」を作成できません。（%2）").arg(native(path), reason));
}

void makeFolder(const QString& path) {
    if (!QDir().mkpath(path)) {
        throw StoreError(
            QStringLiteral("データフォルダ「%1」を作成できません。書き込みの権限とディスクの空きを確かめてください。")
                .arg(native(path)));
    }
}

void syncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes a copy of `source` at `target` when `target` is missing; true when it wrote one.
bool copyIfMissing(const QString& source, const QString& target) {
    if (QFileInfo::exists(target)) {
        return false;
    }
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        throw cannotCreate(target, QStringLiteral("「%1」を読めません: %2").arg(native(source), in.errorString()));
    }
    const QByteArray bytes = in.readAll();
    QTemporaryFile temp(QFileInfo(target).absolutePath() + QStringLiteral("/.tsumiki-XXXXXX"));
    if (!temp.open() || temp.write(bytes) != bytes.size() || !temp.flush() || ::fsync(temp.handle()) != 0) {
        throw cannotCreate(target, temp.errorString());
    }
    // The temporary file takes the name only while it is free. File systems without the no-replace rename get a
    // hard link instead, which fails just the same when the name is taken.
    const QByteArray from = QFile::encodeName(temp.fileName());
    const QByteArray to = QFile::encodeName(target);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        temp.setAutoRemove(false);
    } else if ((errno != EINVAL && errno != ENOSYS) || ::link(from.constData(), to.constData()) != 0) {
        if (errno == EEXIST) {
            return false;  // another copy of the program made it meanwhile
        }
        throw cannotCreate(target, QString::fromLocal8Bit(std::strerror(errno)));
    }
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

}  // namespace

ApplicationFolder chooseApplicationFolder(const QString& programFolder, const QString& xdgDataHome,
                                          const QString& home) {
    if (QFileInfo(QDir(programFolder).filePath(QStringLiteral("DB"))).isDir()) {
        return {programFolder, true};
    }
    const QString dataHome = QDir::isAbsolutePath(xdgDataHome) ? xdgDataHome : home + QStringLiteral("/.local/share");
    return {QDir::cleanPath(dataHome + QStringLiteral("/tsumiki")), false};
}

bool Completion::createdUsers() const {
    return created.contains(kUsers);
}

Completion completeApplicationFolder(const QString& folder, const QString& startingFolder) {
    const QDir starting(startingFolder);
    const QDir app(folder);
    if (!starting.exists(QStringLiteral("DB"))) {
        if (app.exists(QStringLiteral("DB"))) {
            return {};  // a folder in use; the start's check of its tables reports anything missing
        }
        throw StoreError(QStringLiteral("新しいデータフォルダに入れる初期データ「%1」が見つかりません。"
                                        "プログラムをインストールし直してください。")
                             .arg(native(starting.filePath(QStringLiteral("DB")))));
    }
    QStringList wanted;
    for (const QString& sub : {QStringLiteral("excelテンプレート"), QStringLiteral("DB")}) {
        makeFolder(app.filePath(sub));
        for (const QString& name : QDir(starting.filePath(sub)).entryList(QDir::Files, QDir::Name)) {
            wanted << sub + u'/' + name;
        }
    }
    makeFolder(app.filePath(QStringLiteral("出力帳票")));
    // The user table last: once it is there the folder counts as started, and its notice is due only then.
    if (wanted.removeAll(kUsers) > 0) {
        wanted << kUsers;
    }
    Completion done;
    for (const QString& file : wanted) {
        if (copyIfMissing(starting.filePath(file), app.filePath(file))) {
            done.created << file;
        }
    }
    return done;
}

QString firstStartNotice(const QString& folder) {
    return QStringLiteral(
               "新しいデータフォルダを作成しました。\n\n%1\n\n"
               "勤務の記録と設定はすべてこのフォルダに保存されます。バックアップはこのフォルダごとコピーしてください。"
               "\n\n"
               "最初は管理者のユーザーID「0001」でログインし、「メンテナンス」の「ユーザーマスタ」でスタッフを登録して"
               "ください。")
        .arg(native(folder));
}

}  // namespace tsumiki
