#include "attendance/datetext.h"

namespace tsumiki {
namespace {

// Reads 1 to maxDigits digits at position i; advances i.
std::optional<int> readNumber(QStringView text, qsizetype& i, int maxDigits) {
    int value = 0;
    int digits = 0;
    while (i < text.size() && digits < maxDigits && text[i] >= u'0' && text[i] <= u'9') {
        value = value * 10 + (text[i].unicode() - u'0');
        ++i;
        ++digits;
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return value;
}

bool expect(QStringView text, qsizetype& i, char16_t c) {
    if (i < text.size() && text[i] == c) {
        ++i;
        return true;
    }
    return false;
}

std::optional<QTime> readTime(QStringView text, qsizetype& i) {
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

std::optional<QDateTime> ParseDateTimeText(QStringView text) {
    text = text.trimmed();
    qsizetype i = 0;
    // A time alone.
    if (text.size() <= 8 && text.contains(u':') && !text.contains(u'/')) {
        const auto t = readTime(text, i);
        if (!t || i != text.size()) {
            return std::nullopt;
        }
        return QDateTime(QDate(1899, 12, 30), *t);
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
        return QDateTime(date, QTime(0, 0));
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
    return QDateTime(date, *t);
}

}  // namespace tsumiki
