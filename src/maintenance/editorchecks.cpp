#include "maintenance/editorchecks.h"

#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "attendance/datetext.h"
#include "maintenance/bystoredvalue.h"
#include "store/cp932.h"
#include "store/inputhelpers.h"
#include "store/lookups.h"
#include "store/numbertext.h"

namespace tsumiki {
namespace {

const QString kAdmin = QStringLiteral("管理者");

}  // namespace

std::optional<QString> checkUniqueKeys(const EditorRows& rows, const TableStore& store) {
    QSet<QString> seen;
    seen.reserve(rows.rowCount());
    for (int r = 1; r <= rows.rowCount(); ++r) {
        // Keys that differ only in a character the file stores alike (〜 and ～) become one key once saved.
        const QString key = cp932::asStored(rows.cell(r, 1));
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

constexpr int kClockColumns = 7;

// A hash of a stored value, a few multiplications for the short values of a clock row; the general hash costs
// more than the rest of the row's check.
size_t bytesHash(QByteArrayView bytes, size_t seed) {
    auto mix = [](quint64 h, quint64 word) {
        h = (h ^ word) * 0xBF58476D1CE4E5B9ULL;
        return h ^ (h >> 31);
    };
    quint64 h = seed ^ (quint64(bytes.size()) * 0x9E3779B97F4A7C15ULL);
    const char* p = bytes.data();
    const qsizetype n = bytes.size();
    quint64 word = 0;
    if (n >= 8) {
        for (qsizetype i = 0; i + 8 <= n; i += 8) {
            std::memcpy(&word, p + i, 8);
            h = mix(h, word);
        }
        // The last eight bytes, overlapping the words before when the length is no multiple of eight.
        std::memcpy(&word, p + n - 8, 8);
    } else {
        for (qsizetype i = 0; i < n; ++i) {
            word |= quint64(uchar(p[i])) << (8 * i);
        }
    }
    return size_t(mix(h, word));
}

// One row of the clock grid as the checks read it: from its stored bytes while it is as loaded.
// `stored` is scratch that the rows of one check share, so that no row clears it: a row as loaded fills the columns
// of the edited table, the only ones read from it.
struct ClockRow {
    using Fields = std::array<QByteArrayView, kClockColumns>;
    ClockRow(const EditorRows& rows, const std::array<bool, kClockColumns>& storedColumns, Fields& stored, int row)
        : rows_(rows),
          storedColumns_(storedColumns),
          row_(row),
          stored_(stored),
          unchanged_(rows.storedRow(row, stored.data())) {}

    bool unchanged() const { return unchanged_; }
    bool fromBytes(int col) const { return unchanged_ && storedColumns_[std::size_t(col)]; }
    bool isEmpty(int col) const { return fromBytes(col) ? stored_[std::size_t(col)].isEmpty() : text(col).isEmpty(); }
    QString text(int col) const { return rows_.cell(row_, col); }
    bool isDate(int col) const {
        if (!fromBytes(col)) {
            return IsDateText(text(col));
        }
        const QByteArrayView bytes = stored_[std::size_t(col)];
        return cp932::isAscii(bytes) ? IsDateText(bytes) : IsDateText(cp932::decode(bytes).text);
    }
    // Equal for equal texts whether they come from stored bytes or from the grid. A mapped column's hash is
    // worked out once per stored value in `shownHashes`.
    size_t hash(int col, size_t seed, ByStoredValue<size_t>* shownHashes = nullptr) const {
        if (fromBytes(col)) {
            return bytesHash(stored_[std::size_t(col)], seed);
        }
        if (!storedColumns_[std::size_t(col)]) {
            if (unchanged_ && shownHashes) {
                return shownHashes->get(stored_[std::size_t(col)], [&] { return qHash(text(col), seed); });
            }
            return qHash(text(col), seed);
        }
        const QString cell = text(col);
        const cp932::Encoded encoded = cp932::encode(cell);
        // Text the file cannot carry is equal to no stored text; it only needs to hash alike with itself.
        return encoded.errorIndex < 0 ? bytesHash(encoded.bytes, seed) : qHash(cell, seed) ^ 1;
    }

private:
    const EditorRows& rows_;
    const std::array<bool, kClockColumns>& storedColumns_;
    int row_;
    const Fields& stored_;
    bool unchanged_;
};

// Sorts by hash, rows of one hash staying in ascending order: a radix sort of some hundred thousand rows, eleven
// bits a pass so that the counts stay in the fastest cache. Thirty-two bits are plenty: rows of one hash are
// compared by their texts.
void sortByHash(std::vector<std::pair<quint32, int>>& keyed) {
    constexpr int kBits = 11;
    constexpr quint32 kMask = (1U << kBits) - 1;
    std::vector<std::pair<quint32, int>> buffer(keyed.size());
    std::array<quint32, 1 << kBits> counts{};
    for (int shift = 0; shift < 32; shift += kBits) {
        counts.fill(0);
        for (const auto& entry : keyed) {
            ++counts[(entry.first >> shift) & kMask];
        }
        quint32 total = 0;
        for (quint32& count : counts) {
            total += std::exchange(count, total);
        }
        for (const auto& entry : keyed) {
            buffer[counts[(entry.first >> shift) & kMask]++] = entry;
        }
        keyed.swap(buffer);
    }
}

enum Note : unsigned char { Unchecked = 1, BadDate = 2, Unchanged = 4 };

std::array<bool, kClockColumns> storedColumnsOf(const EditorRows& rows) {
    std::array<bool, kClockColumns> storedColumns{};
    for (int c = 0; c < kClockColumns; ++c) {
        storedColumns[std::size_t(c)] = rows.showsStoredBytes(c);
    }
    return storedColumns;
}

// A hash of the row's user ID, date and kind, and what the row-by-row checks need of it.
LoadedRowFacts factsOf(const ClockRow& row, ByStoredValue<size_t>& kindHashes) {
    const quint64 wide = (quint64(row.hash(1, 0x9e3779b9U)) * 31 + row.hash(3, 0x85ebca6bU)) * 31 +
                         row.hash(5, 0xc2b2ae35U, &kindHashes);
    LoadedRowFacts facts{quint32(wide ^ (wide >> 32)), Unchecked};
    if (!row.isEmpty(1) || !row.isEmpty(3)) {
        facts.note = (row.isDate(3) && row.isDate(4) ? 0 : BadDate) | (row.unchanged() ? Unchanged : 0);
    }
    return facts;
}

}  // namespace

std::vector<LoadedRowFacts> clockRowFacts(const EditorRows& loaded) {
    const std::array<bool, kClockColumns> storedColumns = storedColumnsOf(loaded);
    ByStoredValue<size_t> kindHashes;
    ClockRow::Fields stored;
    std::vector<LoadedRowFacts> facts;
    facts.reserve(std::size_t(loaded.rowCount()));
    for (int r = 1; r <= loaded.rowCount(); ++r) {
        facts.push_back(factsOf(ClockRow(loaded, storedColumns, stored, r), kindHashes));
    }
    return facts;
}

std::optional<QString> checkClockRows(const EditorRows& rows, const TableStore&) {
    const int n = rows.rowCount();
    const std::array<bool, kClockColumns> storedColumns = storedColumnsOf(rows);
    // Whether some later row has the same user ID, date and kind: rows sorted by a hash of the three, and rows
    // of equal hash compared by their texts. The same pass notes what the row-by-row checks need of each row,
    // so that every row is read once, and a row as loaded not at all when its facts were worked out at load.
    std::vector<unsigned char> notes(std::size_t(n) + 1, 0);
    std::vector<std::pair<quint32, int>> keyed;
    keyed.reserve(std::size_t(n));
    ByStoredValue<size_t> kindHashes;
    ClockRow::Fields stored;
    for (int r = 1; r <= n; ++r) {
        const LoadedRowFacts* known = rows.loadedFacts(r);
        const LoadedRowFacts facts = known ? *known : factsOf(ClockRow(rows, storedColumns, stored, r), kindHashes);
        keyed.emplace_back(facts.keyHash, r);
        notes[std::size_t(r)] = facts.note;
    }
    sortByHash(keyed);
    std::vector<bool> repeatedLater(std::size_t(n) + 1, false);
    auto sameTexts = [&](int a, int b) {
        return cp932::asStored(rows.cell(a, 1)) == cp932::asStored(rows.cell(b, 1)) &&
               cp932::asStored(rows.cell(a, 3)) == cp932::asStored(rows.cell(b, 3)) &&
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
        const unsigned char note = notes[std::size_t(r)];
        if (note & Unchecked) {
            continue;
        }
        if (repeatedLater[std::size_t(r)]) {
            return QStringLiteral("同日付に複数の出勤か退出が存在します。修正してください。");
        }
        if (note & BadDate) {
            return QStringLiteral("存在しない日付が入力されたか、入力形式が違います。修正してください。");
        }
        if (note & Unchanged) {
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
    return ok && std::isfinite(value) && std::abs(value) <= 1e15 ? FormatAmount(value) : stored;
}

}  // namespace tsumiki
