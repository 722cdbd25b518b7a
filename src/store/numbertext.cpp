#include "store/numbertext.h"

#include <cmath>

namespace tsumiki {

QString FormatAmount(double amount) {
    const double rounded = std::round(amount);  // halves away from zero
    QString digits = QString::number(std::fabs(rounded), 'f', 0);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3) {
        digits.insert(i, u',');
    }
    return rounded < 0 ? u'-' + digits : digits;
}

}  // namespace tsumiki
