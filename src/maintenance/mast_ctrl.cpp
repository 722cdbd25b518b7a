#include "maintenance/mast_ctrl.h"

namespace tsumiki {

const EditorTable& Mast_Ctrl::table() {
    static const EditorTable table{QLatin1String("Mast_Ctrl"),
                                   u"メンテナンス - コントロール設定",
                                   Table::Control,
                                   9735,
                                   {{u"コントロールコード", 1500, u"CTLCODE"},
                                    {u"コード１", 1200, u"CODE1"},
                                    {u"コード２", 1200, u"CODE2"},
                                    {u"コード３", 1200, u"CODE3"},
                                    {u"コメント", 3000, u"COMMENT"}},
                                   [](const TableStore& store) { return loadByKey(store, Table::Control); },
                                   checkUniqueKeys,
                                   u"E00011"};
    return table;
}

Mast_Ctrl::Mast_Ctrl(AppContext& context, QWidget* parent) : TableEditor(context, table(), parent) {}

}  // namespace tsumiki
