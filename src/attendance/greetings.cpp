#include "attendance/greetings.h"

#include <cmath>

#include "store/queries.h"

namespace tsumiki {

qint32 CountMessagesWithPrefix(const TableStore& store, const QString& kind) {
    bool ok = false;
    const double number = kind.trimmed().toDouble(&ok);
    const QString prefix = ok && number == 1 ? QStringLiteral("M01") : QStringLiteral("M02");
    return static_cast<qint32>(MessagesByPrefix(store.read(Table::Message), prefix).size());
}

QString GetGreetingMessage(const TableStore& store, Random& random, int kind) {
    random.reseed();
    QString id;
    if (kind == 1 || kind == 2) {
        const QString prefix = kind == 1 ? QStringLiteral("M01") : QStringLiteral("M02");
        const qint32 n = CountMessagesWithPrefix(store, QString::number(kind));
        const auto index = static_cast<qint64>(std::floor(random.next() * n + 1));
        id = prefix + QStringLiteral("%1").arg(index, 3, 10, QLatin1Char('0'));
    }
    QString text;
    for (const Record& r : MessageById(store.read(Table::Message), id)) {
        text = r.value(u"MESSAGE").value_or(QString());
    }
    return text;
}

}  // namespace tsumiki
