#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

#include "platform/clock.h"
#include "store/tablestore.h"

namespace tsumiki {

// The rounding unit used when the setting is missing, empty or unusable.
inline constexpr qint16 kDefaultRoundingMinutes = 15;

// CODE1 of the last CTL0003 row: "h:mm" or "hh:mm" below 24:00; "00:00" when missing, empty or not such a
// time, so a mistyped setting cannot stop the clock.
QString DayChangeTime(const TableStore& store);

// The business date of the current moment: the working day's date at the day-change time. Until the minute of
// the day-change time has passed, the previous calendar day is still the working day. The comparison is made
// on the texts "yyyy/mm/dd hh:mm", so a one-digit hour (5:00) sorts after every two-digit one.
QDateTime GetBusinessDate(const TableStore& store, const Clock& clock);

// CODE1 of the last CTL0004 row read as a number, blanks allowed, rounded down: the minutes of the rounding
// grid. Anything that is not a whole number of 1 to 60 minutes then gives 15.
qint16 GetRoundingMinutes(const TableStore& store);

// A unit of 1 to 60 minutes as it is, anything else as 15: what every rule dividing by the unit relies on.
qint16 UsableRoundingUnit(int unit);

// The time's hour and minute (seconds dropped) moved on the rounding grid: kind "1" (clock-in) up to the next
// multiple, kind "2" (clock-out) down to the previous one; any other kind gives 00:00. A clock-in rounded past
// 23:59 wraps to 00:mm; the caller attaches the date.
QTime RoundClockTime(const QTime& time, int unit, const QString& kind);

}  // namespace tsumiki
