// A small window for the framework's tests: a canvas, a button and a label.
#pragma once

#include <functional>

#include "framework/Gate.h"
#include "framework/Window.h"

class ProbeWindow : public fw::Window {
public:
    static constexpr const char* kName = "ProbeWindow.ProbeWindow";
    static constexpr std::uint32_t kBack = 0x102030;

    int opens = 0, closes = 0, actions = 0, enableMenuItems = 0;
    bool throwInAction = false, closeInAction = false;
    std::function<void()> onClose;  // run by the Close handler
    fw::Ref<fw::RectControl> lastSender;
    // Destructors run so far, and those that ran without the gate.
    static inline int destroyed = 0, destroyedOffGate = 0;

    ~ProbeWindow() override {
        ++destroyed;
        destroyedOffGate += !fw::Gate::HeldByThisThread();
    }

    void Layout() override {
        ApplySettings(fw::WindowSettings{.Width = 200, .Height = 120, .Resizeable = false, .Title = "Probe",
                                         .HasBackColor = true, .BackColor = fw::Color{kBack}});
    }
    void CreateControls() override {
        Add<fw::Canvas>("Canvas1", {.Name = "Canvas1", .Left = 10, .Top = 10, .Width = 50, .Height = 40});
        Add<fw::PushButton>("Go", {.Name = "Go", .Left = 70, .Top = 10, .Width = 60, .Height = 20, .TabIndex = 1,
                                   .Caption = "Go"});
        Add<fw::StaticText>("Label", {.Name = "Label", .Left = 70, .Top = 40, .Width = 20, .Height = 20,
                                      .TabIndex = 2, .Text = "x"});
        auto self = fw::Cast<ProbeWindow>(shared_from_this());
        fw::NonNil(Control("Go")).BindAction(self, &ProbeWindow::Go_Action);
    }
    void Go_Action() {
        ++actions;
        lastSender = Sender();
        if (closeInAction) Close();
        if (throwInAction) throw fw::NilObjectException();
    }
    void Event_Open() override { ++opens; }
    void Event_Close() override {
        ++closes;
        if (onClose) onClose();
    }
    void Event_EnableMenuItems() override { ++enableMenuItems; }

    static fw::Ref<ProbeWindow> Make() {
        auto w = fw::New<ProbeWindow>();
        w->Constructor();
        return w;
    }

private:
    template <class T>
    void Add(const char* name, const fw::ControlSettings& s) {
        auto c = New<T>();
        c->Constructor();
        AddControl(name, c);
        fw::NonNil(Control(name)).Apply(s);
    }
};

inline void RegisterProbeClasses() { fw::RegisterClass<ProbeWindow>(ProbeWindow::kName, "Window"); }
