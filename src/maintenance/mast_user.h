#pragma once

#include "maintenance/tableeditor.h"

namespace tsumiki {

// The user settings editor: IDs, nicknames, authority and unit prices.
class Mast_User final : public TableEditor {
    Q_OBJECT

public:
    explicit Mast_User(AppContext& context, QWidget* parent = nullptr);
    static const EditorTable& table();
};

}  // namespace tsumiki
