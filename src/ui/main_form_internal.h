// What the main window's handler files share: the rule for a dialog's starting directory.
#pragma once

#include <string>

namespace pelgrin {

// A dialog's starting directory: the remembered one when it is longer than 2 characters.
inline std::string InitialDir(const std::string& dir) {
  return dir.size() > 2 ? dir : std::string();
}

}  // namespace pelgrin
