// The cancel keys: Escape and Ctrl+. in any window of the application ask the running
// threads to cancel, which UserCancelled() reports. A key that an open menu or popup
// takes, or that goes to the menu bar while the keyboard is in it, only closes or
// leaves that menu.
#pragma once

class QApplication;

namespace fw::detail {

// The application's event system, which looks at each key press once: where it is
// first delivered, before it goes on to the parents of that widget.
QApplication* NewEventSystem(int& argc, char** argv);

}  // namespace fw::detail
