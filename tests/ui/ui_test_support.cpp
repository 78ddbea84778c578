#include "ui_test_support.h"

#include <QPlainTextEdit>

#include "shp/archive_builder.h"

namespace pelgrin::test {
namespace {

std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
  if (answers.empty()) return std::nullopt;
  auto answer = answers.front();
  answers.pop_front();
  return answer;
}

}  // namespace

std::optional<std::string> ScriptedDialogs::OpenFile(const FileDialogRequest& request) {
  open_requests.push_back(request);
  return Next(open_answers);
}

std::optional<std::string> ScriptedDialogs::SaveFile(const FileDialogRequest& request) {
  save_requests.push_back(request);
  return Next(save_answers);
}

void ScriptedDialogs::Message(std::string_view text, std::string_view caption) {
  messages.emplace_back(text, caption);
}

void ScriptedDialogs::ErrorBox(std::string_view text) {
  errors.emplace_back(text);
}

void ScriptedDialogs::ExceptionBox(std::string_view text) {
  exceptions.emplace_back(text);
}

void TestProgram::Start(const std::vector<std::string>& args) {
  program_.reset();
  program_ = std::make_unique<Pelgrin>(CommandLine{Dir() + "pelgrin", args}, dialogs);
}

std::vector<std::string> TestProgram::Log() {
  return Lines(Main().MessageMemo->toPlainText().toStdString());
}

void TestProgram::EndIntro() {
  for (int tick = 0; tick < 4; ++tick)
    Main().Timer1Timer();
}

Bytes ArchiveOf(const std::vector<Frame>& frames) {
  std::vector<ArchiveImage> images;
  for (const Frame& f : frames) {
    Bytes data;
    for (int y = 0; y < f.height; ++y) {
      data.insert(data.end(), {static_cast<std::uint8_t>(2 * f.width), f.index, 0});
    }
    ArchiveImage image;
    image.record = Record(Header(f.width, f.height, 0, 0, f.width - 1, f.height - 1), data);
    images.push_back(image);
  }
  return BuildArchive(images);
}

std::string PaletteText(int declared, int given) {
  std::string text = "JASC-PAL\n0100\n" + std::to_string(declared) + "\n";
  for (int i = 0; i < given; ++i)
    text += std::to_string(i % 256) + " " + std::to_string(255 - i % 256) + " " +
            std::to_string(7 + i / 256) + "\n";
  return text;
}

}  // namespace pelgrin::test
