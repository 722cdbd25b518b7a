#include "store/queries.h"

#include <QHash>

#include <algorithm>

namespace tsumiki {
namespace {

QList<Record> rowsWhere(const TablePtr& t, QStringView column, QStringView key) {
    QList<Record> out;
    const int c = t->column(column);
    if (c < 0 || key.isEmpty()) {
        return out;
    }
    for (int r = 0; r < t->rowCount(); ++r) {
        if (t->view(r, c) == key) {
            out.append(Record(t, r));
        }
    }
    return out;
}

// Text order with Null (an empty view) before every value.
int compareText(QStringView a, QStringView b) { return a.compare(b, Qt::CaseSensitive); }

}  // namespace

QList<Record> UserById(const TablePtr& users, QStringView id) { return rowsWhere(users, u"ID", id); }

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
    if (c < 0) {
        return out;
    }
    for (int r = 0; r < messages->rowCount(); ++r) {
        const QStringView id = messages->view(r, c);
        if (!id.isEmpty() && id.startsWith(prefix)) {
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
    if (cUser < 0 || cInput < 0 || cSt < 0 || userId.isEmpty() || inputTime.isEmpty() || st.isEmpty()) {
        return out;
    }
    for (int r = 0; r < clock->rowCount(); ++r) {
        if (clock->view(r, cUser) == userId && clock->view(r, cInput) == inputTime && clock->view(r, cSt) == st) {
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
        return compareText(table->view(a.row(), 0), table->view(b.row(), 0)) < 0;
    });
    return out;
}

QList<ClockWithUser> ClockRowsWithUser(const TablePtr& clock, const TablePtr& users) {
    const int cId = users->column(u"ID");
    QHash<QStringView, QList<int>> usersById;
    for (int r = 0; r < users->rowCount(); ++r) {
        const QStringView id = users->view(r, cId);
        if (!id.isEmpty()) {
            usersById[id].append(r);
        }
    }
    const int cUser = clock->column(u"USERID");
    QList<ClockWithUser> out;
    out.reserve(clock->rowCount());
    for (int r = 0; r < clock->rowCount(); ++r) {
        const auto it = usersById.constFind(clock->view(r, cUser));
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
        const int byInput = compareText(clock->view(a.clock.row(), cInput), clock->view(b.clock.row(), cInput));
        if (byInput != 0) {
            return byInput < 0;
        }
        return compareText(clock->view(a.clock.row(), cPrint), clock->view(b.clock.row(), cPrint)) < 0;
    });
    return out;
}

}  // namespace tsumiki
