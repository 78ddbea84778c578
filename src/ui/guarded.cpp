#include "ui/guarded.h"

#include <QAbstractButton>
#include <exception>

#include "ui/dialogs.h"

namespace pelgrin {

void RunGuarded(Dialogs& dialogs, const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    dialogs.ExceptionBox(e.what());
  } catch (...) {
    dialogs.ExceptionBox("An unknown error occurred.");
  }
}

void ConnectClick(QAbstractButton* button, Dialogs& dialogs, std::function<void()> handler) {
  QObject::connect(button, &QAbstractButton::clicked, button,
                   [&dialogs, handler = std::move(handler)] { RunGuarded(dialogs, handler); });
}

}  // namespace pelgrin
