#pragma once

#include "maintenance/tableeditor.h"

namespace tsumiki {

// The clock-record editor: every clock record with its user's nickname; range delete, question first.
class Mast_Kinmu final : public TableEditor {
    Q_OBJECT

public:
    explicit Mast_Kinmu(AppContext& context, QWidget* parent = nullptr);
    static const EditorTable& table();
};

}  // namespace tsumiki
