#pragma once

#include "maintenance/tableeditor.h"

namespace tsumiki {

// The control settings editor: the settings by control code, any texts.
class Mast_Ctrl final : public TableEditor {
    Q_OBJECT

public:
    explicit Mast_Ctrl(AppContext& context, QWidget* parent = nullptr);
    static const EditorTable& table();
};

}  // namespace tsumiki
