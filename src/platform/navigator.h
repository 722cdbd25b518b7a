#pragma once

class QDialog;

namespace tsumiki {

// Opens the next screen of the stack modally and returns when it has closed. The screen's properties are set
// before; tests use a fake that records the screen instead of running its event loop.
class Navigator {
public:
    virtual ~Navigator() = default;
    virtual void showModal(QDialog& screen) = 0;
};

}  // namespace tsumiki
