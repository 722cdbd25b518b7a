#include "attendance/businessdate.h"

#include <cmath>

#include "attendance/datetext.h"
#include "store/queries.h"

namespace tsumiki {
namespace {

std::optional<QString> lastCode1(const TableStore& store, QStringView code) {
    const QList<Value> values = ControlCode1(store.read(Table::Control), code);
    if (values.isEmpty()) {
        return std::nullopt;
    }
    return values.last();
}

}  // namespace

QString DayChangeTime(const TableStore& store) {
    const QString fallback = QStringLiteral("00:00");
    const std::optional<QString> value = lastCode1(store, u"CTL0003");
    if (!value || value->isEmpty()) {
        return fallback;
    }
    // A time of day alone, with hours and minutes only.
    const QStringView v(*value);
    const qsizetype colon = v.indexOf(u':');
    if (colon < 1 || colon > 2 || v.size() != colon + 3 || v.count(u':') != 1) {
        return fallback;
    }
    const auto parsed = ParseDateTimeText(v);
    return parsed ? *value : fallback;
}

QDateTime GetBusinessDate(const TableStore& store, const Clock& clock) {
    const QString dayChange = DayChangeTime(store);
    const QDateTime now = clock.now();
    const QString today = now.date().toString(QStringLiteral("yyyy/MM/dd "));
    const QString nowText = today + now.time().toString(QStringLiteral("HH:mm"));
    const QString thresholdText = today + dayChange;
    const QDate workingDay = nowText > thresholdText ? now.date() : now.date().addDays(-1);
    const QTime changeTime = ParseDateTimeText(dayChange)->time();
    return QDateTime(workingDay, changeTime);
}

qint16 UsableRoundingUnit(int unit) {
    return unit >= 1 && unit <= 60 ? static_cast<qint16>(unit) : kDefaultRoundingMinutes;
}

qint16 GetRoundingMinutes(const TableStore& store) {
    const std::optional<QString> value = lastCode1(store, u"CTL0004");
    const QString text = value.value_or(QStringLiteral("15"));
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        return kDefaultRoundingMinutes;
    }
    const double minutes = std::floor(number);
    return minutes >= 1 && minutes <= 60 ? static_cast<qint16>(minutes) : kDefaultRoundingMinutes;
}

QTime RoundClockTime(const QTime& time, int unit, const QString& kind) {
    unit = UsableRoundingUnit(unit);
    int h = time.hour();
    int m = time.minute();
    if (kind == u"1") {
        if (m % unit >= 1) {
            m = (m / unit + 1) * unit;
        }
    } else if (kind == u"2") {
        if (m % unit >= 1) {
            m = (m / unit) * unit;
        }
    } else {
        return QTime(0, 0);
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

}  // namespace tsumiki
