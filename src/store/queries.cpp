#include "store/queries.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace tsumiki {
namespace {

QList<Record> rowsWhere(const TablePtr& t, QStringView column, QStringView key) {
    QList<Record> out;
    const int c = t->column(column);
    const std::optional<QByteArray> k = encodedKey(key);
    if (c < 0 || !k || k->isEmpty()) {
        return out;
    }
    for (int r = 0; r < t->rowCount(); ++r) {
        if (t->raw(r, c) == *k) {
            out.append(Record(t, r));
        }
    }
    return out;
}

// Text order, Null first. Keys of the sorted forms are dates, times and codes in ASCII, where the order of the
// encoded bytes is the order of the text.
int compareRaw(QByteArrayView a, QByteArrayView b) {
    return a.compare(b);
}

}  // namespace

QList<Record> UserById(const TablePtr& users, QStringView id) {
    return rowsWhere(users, u"ID", id);
}

QList<Record> MessageById(const TablePtr& messages, QStringView msgId) {
    return rowsWhere(messages, u"MSGID", msgId);
}

QList<Record> ControlById(const TablePtr& controls, QStringView ctlCode) {
    return rowsWhere(controls, u"CTLCODE", ctlCode);
}

QList<Value> ControlCode1(const TablePtr& controls, QStringView ctlCode) {
    QList<Value> out;
    for (const Record& r : ControlById(controls, ctlCode)) {
        out.append(r.value(u"CODE1"));
    }
    return out;
}

QList<Record> MessagesByPrefix(const TablePtr& messages, QStringView prefix) {
    QList<Record> out;
    const int c = messages->column(u"MSGID");
    const std::optional<QByteArray> p = encodedKey(prefix);
    if (c < 0 || !p) {
        return out;
    }
    for (int r = 0; r < messages->rowCount(); ++r) {
        const QByteArrayView id = messages->raw(r, c);
        if (!id.isEmpty() && id.startsWith(*p)) {
            out.append(Record(messages, r));
        }
    }
    return out;
}

QList<Record> ClockRowsByKind(const TablePtr& clock, QStringView userId, QStringView inputTime, QStringView st) {
    QList<Record> out;
    const int cUser = clock->column(u"USERID");
    const int cInput = clock->column(u"INPUTTIME");
    const int cSt = clock->column(u"ST");
    const std::optional<QByteArray> user = encodedKey(userId);
    const std::optional<QByteArray> input = encodedKey(inputTime);
    const std::optional<QByteArray> kind = encodedKey(st);
    if (cUser < 0 || cInput < 0 || cSt < 0 || !user || !input || !kind || user->isEmpty() || input->isEmpty() ||
        kind->isEmpty()) {
        return out;
    }
    for (int r = 0; r < clock->rowCount(); ++r) {
        if (clock->raw(r, cUser) == *user && clock->raw(r, cInput) == *input && clock->raw(r, cSt) == *kind) {
            out.append(Record(clock, r));
        }
    }
    return out;
}

QList<Record> AllUsers(const TablePtr& users) {
    QList<Record> out;
    out.reserve(users->rowCount());
    for (int r = 0; r < users->rowCount(); ++r) {
        out.append(Record(users, r));
    }
    return out;
}

QList<Record> AllRowsByKey(const TablePtr& table) {
    QList<Record> out = AllUsers(table);
    std::stable_sort(out.begin(), out.end(), [&](const Record& a, const Record& b) {
        return compareRaw(table->raw(a.row(), 0), table->raw(b.row(), 0)) < 0;
    });
    return out;
}

ClockUserRows ClockRowsWithUser(const ParsedTable& clock, const ParsedTable& users) {
    const int cId = users.column(u"ID");
    QHash<QByteArrayView, QList<int>> usersById;
    for (int r = 0; r < users.rowCount(); ++r) {
        const QByteArrayView id = users.raw(r, cId);
        if (!id.isEmpty()) {
            usersById[id].append(r);
        }
    }
    // Stable order by INPUTTIME, then TIMEPRINT. A table holds a few thousand distinct business dates, so rows
    // are first counted into their date's place (file order kept), and only each date's rows are sorted by time.
    const int cUser = clock.column(u"USERID");
    const int cInput = clock.column(u"INPUTTIME");
    const int cPrint = clock.column(u"TIMEPRINT");
    const int n = clock.rowCount();
    QHash<QByteArrayView, int> dateIds;
    std::vector<QByteArrayView> dates;
    std::vector<int> dateOf(std::size_t(n), 0);
    for (int r = 0; r < n; ++r) {
        const QByteArrayView date = clock.raw(r, cInput);
        auto it = dateIds.constFind(date);
        if (it == dateIds.constEnd()) {
            it = dateIds.insert(date, int(dates.size()));
            dates.push_back(date);
        }
        dateOf[std::size_t(r)] = *it;
    }
    std::vector<int> rank(dates.size());
    {
        std::vector<int> byDate(dates.size());
        std::iota(byDate.begin(), byDate.end(), 0);
        std::sort(byDate.begin(), byDate.end(),
                  [&](int a, int b) { return compareRaw(dates[std::size_t(a)], dates[std::size_t(b)]) < 0; });
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
    for (std::size_t g = 0; g + 1 < start.size(); ++g) {
        std::stable_sort(ordered.begin() + start[g], ordered.begin() + start[g + 1],
                         [&](int a, int b) { return compareRaw(clock.raw(a, cPrint), clock.raw(b, cPrint)) < 0; });
    }

    ClockUserRows out;
    out.clockRows.reserve(std::size_t(n));
    out.userRows.reserve(std::size_t(n));
    for (int r : ordered) {
        const auto it = usersById.constFind(clock.raw(r, cUser));
        if (it == usersById.constEnd()) {
            out.clockRows.push_back(r);
            out.userRows.push_back(-1);
            continue;
        }
        for (int u : *it) {
            out.clockRows.push_back(r);
            out.userRows.push_back(u);
        }
    }
    return out;
}

WriteResult AppendClockIn(TableStore& store, const QString& userId, const QString& inputTime, const QString& timePrint,
                          bool douhan) {
    return store.append(Table::Clock, {userId, inputTime, timePrint, QStringLiteral("1"),
                                       douhan ? QStringLiteral("1") : QStringLiteral("0")});
}

WriteResult AppendClockOut(TableStore& store, const QString& userId, const QString& inputTime,
                           const QString& timePrint) {
    return store.append(Table::Clock, {userId, inputTime, timePrint, QStringLiteral("2"), std::nullopt});
}

}  // namespace tsumiki
