#include "maintenance/mast_kinmu.h"

#include "store/queries.h"
#include "store/tablestore.h"

namespace tsumiki {
namespace {

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

const EditorTable& Mast_Kinmu::table() {
    static const EditorTable table{QLatin1String("Mast_Kinmu"),
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

Mast_Kinmu::Mast_Kinmu(AppContext& context, QWidget* parent) : TableEditor(context, table(), parent) {}

}  // namespace tsumiki
