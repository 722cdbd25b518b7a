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
    static const EditorTable table{QLatin1String("Mast_User"),
                                   u"メンテナンス - ﾆｯｸﾈｰﾑ,登録ID,権限設定",
                                   Table::User,
                                   6375,
                                   {{u"ユーザーID", 1200, u"ID"},
                                    {u"ニックネーム", 2500, u"USERNAME"},
                                    {u"権限", 1200, u"KENGEN", false, shownAuthority, writtenAuthority},
                                    {u"単価", 1200, u"TANKA", false, shownUnitPrice, writtenUnitPrice}},
                                   [](const TableStore& store) { return loadByKey(store, Table::User); },
                                   checkUsers,
                                   u"E00008"};
    return table;
}

Mast_User::Mast_User(AppContext& context, QWidget* parent) : TableEditor(context, table(), parent) {}

}  // namespace tsumiki
