// The wait cursor while a handler works on files, and the ordinary arrow over a dialog
// that such a handler opens.
#pragma once

#include <QGuiApplication>

namespace pelgrin {

// Shows the wait cursor over the whole program until the object goes, so the previous
// cursor comes back on every way out of the handler.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// While a dialog waits for the user, the arrow is shown instead of a wait cursor that the
// handler asking has set; the handler's cursor comes back when the dialog closes.
class ArrowWhileAsking {
 public:
  ArrowWhileAsking() : active_(QGuiApplication::overrideCursor() != nullptr) {
    if (active_) QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~ArrowWhileAsking() {
    if (active_) QGuiApplication::restoreOverrideCursor();
  }
  ArrowWhileAsking(const ArrowWhileAsking&) = delete;
  ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

 private:
  bool active_;
};

}  // namespace pelgrin
