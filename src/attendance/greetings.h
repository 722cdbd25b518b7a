#pragma once

#include <QString>

#include "attendance/businessdate.h"
#include "platform/random.h"
#include "store/tablestore.h"

namespace tsumiki {

// The id of the greeting a draw in [0, 1) picks among `count` candidates numbered 001 to count: "M01nnn"
// after a clock-in, "M02nnn" after a clock-out.
QString GreetingId(ClockKind kind, qint32 count, double draw);

// A greeting drawn at random among the messages of the kind's prefix, the generator seeded afresh. The
// candidates are numbered 001 to n, n being the number of ids with the prefix; a number without a message (a
// gap, or an id outside the sequence that still counts) gives empty text.
QString GetGreetingMessage(const TableStore& store, Random& random, ClockKind kind);

// The number of messages whose MSGID begins with "M01" (clock-in) or "M02" (clock-out).
qint32 CountMessagesWithPrefix(const TableStore& store, ClockKind kind);

}  // namespace tsumiki
