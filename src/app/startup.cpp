#include "app/startup.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QFontDatabase>

namespace tsumiki {
namespace {
constexpr qreal kMinimumPointSize = 12;
}  // namespace

QString startingFolder() {
    return QDir::cleanPath(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral(TSUMIKI_STARTING_FOLDER)));
}

void useJapaneseFont() {
    QFont font = QApplication::font();
    // Read at arm's length at a shop's counter; the screens scale their headings and times from this size.
    if (font.pointSizeF() > 0 && font.pointSizeF() < kMinimumPointSize) {
        font.setPointSizeF(kMinimumPointSize);
    }
    const QStringList installed = QFontDatabase::families();
    for (const QString& family : {QStringLiteral("IPAGothic"), QStringLiteral("IPAPGothic"),
                                  QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL Gothic")}) {
        if (installed.contains(family)) {
            font.setFamily(family);
            break;
        }
    }
    QApplication::setFont(font);
}

void checkDataFolder(const TableStore& store) {
    for (Table table : {Table::Control, Table::User, Table::Message, Table::Clock}) {
        store.read(table);
    }
}

}  // namespace tsumiki
