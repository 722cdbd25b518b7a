#pragma once

#include <QDialog>
#include <QLatin1String>
#include <QString>

#include "ui/appcontext.h"

class QKeyEvent;

namespace tsumiki {

// The frame of every screen of the program. A screen is built in its constructor from the controls of
// ui/controls.h, takes its properties through setters, and fills itself from the tables in load(), which runs
// once per opening: when the program shows the screen, not again when the window system shows it after it was
// minimised. Its keys: Enter presses the focused button (and nothing else does); Escape closes nothing, a
// screen closes only by its back button or its close box. The close box and every back button end in reject(),
// so a screen whose going back needs more overrides reject() alone.
class Screen : public QDialog {
    Q_OBJECT
public:
    // `name` is the screen's given name (its objectName), `caption` its given window caption.
    Screen(AppContext& context, QLatin1String name, const QString& caption, QWidget* parent = nullptr);

    static bool isEnterKey(const QKeyEvent& event);

protected:
    AppContext& context() const { return context_; }

    // Fills the screen from the tables.
    virtual void load() {}

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    AppContext& context_;
    bool loaded_ = false;
};

}  // namespace tsumiki
