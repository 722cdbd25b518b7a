#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "platform/clock.h"
#include "platform/messageboxes.h"
#include "platform/random.h"
#include "store/table.h"
#include "store/tablestore.h"

namespace tsumiki::test {

class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime now = {}) : now_(std::move(now)) {}
    QDateTime now() const override { return now_; }
    // "yyyy/MM/dd HH:mm:ss"
    void set(const QString& text);

private:
    QDateTime now_;
};

// Returns the scripted numbers in turn (the last one again when the script runs out) and counts reseeds.
class ScriptedRandom final : public Random {
public:
    explicit ScriptedRandom(QList<double> script = {0.0}) : script_(std::move(script)) {}
    void reseed() override { ++reseeds; }
    double next() override;
    int reseeds = 0;

private:
    QList<double> script_;
    qsizetype position_ = 0;
};

struct ShownMessage {
    QString title;
    QString text;
    MessageIcon icon;
};

// Lists every box shown and answers questions from a script (Yes when the script is empty).
class RecordingMessageBoxes final : public MessageBoxes {
public:
    void show(const QString& title, const QString& text, MessageIcon icon) override;
    bool ask(const QString& title, const QString& text) override;
    void beep() override { ++beeps; }
    // The texts shown as errors (titled エラー, exclamation icon); any other box is listed with its title and icon.
    QStringList errorTexts() const;

    QList<ShownMessage> shown;
    QList<bool> answers;
    int beeps = 0;
};

// The whole file; empty when it cannot be read.
QByteArray fileBytes(const QString& path);

// An application folder in a temporary directory with a DB folder holding the given tables, written as
// code page 932 bytes with CR LF line ends.
class TempAppFolder {
public:
    TempAppFolder();
    QString path() const { return dir_.path(); }
    QString dbPath() const;
    QString tablePath(Table table) const;
    // The lines, header included, as code page 932 with CR LF after each.
    void writeTable(Table table, const QStringList& lines) const;
    void writeBytes(Table table, const QByteArray& bytes) const;
    QByteArray bytes(Table table) const;
    // The four tables with their headers and no rows.
    void writeEmptyTables() const;
    // The clock table with these rows after its header.
    void writeClockRows(const QStringList& rows) const;
    // The control table with the day-change time (CTL0003) and the rounding unit (CTL0004).
    void writeSettings(const QString& dayChange, const QString& roundingUnit = QStringLiteral("15")) const;

private:
    QTemporaryDir dir_;
};

// A clock row as the program writes it.
QString clockRow(const QString& user, const QString& inputTime, const QString& timePrint, const QString& st,
                 const QString& douhan = QString());

QByteArray toCp932(const QString& text);
QString fromCp932(const QByteArray& bytes);

}  // namespace tsumiki::test
