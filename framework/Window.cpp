#include "Window.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QCloseEvent>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPalette>
#include <QPointer>
#include <QWidget>

#include <algorithm>

#include "Gate.h"
#include "Menu.h"
#include "Runtime.h"
#include "Ui.h"

namespace fw {
namespace {

// The record of open windows by full class name; touched only by the program's code
// and the framework on the gate.
std::map<std::string, Ref<Window>, std::less<>>& OpenWindows() {
    static std::map<std::string, Ref<Window>, std::less<>> record;
    return record;
}

QString ToQt(const std::string& s) { return QString::fromStdString(s); }

QKeySequence ShortcutOf(const std::string& text) {
    if (text.empty()) return {};
    std::string s = text;
    // "Cmd" is the platform's command modifier.
    if (s.rfind("Cmd+", 0) == 0) s = "Ctrl+" + s.substr(4);
    return QKeySequence(ToQt(s), QKeySequence::PortableText);
}

}  // namespace

struct WindowEvents {
    static void Close(const std::weak_ptr<Window>& w) {
        if (auto win = w.lock()) win->HandleClose();
    }
    static void MouseDown(const std::weak_ptr<Window>& w, int x, int y) {
        if (auto win = w.lock()) win->HandleMouseDown(x, y);
    }
};

namespace {

class TopLevel : public QWidget {
public:
    explicit TopLevel(std::weak_ptr<Window> owner) : owner_(std::move(owner)) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        WindowEvents::Close(owner_);
        event->accept();
    }

private:
    std::weak_ptr<Window> owner_;
};

class Body : public QWidget {
public:
    Body(QWidget* parent, std::weak_ptr<Window> owner) : QWidget(parent), owner_(std::move(owner)) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        const QPoint p = event->position().toPoint();
        WindowEvents::MouseDown(owner_, p.x(), p.y());
    }

private:
    std::weak_ptr<Window> owner_;
};

}  // namespace

struct Window::Widgets {
    TopLevel* top = nullptr;  // owned by the event system; deleted with the window object
    QWidget* body = nullptr;
    QPointer<QMenuBar> menuBar;
    std::vector<std::pair<QPointer<QAction>, std::weak_ptr<MenuItem>>> actions;
};

Window::Window() = default;

Window::~Window() {
    if (!widgets_ || !widgets_->top || !QCoreApplication::instance()) return;
    QWidget* top = widgets_->top;
    if (IsUiThread())
        top->deleteLater();
    else
        detail::PostToUi([top] { top->deleteLater(); });
}

QWidget* Window::TopWidget() const { return widgets_ ? widgets_->top : nullptr; }
QWidget* Window::Body() const { return widgets_ ? widgets_->body : nullptr; }

void Window::Constructor() {
    detail::RunOnUi([this] { BuildOnUiThread(); });
}

void Window::BuildOnUiThread() {
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    const std::string name = FullClassName();
    OpenWindows()[name] = self;
    open_ = true;
    widgets_ = std::make_unique<Widgets>();
    widgets_->top = new TopLevel(self);
    widgets_->body = new fw::Body(widgets_->top, self);
    widgets_->body->setAutoFillBackground(true);
    try {
        Layout();
        CreateControls();
        // The tab order is the order of TabIndex.
        std::vector<Ref<RectControl>> order;
        for (const auto& [n, c] : controls_)
            if (c->focusable_ && c->Widget()) order.push_back(c);
        std::stable_sort(order.begin(), order.end(),
                         [](const auto& a, const auto& b) { return a->TabIndex() < b->TabIndex(); });
        for (std::size_t i = 1; i < order.size(); ++i)
            QWidget::setTabOrder(order[i - 1]->Widget(), order[i]->Widget());
        AddMenuHandlers(self);
        Event_Open();
    } catch (...) {
        auto it = OpenWindows().find(name);
        if (it != OpenWindows().end() && it->second == self) OpenWindows().erase(it);
        open_ = false;
        throw;
    }
    if (settings_.Visible) Show();
    UpdateMenus();
}

