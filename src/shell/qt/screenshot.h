// A picture of the editor at work for the documentation: behind the hidden environment
// switch PELGRIN_SCREENSHOT=file.png, the program ends its intro, shows an image of the
// open file (PELGRIN_SCREENSHOT_IMAGE, default 1), saves the main window beside the Shp
// Image window into the file and quits. With PELGRIN_SCREENSHOT_BMP=file.bmp it then loads
// that bitmap as Load BMP does, and the Bmp Image window joins the picture.
#pragma once

#include <QImage>
#include <string>

namespace pelgrin {

struct AppContext;

void ScheduleScreenshot(AppContext& ctx, std::string path);

// The main window, the Shp Image window and (when shown) the Bmp Image window side by side,
// each under a title strip.
QImage ComposeScreenshot(AppContext& ctx);

}  // namespace pelgrin
