#include "store/table.h"

#include "store/cp932.h"

namespace tsumiki {

const TableSchema& schemaOf(Table table) {
    static const TableSchema control{QStringLiteral("コントロール.csv"),
                                     {QStringLiteral("CTLCODE"), QStringLiteral("CODE1"), QStringLiteral("CODE2"),
                                      QStringLiteral("CODE3"), QStringLiteral("COMMENT")},
                                     {true, true, true, true, true}};
    static const TableSchema user{
        QStringLiteral("ユーザー.csv"),
        {QStringLiteral("ID"), QStringLiteral("USERNAME"), QStringLiteral("KENGEN"), QStringLiteral("TANKA")},
        {true, true, true, false}};
    static const TableSchema message{
        QStringLiteral("メッセージ.csv"), {QStringLiteral("MSGID"), QStringLiteral("MESSAGE")}, {false, false}};
    static const TableSchema clock{QStringLiteral("個人出退勤時間.csv"),
                                   {QStringLiteral("USERID"), QStringLiteral("INPUTTIME"), QStringLiteral("TIMEPRINT"),
                                    QStringLiteral("ST"), QStringLiteral("DOUHAN")},
                                   {true, true, true, true, true}};
    switch (table) {
        case Table::Control:
            return control;
        case Table::User:
            return user;
        case Table::Message:
            return message;
        case Table::Clock:
            break;
    }
    return clock;
}

namespace {

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// Moves past one line end (CR LF, a bare LF or a bare CR) at position i.
qsizetype skipLineEnd(const char* s, qsizetype n, qsizetype i) {
    if (i < n && s[i] == '\r') {
        ++i;
    }
    if (i < n && s[i] == '\n') {
        ++i;
    }
    return i;
}

}  // namespace

std::optional<QByteArray> encodedKey(QStringView text) {
    cp932::Encoded e = cp932::encode(text);
    if (e.errorIndex >= 0) {
        return std::nullopt;
    }
    return e.bytes;
}

ParsedTable ParsedTable::parseText(const QString& text) {
    return parse(cp932::encode(text).bytes);
}

ParsedTable ParsedTable::parse(QByteArray bytes) {
    ParsedTable t;
    t.bytes_ = std::move(bytes);
    const char* s = t.bytes_.constData();
    const qsizetype n = t.bytes_.size();
    qsizetype i = 0;

    // Reads the field at i and leaves i on the comma or line end after it.
    auto readField = [&]() -> Field {
        Field f;
        if (i < n && s[i] == '"') {
            // Quoted: ends at a quote followed by a comma or a line end. A doubled quote is one quote; a quote
            // followed by anything else is kept as it is, so a hand-edited file still reads.
            const qsizetype start = ++i;
            bool doubled = false;
            while (i < n) {
                if (s[i] == '"') {
                    if (i + 1 < n && s[i + 1] == '"') {
                        doubled = true;
                        i += 2;
                        continue;
                    }
                    if (i + 1 >= n || s[i + 1] == ',' || isLineEnd(s[i + 1])) {
                        break;
                    }
                }
                ++i;
            }
            const qsizetype end = i;
            if (i < n) {
                ++i;  // closing quote
            }
            if (doubled) {
                QByteArray value = t.bytes_.mid(start, end - start);
                value.replace("\"\"", "\"");
                t.unescaped_.append(value);
                f.offset = -static_cast<qint32>(t.unescaped_.size());
                f.length = static_cast<qint32>(value.size());
            } else {
                f.offset = static_cast<qint32>(start);
                f.length = static_cast<qint32>(end - start);
            }
            return f;
        }
        const qsizetype start = i;
        while (i < n && s[i] != ',' && !isLineEnd(s[i])) {
            ++i;
        }
        f.offset = static_cast<qint32>(start);
        f.length = static_cast<qint32>(i - start);
        return f;
    };
    auto skipBlankLines = [&] {
        while (i < n && isLineEnd(s[i])) {
            i = skipLineEnd(s, n, i);
        }
    };

    skipBlankLines();
    if (i >= n) {
        return t;
    }
    while (true) {
        const Field f = readField();
        t.header_.append(cp932::decode(QByteArrayView(s + f.offset, f.length)).text.trimmed());
        if (i < n && s[i] == ',') {
            ++i;
            continue;
        }
        break;
    }
    t.columnCount_ = static_cast<int>(t.header_.size());
    const size_t columns = static_cast<size_t>(t.columnCount_);
    // A clock row takes about 55 bytes; reserving from the size avoids regrowing a large table.
    t.fields_.reserve(static_cast<size_t>(n / 50 + 1) * columns);
    while (true) {
        skipBlankLines();
        if (i >= n) {
            break;
        }
        // Fields beyond the header are read and dropped; missing ones stay Null.
        const size_t rowStart = t.fields_.size();
        t.fields_.resize(rowStart + columns);
        for (size_t c = 0;; ++c) {
            const Field f = readField();
            if (c < columns) {
                t.fields_[rowStart + c] = f;
            }
            if (i < n && s[i] == ',') {
                ++i;
                continue;
            }
            break;
        }
        ++t.rowCount_;
    }
    return t;
}

int ParsedTable::column(QStringView name) const {
    for (int c = 0; c < columnCount_; ++c) {
        if (QStringView(header_[c]).compare(name, Qt::CaseInsensitive) == 0) {
            return c;
        }
    }
    return -1;
}

QByteArrayView ParsedTable::raw(int row, int column) const {
    if (column < 0 || column >= columnCount_ || row < 0 || row >= rowCount_) {
        return {};
    }
    const Field& f = fields_[static_cast<size_t>(row) * static_cast<size_t>(columnCount_) + column];
    if (f.length == 0) {
        return {};
    }
    if (f.offset < 0) {
        return QByteArrayView(unescaped_[-f.offset - 1]);
    }
    return QByteArrayView(bytes_.constData() + f.offset, f.length);
}

Value ParsedTable::value(int row, int column) const {
    const QByteArrayView v = raw(row, column);
    if (v.isEmpty()) {
        return std::nullopt;
    }
    return cp932::decode(v).text;
}

QString formatRow(const TableSchema& schema, const QList<Value>& values) {
    QString line;
    for (qsizetype c = 0; c < schema.columns.size(); ++c) {
        if (c > 0) {
            line += u',';
        }
        const QString v = c < values.size() ? values[c].value_or(QString()) : QString();
        const bool mustQuote = v.contains(u',') || v.contains(u'"') || v.contains(u'\r') || v.contains(u'\n');
        if (mustQuote || schema.alwaysQuoted[c]) {
            line += u'"';
            line += QString(v).replace(QStringLiteral("\""), QStringLiteral("\"\""));
            line += u'"';
        } else {
            line += v;
        }
    }
    return line;
}

}  // namespace tsumiki
