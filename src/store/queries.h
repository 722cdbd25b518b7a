#pragma once

#include <QList>
#include <QStringView>

#include <vector>

#include "store/table.h"
#include "store/tablestore.h"

// The query forms over parsed tables. Comparisons are exact text equality: "001" and "1" are different keys,
// and letter case counts, as it does in the editors' own duplicate checks. Null equals nothing. Results keep
// file order unless the form sorts.
namespace tsumiki {

QList<Record> UserById(const TablePtr& users, QStringView id);
QList<Record> MessageById(const TablePtr& messages, QStringView msgId);
QList<Record> ControlById(const TablePtr& controls, QStringView ctlCode);
// The CODE1 values of the rows with that CTLCODE.
QList<Value> ControlCode1(const TablePtr& controls, QStringView ctlCode);
// The rows whose MSGID begins with the prefix.
QList<Record> MessagesByPrefix(const TablePtr& messages, QStringView prefix);
// The person's rows of that business date (INPUTTIME text, date and time of day) and kind ("1" or "2").
QList<Record> ClockRowsByKind(const TablePtr& clock, QStringView userId, QStringView inputTime, QStringView st);
QList<Record> AllUsers(const TablePtr& users);
// Every row, ascending by the first column in text order (Null first); ties keep file order.
QList<Record> AllRowsByKey(const TablePtr& table);

// Every clock row with its user (left join on USERID = ID; a clock row with two matching users comes twice),
// ascending by INPUTTIME, then TIMEPRINT, in text order: as row numbers of the two tables (user row -1 for none),
// without an object per row, for the clock-record editor over a table of some hundred thousand rows.
struct ClockUserRows {
    std::vector<int> clockRows;
    std::vector<int> userRows;
};
ClockUserRows ClockRowsWithUser(const ParsedTable& clock, const ParsedTable& users);

// The two inserts into the clock table; a busy table or a refused write comes back as a value. A clock-in row carries
// 同伴 as 1 or 0; a clock-out row leaves it empty.
WriteResult AppendClockIn(TableStore& store, const QString& userId, const QString& inputTime, const QString& timePrint,
                          bool douhan);
WriteResult AppendClockOut(TableStore& store, const QString& userId, const QString& inputTime,
                           const QString& timePrint);

}  // namespace tsumiki
