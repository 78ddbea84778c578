// The editor's entry point (placeholder until the main window exists).
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMessageBox::information(nullptr, "Pelgrin",
                           "The editor window is not built yet; use pelgrin-cli.");
  return 0;
}
