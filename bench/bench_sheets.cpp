// Times opening each monthly sheet (query and grid, without painting) on a large clock table against decoding
// the same file with iconv, in paired runs.
#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include "clockdata.h"
#include "offlineports.h"
#include "platform/systemrandom.h"
#include "sheets/form4.h"
#include "sheets/form5.h"
#include "ui/appcontext.h"

using namespace tsumiki;
using namespace tsumiki::bench;

namespace {
class SilentBoxes final : public MessageBoxes {
public:
    void show(const QString&, const QString&, MessageIcon) override {}
    bool ask(const QString&, const QString&) override { return false; }
    void beep() override {}
};
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    const qint64 rows = writeSampleFolder(folder.path(), 50, 3650);
    const QString clockFile = TableStore(folder.path()).pathOf(Table::Clock);
    auto baseline = [&] { return iconvMs(clockFile); };
    out << QStringLiteral("clock rows: %1, staff: 50, month: 2026/06; each figure the median of %2 paired runs\n")
               .arg(rows)
               .arg(kPairedRuns);

    SystemClock clock;
    SystemRandom random(clock);
    SilentBoxes boxes;
    NoNavigator navigator;
    NoSpreadsheet spreadsheet;
    EventLoopPause pause;
    // A fresh store each run: the first read of the file, as when a sheet opens after clocking.
    auto timeSheet = [&](auto makeAndLoad) {
        return pairedMedian(kPairedRuns, baseline, [&] {
            return timeMs([&] {
                TableStore store(folder.path());
                AppContext context{store, clock, random, boxes, navigator, spreadsheet, pause};
                makeAndLoad(context);
            });
        });
    };
    const PairedFigure individual = timeSheet([](AppContext& context) {
        Form4 form(context);
        form.setTargetUserId(QStringLiteral("0025"));
        form.setTargetUserName(QStringLiteral("スタッフ25"));
        form.setSheetYear(QStringLiteral("2026"));
        form.setSheetMonth(QStringLiteral("06"));
        form.show();
    });
    printFigure(out, QStringLiteral("individual sheet (Form4)"), QStringLiteral("individual_sheet"), individual, 2);
    const PairedFigure everyone = timeSheet([](AppContext& context) {
        Form5 form(context);
        form.setSheetYear(QStringLiteral("2026"));
        form.setSheetMonth(QStringLiteral("06"));
        form.show();
    });
    printFigure(out, QStringLiteral("all-staff sheet (Form5)"), QStringLiteral("staff_sheet"), everyone, 1.5);
    return 0;
}
