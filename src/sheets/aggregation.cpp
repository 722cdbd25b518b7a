#include "sheets/aggregation.h"

#include <QHash>

#include <cmath>

#include "attendance/businessdate.h"
#include "attendance/datetext.h"
#include "store/cp932.h"

namespace tsumiki {
namespace {

// Whether a stored INPUTTIME falls in the month "yyyy/mm". The stored form starts with that text; a date typed
// by hand in another spelling (2009/5/1) is read as a date.
bool inMonth(QByteArrayView inputTime, QByteArrayView monthPrefix, const QDate& month) {
    if (inputTime.size() >= 8 && inputTime[4] == '/' && inputTime[7] == '/') {
        return inputTime.first(7) == monthPrefix;
    }
    const auto parsed = ParseDateTimeText(cp932::decode(inputTime).text);
    return parsed && parsed->date().year() == month.year() && parsed->date().month() == month.month();
}

void keepGreatest(Value& current, QByteArrayView candidate) {
    if (candidate.isEmpty()) {
        return;
    }
    const QString text = cp932::decode(candidate).text;
    if (!current || text > *current) {
        current = text;
    }
}

// The month's working days of the users `wanted` accepts, by the stored bytes of their USERID, in one pass over
// the table: rows are grouped by (USERID, INPUTTIME) as they are read, and each user's days end up ascending by
// INPUTTIME.
template <typename Wanted>
QHash<QByteArray, QList<DayTimes>> gatherMonth(const ParsedTable& clock, const QDate& month, Wanted wanted) {
    QHash<QByteArray, QList<DayTimes>> result;
    const int cUser = clock.column(u"USERID");
    const int cInput = clock.column(u"INPUTTIME");
    const int cPrint = clock.column(u"TIMEPRINT");
    const int cSt = clock.column(u"ST");
    const int cDouhan = clock.column(u"DOUHAN");
    if (cUser < 0 || cInput < 0) {
        return result;
    }
    const QByteArray monthPrefix = month.toString(QStringLiteral("yyyy/MM")).toLatin1();
    // (user, INPUTTIME) to the day's place in its user's list.
    QHash<QPair<QByteArrayView, QByteArrayView>, qsizetype> dayOf;
    for (int r = 0; r < clock.rowCount(); ++r) {
        const QByteArrayView inputTime = clock.raw(r, cInput);
        if (inputTime.isEmpty() || !inMonth(inputTime, monthPrefix, month)) {
            continue;
        }
        const QByteArrayView user = clock.raw(r, cUser);
        if (user.isEmpty() || !wanted(user)) {
            continue;
        }
        QList<DayTimes>& days = result[user.toByteArray()];
        auto it = dayOf.constFind({user, inputTime});
        if (it == dayOf.constEnd()) {
            it = dayOf.insert({user, inputTime}, days.size());
            days.append(DayTimes{cp932::decode(user).text, cp932::decode(inputTime).text, {}, {}, {}});
        }
        DayTimes& day = days[*it];
        const QByteArrayView st = clock.raw(r, cSt);
        if (st == "1") {
            keepGreatest(day.input, clock.raw(r, cPrint));
            keepGreatest(day.douhan, clock.raw(r, cDouhan));
        } else if (st == "2") {
            keepGreatest(day.output, clock.raw(r, cPrint));
        }
    }
    for (QList<DayTimes>& days : result) {
        std::stable_sort(days.begin(), days.end(),
                         [](const DayTimes& a, const DayTimes& b) { return a.inputTime < b.inputTime; });
    }
    return result;
}

}  // namespace

QList<DayTimes> MonthlyDayTimes(const TablePtr& clock, const QString& userId, const QDate& month) {
    const std::optional<QByteArray> user = encodedKey(userId);
    if (!user || user->isEmpty()) {
        return {};
    }
    return gatherMonth(*clock, month, [&](QByteArrayView stored) { return stored == *user; }).value(*user);
}

StaffMonth::StaffMonth(const ParsedTable& clock, const QDate& month)
    : days_(gatherMonth(clock, month, [](QByteArrayView) { return true; })) {}

QList<DayTimes> StaffMonth::days(const QString& userId) const {
    const std::optional<QByteArray> user = encodedKey(userId);
    return user ? days_.value(*user) : QList<DayTimes>();
}

std::optional<qint64> DayWorkedTime(const Value& input, const Value& output) {
    if (!input || !output) {
        return std::nullopt;
    }
    const auto in = ReadDateAndTime(*input);
    const auto out = ReadDateAndTime(*output);
    if (!in || !out) {
        return std::nullopt;
    }
    // Wall-clock arithmetic: a night across a change of daylight saving time still counts its hours as shown.
    const qint64 elapsed = in->date.daysTo(out->date) * 86400 + in->time.secsTo(out->time);
    return elapsed <= 0 ? 0 : elapsed / 60 * 60;
}

QString DayWorkedText(qint64 seconds) {
    return QStringLiteral("%1:%2")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds % 3600 / 60, 2, 10, QLatin1Char('0'));
}

qint64 MonthlyTotal(const QList<DayTimes>& days) {
    qint64 total = 0;
    for (const DayTimes& day : days) {
        total += DayWorkedTime(day.input, day.output).value_or(0);
    }
    return total;
}

QString WorkedTotalText(qint64 totalSeconds) {
    return QStringLiteral("%1:%2").arg(totalSeconds / 3600).arg(totalSeconds % 3600 / 60, 2, 10, QLatin1Char('0'));
}

double AmountFromTotal(const QString& totalText, double unitPrice, int unit) {
    unit = UsableRoundingUnit(unit);
    const qsizetype n = QString(totalText).remove(u':').size() - 2;
    const double minutes = n < 0 ? 0.0 : totalText.left(n).toDouble() * 60 + totalText.right(2).toDouble();
    const double blocks = std::trunc(minutes / unit);
    return blocks * unitPrice / (60.0 / unit);
}

}  // namespace tsumiki
