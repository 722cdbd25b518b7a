#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QTime>

#include "platform/clock.h"
#include "store/table.h"
#include "store/tablestore.h"

namespace tsumiki {

// A clock event: ST "1" in the clock table for a clock-in, "2" for a clock-out.
enum class ClockKind { In, Out };

// The ST text of the kind, as the clock table stores it.
QStringView ClockKindText(ClockKind kind);

// The rounding unit used when the setting is missing, empty or unusable.
inline constexpr qint16 kDefaultRoundingMinutes = 15;

// The rules, as functions of values.

// The day-change time a CODE1 of CTL0003 stands for: "h:mm" or "hh:mm" below 24:00 as it is; "00:00" when
// missing, empty or not such a time, so a mistyped setting cannot stop the clock.
QString DayChangeTimeFrom(const Value& code1);

// The business date of the moment: the working day's date at the day-change time. Until the minute of the
// day-change time has passed, the previous calendar day is still the working day. The comparison is made on the
// texts "yyyy/mm/dd hh:mm", so a one-digit hour (5:00) sorts after every two-digit one.
QDateTime BusinessDateAt(const QDateTime& now, const QString& dayChangeTime);

// The rounding unit a CODE1 of CTL0004 stands for: the number, blanks allowed, rounded down; anything that is
// not a whole number of 1 to 60 minutes then gives 15.
qint16 RoundingMinutesFrom(const Value& code1);

// A unit of 1 to 60 minutes as it is, anything else as 15: what every rule dividing by the unit relies on.
qint16 UsableRoundingUnit(int unit);

// The time's hour and minute (seconds dropped) moved on the rounding grid: a clock-in up to the next multiple, a
// clock-out down to the previous one. A clock-in rounded past 23:59 wraps to 00:mm; the caller attaches the date.
QTime RoundClockTime(const QTime& time, int unit, ClockKind kind);

// The moment a clock event at `now` is recorded as: rounded on the grid, on the calendar date it falls on (a
// clock-in at 23:50 rounded to 00:00 belongs to the next day).
QDateTime ClockMoment(const QDateTime& now, int unit, ClockKind kind);

// The same rules over the control table as it is now; each reads it once.

// The business date now, with the day-change time of the last CTL0003 row as DayChangeTimeFrom reads it.
QDateTime GetBusinessDate(const TableStore& store, const Clock& clock);
// CODE1 of the last CTL0004 row, as RoundingMinutesFrom reads it.
qint16 GetRoundingMinutes(const TableStore& store);

}  // namespace tsumiki
