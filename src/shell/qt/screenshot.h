// A picture of the editor at work for the documentation: behind the hidden environment
// switch PELGRIN_SCREENSHOT=file.png, the program ends its intro, shows an image of the
// open file (PELGRIN_SCREENSHOT_IMAGE, default 1), saves the main window beside the Shp
// Image window into the file and quits.
#pragma once

#include <QImage>
#include <string>

namespace pelgrin {

struct AppContext;

void ScheduleScreenshot(AppContext& ctx, std::string path);

// The main window and the Shp Image window side by side, each under a title strip.
QImage ComposeScreenshot(AppContext& ctx);

}  // namespace pelgrin
