#include "maintenance/celledit.h"

namespace tsumiki {

CellKeyAction cellKeyAction(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Delete) {
        return CellKeyAction::Clear;
    }
    const Qt::KeyboardModifiers chord = modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    if (chord != Qt::ControlModifier) {
        return CellKeyAction::None;
    }
    if (key == Qt::Key_C) {
        return CellKeyAction::Copy;
    }
    if (key == Qt::Key_V) {
        return CellKeyAction::Paste;
    }
    return CellKeyAction::None;
}

std::optional<QString> cellAfterTyping(const QString& cell, const QString& typed) {
    if (typed.isEmpty()) {
        return std::nullopt;
    }
    const char16_t first = typed.front().unicode();
    if (first == u'\b') {
        if (cell.isEmpty()) {
            return std::nullopt;
        }
        const bool pair = cell.size() >= 2 && cell.back().isLowSurrogate() && cell[cell.size() - 2].isHighSurrogate();
        return cell.chopped(pair ? 2 : 1);
    }
    if (first < 0x20 || first == 0x7f) {
        return std::nullopt;
    }
    return cell + typed;
}

}  // namespace tsumiki
