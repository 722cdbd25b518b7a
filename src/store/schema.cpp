#include "store/schema.h"

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

}  // namespace tsumiki
