#include "maintenance/mast_ctrl.h"

namespace tsumiki {

const EditorTable& Mast_Ctrl::table() {
    static const EditorTable table{
        .screenName = QLatin1String("Mast_Ctrl"),
        .caption = u"メンテナンス - コントロール設定",
        .table = Table::Control,
        .gridTwips = 9735,
        .columns = {{.caption = u"コントロールコード", .twips = 1500, .field = u"CTLCODE"},
                    {.caption = u"コード１", .twips = 1200, .field = u"CODE1"},
                    {.caption = u"コード２", .twips = 1200, .field = u"CODE2"},
                    {.caption = u"コード３", .twips = 1200, .field = u"CODE3"},
                    {.caption = u"コメント", .twips = 3000, .field = u"COMMENT"}},
        .load = [](const TableStore& store) { return loadByKey(store, Table::Control); },
        .check = checkUniqueKeys,
        .completionId = u"E00011",
    };
    return table;
}

Mast_Ctrl::Mast_Ctrl(AppContext& context, QWidget* parent) : TableEditor(context, table(), parent) {}

}  // namespace tsumiki
