#include "ui/qt_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QRegularExpression>

#include "shp/reporter.h"
#include "ui/wait_cursor.h"

namespace pelgrin {
namespace {

QString ToQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString AnyCasePatterns(const QString& patterns) {
  QStringList out;
  const QStringList parts = patterns.split(QRegularExpression("[; \t]+"), Qt::SkipEmptyParts);
  for (const QString& p : parts)
    out << AnyCasePattern(p);
  return out.join(' ');
}

void Configure(QFileDialog& dialog, const FileDialogRequest& request) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setNameFilters(QtFilterList(request.filter));
  if (!request.initial_dir.empty()) dialog.setDirectory(ToQt(request.initial_dir));
  if (!request.file_name.empty()) dialog.selectFile(ToQt(request.file_name));
  if (!request.title.empty()) dialog.setWindowTitle(ToQt(request.title));
  if (!request.default_ext.empty()) dialog.setDefaultSuffix(ToQt(request.default_ext));
}

std::optional<std::string> Run(QFileDialog& dialog) {
  ArrowWhileAsking arrow;
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().constFirst().toStdString();
}

void Box(QMessageBox::Icon icon, std::string_view text, const QString& caption) {
  QMessageBox box(icon, caption, ToQt(text), QMessageBox::Ok, QApplication::activeWindow());
  // Escape closes the box as OK does.
  box.setEscapeButton(QMessageBox::Ok);
  ArrowWhileAsking arrow;
  box.exec();
}

}  // namespace

QString AnyCasePattern(const QString& pattern) {
  QString out;
  for (const QChar c : pattern) {
    if (c.isLetter() && c.toLower() != c.toUpper()) {
      out += '[' + c.toLower() + c.toUpper() + ']';
    } else {
      out += c;
    }
  }
  return out;
}

QStringList QtFilterList(std::string_view program_filter) {
  const QStringList parts = ToQt(program_filter).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
    filters << parts[i] + " (" + AnyCasePatterns(parts[i + 1]) + ")";
  return filters;
}

std::optional<std::string> QtDialogs::OpenFile(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  Configure(dialog, request);
  return Run(dialog);
}

std::optional<std::string> QtDialogs::SaveFile(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow());
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  Configure(dialog, request);
  return Run(dialog);
}

void QtDialogs::Message(std::string_view text, std::string_view caption) {
  Box(QMessageBox::NoIcon, text, ToQt(caption));
}

void QtDialogs::ErrorBox(std::string_view text) {
  Box(QMessageBox::Warning, text, ToQt(kErrorCaption));
}

void QtDialogs::ExceptionBox(std::string_view text) {
  Box(QMessageBox::Critical, text, QApplication::applicationName());
}

}  // namespace pelgrin
