#pragma once

#include <QDialog>
#include <QList>
#include <QMetaProperty>
#include <QVariantMap>

#include <functional>

#include "platform/navigator.h"

namespace tsumiki::test {

// Records each screen asked for, with the properties its class declares as they were when it was shown,
// instead of running its event loop. `onShow` lets a test act on the open screen before it "closes".
class FakeNavigator final : public Navigator {
public:
    struct Opened {
        QString screen;  // objectName
        QVariantMap properties;
    };
    void showModal(QDialog& screen) override {
        Opened o{screen.objectName(), {}};
        const QMetaObject* mo = screen.metaObject();
        for (int i = QDialog::staticMetaObject.propertyCount(); i < mo->propertyCount(); ++i) {
            o.properties.insert(QString::fromLatin1(mo->property(i).name()), mo->property(i).read(&screen));
        }
        opened.append(o);
        if (onShow) {
            onShow(screen);
        }
    }
    QList<Opened> opened;
    std::function<void(QDialog&)> onShow;
};

}  // namespace tsumiki::test
