#include "ui/help_form.h"

#include <QFile>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>

#include "ui/form_geometry.h"

namespace pelgrin {
namespace {

void CentreOnScreen(QWidget& form) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize outer = DesignSize(form);
  form.move(area.x() + (area.width() - outer.width()) / 2,
            area.y() + (area.height() - outer.height()) / 2);
}

// A resource path (":/...") as a URL the viewer can load.
QUrl DocumentUrl(const QString& path) {
  return path.startsWith(':') ? QUrl("qrc" + path) : QUrl::fromLocalFile(path);
}

}  // namespace

THelpForm::THelpForm() : QWidget(nullptr) {
  setObjectName("HelpForm");
  setWindowTitle("Help for Pelgrin");
  SetDesignSize(*this, 647, 437);
  HelpRichEdit = new QTextBrowser(this);
  HelpRichEdit->setObjectName("HelpRichEdit");
  HelpRichEdit->setGeometry(13, 7, 580, 293);
  HelpRichEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont font("MS Sans Serif");
  font.setPixelSize(15);
  HelpRichEdit->setFont(font);
  Button1 = new QPushButton("Close", this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(273, 306, 61, 20);
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  CentreOnScreen(*this);
}

void THelpForm::ShowTopic(const std::string& path, const std::string& topic) {
  ShowInFront(*this);
  const QString document = QString::fromStdString(path);
  if (!QFile::exists(document)) {
    HelpRichEdit->setPlainText("The help document " + document + " could not be found.");
    return;
  }
  HelpRichEdit->setSource(DocumentUrl(document));
  HelpRichEdit->scrollToAnchor(QString::fromStdString(topic));
}

void THelpForm::Button1Click() {
  close();
}

void THelpForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    Button1Click();
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace pelgrin
