#pragma once

#include "ui/screen.h"

namespace tsumiki {

struct EditorTable;

// The maintenance menu: opens one of the four table editors and returns to the clock screen.
class Menu_Mast final : public Screen {
    Q_OBJECT

public:
    explicit Menu_Mast(AppContext& context, QWidget* parent = nullptr);

private:
    template <typename Editor>
    void open();
};

}  // namespace tsumiki
