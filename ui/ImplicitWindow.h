// The single-instance accessor that every window class shares.
#pragma once

#include "framework/Window.h"

// The open window registered under W's class name, else a new W, constructed (and so
// shown, when its layout makes it visible). Never nil.
template <class W>
fw::Ref<W> ImplicitWindow() {
    fw::Ref<fw::Window> w = fw::OpenWindow(W::kClassName);
    if (!w) {
        fw::Ref<W> made = fw::New<W>();
        made->Constructor();
        w = made;
    }
    return fw::Cast<W>(w);
}

