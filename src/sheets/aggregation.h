#pragma once

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <optional>

#include "store/numbertext.h"
#include "store/table.h"

// A person's month: one start, end and worked time per working day, the month's total and the pay.
namespace tsumiki {

// One working day of a person: the clock rows sharing one INPUTTIME.
struct DayTimes {
    QString userId;
    QString inputTime;
    Value input;   // latest clock-in TIMEPRINT
    Value output;  // latest clock-out TIMEPRINT
    Value douhan;  // greatest DOUHAN of the clock-in rows
    bool operator==(const DayTimes&) const = default;
};

// The person's working days whose business date (INPUTTIME) falls in the month of `month`, one per distinct
// INPUTTIME, ascending by INPUTTIME. Work that runs past midnight on the last day of a month stays in that month.
QList<DayTimes> MonthlyDayTimes(const TablePtr& clock, const QString& userId, const QDate& month);

// Every person's MonthlyDayTimes of one month, gathered in one pass over the clock table: the all-staff sheet
// then costs one read of the table instead of one per person.
class StaffMonth {
public:
    StaffMonth(const ParsedTable& clock, const QDate& month);
    // The same days as MonthlyDayTimes gives for the person.
    QList<DayTimes> days(const QString& userId) const;

private:
    // Keyed by the stored bytes of USERID, compared exactly as MonthlyDayTimes compares them.
    QHash<QByteArray, QList<DayTimes>> days_;
};

// Worked seconds of one day in whole minutes: the elapsed time from clock-in to clock-out, however long.
// Nothing when either is missing or unreadable; 0 for a clock-out before the clock-in (a hand-edited row).
std::optional<qint64> DayWorkedTime(const Value& input, const Value& output);

// "h:mm" of worked seconds, at least two digits of hours ("06:00", "25:30"), as the sheets show a day.
QString DayWorkedText(qint64 seconds);

// Sum of the days' worked seconds.
qint64 MonthlyTotal(const QList<DayTimes>& days);

// Hours, ":", two-digit minutes: 0:00, 7:30, 123:05.
QString WorkedTotalText(qint64 totalSeconds);

// Pay for a WorkedTotalText: the whole rounding units worked times the unit price per unit
// (blocks × price / (60 / unit)). A unit outside 1 to 60 minutes counts as 15.
double AmountFromTotal(const QString& totalText, double unitPrice, int unit);

}  // namespace tsumiki
