#pragma once

#include <QApplication>
#include <QString>

#include <functional>

#include "platform/messageboxes.h"

namespace tsumiki {

// Where a failure of the data files ends the program. Its text is shown once, on standard error and in a
// message box, and the program is asked to end with a non-zero status; a second failure while the first is
// being shown adds nothing. Nothing else catches a StoreError, so no screen carries on over a broken folder.
class ErrorBoundary {
public:
    static constexpr int kExitStatus = 1;
    using Exit = std::function<void(int status)>;

    // Without boxes the text goes to standard error only: on a platform with no screen no one could answer a
    // box, and the program would never end.
    ErrorBoundary(MessageBoxes* boxes, Exit exit) : boxes_(boxes), exit_(std::move(exit)) {}

    void report(const QString& text);
    bool failed() const { return failed_; }

private:
    MessageBoxes* boxes_;
    Exit exit_;
    bool failed_ = false;
};

// The application object. Every event handler runs inside notify(), so this is where an exception that no
// handler caught arrives; it goes to the boundary instead of ending the program without a word.
class GuardedApplication final : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    void setBoundary(ErrorBoundary* boundary) { boundary_ = boundary; }
    bool notify(QObject* receiver, QEvent* event) override;

private:
    ErrorBoundary* boundary_ = nullptr;
};

}  // namespace tsumiki
