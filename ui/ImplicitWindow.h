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

// The open window of class W without a count, valid as fw::BorrowOpenWindow says; nil
// when none is open, where ImplicitWindow would make one.
template <class W>
W* BorrowOpenImplicitWindow() {
    return fw::Cast<W>(fw::BorrowOpenWindow(W::kClassName));
}
