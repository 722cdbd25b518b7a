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

bool IsDateText(QByteArrayView ascii) {
    return readDateTime(ascii).has_value();
}

}  // namespace tsumiki
