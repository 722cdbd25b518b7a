#include "store/lookups.h"

#include "store/queries.h"

namespace tsumiki {

QString GetMessageText(const TableStore& store, const QString& msgId) {
    QString result;
    for (const Record& r : MessageById(store.read(Table::Message), msgId)) {
        result = r.value(u"MESSAGE").value_or(QString());
    }
    return result.isEmpty() ? QStringLiteral("errcode '%1'").arg(msgId) : result;
}

QString LookupUserName(const TableStore& store, const QString& userId) {
    QString result;
    for (const Record& r : UserById(store.read(Table::User), userId)) {
        result = r.value(u"USERNAME").value_or(QString());
    }
    return result;
}

QString GetUserAuthority(const TableStore& store, const QString& userId) {
    QString result;
    for (const Record& r : UserById(store.read(Table::User), userId)) {
        result = r.value(u"KENGEN").value_or(QStringLiteral("0"));
    }
    return result;
}

qint32 GetUnitPrice(const TableStore& store, const QString& userId) {
    QString result = QStringLiteral("0");
    for (const Record& r : UserById(store.read(Table::User), userId)) {
        result = r.value(u"TANKA").value_or(QStringLiteral("0"));
    }
    bool ok = false;
    const qint32 price = result.trimmed().toInt(&ok, 10);
    return ok ? price : 0;
}

QString GetControlCode(const TableStore& store, const QString& ctlCode, const QString& valueNumber) {
    if (valueNumber != u"1" && valueNumber != u"2" && valueNumber != u"3") {
        return QString();
    }
    const QString column = QStringLiteral("CODE") + valueNumber;
    QString result;
    for (const Record& r : ControlById(store.read(Table::Control), ctlCode)) {
        if (const Value v = r.value(column)) {
            result = *v;
        }
    }
    return result;
}

}  // namespace tsumiki
