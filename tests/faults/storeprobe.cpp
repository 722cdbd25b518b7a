// Runs one append or one save of the clock table on an application folder, for the fault tests: they run it under
// the fault library and kill it or fail its writes at chosen calls. Prints how many calls the library counted and
// how the operation ended.
#include <QCoreApplication>
#include <QDateTime>
#include <QTextStream>

#include <dlfcn.h>

#include "store/guardedrewrite.h"
#include "store/tablestore.h"
#include "store/tablewriter.h"

using namespace tsumiki;

namespace {

// Calls the fault library when it is loaded.
void callShim(const char* name) {
    if (auto* f = reinterpret_cast<void (*)()>(::dlsym(RTLD_DEFAULT, name))) {
        f();
    }
}

long counted() {
    auto* f = reinterpret_cast<long (*)()>(::dlsym(RTLD_DEFAULT, "tsumiki_fault_count"));
    return f ? f() : 0;
}

// The loaded rows with the first row's time changed and one row added: what a person might save.
TableWriter editedClockRows(const ParsedTable& loaded) {
    TableWriter writer(Table::Clock);
    for (int r = 0; r < loaded.rowCount(); ++r) {
        QList<Value> row;
        for (int c = 0; c < 5; ++c) {
            row << loaded.value(r, c);
        }
        if (r == 0) {
            row[2] = QStringLiteral("2026/12/05 08:45");
        }
        writer.addValues(row);
    }
    writer.addValues({QStringLiteral("0008"), QStringLiteral("2026/12/06"), QStringLiteral("2026/12/06 09:00"),
                      QStringLiteral("1"), QStringLiteral("0")});
    return writer;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        return 2;
    }
    TableStore store(args[2]);
    const TablePtr loaded = store.read(Table::Clock);
    TableWriter edited = editedClockRows(*loaded);
    callShim("tsumiki_fault_arm");
    WriteResult result;
    if (args[1] == u"append") {
        result =
            store.append(Table::Clock, {QStringLiteral("0009"), QStringLiteral("2026/12/07"),
                                        QStringLiteral("2026/12/07 10:00"), QStringLiteral("1"), QStringLiteral("0")});
    } else {
        const QDateTime now(QDate(2026, 12, 7), QTime(10, 0, 0));
        result = rewriteUnlessChanged(store, Table::Clock, loaded->bytes(), std::move(edited), now).refused;
    }
    QTextStream out(stdout);
    out << "calls " << counted() << "\n"
        << (result ? QStringLiteral("refused ") + result->message : QStringLiteral("written")) << "\n";
    return 0;
}
