// The clock-record editor on ten years of a shop's clock rows (365 000), against decoding the same file with
// iconv in the same run: opening it, saving it, deleting 10 000 rows, and the memory of a process that opens it.
// Each figure is the median of paired runs, baseline and work alternately.
#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "clockdata.h"
#include "maintenance/mast_kinmu.h"
#include "offlineports.h"
#include "ui/appcontext.h"
#include "ui/grid/grid.h"

using namespace tsumiki;
using namespace tsumiki::bench;

namespace {

constexpr int kPairs = 5;

struct YesBoxes final : MessageBoxes {
    void show(const QString&, const QString&, MessageIcon icon) override { errors += icon == MessageIcon::Exclamation; }
    bool ask(const QString&, const QString&) override { return true; }
    void beep() override {}
    int errors = 0;
};
struct NoRandom final : Random {
    void reseed() override {}
    double next() override { return 0; }
};

// A fresh store and context per opening: the first read of the file, as when the menu opens the editor.
struct Session {
    explicit Session(const QString& folder) : store(folder) {}
    TableStore store;
    SystemClock clock;
    NoRandom random;
    YesBoxes boxes;
    NoNavigator navigator;
    NoSpreadsheet spreadsheet;
    EventLoopPause pause;
    AppContext context{store, clock, random, boxes, navigator, spreadsheet, pause};
};

std::unique_ptr<TableEditor> openEditor(Session& session) {
    auto editor = std::make_unique<Mast_Kinmu>(session.context);
    editor->show();
    return editor;
}

double msOf(const std::function<void()>& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Baseline and work alternately; the median of work / baseline.
double pairedRatio(const QString& file, const std::function<double()>& workMs, double* medianWorkMs) {
    std::vector<double> ratios;
    std::vector<double> works;
    for (int i = 0; i < kPairs; ++i) {
        const double baseline = iconvBaselineMs(file, 1);
        const double work = workMs();
        ratios.push_back(work / baseline);
        works.push_back(work);
    }
    *medianWorkMs = median(works);
    return median(ratios);
}

// Writing the bytes to a new file in the folder and flushing them to disk: the least a durable rewrite costs.
double durableWriteMs(const QString& folder, const QByteArray& bytes) {
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/durable-write-baseline"));
    const double ms = msOf([&] {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size() || ::fsync(fd) != 0 ||
            ::close(fd) != 0) {
            qFatal("the baseline write failed");
        }
    });
    // Removing the file again is no part of the write it stands for, so it is not timed.
    if (::unlink(path.constData()) != 0) {
        qFatal("the baseline file could not be removed");
    }
    return ms;
}

// On a virtual machine whose host takes back the memory its guest leaves free, the first touch of such a page
// costs a fault in the host, several times what it costs on a machine of its own; a 20 MB write needs 20 MB of new
// page cache, and a save as much again for its buffers. Touching and freeing some memory just before a measured
// step leaves the guest pages it has just used, as a machine of its own always has.
void warmFreeMemory(qint64 bytes) {
    auto* pages = static_cast<volatile char*>(std::malloc(std::size_t(bytes)));
    for (qint64 i = 0; i < bytes; i += 4096) {
        pages[i] = 1;
    }
    std::free(const_cast<char*>(pages));
}

// Peak resident memory (bytes) of a child process that opens the editor on the folder and exits.
qint64 peakOfOpeningProcess(const char* self, const QString& folder) {
    const pid_t child = fork();
    if (child == 0) {
        execl(self, self, "--open", QFile::encodeName(folder).constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        qFatal("the opening process failed");
    }
    return qint64(usage.ru_maxrss) * 1024;
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--open") {
        Session session(QFile::decodeName(argv[2]));
        const auto editor = openEditor(session);
        return editor->findChild<Grid*>(QStringLiteral("MSFlexGrid1"))->rows() > 1 ? 0 : 1;
    }
    QTextStream out(stdout);
    QTemporaryDir folder;
    const qint64 rows = writeSampleFolder(folder.path(), 50, 3650);
    const QString file = TableStore(folder.path()).pathOf(Table::Clock);
    const qint64 fileSize = QFileInfo(file).size();
    out << QStringLiteral("clock rows: %1, file %2 MB\n").arg(rows).arg(double(fileSize) / 1e6, 0, 'f', 1);

    double openMs = 0;
    const double open = pairedRatio(
        file,
        [&] {
            Session session(folder.path());
            std::unique_ptr<TableEditor> editor;
            const double ms = msOf([&] { editor = openEditor(session); });
            return ms;
        },
        &openMs);

    // A save as a person makes it: open the editor, correct, save. The first save of a file the clock screen
    // wrote rewrites every clock-out row (the screen leaves 同伴 empty there, the editor writes 0); after it, rows
    // as loaded keep their lines, which is what the paired saves measure.
    int refusals = 0;
    auto afterOpening = [&](const std::function<double(TableEditor&)>& work) {
        Session opened(folder.path());
        const auto editor = openEditor(opened);
        const double ms = work(*editor);
        refusals += opened.boxes.errors;
        return ms;
    };
    auto save = [&](TableEditor& editor) {
        auto* update = editor.findChild<QPushButton*>(QStringLiteral("cmdUpdate"));
        return msOf([&] { update->click(); });
    };
    const double firstSaveMs = afterOpening(save);
    double saveMs = 0;
    const double saveRatio = pairedRatio(
        file, [&] { return afterOpening(save); }, &saveMs);
    // The save's floor, writing and flushing the same bytes to a new file, is measured from the state the save
    // starts in: an editor just opened. It is measured twice: as the machine leaves it, and with the guest's memory
    // warmed first, for the save and the floor alike (warmFreeMemory). Where the host takes back free guest pages,
    // the first figure swings with the floor's own time; the second swings less, and its floor is little more
    // than the disk's flush.
    QFile current(file);
    current.open(QIODevice::ReadOnly);
    const QByteArray bytes = current.readAll();
    std::vector<double> overFloor;
    std::vector<double> floors;
    std::vector<double> overWarmFloor;
    std::vector<double> warmFloors;
    std::vector<double> warmSaves;
    const qint64 warmBytes = 5 * fileSize;
    for (int i = 0; i < kPairs; ++i) {
        floors.push_back(afterOpening([&](TableEditor&) { return durableWriteMs(folder.path(), bytes); }));
        overFloor.push_back(afterOpening(save) / floors.back());
        warmFloors.push_back(afterOpening([&](TableEditor&) {
            warmFreeMemory(warmBytes);
            return durableWriteMs(folder.path(), bytes);
        }));
        warmSaves.push_back(afterOpening([&](TableEditor& editor) {
            warmFreeMemory(warmBytes);
            return save(editor);
        }));
        overWarmFloor.push_back(warmSaves.back() / warmFloors.back());
    }
    const double floorMs = median(floors);
    const double saveOverFloor = median(overFloor);
    const double warmFloorMs = median(warmFloors);
    const double warmSaveMs = median(warmSaves);
    const double saveOverWarmFloor = median(overWarmFloor);
    if (refusals != 0) {
        qFatal("a save was refused");
    }

    Session session(folder.path());
    auto editor = openEditor(session);
    editor->findChild<QLineEdit*>(QStringLiteral("txtDeleteNoF"))->setText(QStringLiteral("100000"));
    editor->findChild<QLineEdit*>(QStringLiteral("txtDeleteNoT"))->setText(QStringLiteral("109999"));
    auto* remove = editor->findChild<QPushButton*>(QStringLiteral("cmdDelete"));
    double deleteMs = 0;
    const double rangeDelete = pairedRatio(
        file, [&] { return msOf([&] { remove->click(); }); }, &deleteMs);

    std::vector<double> peaks;
    for (int i = 0; i < kPairs; ++i) {
        peaks.push_back(double(peakOfOpeningProcess(argv[0], folder.path())) / double(fileSize));
    }
    const double memory = median(peaks);

    out << QStringLiteral(
               "open %1 ms, save %2 ms (writing and flushing the same bytes after opening: %5 ms; with memory "
               "warmed, save %8 ms and write %7 ms; the first save after the clock screen's appends: %6 ms), "
               "delete 10 000 rows %3 ms, peak memory %4 MB\n")
               .arg(openMs, 0, 'f', 1)
               .arg(saveMs, 0, 'f', 1)
               .arg(deleteMs, 0, 'f', 1)
               .arg(memory * double(fileSize) / 1e6, 0, 'f', 1)
               .arg(floorMs, 0, 'f', 1)
               .arg(firstSaveMs, 0, 'f', 1)
               .arg(warmFloorMs, 0, 'f', 1)
               .arg(warmSaveMs, 0, 'f', 1);
    out << QStringLiteral("ratio open_clock_editor %1 3\n").arg(open, 0, 'f', 2);
    out << QStringLiteral("ratio save_clock_editor %1 3\n").arg(saveRatio, 0, 'f', 2);
    out << QStringLiteral("ratio save_clock_editor_over_durable_write %1 1.5\n").arg(saveOverFloor, 0, 'f', 2);
    out << QStringLiteral("ratio save_clock_editor_over_warm_durable_write %1 1.5\n").arg(saveOverWarmFloor, 0, 'f', 2);
    out << QStringLiteral("ratio range_delete_10000 %1 0.5\n").arg(rangeDelete, 0, 'f', 2);
    out << QStringLiteral("ratio peak_memory_per_file_byte %1 6\n").arg(memory, 0, 'f', 2);
    return 0;
}