void Window::ApplySettings(const WindowSettings& s) {
    settings_ = s;
    if (!widgets_) return;
    QWidget* top = widgets_->top;
    top->setWindowTitle(ToQt(s.Title));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (s.CloseButton) flags |= Qt::WindowCloseButtonHint;
    if (s.MinimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    if (s.MaximizeButton) flags |= Qt::WindowMaximizeButtonHint;
    top->setWindowFlags(flags);
    QPalette pal = widgets_->body->palette();
    const QColor back = s.HasBackColor ? QColor(QRgb(s.BackColor.rgb)) : pal.color(QPalette::Base);
    pal.setColor(QPalette::Window, back);
    widgets_->body->setPalette(pal);
    const int barHeight = widgets_->menuBar && s.MenuBarVisible ? widgets_->menuBar->sizeHint().height() : 0;
    if (widgets_->menuBar) {
        widgets_->menuBar->setVisible(s.MenuBarVisible);
        widgets_->menuBar->setGeometry(0, 0, s.Width, barHeight);
    }
    widgets_->body->setGeometry(0, barHeight, s.Width, s.Height);
    if (!s.Resizeable) {
        top->setFixedSize(s.Width, s.Height + barHeight);
    } else {
        top->setMinimumSize(s.MinWidth, s.MinHeight + barHeight);
        top->setMaximumSize(s.MaxWidth, s.MaxHeight + barHeight);
        top->resize(s.Width, s.Height + barHeight);
    }
    if (s.FullScreen) top->setWindowState(Qt::WindowFullScreen);
}

void Window::SetMenuBar(const Ref<fw::MenuBar>& bar) {
    menuBar_ = bar;
    if (widgets_) BuildMenus();
}

void Window::BuildMenus() {
    if (widgets_->menuBar) delete widgets_->menuBar;
    widgets_->actions.clear();
    if (!menuBar_) return;
    auto* qbar = new QMenuBar(widgets_->top);
    qbar->setNativeMenuBar(false);
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
    for (int i = 0; i < menuBar_->Count(); ++i) {
        Ref<MenuItem> menu = menuBar_->Item(i);
        QMenu* qmenu = qbar->addMenu(ToQt(menu->Text()));
        // Every separator shows where the menu has it, a leading or trailing one too, set
        // off from the menu's frame, which it would otherwise merge with.
        qmenu->setSeparatorsCollapsible(false);
        const int n = menu->Count();
        constexpr int kEdgeSeparatorGap = 4;
        qmenu->setContentsMargins(0, n > 0 && menu->Item(0)->IsSeparator() ? kEdgeSeparatorGap : 0, 0,
                                  n > 0 && menu->Item(n - 1)->IsSeparator() ? kEdgeSeparatorGap : 0);
        QObject::connect(qmenu, &QMenu::aboutToShow, qbar, [weak] {
            if (auto w = weak.lock()) w->UpdateMenus();
        });
        widgets_->actions.emplace_back(qmenu->menuAction(), menu);
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
            QObject::connect(action, &QAction::triggered, qbar, [weak, weakItem] {
                auto w = weak.lock();
                auto it = weakItem.lock();
                if (w && it) w->ChooseMenuItem(it);
            });
            widgets_->actions.emplace_back(action, item);
        }
    }
    widgets_->menuBar = qbar;
    ApplySettings(settings_);
}

void Window::UpdateMenus() {
    if (!menuBar_ || !open_) return;
    std::function<void(const Ref<MenuItem>&)> autoEnable = [&](const Ref<MenuItem>& m) {
        for (int i = 0; i < m->Count(); ++i) {
            Ref<MenuItem> item = m->Item(i);
            if (item->AutoEnable() && item->Count() == 0)
                item->SetEnabled(item->Quits() || HasMenuHandler(item->Name()));
            autoEnable(item);
        }
    };
    {
        Gate::Hold hold;
        autoEnable(menuBar_);
    }
    RunHandler(FullClassName() + ".EnableMenuItems", [this] { Event_EnableMenuItems(); });
    if (!widgets_) return;
    for (auto& [action, item] : widgets_->actions) {
        auto it = item.lock();
        if (action && it && it->Count() == 0) action->setEnabled(it->Enabled());
    }
}

