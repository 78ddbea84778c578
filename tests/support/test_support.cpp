#include "support/test_support.h"

#include <sys/wait.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include "io/files.h"
#include "shp/shp_format.h"

namespace pelgrin::test {

TempDir::TempDir() {
  static std::atomic<int> counter{0};
  const auto base = std::filesystem::temp_directory_path();
  for (;;) {
    const auto candidate =
        base / ("pelgrin-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Path(const std::string& name) const {
  return path_ + "/" + name;
}

Bytes ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFileBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteFileText(const std::string& path, const std::string& text) {
  WriteFileBytes(path, Bytes(text.begin(), text.end()));
}

Bytes HeaderBytes(const ImageHeader& h) {
  const auto bytes = SerializeImageHeader(h);
  return Bytes(bytes.begin(), bytes.end());
}

Bytes Record(const ImageHeader& h, const Bytes& pixel_data) {
  Bytes b = HeaderBytes(h);
  b.insert(b.end(), pixel_data.begin(), pixel_data.end());
  return b;
}

ImageHeader Header(int width, int height, int left, int top, int right, int bottom) {
  ImageHeader h;
  h.MaxX = width - 1;
  h.MaxY = height - 1;
  h.Left = left;
  h.Top = top;
  h.Right = right;
  h.Bottom = bottom;
  return h;
}

std::uint8_t RasterByte(const WorkState& ws, int x, int y) {
  return ws.Raster[static_cast<std::size_t>(x) * RasterRows + static_cast<std::size_t>(y)];
}

namespace {

std::string Quote(const std::string& arg) {
  std::string q = "'";
  for (char c : arg)
    q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

std::string CliCommand(const std::vector<std::string>& args) {
  std::string command = Quote(PELGRIN_CLI_PATH);
  for (const auto& a : args)
    command += " " + Quote(a);
  return command;
}

CliResult RunCli(const std::vector<std::string>& args, const std::string& stdout_to) {
  TempDir capture;
  const std::string out = stdout_to.empty() ? ">" + Quote(capture.Path("out")) : stdout_to;
  const std::string command = CliCommand(args) + " " + out + " 2>" + Quote(capture.Path("err"));
  const int raw = std::system(command.c_str());
  CliResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = Slurp(capture.Path("out"));
  result.err = Slurp(capture.Path("err"));
  return result;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line);
  return lines;
}

}  // namespace pelgrin::test
