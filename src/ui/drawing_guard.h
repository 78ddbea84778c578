// The guard a drawing holds while it lets events through: the program is Busy, and every
// control of every window that would start another drawing or change the working state
// (the main window's work buttons, the header fix window's Show, Write and arrows, the
// Shp Transfer window's Transfer, Load Pal and Load Script) is disabled. Each control gets
// its own state back when the guard goes.
#pragma once

#include <utility>
#include <vector>

class QWidget;

namespace pelgrin {

struct AppContext;

class DrawingGuard {
 public:
  explicit DrawingGuard(AppContext& ctx);
  ~DrawingGuard();
  DrawingGuard(const DrawingGuard&) = delete;
  DrawingGuard& operator=(const DrawingGuard&) = delete;

 private:
  AppContext& ctx_;
  bool was_busy_;
  std::vector<std::pair<QWidget*, bool>> saved_;
};

}  // namespace pelgrin
