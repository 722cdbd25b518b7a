#pragma once

#include <QString>

#include "platform/random.h"
#include "store/tablestore.h"

namespace tsumiki {

// A greeting drawn at random: kind 1 from the M01 messages (after a clock-in), kind 2 from the M02 messages
// (after a clock-out). The candidates are numbered 001 to n, n being the number of ids with the prefix; a
// number without a message (a gap, or an id outside the sequence that still counts) gives empty text, as does
// any other kind.
QString GetGreetingMessage(const TableStore& store, Random& random, int kind);

// The number of messages whose MSGID begins with "M01" (kind "1") or "M02" (any other kind).
qint32 CountMessagesWithPrefix(const TableStore& store, const QString& kind);

}  // namespace tsumiki
