#include "attendance/clockrecords.h"

#include "attendance/businessdate.h"
#include "attendance/datetext.h"
#include "store/queries.h"

namespace tsumiki {

QDateTime RecordClockIn(TableStore& store, const Clock& clock, const QString& userId, const QDateTime& businessDate,
                        bool douhan) {
    const QDateTime now = clock.now();
    const QTime rounded = RoundClockTime(now.time(), GetRoundingMinutes(store), QStringLiteral("1"));
    const QTime nowMinute(now.time().hour(), now.time().minute());
    // Rounding up can only go backwards on the clock face by passing midnight.
    const QDate day = rounded < nowMinute ? now.date().addDays(1) : now.date();
    AppendClockIn(store, userId, InputTimeText(businessDate), TimePrintText(day, rounded), douhan);
    return QDateTime(day, rounded);
}

QTime RecordClockOut(TableStore& store, const Clock& clock, const QString& userId, const QDateTime& businessDate) {
    const QDateTime now = clock.now();
    const QTime rounded = RoundClockTime(now.time(), GetRoundingMinutes(store), QStringLiteral("2"));
    AppendClockOut(store, userId, InputTimeText(businessDate), TimePrintText(now.date(), rounded));
    return rounded;
}

ClockTimes GetClockTime(const TableStore& store, const QString& userId, const QDateTime& businessDate) {
    ClockTimes times;
    const TablePtr clock = store.read(Table::Clock);
    const QString inputTime = InputTimeText(businessDate);
    for (const Record& r : ClockRowsByKind(clock, userId, inputTime, u"1")) {
        if (const Value t = r.value(u"TIMEPRINT")) {
            times.clockIn = *t;
        }
        if (const Value d = r.value(u"DOUHAN")) {
            times.douhan = *d;
        }
    }
    for (const Record& r : ClockRowsByKind(clock, userId, inputTime, u"2")) {
        if (const Value t = r.value(u"TIMEPRINT")) {
            times.clockOut = *t;
        }
    }
    return times;
}

}  // namespace tsumiki
