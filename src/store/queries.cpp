#include "store/queries.h"

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
