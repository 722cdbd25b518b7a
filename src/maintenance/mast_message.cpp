#include "maintenance/mast_message.h"

namespace tsumiki {

const EditorTable& Mast_Message::table() {
    static const EditorTable table{QLatin1String("Mast_Message"),
                                   u"メンテナンス - メッセージ設定",
                                   Table::Message,
                                   9015,
                                   {{u"メッセージID", 1200, u"MSGID"}, {u"メッセージ", 5000, u"MESSAGE"}},
                                   [](const TableStore& store) { return loadByKey(store, Table::Message); },
                                   checkUniqueKeys,
                                   u"E00010"};
    return table;
}

Mast_Message::Mast_Message(AppContext& context, QWidget* parent) : TableEditor(context, table(), parent) {}

}  // namespace tsumiki
