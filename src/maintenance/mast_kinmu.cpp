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
    ClockUserRows joined = ClockRowsWithUser(*loaded.table, *loaded.users);
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
    static const EditorTable table{
        .screenName = QLatin1String("Mast_Kinmu"),
        .caption = u"メンテナンス - 出退勤時間設定",
        .table = Table::Clock,
        .gridTwips = 9135,
        .columns =
            {{.caption = u"ユーザーＩＤ", .twips = 1000, .field = u"USERID"},
             {.caption = u"ニックネーム", .twips = 2500, .field = u"USERNAME", .fromUsers = true},
             {.caption = u"取り扱い日付", .twips = 1700, .field = u"INPUTTIME"},
             {.caption = u"出退勤時間", .twips = 1700, .field = u"TIMEPRINT"},
             {.caption = u"区分", .twips = 1200, .field = u"ST", .shown = shownKind, .written = writtenKind},
             {.caption = u"同伴", .twips = 800, .field = u"DOUHAN", .shown = shownDouhan, .written = writtenDouhan}},
        .load = clockWithUsers,
        .check = checkClockRows,
        .loadedFacts = clockRowFacts,
        .completionId = u"E00012",
        .deleteBy = DeleteBy::Range,
        .ask = AskToSave::BeforeChecks,
        .whenEmpty = WhenEmpty::NoRow,
        .opensAt = OpensAt::NewestRow,
    };
    return table;
}

Mast_Kinmu::Mast_Kinmu(AppContext& context, QWidget* parent) : TableEditor(context, table(), parent) {}

}  // namespace tsumiki
