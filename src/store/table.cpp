#include "store/table.h"

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

bool isLineEnd(char16_t c) { return c == u'\n' || c == u'\r'; }

// Moves past one line end (CR LF, a bare LF or a bare CR) at position i.
qsizetype skipLineEnd(const char16_t* s, qsizetype n, qsizetype i) {
    if (i < n && s[i] == u'\r') {
        ++i;
    }
    if (i < n && s[i] == u'\n') {
        ++i;
    }
    return i;
}

}  // namespace

ParsedTable ParsedTable::parse(QString text) {
    ParsedTable t;
    t.text_ = std::move(text);
    const char16_t* s = reinterpret_cast<const char16_t*>(t.text_.constData());
    const qsizetype n = t.text_.size();
    qsizetype i = 0;

    std::vector<Field> line;
    // Reads one line into `line`; returns false at the end of the text.
    auto readLine = [&]() -> bool {
        line.clear();
        // Lines that hold nothing are not rows.
        while (i < n && isLineEnd(s[i])) {
            i = skipLineEnd(s, n, i);
        }
        if (i >= n) {
            return false;
        }
        while (true) {
            Field f;
            if (i < n && s[i] == u'"') {
                // Quoted: ends at a quote followed by a comma or a line end. A doubled quote is one quote; a quote
                // followed by anything else is kept as it is, so a hand-edited file still reads.
                const qsizetype start = ++i;
                bool doubled = false;
                while (i < n) {
                    if (s[i] == u'"') {
                        if (i + 1 < n && s[i + 1] == u'"') {
                            doubled = true;
                            i += 2;
                            continue;
                        }
                        if (i + 1 >= n || s[i + 1] == u',' || isLineEnd(s[i + 1])) {
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
                    QString value = t.text_.mid(start, end - start);
                    value.replace(QStringLiteral("\"\""), QStringLiteral("\""));
                    t.unescaped_.append(value);
                    f.offset = -static_cast<qint32>(t.unescaped_.size());
                    f.length = static_cast<qint32>(value.size());
                } else {
                    f.offset = static_cast<qint32>(start);
                    f.length = static_cast<qint32>(end - start);
                }
            } else {
                const qsizetype start = i;
                while (i < n && s[i] != u',' && !isLineEnd(s[i])) {
                    ++i;
                }
                f.offset = static_cast<qint32>(start);
                f.length = static_cast<qint32>(i - start);
            }
            line.push_back(f);
            if (i < n && s[i] == u',') {
                ++i;
                continue;
            }
            i = skipLineEnd(s, n, i);
            return true;
        }
    };

    if (!readLine()) {
        return t;
    }
    for (const Field& f : line) {
        t.header_.append(QStringView(s + f.offset, f.length).trimmed().toString());
    }
    t.columnCount_ = static_cast<int>(t.header_.size());
    // A clock row takes about 45 bytes; reserving from the size avoids regrowing a large table.
    t.fields_.reserve(static_cast<size_t>(n / 40 + 1) * static_cast<size_t>(t.columnCount_));
    while (readLine()) {
        for (int c = 0; c < t.columnCount_; ++c) {
            t.fields_.push_back(c < static_cast<int>(line.size()) ? line[c] : Field{});
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

QStringView ParsedTable::view(int row, int column) const {
    if (column < 0 || column >= columnCount_ || row < 0 || row >= rowCount_) {
        return {};
    }
    const Field& f = fields_[static_cast<size_t>(row) * static_cast<size_t>(columnCount_) + column];
    if (f.length == 0) {
        return {};
    }
    if (f.offset < 0) {
        return QStringView(unescaped_[-f.offset - 1]);
    }
    return QStringView(text_).mid(f.offset, f.length);
}

Value ParsedTable::value(int row, int column) const {
    const QStringView v = view(row, column);
    if (v.isEmpty()) {
        return std::nullopt;
    }
    return v.toString();
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
