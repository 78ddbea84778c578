// Running event handlers: an exception that escapes a handler is shown in the
// application's exception box, and the program goes on. Handlers are wrapped where they
// are connected, so that no exception travels through the toolkit's own code;
// PelgrinApplication::notify catches whatever still gets there.
#pragma once

#include <functional>

class QAbstractButton;

namespace pelgrin {

class Dialogs;

void RunGuarded(Dialogs& dialogs, const std::function<void()>& handler);

// Runs handler, guarded, on each click of button.
void ConnectClick(QAbstractButton* button, Dialogs& dialogs, std::function<void()> handler);

}  // namespace pelgrin
