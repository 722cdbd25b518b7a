#pragma once

#include <QString>

#include "store/tablestore.h"

// Single values the screens need. Each reads its table afresh, lets the last matching row win and turns a
// missing row or an empty field into a fixed result instead of failing.
namespace tsumiki {

// The MESSAGE of that MSGID, or "errcode '<id>'" when there is no row or its text is empty.
QString GetMessageText(const TableStore& store, const QString& msgId);
// The USERNAME of that ID; empty text when there is none.
QString LookupUserName(const TableStore& store, const QString& userId);
// The KENGEN of that ID: "0" when empty, empty text when there is no such user.
QString GetUserAuthority(const TableStore& store, const QString& userId);
// The TANKA of that ID as a whole number; 0 when there is no row, the field is empty or it is not a whole
// number that fits 32 bits.
qint32 GetUnitPrice(const TableStore& store, const QString& userId);
// CODE1, CODE2 or CODE3 (valueNumber "1", "2", "3") of that CTLCODE: the last non-empty one; empty text when
// none, and for any other value number without reading the table.
QString GetControlCode(const TableStore& store, const QString& ctlCode, const QString& valueNumber);

}  // namespace tsumiki
