#include "sheets/sheetcontent.h"

#include "attendance/businessdate.h"
#include "attendance/datetext.h"
#include "sheets/aggregation.h"
#include "store/lookups.h"
#include "store/queries.h"

namespace tsumiki {
namespace {

bool isDigits(QStringView text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// "hh:mm" of a stored clock time; a text that does not read as one is shown as it is.
QString clockText(const Value& stored) {
    if (!stored) {
        return QString();
    }
    const auto parsed = ParseDateTimeText(*stored);
    return parsed ? parsed->time().toString(QStringLiteral("HH:mm")) : *stored;
}

}  // namespace

std::optional<QDate> MonthStartFromTexts(const QString& yearText, const QString& monthText) {
    if (yearText.size() > 4 || !isDigits(yearText) || monthText.size() != 2 || !isDigits(monthText)) {
        return std::nullopt;
    }
    int year = yearText.toInt();
    if (yearText.size() <= 2) {
        year += year < 30 ? 2000 : 1900;
    }
    const QDate start(year, monthText.toInt(), 1);
    if (!start.isValid() || year < 1) {
        return std::nullopt;
    }
    return start;
}

QString MonthText(const QDate& monthStart) {
    return monthStart.toString(QStringLiteral("yyyy")) + QStringLiteral("年") +
           monthStart.toString(QStringLiteral("MM")) + QStringLiteral("月");
}

IndividualSheet BuildIndividualSheet(const TableStore& store, const QString& userId, const QDate& monthStart) {
    static const QString kWeekdays[] = {QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
                                        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土"),
                                        QStringLiteral("日")};
    IndividualSheet sheet;
    for (int d = 1; d <= monthStart.daysInMonth(); ++d) {
        const QDate date(monthStart.year(), monthStart.month(), d);
        IndividualSheetDay day;
        day.day = QString::number(d);
        day.weekday = kWeekdays[date.dayOfWeek() - 1];
        if (date.dayOfWeek() == Qt::Sunday) {
            day.background = kSundayColor;
        } else if (date.dayOfWeek() == Qt::Saturday) {
            day.background = kSaturdayColor;
        }
        sheet.days.append(day);
    }
    for (const DayTimes& times : MonthlyDayTimes(store.read(Table::Clock), userId, monthStart)) {
        const auto business = ParseDateTimeText(times.inputTime);
        if (!business || business->date().year() != monthStart.year() ||
            business->date().month() != monthStart.month()) {
            continue;
        }
        // Two business-date spellings of one day share its line: the later one shows, both count.
        IndividualSheetDay& day = sheet.days[business->date().day() - 1];
        day.start = clockText(times.input);
        day.end = clockText(times.output);
        const std::optional<qint64> worked = DayWorkedTime(times.input, times.output);
        day.worked = worked ? DayWorkedText(*worked) : QString();
        sheet.totalSeconds += worked.value_or(0);
        if (times.douhan) {
            day.douhan = *times.douhan == u"1" ? QStringLiteral("○") : QString();
        }
    }
    sheet.totalText = WorkedTotalText(sheet.totalSeconds);
    sheet.unitPrice = GetUnitPrice(store, userId);
    sheet.amount = PayText(store, sheet.totalText, sheet.unitPrice);
    return sheet;
}

QList<StaffSheetLine> BuildStaffSheet(const TableStore& store, const QDate& monthStart) {
    QList<StaffSheetLine> lines;
    for (const Record& user : AllUsers(store.read(Table::User))) {
        const Value id = user.value(u"ID");
        if (!id) {
            continue;
        }
        lines.append({user.value(u"USERNAME").value_or(QString()), QString(), QString(), *id});
    }
    const qint16 unit = GetRoundingMinutes(store);
    const StaffMonth month(*store.read(Table::Clock), monthStart);
    for (StaffSheetLine& line : lines) {
        line.hours = WorkedTotalText(MonthlyTotal(month.days(line.userId)));
        line.amount = FormatAmount(AmountFromTotal(line.hours, GetUnitPrice(store, line.userId), unit));
    }
    return lines;
}

QString PayText(const TableStore& store, const QString& totalText, double unitPrice) {
    return FormatAmount(AmountFromTotal(totalText, unitPrice, GetRoundingMinutes(store)));
}

std::optional<double> ParseUnitPrice(const QString& text) {
    QString digits = text.startsWith(u'-') ? text.mid(1) : text;
    if (digits.count(u'.') > 1 || !isDigits(digits.remove(u'.'))) {
        return std::nullopt;
    }
    bool ok = false;
    const double price = text.toDouble(&ok);
    return ok ? std::optional<double>(price) : std::nullopt;
}

}  // namespace tsumiki
