#pragma once

#include <QString>
#include <QTextStream>

#include <functional>

namespace tsumiki::bench {

// Writes an application folder under `folder` with a user table of `staff` users and a clock table of one
// clock-in and one clock-out per user and day over `days` days ending 2026/12/31, in the real file format
// (code page 932, CR LF, the quoting the program writes), with the business dates of a 05:00 day change.
// Returns the number of clock rows.
qint64 writeSampleFolder(const QString& folder, int staff, int days);

// Milliseconds of `iconv -f CP932 -t UTF-8 <file>` into /dev/null, fastest of `runs`: the baseline every figure
// is set against, since decoding the file is the least any read of it must do.
double iconvBaselineMs(const QString& file, int runs);

// Milliseconds of one run of `iconv -f CP932 -t UTF-8 <file>` into /dev/null.
double iconvMs(const QString& file);

// A figure taken as the median of paired runs: the baseline and the work are measured alternately, so that a
// machine that slows down or speeds up during the benchmark weighs on both alike.
struct PairedFigure {
    double baselineMs = 0;  // median of the baseline runs
    double workMs = 0;      // median of the work runs
    double ratio = 0;       // median of the per-pair ratios work / baseline
};
PairedFigure pairedMedian(int pairs, const std::function<double()>& baselineMs, const std::function<double()>& workMs);

// Pairs per figure: enough for a median that one disturbed run does not move.
inline constexpr int kPairedRuns = 7;

// The figure in words, then as the line `ratio <name> <value> <target>` that `make bench` checks against its target.
void printFigure(QTextStream& out, const QString& what, const QString& name, const PairedFigure& figure, double target,
                 const QString& baseline = QStringLiteral("iconv"));

// One run of `work`, in milliseconds.
double timeMs(const std::function<void()>& work);

}  // namespace tsumiki::bench
