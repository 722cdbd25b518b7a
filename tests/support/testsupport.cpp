#include "testsupport.h"

#include <QDir>
#include <QFile>

#include "store/cp932.h"

namespace tsumiki::test {

void FakeClock::set(const QString& text) {
    now_ = QDateTime::fromString(text, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    Q_ASSERT(now_.isValid());
}

double ScriptedRandom::next() {
    if (script_.isEmpty()) {
        return 0.0;
    }
    const double v = script_[std::min(position_, script_.size() - 1)];
    ++position_;
    return v;
}

void RecordingMessageBoxes::show(const QString& title, const QString& text, MessageIcon icon) {
    shown.append({title, text, icon});
}

bool RecordingMessageBoxes::ask(const QString& title, const QString& text) {
    shown.append({title, text, MessageIcon::Question});
    return answers.isEmpty() ? true : answers.takeFirst();
}

QStringList RecordingMessageBoxes::errorTexts() const {
    QStringList out;
    for (const ShownMessage& m : shown) {
        const bool error = m.title == QStringLiteral("エラー") && m.icon == MessageIcon::Exclamation;
        out << (error ? m.text : QStringLiteral("[%1 %2] %3").arg(m.title).arg(int(m.icon)).arg(m.text));
    }
    return out;
}

TempAppFolder::TempAppFolder() {
    QDir(dir_.path()).mkpath(QStringLiteral("DB"));
}

QString TempAppFolder::dbPath() const {
    return QDir(dir_.path()).filePath(QStringLiteral("DB"));
}

QString TempAppFolder::tablePath(Table table) const {
    return QDir(dbPath()).filePath(schemaOf(table).fileName);
}

void TempAppFolder::writeTable(Table table, const QStringList& lines) const {
    writeBytes(table, toCp932(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

void TempAppFolder::writeBytes(Table table, const QByteArray& bytes) const {
    QFile f(tablePath(table));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
        qFatal("cannot write test table");
    }
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray TempAppFolder::bytes(Table table) const {
    return fileBytes(tablePath(table));
}

void TempAppFolder::writeEmptyTables() const {
    for (Table t : {Table::Control, Table::User, Table::Message, Table::Clock}) {
        writeTable(t, {schemaOf(t).columns.join(u',')});
    }
}

void TempAppFolder::writeClockRows(const QStringList& rows) const {
    writeTable(Table::Clock, QStringList{schemaOf(Table::Clock).columns.join(u',')} + rows);
}

void TempAppFolder::writeSettings(const QString& dayChange, const QString& roundingUnit) const {
    writeTable(Table::Control, {schemaOf(Table::Control).columns.join(u','),
                                QStringLiteral("\"CTL0003\",\"%1\",\"\",\"\",\"\"").arg(dayChange),
                                QStringLiteral("\"CTL0004\",\"%1\",\"\",\"\",\"\"").arg(roundingUnit)});
}

QString clockRow(const QString& user, const QString& inputTime, const QString& timePrint, const QString& st,
                 const QString& douhan) {
    return QStringLiteral("\"%1\",\"%2\",\"%3\",\"%4\",\"%5\"").arg(user, inputTime, timePrint, st, douhan);
}

QByteArray toCp932(const QString& text) {
    const cp932::Encoded e = cp932::encode(text);
    Q_ASSERT(e.errorIndex < 0);
    return e.bytes;
}

QString fromCp932(const QByteArray& bytes) {
    return cp932::decode(bytes).text;
}

}  // namespace tsumiki::test
