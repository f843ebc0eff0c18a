#include "Menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "Dispatch.h"

namespace fw {

Ref<MenuItem> MenuItem::Child(const std::string& name) const {
    for (const auto& c : children_)
        if (c->Name() == name) return c;
    return nullptr;
}

Ref<MenuItem> MenuItem::Lookup(const std::string& name) const {
    for (const auto& c : children_) {
        if (c->Name() == name) return c;
        if (auto found = c->Lookup(name)) return found;
    }
    return nullptr;
}

Ref<MenuItem> MenuItem::Item(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

}  // namespace fw

// The Qt menu bar

namespace fw::detail {
namespace {

QString ToQt(const std::string& s) { return QString::fromStdString(s); }

QKeySequence ShortcutOf(const std::string& text) {
    if (text.empty()) return {};
    std::string s = text;
    // "Cmd" is the platform's command modifier.
    if (s.rfind("Cmd+", 0) == 0) s = "Ctrl+" + s.substr(4);
    return QKeySequence(ToQt(s), QKeySequence::PortableText);
}

}  // namespace

struct QtMenuBar::Parts {
    QPointer<QMenuBar> bar;
    std::vector<std::pair<QPointer<QAction>, std::weak_ptr<MenuItem>>> actions;
};

QtMenuBar::QtMenuBar(const Ref<MenuBar>& model, QWidget* top, std::function<void()> aboutToShow,
                     std::function<void(const Ref<MenuItem>&)> chosen)
    : parts_(std::make_unique<Parts>()) {
    RequireUiThread("QtMenuBar");
    auto* qbar = new QMenuBar(top);
    qbar->setNativeMenuBar(false);
    for (int i = 0; i < model->Count(); ++i) {
        Ref<MenuItem> menu = model->Item(i);
        QMenu* qmenu = qbar->addMenu(ToQt(menu->Text()));
        // Every separator shows where the menu has it, a leading or trailing one too, set
        // off from the menu's frame, which it would otherwise merge with.
        qmenu->setSeparatorsCollapsible(false);
        const int n = menu->Count();
        constexpr int kEdgeSeparatorGap = 4;
        qmenu->setContentsMargins(0, n > 0 && menu->Item(0)->IsSeparator() ? kEdgeSeparatorGap : 0, 0,
                                  n > 0 && menu->Item(n - 1)->IsSeparator() ? kEdgeSeparatorGap : 0);
        QObject::connect(qmenu, &QMenu::aboutToShow, qbar, aboutToShow);
        parts_->actions.emplace_back(qmenu->menuAction(), menu);
        for (int j = 0; j < menu->Count(); ++j) {
            Ref<MenuItem> item = menu->Item(j);
            if (item->IsSeparator()) {
                qmenu->addSeparator();
                continue;
            }
            QAction* action = qmenu->addAction(ToQt(item->Text()));
            action->setShortcut(ShortcutOf(item->KeyboardShortcut()));
            // Quit answers its shortcut in every window of the application.
            if (item->Quits()) action->setShortcutContext(Qt::ApplicationShortcut);
            // Where the platform has an application menu, these two go there.
            if (item->Quits()) action->setMenuRole(QAction::QuitRole);
            else if (Cast<AppleMenuItem>(item)) action->setMenuRole(QAction::AboutRole);
            else action->setMenuRole(QAction::NoRole);
            std::weak_ptr<MenuItem> weakItem = item;
            QObject::connect(action, &QAction::triggered, qbar, [chosen, weakItem] {
                if (auto it = weakItem.lock()) chosen(it);
            });
            parts_->actions.emplace_back(action, item);
        }
    }
    parts_->bar = qbar;
}

QtMenuBar::~QtMenuBar() {
    if (!parts_->bar) return;
    parts_->bar->hide();
    parts_->bar->deleteLater();
}

QWidget* QtMenuBar::Widget() const { return parts_->bar; }

void QtMenuBar::UpdateEnabled() {
    RequireUiThread("QtMenuBar::UpdateEnabled");
    for (auto& [action, item] : parts_->actions) {
        auto it = item.lock();
        if (action && it && it->Count() == 0) action->setEnabled(it->Enabled());
    }
}

}  // namespace fw::detail
