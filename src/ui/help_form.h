// The help window: the user guide as scrolling text, opened at a topic.
#pragma once

#include <QWidget>
#include <string>

class QPushButton;
class QTextBrowser;

namespace pelgrin {

class THelpForm : public QWidget {
  Q_OBJECT

 public:
  THelpForm();

  // Shows the window with the help document at path, scrolled to its topic (an anchor
  // of the document). A missing document is said so in the window.
  void ShowTopic(const std::string& path, const std::string& topic);
  // Closes (hides) the window.
  void Button1Click();

  QTextBrowser* HelpRichEdit;
  QPushButton* Button1;

 protected:
  // Escape closes the window, as Close does.
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace pelgrin
