#pragma once

#include <QByteArrayView>
#include <QHash>

#include <array>
#include <optional>

namespace tsumiki {

// Values worked out once per distinct stored value of a column. Mapped columns mostly hold a one-byte code (ST,
// DOUHAN), which is looked up without hashing; the views must outlive the map (they point into a parsed table).
template <typename T>
class ByStoredValue {
public:
    template <typename Make>
    const T& get(QByteArrayView stored, Make make) {
        if (stored.size() <= 1) {
            std::optional<T>& slot = small_[stored.isEmpty() ? 256 : uchar(stored[0])];
            if (!slot) {
                slot = make();
            }
            return *slot;
        }
        auto it = large_.constFind(stored);
        if (it == large_.constEnd()) {
            it = large_.insert(stored, make());
        }
        return *it;
    }

private:
    std::array<std::optional<T>, 257> small_;
    QHash<QByteArrayView, T> large_;
};

}  // namespace tsumiki
