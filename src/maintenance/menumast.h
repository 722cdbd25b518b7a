#pragma once

#include <QDialog>

#include "platform/appcontext.h"

namespace tsumiki {

struct EditorTable;

// The maintenance menu: opens one of the four table editors and returns to the clock screen.
class MenuMast final : public QDialog {
    Q_OBJECT

public:
    explicit MenuMast(AppContext& context, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void openEditor(const EditorTable& table);
    int twipsToPixels(int twips) const;

    AppContext& context_;
};

}  // namespace tsumiki
