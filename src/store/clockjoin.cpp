#include <QHash>

#include <algorithm>
#include <numeric>
#include <optional>

#include "store/queries.h"

namespace tsumiki {
namespace {

// Text order, Null first. Dates and times are ASCII, where the order of the bytes is the order of the text.
bool earlier(QByteArrayView a, QByteArrayView b) {
    return a.compare(b) < 0;
}

// Row numbers of the clock table in stable order by INPUTTIME, then TIMEPRINT. A table holds a few thousand
// distinct business dates, so rows are first counted into their date's place (file order kept), and only each
// date's rows are sorted by time.
std::vector<int> byDateThenTime(const ParsedTable& clock) {
    const int cInput = clock.column(u"INPUTTIME");
    const int cPrint = clock.column(u"TIMEPRINT");
    const int n = clock.rowCount();
    QHash<QByteArrayView, int> dateIds;
    std::vector<QByteArrayView> dates;
    std::vector<int> dateOf(std::size_t(n), 0);
    // Rows of one date mostly follow each other in the file, so a row's date is looked up only when it differs from
    // the row's before.
    QByteArrayView previous;
    int previousId = -1;
    for (int r = 0; r < n; ++r) {
        const QByteArrayView date = clock.raw(r, cInput);
        if (previousId < 0 || date != previous) {
            auto it = dateIds.constFind(date);
            if (it == dateIds.constEnd()) {
                it = dateIds.insert(date, int(dates.size()));
                dates.push_back(date);
            }
            previous = date;
            previousId = *it;
        }
        dateOf[std::size_t(r)] = previousId;
    }
    std::vector<int> rank(dates.size());
    {
        std::vector<int> byDate(dates.size());
        std::iota(byDate.begin(), byDate.end(), 0);
        std::sort(byDate.begin(), byDate.end(),
                  [&](int a, int b) { return earlier(dates[std::size_t(a)], dates[std::size_t(b)]); });
        for (std::size_t i = 0; i < byDate.size(); ++i) {
            rank[std::size_t(byDate[i])] = int(i);
        }
    }
    std::vector<int> start(dates.size() + 1, 0);
    for (int r = 0; r < n; ++r) {
        ++start[std::size_t(rank[std::size_t(dateOf[std::size_t(r)])]) + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<int> ordered(static_cast<std::size_t>(n));
    {
        std::vector<int> next(start.begin(), start.end() - 1);
        for (int r = 0; r < n; ++r) {
            ordered[std::size_t(next[std::size_t(rank[std::size_t(dateOf[std::size_t(r)])])]++)] = r;
        }
    }
    // Each date's rows sorted with their times beside them, each time read from the table once; a date whose rows
    // the file already holds in time order is left as it is.
    std::vector<std::pair<QByteArrayView, int>> group;
    const auto byTime = [](const auto& a, const auto& b) { return earlier(a.first, b.first); };
    for (std::size_t g = 0; g + 1 < start.size(); ++g) {
        group.clear();
        for (int i = start[g]; i < start[g + 1]; ++i) {
            group.emplace_back(clock.raw(ordered[std::size_t(i)], cPrint), ordered[std::size_t(i)]);
        }
        if (std::is_sorted(group.begin(), group.end(), byTime)) {
            continue;
        }
        std::stable_sort(group.begin(), group.end(), byTime);
        for (std::size_t i = 0; i < group.size(); ++i) {
            ordered[std::size_t(start[g]) + i] = group[i].second;
        }
    }
    return ordered;
}

// The user rows of each ID. IDs are short: one of up to seven bytes is looked up as a number, without hashing or
// comparing bytes, which is most of a join's time over a large clock table.
class UsersById {
public:
    explicit UsersById(const ParsedTable& users) {
        const int cId = users.column(u"ID");
        for (int r = 0; r < users.rowCount(); ++r) {
            const QByteArrayView id = users.raw(r, cId);
            if (id.isEmpty()) {
                continue;
            }
            if (const std::optional<quint64> key = shortKey(id)) {
                byShortId_[*key].append(r);
            } else {
                byLongId_[id].append(r);
            }
        }
    }
    // Null when no user has the ID.
    const QList<int>* find(QByteArrayView id) const {
        const std::optional<quint64> key = shortKey(id);
        return key ? found(byShortId_, *key) : found(byLongId_, id);
    }

private:
    static std::optional<quint64> shortKey(QByteArrayView id) {
        if (id.size() > 7) {
            return std::nullopt;
        }
        quint64 key = quint64(id.size()) << 56;
        for (qsizetype i = 0; i < id.size(); ++i) {
            key |= quint64(uchar(id[i])) << (8 * i);
        }
        return key;
    }

    template <typename Key>
    static const QList<int>* found(const QHash<Key, QList<int>>& byId, const Key& id) {
        const auto it = byId.constFind(id);
        return it == byId.constEnd() ? nullptr : &it.value();
    }

    QHash<quint64, QList<int>> byShortId_;
    QHash<QByteArrayView, QList<int>> byLongId_;
};

}  // namespace

ClockUserRows ClockRowsWithUser(const ParsedTable& clock, const ParsedTable& users) {
    const UsersById usersById(users);
    const int cUser = clock.column(u"USERID");
    ClockUserRows out;
    out.clockRows.reserve(std::size_t(clock.rowCount()));
    out.userRows.reserve(std::size_t(clock.rowCount()));
    for (const int r : byDateThenTime(clock)) {
        const QList<int>* userRows = usersById.find(clock.raw(r, cUser));
        if (!userRows) {
            out.clockRows.push_back(r);
            out.userRows.push_back(-1);
            continue;
        }
        for (const int u : *userRows) {
            out.clockRows.push_back(r);
            out.userRows.push_back(u);
        }
    }
    return out;
}

}  // namespace tsumiki
