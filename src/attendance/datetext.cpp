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

template <typename View>
std::optional<QTime> readTime(View text, qsizetype& i) {
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
    const QTime t(*h, *m, s);
    return t.isValid() ? std::optional<QTime>(t) : std::nullopt;
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

// The reading itself, without a QDateTime: making a local date-time asks the time zone each time, which
// would dominate checking a whole clock table.
template <typename View>
std::optional<DateAndTime> readDateTime(View text) {
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
        return DateAndTime{QDate(1899, 12, 30), *t};
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
    if (!d) {
        return std::nullopt;
    }
    const QDate date(*y, *mo, *d);
    if (!date.isValid()) {
        return std::nullopt;
    }
    if (i == text.size()) {
        return DateAndTime{date, QTime(0, 0)};
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
    return DateAndTime{date, *t};
}

}  // namespace

std::optional<QDateTime> ParseDateTimeText(QStringView text) {
    const std::optional<DateAndTime> read = readDateTime(text);
    return read ? std::optional<QDateTime>(QDateTime(read->date, read->time)) : std::nullopt;
}

std::optional<DateAndTime> ReadDateAndTime(QStringView text) {
    return readDateTime(text);
}

bool IsDateText(QStringView text) {
    return readDateTime(text).has_value();
}

bool IsDateText(QByteArrayView ascii) {
    return readDateTime(ascii).has_value();
}

}  // namespace tsumiki
