#include "Window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QWidget>

#include <algorithm>
#include <stdexcept>

#include "Dispatch.h"
#include "Gate.h"
#include "Menu.h"

namespace fw {
namespace {

// The record of open windows by full class name. Changed on the user-interface thread
// on the gate; read there, or elsewhere on the gate.
detail::NameMap<Ref<Window>>& OpenWindows() {
    static detail::NameMap<Ref<Window>> record;
    return record;
}

QString ToQt(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

// A widget's event for the window behind it, if the window still exists.
struct WindowEvents {
    template <class Fn>
    static void For(const std::weak_ptr<Window>& weak, const Fn& fn) {
        Ref<Window> window = weak.lock();
        if (!window) return;
        fn(*window);
        // Let go on the gate: the last reference runs the window's destructor, which
        // may be the program's code.
        Gate::Hold hold;
        window.reset();
    }
    // False when the window stays open: its Close handler could not run now.
    static bool Close(const std::weak_ptr<Window>& w) {
        bool closed = true;
        For(w, [&](Window& window) { closed = window.HandleClose(); });
        return closed;
    }
    static void MouseDown(const std::weak_ptr<Window>& w, int x, int y) {
        For(w, [&](Window& window) { window.HandleMouseDown(x, y); });
    }
};

namespace {

class TopLevel : public QWidget {
public:
    explicit TopLevel(std::weak_ptr<Window> owner) : owner_(std::move(owner)) {}

protected:
    void closeEvent(QCloseEvent* event) override {
        if (WindowEvents::Close(owner_))
            event->accept();
        else
            event->ignore();
    }

private:
    std::weak_ptr<Window> owner_;
};

// The window's content area, below its menu bar: it reports mouse presses to the window.
class ContentArea : public QWidget {
public:
    ContentArea(QWidget* parent, std::weak_ptr<Window> owner) : QWidget(parent), owner_(std::move(owner)) {}

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
    // Owned by the window object: ~Window deletes it, once the event loop is back.
    TopLevel* top = nullptr;
    QWidget* body = nullptr;  // a child of top
    std::unique_ptr<detail::QtMenuBar> menus;
};

Window::Window() = default;

Window::~Window() {
    if (!widgets_ || !widgets_->top || !QCoreApplication::instance()) return;
    // The widgets go on the user-interface thread, once its event loop is back: this
    // may run on any thread, and inside a handler of one of them.
    std::shared_ptr<Widgets> widgets(std::move(widgets_));
    auto drop = [widgets] {
        widgets->menus.reset();
        widgets->top->deleteLater();
    };
    if (IsUiThread())
        drop();
    else
        detail::PostToUi(drop);
}

QWidget* Window::TopWidget() const {
    detail::RequireUiThread("Window::TopWidget");
    return widgets_ ? widgets_->top : nullptr;
}
QWidget* Window::Body() const {
    detail::RequireUiThread("Window::Body");
    return widgets_ ? widgets_->body : nullptr;
}
void Window::Constructor() {
    detail::RunOnUi([this] { BuildOnUiThread(); });
}

void Window::BuildOnUiThread() {
    detail::RequireUiThread("Window::Constructor");
    // Built twice, a window would be in the record twice, and its first widgets shown
    // with nothing to close them. Refused before anything changes, like a class that
    // is not registered: the handler that tried is ended and reported, the program goes on.
    if (widgets_) throw std::logic_error("window built twice: " + FullClassName());
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    const std::string name = FullClassName();
    OpenWindows().Add(name, self);
    widgets_ = std::make_unique<Widgets>();
    widgets_->top = new TopLevel(self);
    widgets_->body = new ContentArea(widgets_->top, self);
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
        OpenWindows().EraseIf(name, self);
        throw;
    }
    if (settings_.Visible) Show();
    RaiseEnableMenuItems();  // part of the construction, not an event of its own
}

void Window::ApplySettings(const WindowSettings& s) {
    detail::RunOnUi([&] { ApplySettingsOnUi(s); });
}

void Window::ApplySettingsOnUi(const WindowSettings& s) {
    settings_ = s;
    if (!widgets_) return;
    QWidget* top = widgets_->top;
    top->setWindowTitle(ToQt(s.Title));
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (s.CloseButton) flags |= Qt::WindowCloseButtonHint;
    if (s.MinimizeButton) flags |= Qt::WindowMinimizeButtonHint;
    if (s.MaximizeButton) flags |= Qt::WindowMaximizeButtonHint;
    // Qt hides a shown window whose flags are set: set them only when they change,
    // and show the window again, or it would stay open with nobody seeing it.
    if (top->windowFlags() != flags) {
        const bool shown = top->isVisible();
        top->setWindowFlags(flags);
        if (shown) top->show();
    }
    QPalette pal = widgets_->body->palette();
    pal.setColor(QPalette::Window, QColor(QRgb(s.ShownBackColor().rgb)));
    widgets_->body->setPalette(pal);
    PlaceBarAndBody();
    if (s.FullScreen) top->setWindowState(Qt::WindowFullScreen);
}

// The bar at the top, the body below it, and the window's size around both.
void Window::PlaceBarAndBody() {
    const WindowSettings& s = settings_;
    QWidget* top = widgets_->top;
    QWidget* bar = widgets_->menus ? widgets_->menus->Widget() : nullptr;
    const int barHeight = bar && s.MenuBarVisible ? bar->sizeHint().height() : 0;
    if (bar) {
        bar->setVisible(s.MenuBarVisible);
        bar->setGeometry(0, 0, s.Width, barHeight);
    }
    widgets_->body->setGeometry(0, barHeight, s.Width, s.Height);
    if (!s.Resizeable) {
        top->setFixedSize(s.Width, s.Height + barHeight);
    } else {
        top->setMinimumSize(s.MinWidth, s.MinHeight + barHeight);
        top->setMaximumSize(s.MaxWidth, s.MaxHeight + barHeight);
        top->resize(s.Width, s.Height + barHeight);
    }
}

void Window::SetMenuBar(const Ref<fw::MenuBar>& bar) {
    detail::RunOnUi([&] {
        menuBar_ = bar;
        if (widgets_) BuildMenus();
    });
}

void Window::BuildMenus() {
    widgets_->menus.reset();
    if (!menuBar_) return;
    std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
    widgets_->menus = std::make_unique<detail::QtMenuBar>(
        menuBar_, widgets_->top,
        [weak] {
            WindowEvents::For(weak, [](Window& w) { w.UpdateMenus(); });
        },
        [weak](const Ref<MenuItem>& item) {
            WindowEvents::For(weak, [&](Window& w) { w.ChooseMenuItem(item); });
        });
    PlaceBarAndBody();
}

void Window::UpdateMenus() {
    if (!IsUiThread()) {
        detail::RunOnUi([this] { RaiseEnableMenuItems(); });
        return;
    }
    RunHandler(FullClassName() + ".EnableMenuItems", [this] { RaiseEnableMenuItems(); });
}

void Window::RaiseEnableMenuItems() {
    detail::RequireGate("Window::RaiseEnableMenuItems");
    if (!menuBar_ || !IsOpen()) return;
    std::function<void(const Ref<MenuItem>&)> autoEnable = [&](const Ref<MenuItem>& m) {
        for (int i = 0; i < m->Count(); ++i) {
            Ref<MenuItem> item = m->Item(i);
            if (item->AutoEnable() && item->Count() == 0)
                item->SetEnabled(item->Quits() || HasMenuHandler(item->Name()));
            autoEnable(item);
        }
    };
    autoEnable(menuBar_);
    detail::RunReported(FullClassName() + ".EnableMenuItems", [this] { Event_EnableMenuItems(); });
    if (widgets_ && widgets_->menus) widgets_->menus->UpdateEnabled();
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
        if (!widgets_ || !IsOpen()) return;
        widgets_->top->show();
        // The headless platform has no stacking order to change.
        if (QGuiApplication::platformName() != "offscreen") {
            widgets_->top->raise();
            widgets_->top->activateWindow();
        }
    });
}

bool Window::IsOpen() const {
    auto [entry, end] = OpenWindows().All(FullClassName());
    for (; entry != end; ++entry)
        if (entry->second.get() == this) return true;
    return false;
}

void Window::Close() {
    if (!IsOpen()) return;
    if (!IsUiThread()) {
        std::weak_ptr<Window> weak = std::static_pointer_cast<Window>(shared_from_this());
        detail::PostToUi([weak] {
            WindowEvents::For(weak, [](Window& w) { w.Close(); });
        });
        return;
    }
    if (widgets_)
        widgets_->top->close();
    else
        HandleClose();
}

bool Window::HandleClose() {
    detail::RequireUiThread("Window::HandleClose");
    if (!IsOpen() || closing_) return true;
    // One hold of the gate from the event to the window's leaving the record: no step
    // of an engine runs in between and finds a window that has closed still open.
    return RunHandler(FullClassName() + ".Close", [this] {
        auto self = std::static_pointer_cast<Window>(shared_from_this());
        closing_ = true;
        std::exception_ptr error;
        try {
            Event_Close();
        } catch (...) {
            error = std::current_exception();
        }
        if (widgets_) widgets_->menus.reset();  // a closed window answers no shortcut
        closing_ = false;
        OpenWindows().EraseIf(FullClassName(), self);
        self.reset();  // maybe the last reference: the destructor is the program's code
        if (error) std::rethrow_exception(error);
    });
}

void Window::HandleMouseDown(int x, int y) {
    RunHandler(FullClassName() + ".MouseDown", [&] { (void)Event_MouseDown(x, y); });
}

void Window::Refresh(bool eraseBackground) {
    if (eraseBackground)
        for (const auto& [name, control] : controls_)
            if (auto canvas = Cast<Canvas>(control)) canvas->Erase();
    // A canvas shows its erasing by itself, from any thread; the other widgets show
    // what they hold, which a repaint does not change.
    if (IsUiThread() && widgets_) widgets_->top->update();
}

void Window::AddControl(const std::string& name, const Ref<RectControl>& control) {
    detail::RequireGate("Window::AddControl");
    if (!control) throw NilObjectException();
    controls_.Set(name, control);
    control->name_ = name;
}

Ref<RectControl> Window::Control(std::string_view name) const {
    const Ref<RectControl>* control = controls_.Find(name);
    return control ? *control : nullptr;
}

// The caller keeps the window alive through a handler that closes it, and lets it go
// on the gate (RectControl::RaiseAction).
void Window::RunAction(const Ref<RectControl>& control, const std::function<void()>& action) {
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
    const Ref<Window>* window = OpenWindows().Find(fullClassName);
    return window ? *window : nullptr;
}

namespace detail {
void FinaliseWindowRecord() {
    Gate::Hold hold;
    OpenWindows().Clear();
}
}  // namespace detail

}  // namespace fw
