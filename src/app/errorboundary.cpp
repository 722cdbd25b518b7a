#include "app/errorboundary.h"

#include <QTextStream>

#include <exception>

#include "store/storeerror.h"

namespace tsumiki {

void ErrorBoundary::report(const QString& text) {
    if (failed_) {
        return;
    }
    failed_ = true;
    QTextStream(stderr) << text << Qt::endl;
    if (boxes_) {
        boxes_->warn(QStringLiteral("エラー"), text);
    }
    exit_(kExitStatus);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event) {
    if (!boundary_) {
        return QApplication::notify(receiver, event);
    }
    try {
        return QApplication::notify(receiver, event);
    } catch (const StoreError& e) {
        boundary_->report(e.message());
    } catch (const std::exception& e) {
        boundary_->report(
            QStringLiteral("予期しないエラーが発生したため終了します。（%1）").arg(QString::fromUtf8(e.what())));
    }
    return false;
}

}  // namespace tsumiki
