#include "sheets/workbookexport.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cmath>
#include <memory>

#include "attendance/businessdate.h"
#include "store/lookups.h"

namespace tsumiki {
namespace {

constexpr int kColB = 2, kColC = 3, kColD = 4, kColE = 5, kColF = 6, kColI = 9;
constexpr int kFirstDayRow = 7;
constexpr int kFirstStaffRow = 5;
constexpr qint64 kDay = 86400;
constexpr int kWaitSeconds = 3;

const QString kTitle = QStringLiteral("エラー");
const QString kTemplateMissing = QStringLiteral("テンプレートファイルが見つかりません。");
const QString kInUse = QStringLiteral("ファイルは使用中です。ファイルを終了してください。");

// What goes into one cell: a number where the templates compute, the screen's text otherwise.
struct CellValue {
    QString text;
    std::optional<double> number;
};

CellValue textValue(const QString& text) {
    return {text, std::nullopt};
}

CellValue timeValue(const QString& text, std::optional<qint64> seconds) {
    return {text, seconds ? std::optional<double>(double(*seconds) / kDay) : std::nullopt};
}

CellValue integerValue(const QString& text) {
    bool ok = false;
    const qint64 n = QString(text).remove(u',').toLongLong(&ok);
    return {text, ok ? std::optional<double>(double(n)) : std::nullopt};
}

// The unit price box as a whole number, as the recalculation reads it: an optional minus, digits, at most one full
// stop; halves go to the even neighbour. Nothing for any other text.
std::optional<double> wholeUnitPrice(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^-?(\\d+\\.?\\d*|\\.\\d+)$"));
    if (text.isEmpty()) {
        return 0.0;
    }
    if (!number.match(text).hasMatch()) {
        return std::nullopt;
    }
    return std::nearbyint(text.toDouble());
}

}  // namespace

// Fills the first sheet cell by cell and remembers the first failure; once one step failed the rest are skipped,
// so that a half-filled workbook is never saved.
class WorkbookExport::Filling {
public:
    explicit Filling(Workbook& book) : book_(book) {}

    void step(bool ok) {
        if (!ok && error_.isEmpty()) {
            error_ = book_.errorString();
        }
    }
    bool failed() const { return !error_.isEmpty(); }
    const QString& error() const { return error_; }