void Window::ChooseMenuItem(const Ref<MenuItem>& item) {
    if (!item || !item->Enabled()) return;
    if (item->Quits()) {
        Quit();
        return;
    }
    auto it = menuHandlers_.find(item->Name());
    if (it == menuHandlers_.end()) return;
    auto handler = it->second;
    RunHandler(FullClassName() + "." + item->Name() + " menu handler", [&] { (void)handler(); });
}

void Window::AddMenuHandler(const std::string& itemName, std::function<bool()> handler) {
    menuHandlers_[itemName] = std::move(handler);
}

bool Window::HasMenuHandler(const std::string& itemName) const { return menuHandlers_.count(itemName) != 0; }

void Window::Show() {
    detail::RunOnUi([this] {
        if (!widgets_ || !open_) return;
        widgets_->top->show();
        // The headless platform has no stacking order to change.
        if (QGuiApplication::platformName() != "offscreen") {
            widgets_->top->raise();
            widgets_->top->activateWindow();
        }
    });
}

void Window::Close() {
    if (!open_) return;
    if (!IsUiThread()) {
        std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
        detail::PostToUi([weak] {
            if (auto w = weak.lock()) w->Close();
        });
        return;
    }
    if (widgets_)
        widgets_->top->close();
    else
        HandleClose();
}

void Window::HandleClose() {
    if (!open_ || closing_) return;
    closing_ = true;
    auto self = std::static_pointer_cast<Window>(shared_from_this());  // alive to the end of this call
    RunHandler(FullClassName() + ".Close", [this] { Event_Close(); });
    {
        Gate::Hold hold;
        auto& record = OpenWindows();
        auto it = record.find(FullClassName());
        if (it != record.end() && it->second == self) record.erase(it);
        open_ = false;
    }
    // A closed window answers no shortcut.
    if (widgets_ && widgets_->menuBar) {
        widgets_->menuBar->deleteLater();
        widgets_->actions.clear();
    }
    closing_ = false;
}

void Window::HandleMouseDown(int x, int y) {
    RunHandler(FullClassName() + ".MouseDown", [&] { (void)Event_MouseDown(x, y); });
}

void Window::Refresh(bool eraseBackground) {
    if (eraseBackground)
        for (const auto& [name, control] : controls_)
            if (auto canvas = Cast<Canvas>(control)) canvas->Erase();
    if (IsUiThread()) {
        if (widgets_) widgets_->top->update();
        return;
    }
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
    detail::PostToUi([weak] {
        auto w = weak.lock();
        if (w && w->widgets_) w->widgets_->top->update();
    });
}

void Window::AddControl(const std::string& name, const Ref<RectControl>& control) {
    if (!control) throw NilObjectException();
    controls_[name] = control;
    control->name_ = name;
}

Ref<RectControl> Window::Control(std::string_view name) const {
    auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void Window::RunAction(const Ref<RectControl>& control, const std::function<void()>& action) {
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    RunHandler(FullClassName() + "." + control->Name() + ".Action", [&] {
        sender_ = control;
        struct Reset {
            Window* w;
            ~Reset() { w->sender_.reset(); }
        } reset{this};
        action();
    });
}

Ref<Window> OpenWindow(std::string_view fullClassName) {
    auto& record = OpenWindows();
    auto it = record.find(fullClassName);
    return it == record.end() ? nullptr : it->second;
}

namespace detail {
void FinaliseWindowRecord() {
    Gate::Hold hold;
    OpenWindows().clear();
}
}  // namespace detail

}  // namespace fw
