// The one rule for typed dates and times: what the clock-record editor accepts is what the program reads back.
#include <QtTest>

#include "attendance/datetext.h"

using namespace tsumiki;

class TestDateText : public QObject {
    Q_OBJECT

private slots:
    // What the rule accepts, and the moment it reads ("none" for a refusal).
    void validDates_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("moment");
        const char* rows[][3] = {
            {"one-digit month, day and hour", "2026/1/5 9:05", "2026/01/05 09:05:00"},
            {"time alone", "9:15", "1899/12/30 09:15:00"},
            {"time alone with seconds", "23:59:59", "1899/12/30 23:59:59"},
            {"empty", "", "none"},
            {"date and junk", "2009/05/01x", "none"},
            {"time and junk", "2009/05/01 09:00x", "none"},
            {"hyphens", "2009-05-01", "none"},
        };
        for (const auto& r : rows) {
            QTest::newRow(r[0]) << QString::fromUtf8(r[1]) << QString::fromUtf8(r[2]);
        }
    }

    void validDates() {
        QFETCH(QString, text);
        QFETCH(QString, moment);
        QCOMPARE(IsDateText(text), moment != u"none");
        const std::optional<QDateTime> parsed = ParseDateTimeText(text);
        QCOMPARE(parsed ? parsed->toString("yyyy/MM/dd HH:mm:ss") : QString("none"), moment);
    }

    // The stored forms are read at fixed places when they come as bytes; any such text, valid or not, gets the
    // verdict of the general reader, and a date alone is one when the calendar has it (no year 0, leap days).
    void storedFormsAsBytesAgreeWithTheReader() {
        const QStringList years = {"0000", "0001", "1899", "2000", "2024", "2100", "2026", "9999", "20a6"};
        const QStringList times = {"",          " 00:00",   " 23:59",    " 24:00",   " 09:60",    " 9:5",
                                   " 5:00:00",  " 0:00:00", " 9:59:59",  " 9:00:60", " 23:59:59", " 24:00:00",
                                   " 12:34:56", " 1x:00",   "  5:00:00", " 05:00:0"};
        for (const QString& year : years) {
            for (int month = 0; month <= 13; ++month) {
                for (int day = 0; day <= 32; ++day) {
                    for (const QString& time : times) {
                        const QString text = QStringLiteral("%1/%2/%3%4")
                                                 .arg(year)
                                                 .arg(month, 2, 10, QLatin1Char('0'))
                                                 .arg(day, 2, 10, QLatin1Char('0'))
                                                 .arg(time);
                        const bool read = ParseDateTimeText(text).has_value();
                        if (IsDateText(QByteArrayView(text.toLatin1())) != read ||
                            (time.isEmpty() && read != QDate::isValid(year.toInt(), month, day))) {
                            QFAIL(qPrintable(text));
                        }
                    }
                }
            }
        }
    }

    // Every business date and clock time the program writes over two years reads back as itself.
    void writtenFormsReadBack() {
        for (int day = 0; day < 730; ++day) {
            const QDateTime moment(QDate(2025, 1, 1).addDays(day), QTime(day % 24, (day * 7) % 60));
            for (const QString& text : {InputTimeText(moment), TimePrintText(moment.date(), moment.time())}) {
                QCOMPARE(ParseDateTimeText(text), moment);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestDateText)
#include "tst_datetext.moc"
