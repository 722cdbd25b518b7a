#pragma once

#include <QDateTime>
#include <QString>
#include <QTime>

#include "platform/clock.h"
#include "store/tablestore.h"

namespace tsumiki {

// The moment a clock row was recorded for, or why nothing was recorded (the table busy, the write refused).
struct ClockRecord {
    QDateTime moment;
    WriteResult refused;
};

// Appends the clock-in row of the user for the business date: the current time rounded up to the rounding
// unit, on the calendar date it falls on (a clock-in at 23:50 rounded to 00:00 belongs to the next day), 同伴
// as 1 or 0.
ClockRecord RecordClockIn(TableStore& store, const Clock& clock, const QString& userId, const QDateTime& businessDate,
                          bool douhan);

// Appends the clock-out row: the current time rounded down, on today's date, with an empty 同伴.
ClockRecord RecordClockOut(TableStore& store, const Clock& clock, const QString& userId, const QDateTime& businessDate);

struct ClockTimes {
    QString clockIn;   // TIMEPRINT of the last clock-in row with one, or empty
    QString clockOut;  // TIMEPRINT of the last clock-out row with one, or empty
    QString douhan;    // DOUHAN of the last clock-in row with one ("1" or "0"), or empty
};

// The day's recorded times of the user: rows whose INPUTTIME text equals the business date's stored form.
ClockTimes GetClockTime(const TableStore& store, const QString& userId, const QDateTime& businessDate);

}  // namespace tsumiki
