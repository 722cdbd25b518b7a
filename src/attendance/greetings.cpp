#include "attendance/greetings.h"

#include <cmath>

#include "store/queries.h"

namespace tsumiki {
namespace {

QString prefixOf(ClockKind kind) {
    return kind == ClockKind::In ? QStringLiteral("M01") : QStringLiteral("M02");
}

}  // namespace

QString GreetingId(ClockKind kind, qint32 count, double draw) {
    const auto number = static_cast<qint64>(std::floor(draw * count + 1));
    return prefixOf(kind) + QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

qint32 CountMessagesWithPrefix(const TableStore& store, ClockKind kind) {
    return static_cast<qint32>(MessagesByPrefix(store.read(Table::Message), prefixOf(kind)).size());
}

QString GetGreetingMessage(const TableStore& store, Random& random, ClockKind kind) {
    random.reseed();
    const QString id = GreetingId(kind, CountMessagesWithPrefix(store, kind), random.next());
    QString text;
    for (const Record& r : MessageById(store.read(Table::Message), id)) {
        text = r.value(u"MESSAGE").value_or(QString());
    }
    return text;
}

}  // namespace tsumiki
