#include "store/queries.h"

#include <QHash>

#include <algorithm>

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

QList<ClockWithUser> ClockRowsWithUser(const TablePtr& clock, const TablePtr& users) {
    const int cId = users->column(u"ID");
    QHash<QByteArrayView, QList<int>> usersById;
    for (int r = 0; r < users->rowCount(); ++r) {
        const QByteArrayView id = users->raw(r, cId);
        if (!id.isEmpty()) {
            usersById[id].append(r);
        }
    }
    const int cUser = clock->column(u"USERID");
    QList<ClockWithUser> out;
    out.reserve(clock->rowCount());
    for (int r = 0; r < clock->rowCount(); ++r) {
        const auto it = usersById.constFind(clock->raw(r, cUser));
        if (it == usersById.constEnd()) {
            out.append(ClockWithUser{Record(clock, r), std::nullopt});
            continue;
        }
        for (int u : *it) {
            out.append(ClockWithUser{Record(clock, r), Record(users, u)});
        }
    }
    const int cInput = clock->column(u"INPUTTIME");
    const int cPrint = clock->column(u"TIMEPRINT");
    std::stable_sort(out.begin(), out.end(), [&](const ClockWithUser& a, const ClockWithUser& b) {
        const int byInput = compareRaw(clock->raw(a.clock.row(), cInput), clock->raw(b.clock.row(), cInput));
        if (byInput != 0) {
            return byInput < 0;
        }
        return compareRaw(clock->raw(a.clock.row(), cPrint), clock->raw(b.clock.row(), cPrint)) < 0;
    });
    return out;
}

void AppendClockIn(TableStore& store, const QString& userId, const QString& inputTime, const QString& timePrint,
                   bool douhan) {
    store.append(Table::Clock, {userId, inputTime, timePrint, QStringLiteral("1"),
                                douhan ? QStringLiteral("1") : QStringLiteral("0")});
}

void AppendClockOut(TableStore& store, const QString& userId, const QString& inputTime, const QString& timePrint) {
    store.append(Table::Clock, {userId, inputTime, timePrint, QStringLiteral("2"), std::nullopt});
}

}  // namespace tsumiki
