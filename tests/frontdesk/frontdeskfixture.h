#pragma once

#include "screentestcontext.h"

namespace tsumiki::test {

// The front desk's shop: three users (an administrator, staff, one without a nickname), the messages the two
// screens show, and the day changing at 05:00.
struct FrontDesk : ScreenTestContext {
    FrontDesk() {
        random = ScriptedRandom({0.5});
        folder.writeTable(Table::User, {"ID,USERNAME,KENGEN,TANKA", "\"0001\",\"店長\",\"ADMIN\",3000",
                                        "\"0002\",\"さくら\",\"\",1500", "\"0004\",\"\",\"\",1000"});
        folder.writeTable(Table::Message,
                          {"MSGID,MESSAGE", "E00001,ユーザーIDが登録されていません。",
                           "E00013,まだ出勤時間になっていないため退出できません。", "M01001,おはよう1",
                           "M01002,おはよう2", "M01003,おはよう3", "M02001,おつかれ1", "M02002,おつかれ2"});
        folder.writeSettings("05:00");
        folder.writeClockRows({});
    }
    QStringList clockRows() const {
        return fromCp932(folder.bytes(Table::Clock)).split("\r\n", Qt::SkipEmptyParts).mid(1);
    }
};

}  // namespace tsumiki::test
