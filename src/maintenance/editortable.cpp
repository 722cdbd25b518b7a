#include "maintenance/editortable.h"

#include "store/cp932.h"
#include "store/queries.h"
#include "store/tablestore.h"

namespace tsumiki {
namespace {

// Records in the order of AllRowsByKey, without those whose first column (the key) is empty.
LoadedRecords byKey(const TableStore& store, Table table) {
    LoadedRecords loaded;
    loaded.table = store.read(table);
    for (const Record& record : AllRowsByKey(loaded.table)) {
        if (!loaded.table->isNull(record.row(), 0)) {
            loaded.rows.push_back(record.row());
        }
    }
    loaded.userRows.assign(loaded.rows.size(), -1);
    return loaded;
}

LoadedRecords clockWithUsers(const TableStore& store) {
    LoadedRecords loaded;
    loaded.table = store.read(Table::Clock);
    loaded.users = store.read(Table::User);
    const int userId = loaded.table->column(u"USERID");
    ClockUserRows joined = ClockRowsWithUserRows(*loaded.table, *loaded.users);
    // Rows without a user ID are left out in place, without a second copy of the lists.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < joined.clockRows.size(); ++i) {
        if (!loaded.table->isNull(joined.clockRows[i], userId)) {
            joined.clockRows[kept] = joined.clockRows[i];
            joined.userRows[kept] = joined.userRows[i];
            ++kept;
        }
    }
    joined.clockRows.resize(kept);
    joined.userRows.resize(kept);
    loaded.rows = std::move(joined.clockRows);
    loaded.userRows = std::move(joined.userRows);
    return loaded;
}

QString shownAuthority(const Value& stored) {
    return stored == QStringLiteral("ADMIN") ? QStringLiteral("管理者") : QString();
}
QString writtenAuthority(const QString& cell) {
    return cell == QStringLiteral("管理者") ? QStringLiteral("ADMIN") : QString();
}
QString shownPriceValue(const Value& stored) {
    return stored ? shownPrice(*stored) : QString();
}
QString writtenPrice(const QString& cell) {
    return storedPrice(cell).value_or(cell);
}
QString shownKind(const Value& stored) {
    return stored == QStringLiteral("1") ? QStringLiteral("出勤") : QStringLiteral("退出");
}
QString writtenKind(const QString& cell) {
    return cell == QStringLiteral("出勤") ? QStringLiteral("1") : QStringLiteral("2");
}
QString shownDouhan(const Value& stored) {
    return stored == QStringLiteral("1") ? QStringLiteral("○") : QString();
}
QString writtenDouhan(const QString& cell) {
    return cell == QStringLiteral("○") ? QStringLiteral("1") : QStringLiteral("0");
}

}  // namespace

const EditorTable& controlEditorTable() {
    static const EditorTable table{"Mast_Ctrl",
                                   u"メンテナンス - コントロール設定",
                                   Table::Control,
                                   9735,
                                   {{u"コントロールコード", 1500, u"CTLCODE"},
                                    {u"コード１", 1200, u"CODE1"},
                                    {u"コード２", 1200, u"CODE2"},
                                    {u"コード３", 1200, u"CODE3"},
                                    {u"コメント", 3000, u"COMMENT"}},
                                   [](const TableStore& store) { return byKey(store, Table::Control); },
                                   checkUniqueKeys,
                                   u"E00011"};
    return table;
}

const EditorTable& messageEditorTable() {
    static const EditorTable table{"Mast_Message",
                                   u"メンテナンス - メッセージ設定",
                                   Table::Message,
                                   9015,
                                   {{u"メッセージID", 1200, u"MSGID"}, {u"メッセージ", 5000, u"MESSAGE"}},
                                   [](const TableStore& store) { return byKey(store, Table::Message); },
                                   checkUniqueKeys,
                                   u"E00010"};
    return table;
}

const EditorTable& userEditorTable() {
    static const EditorTable table{"Mast_User",
                                   u"メンテナンス - ﾆｯｸﾈｰﾑ,登録ID,権限設定",
                                   Table::User,
                                   6375,
                                   {{u"ユーザーID", 1200, u"ID"},
                                    {u"ニックネーム", 2500, u"USERNAME"},
                                    {u"権限", 1200, u"KENGEN", false, shownAuthority, writtenAuthority},
                                    {u"単価", 1200, u"TANKA", false, shownPriceValue, writtenPrice}},
                                   [](const TableStore& store) { return byKey(store, Table::User); },
                                   checkUsers,
                                   u"E00008"};
    return table;
}

const EditorTable& clockEditorTable() {
    static const EditorTable table{"Mast_Kinmu",
                                   u"メンテナンス - 出退勤時間設定",
                                   Table::Clock,
                                   9135,
                                   {{u"ユーザーＩＤ", 1000, u"USERID"},
                                    {u"ニックネーム", 2500, u"USERNAME", true},
                                    {u"取り扱い日付", 1700, u"INPUTTIME"},
                                    {u"出退勤時間", 1700, u"TIMEPRINT"},
                                    {u"区分", 1200, u"ST", false, shownKind, writtenKind},
                                    {u"同伴", 800, u"DOUHAN", false, shownDouhan, writtenDouhan}},
                                   clockWithUsers,
                                   checkClockRows,
                                   u"E00012",
                                   true};
    return table;
}

RecordSource::RecordSource(const EditorTable& editor, LoadedRecords records)
    : editor_(editor), records_(std::move(records)) {
    fieldIndex_.assign(editor_.columns.size() + 1, -1);
    shownByStored_.resize(editor_.columns.size() + 1);
    for (std::size_t c = 0; c < editor_.columns.size(); ++c) {
        const EditorColumn& column = editor_.columns[c];
        const TablePtr& table = column.fromUsers ? records_.users : records_.table;
        fieldIndex_[c + 1] = table ? table->column(QStringView(column.field)) : -1;
    }
}

QByteArrayView RecordSource::raw(int sourceRow, int col) const {
    if (col < 1 || std::size_t(col) >= fieldIndex_.size()) {
        return {};
    }
    const EditorColumn& column = editor_.columns[std::size_t(col) - 1];
    const int row =
        column.fromUsers ? records_.userRows[std::size_t(sourceRow)] : records_.rows[std::size_t(sourceRow)];
    const TablePtr& table = column.fromUsers ? records_.users : records_.table;
    return row < 0 || !table ? QByteArrayView() : table->raw(row, fieldIndex_[std::size_t(col)]);
}

bool RecordSource::writesRawBytes(int col) const {
    return col >= 1 && std::size_t(col) <= editor_.columns.size() && !editor_.columns[std::size_t(col) - 1].shown;
}

QString RecordSource::text(int sourceRow, int col) const {
    if (col < 1 || std::size_t(col) >= fieldIndex_.size()) {
        return {};
    }
    const QByteArrayView bytes = raw(sourceRow, col);
    const EditorColumn& column = editor_.columns[std::size_t(col) - 1];
    if (!column.shown) {
        return bytes.isEmpty() ? QString() : cp932::decode(bytes).text;
    }
    QHash<QByteArrayView, QString>& shown = shownByStored_[std::size_t(col)];
    auto it = shown.constFind(bytes);
    if (it == shown.constEnd()) {
        it = shown.insert(bytes, column.shown(bytes.isEmpty() ? Value() : Value(cp932::decode(bytes).text)));
    }
    return *it;
}

}  // namespace tsumiki
