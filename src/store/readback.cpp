#include "store/cp932.h"
#include "store/storeerror.h"
#include "store/tablefile.h"
#include "store/tablewriter.h"

// What is written reads back: the writer's bytes parsed as a read of the file would parse them.
namespace tsumiki {

WriteResult TableWriter::checkReadsBack(const QString& path) const {
    auto refused = [&](const QString& why) {
        return WriteError{WriteError::Kind::WouldNotReadBack,
                          QStringLiteral("この内容でファイル「%1」を保存すると、次に読み込んだときに%2ため、"
                                         "書き込みを中止しました。")
                              .arg(shownPath(path), why)};
    };
    // The header and the rows written field by field, without the copied lines: each copied run is whole lines
    // that ended a row where they came from, so the rows around it read the same with or without it.
    QByteArray written = out_;
    if (!copied_.empty()) {
        written = out_.left(rowsStart_);
        qsizetype from = rowsStart_;
        for (const Copied& run : copied_) {
            written.append(QByteArrayView(out_).sliced(from, run.start - from));
            from = run.end;
        }
        written.append(QByteArrayView(out_).sliced(from));
    }
    ParsedTable parsed;
    try {
        checkEncoding(out_, path);
        parsed = parseCheckedBytes(table_, written, path);
    } catch (const StoreError&) {
        return refused(cp932::isAscii(out_) ? QStringLiteral("読み込めなくなる")
                                            : QStringLiteral("Shift_JIS のファイルとして読み込めなくなる"));
    }
    if (parsed.rowCount() != writtenRows_ || parsed.header().size() != qsizetype(columnAt_.size())) {
        return refused(QStringLiteral("行の数が変わってしまう"));
    }
    // The parsed table shares the bytes it read, so a value read from the place it was written to is compared
    // by its place, without comparing bytes; places in `written` lie `shift` bytes before their place in out_.
    const quintptr readBase = quintptr(written.constData());
    const std::size_t columns = columnAt_.size();
    std::vector<QByteArrayView> read(columns);
    qsizetype shift = 0;
    int copiedRows = 0;
    std::size_t nextRun = 0;
    for (int r = 0; r < writtenRows_; ++r) {
        for (; nextRun < copied_.size() && copied_[nextRun].writtenBefore <= r; ++nextRun) {
            shift += copied_[nextRun].end - copied_[nextRun].start;
            copiedRows += copied_[nextRun].rows;
        }
        parsed.rawRow(r, read.data());
        for (std::size_t p = 0; p < columns; ++p) {
            const std::size_t i = std::size_t(r) * columns + p;
            if (valueStart_[i] == kDoubled) {
                if (read[p] != QByteArrayView(doubled_.at(i))) {
                    return refused(QStringLiteral("%1行目の値が変わってしまう").arg(copiedRows + r + 1));
                }
                continue;
            }
            const QByteArrayView expected(out_.constData() + valueStart_[i], valueEnd_[i] - valueStart_[i]);
            const bool samePlace = read[p].size() == expected.size() &&
                                   quintptr(read[p].data()) - readBase + quintptr(shift) == quintptr(valueStart_[i]);
            if (!samePlace && read[p] != expected) {
                return refused(QStringLiteral("%1行目の値が変わってしまう").arg(copiedRows + r + 1));
            }
        }
    }
    return std::nullopt;
}

}  // namespace tsumiki
