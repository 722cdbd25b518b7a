#include "maintenance/mast_message.h"

namespace tsumiki {

const EditorTable& Mast_Message::table() {
    static const EditorTable table{
        .screenName = QLatin1String("Mast_Message"),
        .caption = u"メンテナンス - メッセージ設定",
        .table = Table::Message,
        .gridTwips = 9015,
        .columns = {{.caption = u"メッセージID", .twips = 1200, .field = u"MSGID"},
                    {.caption = u"メッセージ", .twips = 5000, .field = u"MESSAGE"}},
        .load = [](const TableStore& store) { return loadByKey(store, Table::Message); },
        .check = checkUniqueKeys,
        .completionId = u"E00010",
    };
    return table;
}

Mast_Message::Mast_Message(AppContext& context, QWidget* parent) : TableEditor(context, table(), parent) {}

}  // namespace tsumiki
