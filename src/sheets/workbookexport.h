#pragma once

#include <QList>
#include <QString>

#include <optional>

#include "platform/messageboxes.h"
#include "platform/pause.h"
#include "platform/spreadsheet.h"
#include "store/tablestore.h"

namespace tsumiki {

// One day row of the individual sheet as the screen shows it.
struct IndividualWorkbookDay {
    QString day;
    QString weekday;
    QString start;  // "hh:mm" or empty
    QString end;    // "hh:mm" or empty
    QString douhan;
};

struct IndividualWorkbookContent {
    QString userId;
    QString userName;
    QString monthText;
    QString unitPriceText;
    QList<IndividualWorkbookDay> days;
};

struct StaffWorkbookLine {
    QString userName;
    QString hours;   // WorkedTotalText
    QString amount;  // "#,##0"
};

struct StaffWorkbookContent {
    QString monthText;
    QList<StaffWorkbookLine> lines;
};

// A nickname as it goes into a file name: the characters no file name (here or on a Windows share) can hold become
// their full-width forms, control characters an underscore. The same nickname always gives the same name, so a
// later export finds the earlier output.
QString FileNameSafe(const QString& text);

// "hh:mm" or "h:mm" with any number of hours as seconds; nothing for anything else.
std::optional<qint64> ClockTextSeconds(const QString& text);

// The end of a day on the 48-hour clock: an end at or before the start belongs to the next calendar day. Without a
// start the end stays as it is.
qint64 EndOnFortyEightHourClock(std::optional<qint64> startSeconds, qint64 endSeconds);

// Writes the sheet on screen into a workbook made from the shop's template and saves it, password-protected, in
// 出力帳票. Every refusal and failure ends in one message box; nothing is reported as done that was not.
class WorkbookExport {
public:
    WorkbookExport(const TableStore& store, MessageBoxes& boxes, Spreadsheet& spreadsheet, Pause& pause)
        : store_(store), boxes_(boxes), spreadsheet_(spreadsheet), pause_(pause) {}

    // The earlier output of the same person and month is reopened and only its empty cells are filled, so that
    // what was typed into it by hand stays. True when the workbook was saved.
    bool exportIndividual(const IndividualWorkbookContent& content);
    // Always rebuilt from the template, replacing an earlier output of the month.
    bool exportStaff(const StaffWorkbookContent& content);

    QString individualOutputPath(const QString& userName, const QString& monthText) const;
    QString staffOutputPath(const QString& monthText) const;

private:
    class Filling;

    QString templatePath(const QString& name) const;
    bool refuse(const QString& text);
    bool finish(Workbook& book, Filling& fill, const QString& output);

    const TableStore& store_;
    MessageBoxes& boxes_;
    Spreadsheet& spreadsheet_;
    Pause& pause_;
};

}  // namespace tsumiki
