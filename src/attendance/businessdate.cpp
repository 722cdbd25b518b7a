#include "attendance/businessdate.h"

#include <cmath>

#include "attendance/datetext.h"
#include "store/queries.h"

namespace tsumiki {
namespace {

Value lastCode1(const TableStore& store, QStringView code) {
    const QList<Value> values = ControlCode1(store.read(Table::Control), code);
    return values.isEmpty() ? Value() : values.last();
}

}  // namespace

QStringView ClockKindText(ClockKind kind) {
    return kind == ClockKind::In ? QStringView(u"1") : QStringView(u"2");
}

QString DayChangeTimeFrom(const Value& code1) {
    const QString fallback = QStringLiteral("00:00");
    if (!code1 || code1->isEmpty()) {
        return fallback;
    }
    // A time of day alone, with hours and minutes only.
    const QStringView v(*code1);
    const qsizetype colon = v.indexOf(u':');
    if (colon < 1 || colon > 2 || v.size() != colon + 3 || v.count(u':') != 1) {
        return fallback;
    }
    return ParseDateTimeText(v) ? *code1 : fallback;
}

QDateTime BusinessDateAt(const QDateTime& now, const QString& dayChangeTime) {
    const QString today = now.date().toString(QStringLiteral("yyyy/MM/dd "));
    const QString nowText = today + now.time().toString(QStringLiteral("HH:mm"));
    const QString thresholdText = today + dayChangeTime;
    const QDate workingDay = nowText > thresholdText ? now.date() : now.date().addDays(-1);
    const auto changeTime = ParseDateTimeText(dayChangeTime);
    return QDateTime(workingDay, changeTime ? changeTime->time() : QTime(0, 0));
}

qint16 RoundingMinutesFrom(const Value& code1) {
    bool ok = false;
    const double number = code1.value_or(QStringLiteral("15")).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        return kDefaultRoundingMinutes;
    }
    const double minutes = std::floor(number);
    return minutes >= 1 && minutes <= 60 ? static_cast<qint16>(minutes) : kDefaultRoundingMinutes;
}

qint16 UsableRoundingUnit(int unit) {
    return unit >= 1 && unit <= 60 ? static_cast<qint16>(unit) : kDefaultRoundingMinutes;
}

QTime RoundClockTime(const QTime& time, int unit, ClockKind kind) {
    unit = UsableRoundingUnit(unit);
    int h = time.hour();
    int m = time.minute();
    if (m % unit >= 1) {
        m = (kind == ClockKind::In ? m / unit + 1 : m / unit) * unit;
    }
    if (m >= 60) {
        h += 1;
        m -= 60;
    }
    if (h >= 24) {
        h -= 24;
    }
    return QTime(h, m);
}

QDateTime ClockMoment(const QDateTime& now, int unit, ClockKind kind) {
    const QTime rounded = RoundClockTime(now.time(), unit, kind);
    // Rounding up can only go backwards on the clock face by passing midnight.
    const bool nextDay = kind == ClockKind::In && rounded < QTime(now.time().hour(), now.time().minute());
    return QDateTime(nextDay ? now.date().addDays(1) : now.date(), rounded);
}

QDateTime GetBusinessDate(const TableStore& store, const Clock& clock) {
    return BusinessDateAt(clock.now(), DayChangeTimeFrom(lastCode1(store, u"CTL0003")));
}

qint16 GetRoundingMinutes(const TableStore& store) {
    return RoundingMinutesFrom(lastCode1(store, u"CTL0004"));
}

}  // namespace tsumiki
