// Coverage-guided fuzzing of what reads outside input: the table file reader and the date and time readers.
// Input: one byte choosing the table, then the file's bytes. Properties: nothing a read accepts crashes the
// program or reads outside its buffers; every table a read accepts is written again by the writer and read back
// unchanged, unless the rewritten bytes would read as UTF-8 (the save then refuses them, with a message), and rows
// taken whole from the file are written to the same bytes; every
// date a reader accepts is written in its stored form and read back as the same moment.
#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "attendance/datetext.h"
#include "store/cp932.h"
#include "store/storeerror.h"
#include "store/tablefile.h"
#include "store/tablewriter.h"
#include "store/utf8check.h"

using namespace tsumiki;

namespace {

void require(bool holds) {
    if (!holds) {
        std::abort();
    }
}

void checkTable(Table table, const QByteArray& bytes) {
    ParsedTable parsed;
    try {
        parsed = parseTableFile(table, bytes, QStringLiteral("f.csv"));
    } catch (const StoreError&) {
        return;
    }
    const QStringList& columns = schemaOf(table).columns;
    TableWriter writer(table);
    std::vector<QByteArrayView> fields(std::size_t(columns.size()));
    for (int r = 0; r < parsed.rowCount(); ++r) {
        for (qsizetype c = 0; c < columns.size(); ++c) {
            fields[std::size_t(c)] = parsed.raw(r, parsed.column(columns[c]));
        }
        writer.addStored(fields.data());
    }
    const WriteResult refused = writer.checkReadsBack(QStringLiteral("f.csv"));
    // Rows taken whole from the file (their lines copied where the writer would write them alike) make the same
    // bytes and the same verdict.
    if (writer.takesRowsOf(parsed)) {
        TableWriter copied(table);
        copied.addRowsOf(parsed, 0, parsed.rowCount());
        require(copied.bytes() == writer.bytes());
        require(copied.checkReadsBack(QStringLiteral("f.csv")).has_value() == refused.has_value());
    }
    if (refused) {
        // Only a file kept as code page 932 by bytes the rewrite dropped (a column the table does not know).
        require(refused->kind == WriteError::Kind::WouldNotReadBack && cp932::looksLikeUtf8(writer.bytes()));
        return;
    }
    const ParsedTable again = ParsedTable::parse(writer.bytes());
    require(again.rowCount() == parsed.rowCount());
    for (int r = 0; r < parsed.rowCount(); ++r) {
        for (qsizetype c = 0; c < columns.size(); ++c) {
            require(again.raw(r, int(c)) == parsed.raw(r, parsed.column(columns[c])));
        }
    }
}

void checkDates(const QByteArray& bytes) {
    const QString text = cp932::decode(bytes.left(40)).text;
    const std::optional<QDateTime> read = ParseDateTimeText(text);
    require(IsDateText(text) == read.has_value());
    if (cp932::isAscii(bytes.left(40))) {
        require(IsDateText(QByteArrayView(bytes.left(40))) == read.has_value());
    }
    if (read && read->date().year() >= 1000 && read->date().year() <= 9999) {
        require(ParseDateTimeText(InputTimeText(*read)) == read);
        const QTime minute(read->time().hour(), read->time().minute());
        require(ParseDateTimeText(TimePrintText(read->date(), minute)) == QDateTime(read->date(), minute));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    checkTable(Table(data[0] % 4), bytes);
    checkDates(bytes);
    return 0;
}
