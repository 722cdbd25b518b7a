#include "frontdeskfixture.h"

namespace tsumiki::test {

FrontDesk::FrontDesk() {
    random = ScriptedRandom({0.5});
    folder.writeTable(
        Table::User,
        {QStringLiteral("ID,USERNAME,KENGEN,TANKA"), QStringLiteral("\"0001\",\"店長\",\"ADMIN\",3000"),
         QStringLiteral("\"0002\",\"さくら\",\"\",1500"), QStringLiteral("\"0003\",\"ゆり\",\"admin\",1200"),
         QStringLiteral("\"0004\",\"\",\"\",1000"), QStringLiteral("\"0005\",\"<b>ゆき</b>\",\"ADMIN \",1000")});
    folder.writeTable(
        Table::Message,
        {QStringLiteral("MSGID,MESSAGE"), QStringLiteral("E00001,ユーザーIDが登録されていません。"),
         QStringLiteral("E00013,まだ出勤時間になっていないため退出できません。"), QStringLiteral("M01001,おはよう1"),
         QStringLiteral("M01002,おはよう2"), QStringLiteral("M01003,おはよう3"), QStringLiteral("M02001,おつかれ1"),
         QStringLiteral("M02002,おつかれ2")});
    writeDayChange(QStringLiteral("05:00"));
    writeClockRows({});
}

}  // namespace tsumiki::test
