#pragma once

#include <com/sun/star/awt/XRequestCallback.hpp>

#include <functional>

namespace tsumiki {

// Runs `step` on the office's own main thread and returns when it has, rethrowing what it threw. The office's window
// toolkit wants its windows made, shown and closed there: a workbook loaded into a window from one of the office's
// bridge threads now and then hangs the GTK office for good inside its clipboard wait (every second load on a desktop
// where no program owns the clipboard, now and then where one does). The office calls back on its main thread, and
// every call `step` makes from that callback runs there too.
// Throws DisposedException when the office ended (`gone`) before it came to the step.
void runOnOfficeMainThread(const com::sun::star::uno::Reference<com::sun::star::awt::XRequestCallback>& mainThread,
                           const std::function<void()>& step, const std::function<bool()>& gone);

}  // namespace tsumiki
