// A picture of the editor at work for the documentation: behind the hidden environment
// switch PELGRIN_SCREENSHOT=file.png, the program ends its intro, shows an image of the
// open file (PELGRIN_SCREENSHOT_IMAGE, default 1), saves the main window beside the Shp
// Image window into the file and quits. With PELGRIN_SCREENSHOT_WINDOW=kvfix the header
// fix window shows that image instead; with =transfer the Shp Transfer window is shown
// with the script demo-transfer.csv of the program's directory loaded; =collage and
// =palette show the collage from that image or the palette view; =help the help window. With
// PELGRIN_SCREENSHOT_BMP=file.bmp it then loads that bitmap as Load BMP does, and the Bmp
// Image window joins the picture.
#pragma once

#include <QImage>
#include <QWidget>
#include <string>

namespace pelgrin {

struct AppContext;

void ScheduleScreenshot(AppContext& ctx, std::string path);

// The main window, the other window and (when shown) the Bmp Image window side by side,
// each under a title strip.
QImage ComposeScreenshot(AppContext& ctx, QWidget& beside);

}  // namespace pelgrin
