#include "clockdata.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <vector>

#include "store/cp932.h"
#include "store/tablewriter.h"

namespace tsumiki::bench {

qint64 writeSampleFolder(const QString& folder, int staff, int days) {
    QDir(folder).mkpath(QStringLiteral("DB"));
    const QString db = QDir(folder).filePath(QStringLiteral("DB"));
    auto writeBytes = [&](Table table, const QByteArray& bytes) {
        QFile f(QDir(db).filePath(schemaOf(table).fileName));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            qFatal("cannot write the benchmark data");
        }
        f.write(bytes);
    };
    auto write = [&](Table table, const QString& text) { writeBytes(table, cp932::encode(text).bytes); };
    TableWriter users(Table::User);
    for (int u = 1; u <= staff; ++u) {
        users.addValues({QStringLiteral("%1").arg(u, 4, 10, QLatin1Char('0')), QStringLiteral("スタッフ%1").arg(u),
                         std::nullopt, QString::number(1000 + u * 10)});
    }
    writeBytes(Table::User, users.bytes());
    write(Table::Control, QStringLiteral("CTLCODE,CODE1,CODE2,CODE3,COMMENT\r\n\"CTL0003\",\"05:00\",\"\",\"\",\"\"\r\n"
                                         "\"CTL0004\",\"15\",\"\",\"\",\"\"\r\n"));
    write(Table::Message, QStringLiteral("MSGID,MESSAGE\r\n"));

    TableWriter clock(Table::Clock);
    const QDate last(2026, 12, 31);
    qint64 rows = 0;
    // Day by day, every user: the order a shop's file grows in.
    for (int d = days - 1; d >= 0; --d) {
        const QDate day = last.addDays(-d);
        const QString business = day.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(" 5:00:00");
        for (int u = 1; u <= staff; ++u) {
            const QString id = QStringLiteral("%1").arg(u, 4, 10, QLatin1Char('0'));
            const int start = 18 * 60 + (u * 15 + d * 15) % 180;
            const QString in =
                day.toString(QStringLiteral("yyyy/MM/dd ")) + QStringLiteral("%1:%2")
                                                                  .arg(start / 60, 2, 10, QLatin1Char('0'))
                                                                  .arg(start % 60, 2, 10, QLatin1Char('0'));
            const int end = start + 300 + (u * 7 + d) % 120;
            const QDate endDay = end >= 24 * 60 ? day.addDays(1) : day;
            const int endMin = end % (24 * 60);
            const QString out = endDay.toString(QStringLiteral("yyyy/MM/dd ")) +
                                QStringLiteral("%1:%2")
                                    .arg(endMin / 60, 2, 10, QLatin1Char('0'))
                                    .arg(endMin % 60 / 15 * 15, 2, 10, QLatin1Char('0'));
            clock.addValues({id, business, in, QStringLiteral("1"), QString::number((u + d) % 5 == 0 ? 1 : 0)});
            clock.addValues({id, business, out, QStringLiteral("2"), std::nullopt});
            rows += 2;
        }
    }
    writeBytes(Table::Clock, clock.bytes());
    return rows;
}

double iconvBaselineMs(const QString& file, int runs) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        best = std::min(best, iconvMs(file));
    }
    return best;
}

double iconvMs(const QString& file) {
    return timeMs([&] {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(QStringLiteral("iconv"),
                {QStringLiteral("-f"), QStringLiteral("CP932"), QStringLiteral("-t"), QStringLiteral("UTF-8"), file});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            qFatal("iconv failed");
        }
    });
}

double timeMs(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

namespace {
double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}
}  // namespace

PairedFigure pairedMedian(int pairs, const std::function<double()>& baselineMs, const std::function<double()>& workMs) {
    std::vector<double> base, work, ratio;
    for (int i = 0; i < pairs; ++i) {
        base.push_back(baselineMs());
        work.push_back(workMs());
        ratio.push_back(work.back() / base.back());
    }
    return {median(base), median(work), median(ratio)};
}

void printFigure(QTextStream& out, const QString& what, const QString& name, const PairedFigure& figure, double target,
                 const QString& baseline) {
    out << QStringLiteral("%1: %2 ms, %3 %4 ms = %5 x baseline (target <= %6)\n")
               .arg(what)
               .arg(figure.workMs, 0, 'f', 1)
               .arg(baseline)
               .arg(figure.baselineMs, 0, 'f', 1)
               .arg(figure.ratio, 0, 'f', 2)
               .arg(target);
    out << QStringLiteral("ratio %1 %2 %3\n").arg(name).arg(figure.ratio, 0, 'f', 2).arg(target);
    out.flush();
}

}  // namespace tsumiki::bench
