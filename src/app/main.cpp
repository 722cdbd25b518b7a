#include "app/errorboundary.h"
#include "app/programrun.h"

using namespace tsumiki;

int main(int argc, char** argv) {
    GuardedApplication app(argc, argv);
    SystemClock clock;
    return runProgram(app, clock);
}
