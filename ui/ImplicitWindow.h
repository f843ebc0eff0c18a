// The single-instance accessor that every window class shares.
#pragma once

#include "framework/Window.h"

// The open window registered under W's class name, else a new W, constructed (and so
// shown, when its layout makes it visible). Never nil.
template <class W>
fw::Ref<W> ImplicitWindow() {
    if (const fw::Ref<fw::Window>& open = fw::OpenWindow(W::kClassName)) return fw::Cast<W>(open);
    fw::Ref<W> made = fw::New<W>();
    made->Constructor();
    return made;
}
