#pragma once

#include "platform/clock.h"
#include "platform/navigator.h"

class QDialog;

namespace tsumiki {

class GuardedApplication;

// Drives the screens in place of a person (the screenshot walk, a program of its own); the installed program
// runs without one.
class ScreenDriver : public Navigator {
public:
    // Called once, when the login screen is shown.
    virtual void start(QDialog& login) = 0;
};

// Everything the program does between its application object and its exit status: finds the application folder
// (a per-user one is created or completed from the starting folder, and a new shop is told once where it is and
// how to log in), checks its tables, and shows the login screen until it closes. A failure of the data files is
// shown once and ends the run with ErrorBoundary::kExitStatus.
int runProgram(GuardedApplication& app, const Clock& clock, ScreenDriver* driver = nullptr);

}  // namespace tsumiki
