// Times filling each monthly sheet (query and grid, without painting) on a large clock table against decoding
// the same file with iconv.
#include <QApplication>
#include <QTemporaryDir>
#include <QTextStream>

#include "clockdata.h"
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
class NoNavigation final : public Navigator {
public:
    void showModal(QDialog&) override {}
};
class NoSpreadsheet final : public Spreadsheet {
public:
    std::unique_ptr<Workbook> open(const QString&, const QString&) override { return nullptr; }
    bool isInUse(const QString&) override { return false; }
    QString errorString() const override { return {}; }
};
}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir folder;
    const qint64 rows = writeSampleFolder(folder.path(), 50, 3650);
    const double baseline = iconvBaselineMs(TableStore(folder.path()).pathOf(Table::Clock), 5);

    SystemClock clock;
    SystemRandom random(clock);
    SilentBoxes boxes;
    NoNavigation navigator;
    NoSpreadsheet spreadsheet;
    EventLoopPause pause;
    // A fresh store each run: the first read of the file, as when a sheet opens after clocking.
    auto timeSheet = [&](auto makeAndLoad) {
        return fastestMs(5, [&] {
            TableStore store(folder.path());
            AppContext context{store, clock, random, boxes, navigator, spreadsheet, pause};
            makeAndLoad(context);
        });
    };
    const double individual = timeSheet([](AppContext& context) {
        Form4 form(context);
        form.setTargetUserId(QStringLiteral("0025"));
        form.setTargetUserName(QStringLiteral("スタッフ25"));
        form.setSheetYear(QStringLiteral("2026"));
        form.setSheetMonth(QStringLiteral("06"));
        form.show();
    });
    const double everyone = timeSheet([](AppContext& context) {
        Form5 form(context);
        form.setSheetYear(QStringLiteral("2026"));
        form.setSheetMonth(QStringLiteral("06"));
        form.show();
    });
    out << QStringLiteral("clock rows: %1, staff: 50, month: 2026/06\n").arg(rows);
    out << QStringLiteral("iconv CP932 -> UTF-8 baseline : %1 ms\n").arg(baseline, 0, 'f', 1);
    out << QStringLiteral("individual sheet (Form4)      : %1 ms  = %2 x baseline (target <= 2)\n")
               .arg(individual, 0, 'f', 1)
               .arg(individual / baseline, 0, 'f', 2);
    out << QStringLiteral("all-staff sheet (Form5)       : %1 ms  = %2 x baseline (target <= 4)\n")
               .arg(everyone, 0, 'f', 1)
               .arg(everyone / baseline, 0, 'f', 2);
    return 0;
}
