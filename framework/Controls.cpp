#include "Controls.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include <cmath>
#include <mutex>
#include <stdexcept>

#include "CanvasStore.h"
#include "Dispatch.h"
#include "Gate.h"
#include "LabelFit.h"
#include "Window.h"

namespace fw {
namespace {

QString ToQt(const std::string& s) { return QString::fromStdString(s); }

constexpr int kDefaultTextPixels = 12;
constexpr int kNoTextLimit = 32767;  // a line edit's own limit when none is set

// Shows the canvas's image; repainted once a frame while something is drawn on it.
class CanvasWidget : public QWidget {
public:
    CanvasWidget(QWidget* parent, std::shared_ptr<detail::CanvasStore> store)
        : QWidget(parent), store_(std::move(store)) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        store_->screenUpdate->Attach(this, [this] { update(); });
    }
    ~CanvasWidget() override { store_->screenUpdate->Detach(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, store_->Copy(0, 0, store_->width, store_->height));
    }

private:
    std::shared_ptr<detail::CanvasStore> store_;
};

}  // namespace

struct RectControl::WidgetRef {
    QPointer<QWidget> widget;
    bool built = false;  // on the user-interface thread, on the gate
};

RectControl::RectControl(const Ref<Window>& window) : window_(window), widget_(std::make_unique<WidgetRef>()) {}
RectControl::~RectControl() = default;

QWidget* RectControl::Widget() const {
    detail::RequireUiThread("RectControl::Widget");
    return widget_->widget;
}

void RectControl::Constructor() {
    auto window = window_.lock();
    if (!window) throw NilObjectException();
    detail::RunOnUi([&] {
        if (!window->Body()) throw NilObjectException();
        // A second widget would orphan the first one, shown on the window for good.
        if (widget_->built) throw std::logic_error("control built twice: " + FullClassName());
        widget_->widget = CreateWidget(window->Body());
        widget_->built = true;
    });
}

void RectControl::Apply(const ControlSettings& s) {
    detail::RunOnUi([&] { ApplyOnUi(s); });
}

void RectControl::ApplyOnUi(const ControlSettings& s) {
    tabIndex_ = s.TabIndex;
    enabled_ = s.Enabled;
    look_.bold = s.Bold;
    look_.italic = s.Italic;
    look_.underline = s.Underline;
    QWidget* w = Widget();
    if (!w) return;
    w->setObjectName(ToQt(s.Name));
    w->setGeometry(s.Left, s.Top, s.Width, s.Height);
    w->setEnabled(s.Enabled);
    w->setToolTip(ToQt(s.HelpTag));
    ApplyFont();
    ApplyOwn(s);
    focusable_ = s.TabStop && w->focusPolicy() != Qt::NoFocus;
    w->setVisible(s.Visible);
}

void RectControl::SetTextSize(float pixels) {
    detail::RunOnUi([&] {
        look_.textSize = pixels;
        ApplyFont();
    });
}

void RectControl::SetTextUnit(int unit) {
    (void)unit;  // every unit is one pixel here, so that texts fit their boxes at any resolution
}

namespace {
// A control's own font: the application's, at the control's size and style.
QFont FontOf(float textSize, bool bold, bool italic, bool underline) {
    QFont font = QApplication::font();
    if (textSize > 0) font.setPixelSize(static_cast<int>(std::lround(textSize)));
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}
}  // namespace

void RectControl::ApplyFont() {
    QWidget* w = Widget();
    if (!w) return;
    w->setFont(FontOf(look_.textSize, look_.bold, look_.italic, look_.underline));
}

bool RectControl::Enabled() const { return enabled_; }

void RectControl::SetEnabled(bool enabled) {
    enabled_ = enabled;
    if (IsUiThread()) {
        if (QWidget* w = Widget()) w->setEnabled(enabled);
        return;
    }
    std::weak_ptr<RectControl> weak = std::static_pointer_cast<RectControl>(shared_from_this());
    // The widget takes the value that holds when the call runs, not this call's: a
    // change made on the user-interface thread meanwhile is the later one. enabled_
    // belongs to the gate, so the call reads it there, and lets the control go there.
    detail::PostToUi([weak] {
        Gate::Hold hold;
        if (auto c = weak.lock())
            if (QWidget* w = c->Widget()) w->setEnabled(c->enabled_);
    });
}

void RectControl::BindActionHandler(std::function<void()> handler) { action_ = std::move(handler); }

