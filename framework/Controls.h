// The controls of a window: canvas, push button, radio button, text field, label.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "Graphics.h"
#include "Object.h"

class QLabel;
class QWidget;

namespace fw {

class Window;

// One row of a layout: the values a control takes in one step. The first group
// applies to every kind; each of the others names the kinds that read it, and the
// other kinds ignore it.
struct ControlSettings {
    std::string Name;
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int TabIndex = 0;
    bool Enabled = true, Visible = true;
    bool TabStop = true;  // in the tab order, when the kind takes focus
    std::string HelpTag;  // the tool tip
    bool Bold = false, Italic = false, Underline = false;  // in the platform's normal font

    std::string Caption;    // push buttons and radio buttons
    std::string Text;       // text fields and labels
    Color TextColor{0x000000};  // text fields and labels
    bool Multiline = false;     // labels: wrapped within the box
    int TextAlign = 0;          // labels: 0 left, 1 left, 2 centre, 3 right
    bool Value = false;         // radio buttons: selected
    bool Default = false;       // push buttons: pressed by Return
    bool Border = true, Password = false, ReadOnly = false;  // text fields
    Color BackColor{0xFFFFFF};                               // text fields
    int LimitText = 0;   // text fields: most characters, 0 for no limit
    int Alignment = 0;   // text fields: 0 and 1 left, 2 centre, 3 right
    bool AcceptFocus = false;  // canvas
};

class RectControl : public Object {
public:
    explicit RectControl(const Ref<Window>& window);
    ~RectControl() override;
    RectControl(const RectControl&) = delete;
    RectControl& operator=(const RectControl&) = delete;

    // Makes the control's widget on its window (on the user-interface thread), once:
    // a second call throws std::logic_error.
    void Constructor();
    void Apply(const ControlSettings& settings);
    void SetTextSize(float pixels);  // one unit is one pixel
    void SetTextUnit(int unit);

    // The name it is registered under on its window.
    const std::string& Name() const { return name_; }
    bool Enabled() const;
    // On the gate. From a thread other than the user interface's, the widget follows
    // once that thread is idle, with the value that holds by then.
    void SetEnabled(bool enabled);
    int TabIndex() const { return tabIndex_; }

    // Binds the "Action" event of this control to one method of one window object.
    template <class W>
    void BindAction(const Ref<W>& window, void (W::*method)()) {
        std::weak_ptr<W> weak = window;
        BindActionHandler([weak, method] {
            if (auto w = weak.lock()) ((*w).*method)();
        });
    }
    void BindActionHandler(std::function<void()> handler);

    // The widget, for the framework and for tests; only on the user-interface thread.
    QWidget* Widget() const;

protected:
    virtual QWidget* CreateWidget(QWidget* parent) = 0;
    virtual void ApplyOwn(const ControlSettings& settings) = 0;
    virtual void ApplyFont();
    // The control's "Action" event, if it and its window still exist.
    static void RaiseAction(const std::weak_ptr<RectControl>& control);
    std::weak_ptr<Window> Owner() const { return window_; }

    struct Look {
        float textSize = 0;  // 0: the default size
        bool bold = false, italic = false, underline = false;
    } look_;

private:
    friend class Window;
    void ApplyOnUi(const ControlSettings& settings);
    std::weak_ptr<Window> window_;
    std::string name_;
    int tabIndex_ = 0;
    bool enabled_ = true;
    bool focusable_ = false;
    std::function<void()> action_;
    struct WidgetRef;
    std::unique_ptr<WidgetRef> widget_;
};

class Canvas : public RectControl {
public:
    explicit Canvas(const Ref<Window>& window);
    // Never nil while the canvas exists; valid as long as the canvas.
    const Ref<fw::Graphics>& Graphics() const { return graphics_; }
    // Wipes the drawing to the colour the window shows now (WindowSettings::ShownBackColor).
    void Erase();

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwn(const ControlSettings& settings) override;

private:
    std::shared_ptr<detail::CanvasStore> store_;
    Ref<fw::Graphics> graphics_;
};

class PushButton : public RectControl {
public:
    using RectControl::RectControl;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwn(const ControlSettings& settings) override;
};

class RadioButton : public RectControl {
public:
    using RectControl::RectControl;
    bool Value() const;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwn(const ControlSettings& settings) override;
};

class TextField : public RectControl {
public:
    explicit TextField(const Ref<Window>& window);
    // The text as the user left it; may be read from any thread.
    std::string Text() const;

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwn(const ControlSettings& settings) override;

private:
    struct Mirror;
    std::shared_ptr<Mirror> mirror_;
};

class StaticText : public RectControl {
public:
    explicit StaticText(const Ref<Window>& window);
    std::string Text() const;
    // May be set from any thread; the screen shows it at its next refresh.
    void SetText(const std::string& text);

protected:
    QWidget* CreateWidget(QWidget* parent) override;
    void ApplyOwn(const ControlSettings& settings) override;
    void ApplyFont() override;

private:
    // Puts the text last set into the label, then fits the label to it.
    void ShowText(QLabel* label);
    void Fit(QLabel* label);

    struct Store;
    std::shared_ptr<Store> store_;
    bool multiline_ = false;
    int boxWidth_ = 0, boxHeight_ = 0;
};

namespace detail {
// The application's text: every size in pixels, so that texts fit their boxes at any resolution.
void SetDefaultFont();
}  // namespace detail

}  // namespace fw
