#pragma once

#include <QString>

namespace tsumiki {

// The reason of a failed file operation in words a shop understands, from the system's error number.
QString describeSystemError(int error);

}  // namespace tsumiki