void RectControl::RaiseAction(const std::weak_ptr<RectControl>& control) {
    // Each reference taken here may be the last to the control or its window (a handler
    // that closes its own window): they go on the gate, since a window's destructor is
    // the program's code.
    Gate::Hold hold;
    auto self = control.lock();
    if (!self) return;
    auto window = self->window_.lock();
    if (!window || !self->action_) return;
    auto action = self->action_;
    window->RunAction(self, action);
}

namespace detail {
void SetDefaultFont() {
    RequireUiThread("SetDefaultFont");
    QFont font = QApplication::font();
    font.setPixelSize(kDefaultTextPixels);
    QApplication::setFont(font);
}
}  // namespace detail

// Canvas

Canvas::Canvas(const Ref<Window>& window)
    : RectControl(window), store_(std::make_shared<detail::CanvasStore>()),
      graphics_(std::make_shared<fw::Graphics>(store_)) {}

QWidget* Canvas::CreateWidget(QWidget* parent) {
    auto* w = new CanvasWidget(parent, store_);
    w->setFocusPolicy(Qt::NoFocus);
    return w;
}

void Canvas::ApplyOwn(const ControlSettings& s) {
    store_->SetImage(QImage(std::max(s.Width, 1), std::max(s.Height, 1), QImage::Format_RGB32));
    Erase();
    if (QWidget* w = Widget()) w->setFocusPolicy(s.AcceptFocus ? Qt::StrongFocus : Qt::NoFocus);
}

// The colour is read at each erasing: the window's settings may have changed since.
// On the gate, which the window's settings belong to.
void Canvas::Erase() {
    auto window = Owner().lock();
    store_->Erase((window ? window->Settings().ShownBackColor() : WindowSettings{}.ShownBackColor()).rgb);
}

// PushButton

QWidget* PushButton::CreateWidget(QWidget* parent) {
    auto* b = new QPushButton(parent);
    std::weak_ptr<RectControl> weak = std::static_pointer_cast<RectControl>(shared_from_this());
    QObject::connect(b, &QPushButton::clicked, b, [weak] { RaiseAction(weak); });
    return b;
}

void PushButton::ApplyOwn(const ControlSettings& s) {
    auto* b = static_cast<QPushButton*>(Widget());
    b->setText(ToQt(s.Caption));
    b->setAutoDefault(false);
    b->setDefault(s.Default);
}

// RadioButton

QWidget* RadioButton::CreateWidget(QWidget* parent) {
    auto* b = new QRadioButton(parent);
    std::weak_ptr<RectControl> weak = std::static_pointer_cast<RectControl>(shared_from_this());
    QObject::connect(b, &QRadioButton::clicked, b, [weak] { RaiseAction(weak); });
    return b;
}

void RadioButton::ApplyOwn(const ControlSettings& s) {
    auto* b = static_cast<QRadioButton*>(Widget());
    b->setText(ToQt(s.Caption));
    b->setChecked(s.Value);
}

bool RadioButton::Value() const {
    bool checked = false;
    detail::RunOnUi([&] {
        auto* b = static_cast<QRadioButton*>(Widget());
        checked = b && b->isChecked();
    });
    return checked;
}

// TextField

struct TextField::Mirror {
    mutable std::mutex mutex;
    std::string text;
};

TextField::TextField(const Ref<Window>& window) : RectControl(window), mirror_(std::make_shared<Mirror>()) {}

QWidget* TextField::CreateWidget(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    std::shared_ptr<Mirror> mirror = mirror_;
    // Every change of the widget's text is mirrored, the user's edits and the settings'
    // text as the limit leaves it, so that any thread can read what the field shows.
    QObject::connect(e, &QLineEdit::textChanged, e, [mirror](const QString& t) {
        std::lock_guard lock(mirror->mutex);
        mirror->text = t.toStdString();
    });
    return e;
}

void TextField::ApplyOwn(const ControlSettings& s) {
    auto* e = static_cast<QLineEdit*>(Widget());
    e->setFrame(s.Border);
    e->setEchoMode(s.Password ? QLineEdit::Password : QLineEdit::Normal);
    e->setReadOnly(s.ReadOnly);
    e->setMaxLength(s.LimitText > 0 ? s.LimitText : kNoTextLimit);
    e->setAlignment(s.Alignment == 2 ? Qt::AlignHCenter : s.Alignment == 3 ? Qt::AlignRight : Qt::AlignLeft);
    QPalette pal = e->palette();
    pal.setColor(QPalette::Text, QColor(QRgb(s.TextColor.rgb)));
    pal.setColor(QPalette::Base, QColor(QRgb(s.BackColor.rgb)));
    e->setPalette(pal);
    e->setText(ToQt(s.Text));  // mirrored as the widget holds it, maybe cut at the limit
}

