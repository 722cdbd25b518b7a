#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

#include "store/tablestore.h"

// What the two monthly sheets show, worked out without any widget so the rules are tested on their own and
// the screens only copy it into their grids.
namespace tsumiki {

// The first day of the month named by a year text of one to four digits and a month text "01" to "12"; nothing
// for anything else. A one- or two-digit year is read as a date's year is read when typed: 0–29 as 2000–2029,
// 30–99 as 1930–1999.
std::optional<QDate> MonthStartFromTexts(const QString& yearText, const QString& monthText);

// "2026年12月"
QString MonthText(const QDate& monthStart);

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb&) const = default;
};

// Background colours of the weekend rows of the individual sheet.
inline constexpr Rgb kSundayColor{255, 192, 255};
inline constexpr Rgb kSaturdayColor{192, 255, 255};

struct IndividualSheetDay {
    QString day;      // "1" … "31"
    QString weekday;  // 日 月 火 水 木 金 土
    std::optional<Rgb> background;
    QString start;   // "hh:mm" or empty
    QString end;     // "hh:mm" or empty
    QString worked;  // "hh:mm" or empty
    QString douhan;  // "○" or empty
};

struct IndividualSheet {
    QList<IndividualSheetDay> days;  // one per calendar day
    qint64 totalSeconds = 0;
    QString totalText;     // WorkedTotalText
    qint32 unitPrice = 0;  // the person's stored TANKA
    QString amount;        // the pay for the total at that price, "#,##0"
};

// One person's month: every calendar day with its weekday and colour, the day's times from the clock table, the
// month's total and its pay.
IndividualSheet BuildIndividualSheet(const TableStore& store, const QString& userId, const QDate& monthStart);

struct StaffSheetLine {
    QString userName;
    QString hours;   // WorkedTotalText
    QString amount;  // "#,##0"
    QString userId;
};

// Every user with an ID, in file order, with the month's total and pay at the user's unit price. The clock table is
// read once for all of them.
QList<StaffSheetLine> BuildStaffSheet(const TableStore& store, const QDate& monthStart);

// The pay for a WorkedTotalText at the unit price, with the rounding unit the control table holds now: "#,##0".
QString PayText(const TableStore& store, const QString& totalText, double unitPrice);

// A typed unit price: an optional leading "-", digits and at most one full stop, with at least one digit
// ("150.5", "-5", ".5"). Nothing for anything else ("1.2.3", "-", empty, a control character).
std::optional<double> ParseUnitPrice(const QString& text);

}  // namespace tsumiki
