// Times one individual export end to end (first, with the office still to start, and second, with it running)
// against a bare office round trip in the same run: start the office, open the template, save it as .xls with a
// password. Neither includes the export's three-second pause. Prints milliseconds and the median ratios.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QUrl>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>

#include <algorithm>

#include "clockdata.h"
#include "sheets/sheetcontent.h"
#include "sheets/workbookexport.h"
#include "store/cp932.h"
#include "workbook/libreofficespreadsheet.h"
#include "workbook/officeprocess.h"

using namespace com::sun::star;
using namespace tsumiki;

namespace {

class NoWait final : public Pause {
public:
    void keepScreenResponsiveFor(int) override {}
};

class SilentBoxes final : public MessageBoxes {
public:
    void show(const QString&, const QString& text, MessageIcon) override { shown << text; }
    bool ask(const QString&, const QString&) override { return false; }
    void beep() override {}
    QStringList shown;
};

rtl::OUString ou(const QString& s) {
    return rtl::OUString(reinterpret_cast<const sal_Unicode*>(s.utf16()), static_cast<sal_Int32>(s.size()));
}

beans::PropertyValue prop(const char* name, const uno::Any& value) {
    beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

// Start, connect, open the template hidden, save it with a password; the office is ended afterwards, untimed.
double bareRoundTripMs(const QString& profile, const QString& templateFile, const QString& output, int run) {
    static uno::Reference<uno::XComponentContext> local = [] {
        qputenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" TSUMIKI_OFFICE_PROGRAM_DIR "/fundamentalrc");
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    QElapsedTimer timer;
    timer.start();
    const QString pipe = QStringLiteral("bench_bare_%1_%2").arg(getpid()).arg(run);
    OfficeProcess office;
    office.start(LibreOfficeSettings{}.program,
                 {QStringLiteral("--headless"), QStringLiteral("--nologo"), QStringLiteral("--norestore"),
                  QStringLiteral("--nodefault"), QStringLiteral("--nolockcheck"),
                  QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe),
                  QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString()},
                 {});
    uno::Reference<bridge::XUnoUrlResolver> resolver = bridge::UnoUrlResolver::create(local);
    uno::Reference<uno::XComponentContext> remote;
    while (!remote.is()) {
        try {
            remote.set(
                resolver->resolve(ou(QStringLiteral("uno:pipe,name=%1;urp;StarOffice.ComponentContext").arg(pipe))),
                uno::UNO_QUERY_THROW);
        } catch (const connection::NoConnectException&) {
            QThread::msleep(50);
        }
    }
    uno::Reference<frame::XDesktop2> desktop = frame::Desktop::create(remote);
    uno::Sequence<beans::PropertyValue> load(1);
    load.getArray()[0] = prop("Hidden", uno::Any(true));
    uno::Reference<lang::XComponent> doc =
        desktop->loadComponentFromURL(ou(QUrl::fromLocalFile(templateFile).toString()), "_blank", 0, load);
    uno::Sequence<beans::PropertyValue> store(3);
    store.getArray()[0] = prop("FilterName", uno::Any(rtl::OUString("MS Excel 97")));
    store.getArray()[1] = prop("Password", uno::Any(rtl::OUString("pw")));
    store.getArray()[2] = prop("Overwrite", uno::Any(true));
    uno::Reference<frame::XStorable>(doc, uno::UNO_QUERY_THROW)
        ->storeToURL(ou(QUrl::fromLocalFile(output).toString()), store);
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    uno::Reference<util::XCloseable>(doc, uno::UNO_QUERY_THROW)->close(true);
    try {
        desktop->terminate();
    } catch (const uno::Exception&) {
    }
    office.waitForExit(10000);
    return ms;
}

double median(QList<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// The sample tables with a workbook password, and the template.
void writeFolder(const QString& app) {
    bench::writeSampleFolder(app, 2, 31);
    QFile control(app + QStringLiteral("/DB/コントロール.csv"));
    control.open(QIODevice::WriteOnly | QIODevice::Truncate);
    control.write(cp932::encode(QStringLiteral("CTLCODE,CODE1,CODE2,CODE3,COMMENT\r\n\"CTL0003\",\"05:00\",,,\r\n"
                                               "\"CTL0004\",\"15\",,,\r\n\"CTL0005\",\"pw\",,,\r\n"))
                      .bytes);
    QDir(app).mkpath(QStringLiteral("excelテンプレート"));
    QFile::copy(QStringLiteral(TSUMIKI_TEMPLATE_DIR "/勤務表個人.xls"),
                app + QStringLiteral("/excelテンプレート/勤務表個人.xls"));
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    if (!LibreOfficeSpreadsheet::isInstalled({})) {
        out << "LibreOffice is not installed; nothing measured\n";
        return 0;
    }
    QTemporaryDir dir;
    const QString appFolder = dir.filePath(QStringLiteral("app"));
    writeFolder(appFolder);
    const QString profile = dir.filePath(QStringLiteral("profile"));
    const QString templateFile = appFolder + QStringLiteral("/excelテンプレート/勤務表個人.xls");
    TableStore store(appFolder);
    SilentBoxes boxes;
    NoWait noWait;

    // A month of clock times as the screen shows it.
    IndividualWorkbookContent content{
        QStringLiteral("0002"), QStringLiteral("さくら"), QStringLiteral("2026年11月"), QStringLiteral("1200"), {}};
    static const char16_t* weekdays[] = {u"日", u"月", u"火", u"水", u"木", u"金", u"土"};
    for (int d = 1; d <= 30; ++d) {
        const bool works = d % 7 != 0;
        content.days.append(
            {QString::number(d), QString::fromUtf16(weekdays[d % 7]),
             works ? QStringLiteral("%1:00").arg(9 + d % 10, 2, 10, QLatin1Char('0')) : QString(),
             works ? QStringLiteral("%1:30").arg((18 + d % 10) % 24, 2, 10, QLatin1Char('0')) : QString(),
             d % 3 ? QString() : QStringLiteral("○")});
    }

    // Warm the profile once, as a shop's is after its first export ever.
    bareRoundTripMs(profile, templateFile, dir.filePath(QStringLiteral("warm.xls")), 0);

    const int runs = 5;
    QList<double> bare, first, second, firstRatio, secondRatio;
    for (int i = 1; i <= runs; ++i) {
        bare << bareRoundTripMs(profile, templateFile, dir.filePath(QStringLiteral("bare.xls")), i);
        QDir(appFolder + QStringLiteral("/出力帳票")).removeRecursively();
        LibreOfficeSpreadsheet office(LibreOfficeSettings{.profileFolder = profile});
        WorkbookExport exporter(store, boxes, office, noWait);
        QElapsedTimer timer;
        timer.start();
        const bool ok1 = exporter.exportIndividual(content);
        first << double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        const bool ok2 = exporter.exportIndividual(content);
        second << double(timer.nsecsElapsed()) / 1e6;
        if (!ok1 || !ok2) {
            out << "export failed: " << boxes.shown.join(u' ') << "\n";
            return 1;
        }
        office.shutDown();
        firstRatio << first.back() / bare.back();
        secondRatio << second.back() / bare.back();
        out << QStringLiteral("run %1: bare %2 ms, first export %3 ms, second export %4 ms\n")
                   .arg(i)
                   .arg(bare.back(), 0, 'f', 0)
                   .arg(first.back(), 0, 'f', 0)
                   .arg(second.back(), 0, 'f', 0);
    }
    out << QStringLiteral("median: bare %1 ms, first %2 ms, second %3 ms\n")
               .arg(median(bare), 0, 'f', 0)
               .arg(median(first), 0, 'f', 0)
               .arg(median(second), 0, 'f', 0);
    out << "ratio export_first_vs_bare_round_trip " << QString::number(median(firstRatio), 'f', 2) << " 1.3\n";
    out << "ratio export_second_vs_bare_round_trip " << QString::number(median(secondRatio), 'f', 2) << " 0.3"
        << Qt::endl;
    return 0;
}
