#pragma once

#include "maintenance/tableeditor.h"

namespace tsumiki {

// The message settings editor: the texts shown by message id and the greetings.
class Mast_Message final : public TableEditor {
    Q_OBJECT

public:
    explicit Mast_Message(AppContext& context, QWidget* parent = nullptr);
    static const EditorTable& table();
};

}  // namespace tsumiki
