#include "maintenance/mast_user.h"

namespace tsumiki {
namespace {

QString shownAuthority(const Value& stored) {
    return stored == QStringLiteral("ADMIN") ? QStringLiteral("管理者") : QString();
}
QString writtenAuthority(const QString& cell) {
    return cell == QStringLiteral("管理者") ? QStringLiteral("ADMIN") : QString();
}
QString shownUnitPrice(const Value& stored) {
    return stored ? shownPrice(*stored) : QString();
}
// The checks let only empty cells and whole numbers through.
QString writtenUnitPrice(const QString& cell) {
    return storedPrice(cell).value_or(cell);
}

}  // namespace

const EditorTable& Mast_User::table() {
    static const EditorTable table{
        .screenName = QLatin1String("Mast_User"),
        .caption = u"メンテナンス - ﾆｯｸﾈｰﾑ,登録ID,権限設定",
        .table = Table::User,
        .gridTwips = 6375,
        .columns = {{.caption = u"ユーザーID", .twips = 1200, .field = u"ID"},
                    {.caption = u"ニックネーム", .twips = 2500, .field = u"USERNAME"},
                    {.caption = u"権限",
                     .twips = 1200,
                     .field = u"KENGEN",
                     .shown = shownAuthority,
                     .written = writtenAuthority},
                    {.caption = u"単価",
                     .twips = 1200,
                     .field = u"TANKA",
                     .shown = shownUnitPrice,
                     .written = writtenUnitPrice}},
        .load = [](const TableStore& store) { return loadByKey(store, Table::User); },
        .check = checkUsers,
        .completionId = u"E00008",
    };
    return table;
}

Mast_User::Mast_User(AppContext& context, QWidget* parent) : TableEditor(context, table(), parent) {}

}  // namespace tsumiki
