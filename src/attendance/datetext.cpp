#include "attendance/datetext.h"

namespace tsumiki {
namespace {

// The readers below work on a QStringView or, for text known to be ASCII (a stored date), on its bytes.
char16_t at(QStringView text, qsizetype i) {
    return text[i].unicode();
}
char16_t at(QByteArrayView text, qsizetype i) {
    return char16_t(uchar(text[i]));
}

// Reads 1 to maxDigits digits at position i; advances i.
template <typename View>
std::optional<int> readNumber(View text, qsizetype& i, int maxDigits) {
    int value = 0;
    int digits = 0;
    while (i < text.size() && digits < maxDigits && at(text, i) >= u'0' && at(text, i) <= u'9') {
        value = value * 10 + (at(text, i) - u'0');
        ++i;
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return value;
}

template <typename View>
bool expect(View text, qsizetype& i, char16_t c) {
    if (i < text.size() && at(text, i) == c) {
        ++i;
        return true;
    }
    return false;
}

struct Clock24 {
    int hour, minute, second;
};

template <typename View>
std::optional<Clock24> readTime(View text, qsizetype& i) {
    const auto h = readNumber(text, i, 2);
    if (!h || !expect(text, i, u':')) {
        return std::nullopt;
    }
    const auto m = readNumber(text, i, 2);
    if (!m) {
        return std::nullopt;
    }
    int s = 0;
    if (expect(text, i, u':')) {
        const auto sec = readNumber(text, i, 2);
        if (!sec) {
            return std::nullopt;
        }
        s = *sec;
    }
    if (*h > 23 || *m > 59 || s > 59) {
        return std::nullopt;
    }
    return Clock24{*h, *m, s};
}

// The calendar's rule, worked out here rather than by making a QDate: checking a whole clock table reads two
// dates a row.
bool isCalendarDate(int year, int month, int day) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 1 || month < 1 || month > 12 || day < 1) {
        return false;
    }
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

}  // namespace

QString InputTimeText(const QDateTime& businessDate) {
    const QString date = businessDate.date().toString(QStringLiteral("yyyy/MM/dd"));
    const QTime t = businessDate.time();
    if (t == QTime(0, 0)) {
        return date;
    }
    return date + u' ' + t.toString(QStringLiteral("H:mm:ss"));
}

QString TimePrintText(const QDate& date, const QTime& time) {
    return date.toString(QStringLiteral("yyyy/MM/dd ")) + time.toString(QStringLiteral("HH:mm"));
}

namespace {

// A date and time as read, before any QDate is made.
struct DateParts {
    int year, month, day;
    Clock24 time;
};

// The reading itself, without a QDateTime: making a local date-time asks the time zone each time, which
// would dominate checking a whole clock table.
template <typename View>
std::optional<DateParts> readDateTime(View text) {
    text = text.trimmed();
    qsizetype i = 0;
    // A time alone.
    auto has = [&](char16_t c) {
        for (qsizetype k = 0; k < text.size(); ++k) {
            if (at(text, k) == c) {
                return true;
            }
        }
        return false;
    };
    if (text.size() <= 8 && has(u':') && !has(u'/')) {
        const auto t = readTime(text, i);
        if (!t || i != text.size()) {
            return std::nullopt;
        }
        return DateParts{1899, 12, 30, *t};
    }
    const auto y = readNumber(text, i, 4);
    if (!y || !expect(text, i, u'/')) {
        return std::nullopt;
    }
    const auto mo = readNumber(text, i, 2);
    if (!mo || !expect(text, i, u'/')) {
        return std::nullopt;
    }
    const auto d = readNumber(text, i, 2);
    if (!d || !isCalendarDate(*y, *mo, *d)) {
        return std::nullopt;
    }
    if (i == text.size()) {
        return DateParts{*y, *mo, *d, {0, 0, 0}};
    }
    if (!expect(text, i, u' ')) {
        return std::nullopt;
    }
    while (expect(text, i, u' ')) {
    }
    const auto t = readTime(text, i);
    if (!t || i != text.size()) {
        return std::nullopt;
    }
    return DateParts{*y, *mo, *d, *t};
}

}  // namespace

std::optional<QDateTime> ParseDateTimeText(QStringView text) {
    const std::optional<DateParts> read = readDateTime(text);
    if (!read) {
        return std::nullopt;
    }
    return QDateTime(QDate(read->year, read->month, read->day),
                     QTime(read->time.hour, read->time.minute, read->time.second));
}

std::optional<DateAndTime> ReadDateAndTime(QStringView text) {
    const std::optional<DateParts> read = readDateTime(text);
    if (!read) {
        return std::nullopt;
    }
    return DateAndTime{QDate(read->year, read->month, read->day),
                       QTime(read->time.hour, read->time.minute, read->time.second)};
}

bool IsDateText(QStringView text) {
    return readDateTime(text).has_value();
}

namespace {

int twoDigits(QByteArrayView t, qsizetype i) {
    const unsigned a = uchar(t[i]) - unsigned('0');
    const unsigned b = uchar(t[i + 1]) - unsigned('0');
    return a <= 9 && b <= 9 ? int(a * 10 + b) : -1;
}

// The forms the program itself stores (yyyy/MM/dd, then H:mm:ss, HH:mm:ss or HH:mm after a blank), read at fixed
// places; a clock table holds two such dates a row. Null for any other text, which the general reader takes.
std::optional<bool> storedFormIsDate(QByteArrayView t) {
    const qsizetype n = t.size();
    if (n != 10 && n != 16 && n != 18 && n != 19) {
        return std::nullopt;
    }
    const int century = twoDigits(t, 0);
    const int year = twoDigits(t, 2);
    const int month = twoDigits(t, 5);
    const int day = twoDigits(t, 8);
    if (century < 0 || year < 0 || month < 0 || day < 0 || t[4] != '/' || t[7] != '/') {
        return std::nullopt;
    }
    const bool date = isCalendarDate(century * 100 + year, month, day);
    if (n == 10) {
        return date;
    }
    // The time after one blank: H:mm:ss (18 characters in all), HH:mm:ss (19) or HH:mm (16).
    const qsizetype at = n == 18 ? 12 : 13;
    const unsigned single = uchar(t[11]) - unsigned('0');
    const int hour = n != 18 ? twoDigits(t, 11) : single <= 9 ? int(single) : -1;
    if (t[10] != ' ' || hour < 0 || t[at] != ':') {
        return std::nullopt;
    }
    const int minute = twoDigits(t, at + 1);
    const int second = n == 16 ? 0 : twoDigits(t, at + 4);
    if (minute < 0 || second < 0 || (n != 16 && t[at + 3] != ':')) {
        return std::nullopt;
    }
    return date && hour <= 23 && minute <= 59 && second <= 59;
}

}  // namespace

bool IsDateText(QByteArrayView ascii) {
    if (const std::optional<bool> stored = storedFormIsDate(ascii)) {
        return *stored;
    }
    return readDateTime(ascii).has_value();
}

}  // namespace tsumiki
