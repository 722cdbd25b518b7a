#include "maintenance/editorchecks.h"

#include <QRegularExpression>
#include <QSet>

#include <cmath>
#include <limits>
#include <vector>

#include "attendance/datetext.h"
#include "store/inputhelpers.h"
#include "store/lookups.h"

namespace tsumiki {
namespace {

const QString kAdmin = QStringLiteral("管理者");

}  // namespace

std::optional<QString> checkUniqueKeys(const EditorRows& rows, const TableStore& store) {
    QSet<QString> seen;
    seen.reserve(rows.rowCount());
    for (int r = 1; r <= rows.rowCount(); ++r) {
        const QString key = rows.cell(r, 1);
        if (seen.contains(key)) {
            return GetMessageText(store, QStringLiteral("E00003"));
        }
        seen.insert(key);
    }
    return std::nullopt;
}

std::optional<QString> checkUsers(const EditorRows& rows, const TableStore& store) {
    if (auto failed = checkUniqueKeys(rows, store)) {
        return failed;
    }
    const int n = rows.rowCount();
    for (int r = 1; r <= n; ++r) {
        const QString id = rows.cell(r, 1);
        if (id.isEmpty()) {
            return GetMessageText(store, QStringLiteral("E00005"));
        }
        if (IsDoubleByteText(id)) {
            return GetMessageText(store, QStringLiteral("E00004"));
        }
        if (rows.cell(r, 2).isEmpty()) {
            return GetMessageText(store, QStringLiteral("E00014"));
        }
    }
    bool anyAdmin = false;
    for (int r = 1; r <= n; ++r) {
        const QString authority = rows.cell(r, 3);
        if (!authority.isEmpty() && authority != kAdmin) {
            return GetMessageText(store, QStringLiteral("E00007"));
        }
        anyAdmin = anyAdmin || authority == kAdmin;
    }
    if (!anyAdmin) {
        return GetMessageText(store, QStringLiteral("E00006"));
    }
    for (int r = 1; r <= n; ++r) {
        const QString price = rows.cell(r, 4);
        if (!storedPrice(price)) {
            return QStringLiteral(
                       "%1行目の単価「%2」は登録できません。単価は空白か、0から2,147,483,647までの整数で"
                       "入力してください。")
                .arg(r)
                .arg(price);
        }
    }
    return std::nullopt;
}

std::optional<QString> checkClockRows(const EditorRows& rows, const TableStore&) {
    const int n = rows.rowCount();
    // Whether some later row has the same user ID, date and kind, worked out from the last row up. Each text
    // goes into the key behind its length, so no choice of texts can make two different triples look alike.
    std::vector<bool> repeatedLater(std::size_t(n) + 1, false);
    QSet<QString> later;
    later.reserve(n);
    for (int r = n; r >= 1; --r) {
        QString key;
        for (int c : {1, 3, 5}) {
            const QString text = rows.cell(r, c);
            key += QString::number(text.size());
            key += u':';
            key += text;
        }
        repeatedLater[std::size_t(r)] = later.contains(key);
        later.insert(key);
    }
    for (int r = 1; r <= n; ++r) {
        const QString user = rows.cell(r, 1);
        const QString date = rows.cell(r, 3);
        if (user.isEmpty() && date.isEmpty()) {
            continue;
        }
        if (repeatedLater[std::size_t(r)]) {
            return QStringLiteral("同日付に複数の出勤か退出が存在します。修正してください。");
        }
        if (!IsDateText(date) || !IsDateText(rows.cell(r, 4))) {
            return QStringLiteral("存在しない日付が入力されたか、入力形式が違います。修正してください。");
        }
        const QString kind = rows.cell(r, 5);
        if (kind != QStringLiteral("出勤") && kind != QStringLiteral("退出")) {
            return QStringLiteral("区分には「出勤」か「退出」しか入力できません。修正してください。");
        }
        const QString douhan = rows.cell(r, 6);
        if (!douhan.isEmpty() && douhan != QStringLiteral("○")) {
            return QStringLiteral("同伴には「○」か空白しか入力できません。修正してください。");
        }
    }
    return std::nullopt;
}

std::optional<QString> storedPrice(const QString& cell) {
    if (cell.isEmpty()) {
        return QString();
    }
    static const QRegularExpression kWhole(QStringLiteral("^([0-9]+|[0-9]{1,3}(,[0-9]{3})+)$"));
    if (!kWhole.match(cell).hasMatch()) {
        return std::nullopt;
    }
    bool ok = false;
    const qint64 value = QString(cell).remove(u',').toLongLong(&ok);
    if (!ok || value > std::numeric_limits<qint32>::max()) {
        return std::nullopt;
    }
    return QString::number(value);
}

QString shownPrice(const QString& stored) {
    bool ok = false;
    const double value = stored.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e15) {
        return stored;
    }
    const qint64 whole = std::llround(value);
    QString digits = QString::number(whole < 0 ? -whole : whole);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3) {
        digits.insert(at, u',');
    }
    return whole < 0 ? u'-' + digits : digits;
}

}  // namespace tsumiki