    void write(int row, int column, const CellValue& value) {
        if (failed()) {
            return;
        }
        step(value.number ? book_.writeNumber(row, column, *value.number) : book_.writeText(row, column, value.text));
    }
    void fillIfEmpty(int row, int column, const CellValue& value) {
        if (failed()) {
            return;
        }
        const std::optional<CellContent> now = book_.cell(row, column);
        step(now.has_value());
        if (now && now->isEmpty()) {
            write(row, column, value);
        }
    }

private:
    Workbook& book_;
    QString error_;
};

QString FileNameSafe(const QString& text) {
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            out += u'_';
        } else if (forbidden.contains(c)) {
            out += QChar(c.unicode() - 0x20 + 0xFF00);  // the full-width form
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<qint64> ClockTextSeconds(const QString& text) {
    static const QRegularExpression clock(QStringLiteral("^(\\d{1,6}):(\\d{2})$"));
    const QRegularExpressionMatch m = clock.match(text);
    if (!m.hasMatch() || m.capturedView(2).toInt() > 59) {
        return std::nullopt;
    }
    return m.capturedView(1).toLongLong() * 3600 + m.capturedView(2).toInt() * 60;
}

qint64 EndOnFortyEightHourClock(std::optional<qint64> startSeconds, qint64 endSeconds) {
    return startSeconds && *startSeconds >= endSeconds ? endSeconds + kDay : endSeconds;
}

QString WorkbookExport::templatePath(const QString& name) const {
    return QDir(store_.appFolder()).filePath(QStringLiteral("excelテンプレート/") + name);
}

QString WorkbookExport::individualOutputPath(const QString& userName, const QString& monthText) const {
    return QDir(store_.appFolder())
        .filePath(QStringLiteral("出力帳票/勤務表個人_%1_%2.xls").arg(FileNameSafe(userName), FileNameSafe(monthText)));
}

QString WorkbookExport::staffOutputPath(const QString& monthText) const {
    return QDir(store_.appFolder()).filePath(QStringLiteral("出力帳票/勤務表全員_%1.xls").arg(FileNameSafe(monthText)));
}

bool WorkbookExport::refuse(const QString& text) {
    boxes_.warn(kTitle, text);
    return false;
}

bool WorkbookExport::exportIndividual(const IndividualWorkbookContent& content) {
    const QString templateFile = templatePath(QStringLiteral("勤務表個人.xls"));
    const QString output = individualOutputPath(content.userName, content.monthText);
    const bool reopen = QFileInfo::exists(output);
    if (reopen) {
        if (spreadsheet_.isInUse(output)) {
            return refuse(kInUse);
        }
    } else {
        if (!QFileInfo::exists(templateFile)) {
            return refuse(kTemplateMissing);
        }
        if (spreadsheet_.isInUse(templateFile)) {
            return refuse(kInUse);
        }
    }

    const QString password = GetControlCode(store_, QStringLiteral("CTL0005"), QStringLiteral("1"));
    const std::unique_ptr<Workbook> book =
        spreadsheet_.open(reopen ? output : templateFile, reopen ? password : QString());
    if (!book) {
        // The earlier workbook may hold what was typed into it by hand; it is left as it is.
        return refuse(reopen ? QStringLiteral("以前に出力したブックを開けないため、Excel出力を中止しました。"
                                              "ブックはそのまま残してあります。\n%1")
                                   .arg(spreadsheet_.errorString())
                             : QStringLiteral("Excel出力に失敗しました。\n%1").arg(spreadsheet_.errorString()));
    }
    Filling fill(*book);
    fill.step(book->unprotectSheet());
    for (int d = 1; d <= content.days.size(); ++d) {
        const IndividualWorkbookDay& day = content.days[d - 1];
        const int row = d + kFirstDayRow - 1;
        const std::optional<qint64> start = ClockTextSeconds(day.start);
        if (!day.day.isEmpty()) {
            fill.fillIfEmpty(row, kColB, integerValue(day.day));
        }
        fill.fillIfEmpty(row, kColE, textValue(QStringLiteral("～")));
        if (!day.weekday.isEmpty()) {
            fill.fillIfEmpty(row, kColC, textValue(day.weekday));
        }
        if (!day.start.isEmpty()) {
            fill.fillIfEmpty(row, kColD, timeValue(day.start, start));
        }
        if (!day.end.isEmpty()) {
            const std::optional<qint64> end = ClockTextSeconds(day.end);
            if (end) {
                const qint64 x = EndOnFortyEightHourClock(start, *end);
                const QString text = QStringLiteral("%1:%2")
                                         .arg(x / 3600, 2, 10, QLatin1Char('0'))
                                         .arg(x % 3600 / 60, 2, 10, QLatin1Char('0'));
                fill.fillIfEmpty(row, kColF, timeValue(text, x));
            } else {
                fill.fillIfEmpty(row, kColF, textValue(day.end));
            }
        }
        if (!day.douhan.isEmpty()) {
            fill.fillIfEmpty(row, kColI, textValue(day.douhan));
        }
    }
    fill.fillIfEmpty(2, kColE, textValue(content.userId));
    fill.fillIfEmpty(3, kColE, textValue(content.userName));
    fill.fillIfEmpty(4, kColB, textValue(content.monthText));
    if (const std::optional<double> price = wholeUnitPrice(content.unitPriceText)) {
        fill.write(43, kColD, {QString::number(*price), price});
    }
    // The template works out the pay in the same blocks as the screen does.
    fill.write(44, kColF, integerValue(QString::number(GetRoundingMinutes(store_))));
    return finish(*book, fill, output);
}

bool WorkbookExport::exportStaff(const StaffWorkbookContent& content) {
    const QString templateFile = templatePath(QStringLiteral("勤務表全員.xls"));
    if (!QFileInfo::exists(templateFile)) {
        return refuse(kTemplateMissing);
    }
    if (spreadsheet_.isInUse(templateFile)) {
        return refuse(kInUse);
    }
    const QString output = staffOutputPath(content.monthText);
    if (QFileInfo::exists(output) && spreadsheet_.isInUse(output)) {
        return refuse(kInUse);
    }
    const std::unique_ptr<Workbook> book = spreadsheet_.open(templateFile, QString());
    if (!book) {
        return refuse(QStringLiteral("Excel出力に失敗しました。\n%1").arg(spreadsheet_.errorString()));
    }
    Filling fill(*book);
    fill.step(book->unprotectSheet());
    for (int r = 1; r <= content.lines.size(); ++r) {
        const StaffWorkbookLine& line = content.lines[r - 1];
        const int row = r + kFirstStaffRow - 1;
        if (!line.userName.isEmpty()) {
            fill.write(row, kColC, textValue(line.userName));
        }
        if (!line.hours.isEmpty()) {
            fill.write(row, kColE, timeValue(line.hours, ClockTextSeconds(line.hours)));
        }
        if (!line.amount.isEmpty()) {
            fill.write(row, kColF, integerValue(line.amount));
        }
    }
    fill.write(2, kColB, textValue(content.monthText));
    return finish(*book, fill, output);
}

bool WorkbookExport::finish(Workbook& book, Filling& fill, const QString& output) {
    if (!fill.failed()) {
        pause_.keepScreenResponsiveFor(kWaitSeconds);
    }
    fill.step(fill.failed() || book.protectSheet());
    const QString folder = QFileInfo(output).absolutePath();
    if (!fill.failed() && !QDir().mkpath(folder)) {
        return refuse(QStringLiteral("Excel出力に失敗しました。\n出力先のフォルダを作れません：%1").arg(folder));
    }
    // Read again, as the password may have been changed during the wait.
    const QString password = GetControlCode(store_, QStringLiteral("CTL0005"), QStringLiteral("1"));
    fill.step(fill.failed() || book.saveAs(output, password));
    if (fill.failed()) {
        return refuse(QStringLiteral("Excel出力に失敗しました。ブックは保存していません。\n%1").arg(fill.error()));
    }
    book.showAndLeaveOpen();
    return true;
}

}  // namespace tsumiki
