#include "maintenance/editorchecks.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "attendance/datetext.h"
#include "store/cp932.h"
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

namespace {

bool isAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
}

// The date rule for a cell, read from its stored bytes where it can be.
bool isDateCell(const EditorRows& rows, int row, int col) {
    if (const std::optional<QByteArrayView> stored = rows.storedBytes(row, col)) {
        return isAscii(*stored) ? IsDateText(*stored) : IsDateText(cp932::decode(*stored).text);
    }
    return IsDateText(rows.cell(row, col));
}

bool isEmptyCell(const EditorRows& rows, int row, int col) {
    const std::optional<QByteArrayView> stored = rows.storedBytes(row, col);
    return stored ? stored->isEmpty() : rows.cell(row, col).isEmpty();
}

// A hash of a cell that is the same for equal texts whether they come from stored bytes or from the grid.
quint64 cellHash(const EditorRows& rows, int row, int col, quint64 seed) {
    if (const std::optional<QByteArrayView> stored = rows.storedBytes(row, col)) {
        return qHash(*stored, size_t(seed));
    }
    const QString text = rows.cell(row, col);
    const cp932::Encoded encoded = cp932::encode(text);
    // Text the file cannot carry is equal to no stored text; it only needs to hash alike with itself.
    return encoded.errorIndex < 0 ? qHash(QByteArrayView(encoded.bytes), size_t(seed)) : qHash(text, size_t(seed)) ^ 1;
}

}  // namespace

std::optional<QString> checkClockRows(const EditorRows& rows, const TableStore&) {
    const int n = rows.rowCount();
    // Whether some later row has the same user ID, date and kind: rows sorted by a hash of the three, and rows
    // of equal hash compared by their texts. The kind column shows constant texts, so it is hashed as shown.
    std::vector<std::pair<quint64, int>> keyed;
    keyed.reserve(std::size_t(n));
    for (int r = 1; r <= n; ++r) {
        const quint64 h = cellHash(rows, r, 1, 0x9e3779b97f4a7c15ULL) * 31 + cellHash(rows, r, 3, 0x85ebca6bULL);
        keyed.emplace_back(h * 31 + qHash(rows.cell(r, 5), size_t(0xc2b2ae35ULL)), r);
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<bool> repeatedLater(std::size_t(n) + 1, false);
    auto sameTexts = [&](int a, int b) {
        return rows.cell(a, 1) == rows.cell(b, 1) && rows.cell(a, 3) == rows.cell(b, 3) &&
               rows.cell(a, 5) == rows.cell(b, 5);
    };
    for (std::size_t i = 0; i < keyed.size();) {
        std::size_t end = i + 1;
        while (end < keyed.size() && keyed[end].first == keyed[i].first) {
            ++end;
        }
        // Within one hash (rows ascending), a row is repeated later when a later row has its texts.
        for (std::size_t a = i; a + 1 < end; ++a) {
            for (std::size_t b = a + 1; b < end && !repeatedLater[std::size_t(keyed[a].second)]; ++b) {
                repeatedLater[std::size_t(keyed[a].second)] = sameTexts(keyed[a].second, keyed[b].second);
            }
        }
        i = end;
    }
    for (int r = 1; r <= n; ++r) {
        if (isEmptyCell(rows, r, 1) && isEmptyCell(rows, r, 3)) {
            continue;
        }
        if (repeatedLater[std::size_t(r)]) {
            return QStringLiteral("同日付に複数の出勤か退出が存在します。修正してください。");
        }
        if (!isDateCell(rows, r, 3) || !isDateCell(rows, r, 4)) {
            return QStringLiteral("存在しない日付が入力されたか、入力形式が違います。修正してください。");
        }
        if (rows.isUnchanged(r)) {
            continue;
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
