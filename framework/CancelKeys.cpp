#include "CancelKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

#include "Dispatch.h"
#include "Thread.h"

namespace fw::detail {
namespace {

bool IsCancelPress(QObject* receiver, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !receiver->isWidgetType()) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrlDot = key->key() == Qt::Key_Period && (key->modifiers() & Qt::ControlModifier);
    const bool inMenu = QApplication::activePopupWidget() || qobject_cast<QMenuBar*>(receiver);
    return (key->key() == Qt::Key_Escape || ctrlDot) && !key->isAutoRepeat() && !inMenu;
}

class EventSystem : public QApplication {
public:
    using QApplication::QApplication;

    // Called once for each event sent or posted. A key press that a widget leaves goes
    // on to its parent within this call: an application event filter would see it at
    // every widget on the way.
    bool notify(QObject* receiver, QEvent* event) override {
        OrderAfterPosts();  // the event may come from another thread
        if (IsCancelPress(receiver, event)) SignalUserCancel();
        return QApplication::notify(receiver, event);
    }
};

}  // namespace

QApplication* NewEventSystem(int& argc, char** argv) { return new EventSystem(argc, argv); }

}  // namespace fw::detail
