#include "attendance/clockrecords.h"

#include "attendance/businessdate.h"
#include "attendance/datetext.h"
#include "store/queries.h"

namespace tsumiki {

ClockRecord RecordClockIn(TableStore& store, const Clock& clock, const QString& userId, const QDateTime& businessDate,
                          bool douhan) {
    const QDateTime moment = ClockMoment(clock.now(), GetRoundingMinutes(store), ClockKind::In);
    return {moment, AppendClockIn(store, userId, InputTimeText(businessDate),
                                  TimePrintText(moment.date(), moment.time()), douhan)};
}

ClockRecord RecordClockOut(TableStore& store, const Clock& clock, const QString& userId,
                           const QDateTime& businessDate) {
    const QDateTime moment = ClockMoment(clock.now(), GetRoundingMinutes(store), ClockKind::Out);
    return {moment,
            AppendClockOut(store, userId, InputTimeText(businessDate), TimePrintText(moment.date(), moment.time()))};
}

ClockTimes GetClockTime(const TableStore& store, const QString& userId, const QDateTime& businessDate) {
    ClockTimes times;
    const TablePtr clock = store.read(Table::Clock);
    const QString inputTime = InputTimeText(businessDate);
    for (const Record& r : ClockRowsByKind(clock, userId, inputTime, ClockKindText(ClockKind::In))) {
        if (const Value t = r.value(u"TIMEPRINT")) {
            times.clockIn = *t;
        }
        if (const Value d = r.value(u"DOUHAN")) {
            times.douhan = *d;
        }
    }
    for (const Record& r : ClockRowsByKind(clock, userId, inputTime, ClockKindText(ClockKind::Out))) {
        if (const Value t = r.value(u"TIMEPRINT")) {
            times.clockOut = *t;
        }
    }
    return times;
}

}  // namespace tsumiki
