#pragma once

#include <QString>
#include <Qt>

#include <optional>

// How keys typed on an editor grid change its current cell. The grid has no edit box and no caret: text is
// appended at the end, shortened from the end, cleared, or replaced whole from the clipboard.
namespace tsumiki {

enum class CellKeyAction { None, Clear, Copy, Paste };

// What a key-down does by itself: Delete clears (whatever modifiers are held); Ctrl+C and Ctrl+V copy and paste
// only with Ctrl alone held.
CellKeyAction cellKeyAction(int key, Qt::KeyboardModifiers modifiers);

// The cell after one typed character (a surrogate pair counts as one): printable and double-byte characters
// are appended, Backspace removes the last character; none when the character changes nothing.
std::optional<QString> cellAfterTyping(const QString& cell, const QString& typed);

}  // namespace tsumiki