std::string TextField::Text() const {
    std::lock_guard lock(mirror_->mutex);
    return mirror_->text;
}

// StaticText

struct StaticText::Store {
    mutable std::mutex mutex;
    std::string text;
    // A text set off the user-interface thread is shown once a frame at most.
    const std::shared_ptr<detail::ScreenUpdate> screenUpdate = std::make_shared<detail::ScreenUpdate>();
};

// A label shows the text last set, from whichever thread, at screen rate, fitted.
void StaticText::ShowText(QLabel* label) {
    std::string text;
    {
        std::lock_guard lock(store_->mutex);
        text = store_->text;
    }
    label->setText(ToQt(text));
    Fit(label);
}

void StaticText::Fit(QLabel* label) {
    if (boxWidth_ <= 0) return;  // its settings are not applied yet
    detail::FitLabel(label, FontOf(look_.textSize, look_.bold, look_.italic, look_.underline),
                     {boxWidth_, boxHeight_, multiline_});
}

namespace {
class Label : public QLabel {
public:
    // Shows the label's text at each update.
    Label(QWidget* parent, std::shared_ptr<detail::ScreenUpdate> update, std::function<void(QLabel*)> show)
        : QLabel(parent), update_(std::move(update)) {
        update_->Attach(this, [this, show = std::move(show)] { show(this); });
    }
    // Run whenever the label is shown: by then every control of its window is in place.
    void SetOnShow(std::function<void()> fit) { onShow_ = std::move(fit); }
    ~Label() override { update_->Detach(); }

protected:
    void showEvent(QShowEvent* event) override {
        QLabel::showEvent(event);
        if (onShow_) onShow_();
    }

private:
    std::shared_ptr<detail::ScreenUpdate> update_;
    std::function<void()> onShow_;
};
}  // namespace

StaticText::StaticText(const Ref<Window>& window) : RectControl(window), store_(std::make_shared<Store>()) {}

QWidget* StaticText::CreateWidget(QWidget* parent) {
    std::weak_ptr<StaticText> weak = std::static_pointer_cast<StaticText>(shared_from_this());
    auto* label = new Label(parent, store_->screenUpdate, [weak](QLabel* l) {
        if (auto text = weak.lock()) text->ShowText(l);
    });
    QPointer<QLabel> guard(label);
    label->SetOnShow([weak, guard] {
        if (auto text = weak.lock(); text && guard) text->Fit(guard);
    });
    return label;
}

void StaticText::ApplyOwn(const ControlSettings& s) {
    auto* label = static_cast<QLabel*>(Widget());
    multiline_ = s.Multiline;
    boxWidth_ = s.Width;
    boxHeight_ = s.Height;
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(s.Multiline);
    Qt::Alignment align = s.TextAlign == 2 ? Qt::AlignHCenter : s.TextAlign == 3 ? Qt::AlignRight : Qt::AlignLeft;
    label->setAlignment(align | Qt::AlignTop);
    label->setFocusPolicy(Qt::NoFocus);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(QRgb(s.TextColor.rgb)));
    label->setPalette(pal);
    {
        std::lock_guard lock(store_->mutex);
        store_->text = s.Text;
    }
    ShowText(label);  // also when the text is the same: the box may have changed
}

void StaticText::ApplyFont() {
    RectControl::ApplyFont();
    // Before its settings are applied the label has no box to fit into yet.
    if (boxWidth_ <= 0) return;
    if (auto* label = static_cast<QLabel*>(Widget())) ShowText(label);
}

std::string StaticText::Text() const {
    std::lock_guard lock(store_->mutex);
    return store_->text;
}

void StaticText::SetText(const std::string& text) {
    {
        std::lock_guard lock(store_->mutex);
        if (store_->text == text) return;  // the years display sets the same text most of the time
        store_->text = text;
    }
    // On every thread the same way: the first change after a rest is shown at once on
    // the user-interface thread, later ones once a frame, so a loop that sets the text
    // on that thread does not lay the label out at every setting.
    store_->screenUpdate->Changed();
}

}  // namespace fw
