#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringView>
#include <QTime>

#include <optional>

// The text forms dates and times take in the clock table, and the reading of the forms people type.
namespace tsumiki {

// "yyyy/mm/dd" when the time of day is 00:00:00, else the date, a blank and the time with a one- or two-digit
// hour and seconds ("2026/12/05 5:00:00"): the form a business date is stored in.
QString InputTimeText(const QDateTime& businessDate);

// "yyyy/mm/dd hh:mm", the form a clock time is stored in.
QString TimePrintText(const QDate& date, const QTime& time);

// Reads a date, a date and time, or a time alone: "yyyy/m/d", optionally followed by a blank and "h:mm" or
// "h:mm:ss"; or "h:mm[:ss]" alone (dated 1899/12/30, the day a time without a date belongs to). Impossible
// dates and times (2009/02/30, 25:00) give nothing.
std::optional<QDateTime> ParseDateTimeText(QStringView text);

// The same reading as a calendar date and a time of day, without making a local date-time (which asks the time
// zone each time): for arithmetic over many rows, on the clock of the wall, as the shop counts hours.
struct DateAndTime {
    QDate date;
    QTime time;
};
std::optional<DateAndTime> ReadDateAndTime(QStringView text);

// Whether a typed date, date and time or time alone is one the program can read: the rule of the clock-record
// editor's date and time cells, so that what it accepts is what the clock screen and the sheets read back.
bool IsDateText(QStringView text);
// The same for text given as ASCII bytes.
bool IsDateText(QByteArrayView ascii);

}  // namespace tsumiki
