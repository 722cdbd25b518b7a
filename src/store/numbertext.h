#pragma once

#include <QString>

namespace tsumiki {

// "#,##0": rounded to a whole number, halves away from zero, with thousands separators. The one form amounts and
// prices are shown in.
QString FormatAmount(double amount);

}  // namespace tsumiki
