#include "io/paths.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "io/files.h"

namespace pelgrin {
namespace {

std::size_t AfterLastSeparator(std::string_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    if (IsPathSeparator(path[i - 1])) return i;
  }
  return 0;
}

}  // namespace

bool IsPathSeparator(char c) {
#if defined(_WIN32)
  return c == '\\' || c == '/' || c == ':';
#else
  return c == '/';
#endif
}

std::string DirectoryPart(std::string_view path) {
  return std::string(path.substr(0, AfterLastSeparator(path)));
}

std::string FileNamePart(std::string_view path) {
  return std::string(path.substr(AfterLastSeparator(path)));
}

std::string LowerExtension(std::string_view path) {
  const std::string name = FileNamePart(path);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos) return "";
  std::string ext = name.substr(dot);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string joined(dir);
  if (!joined.empty() && !IsPathSeparator(joined.back())) joined += kPathSeparator;
  joined += name;
  return joined;
}

std::string ProgramDirectoryFrom(std::string_view argv0) {
  std::error_code ec;
  std::filesystem::path p = FsPath(std::string(argv0));
  std::filesystem::path absolute = std::filesystem::absolute(p, ec);
  if (!ec) p = absolute.lexically_normal();
  const std::u8string text = p.u8string();
  return DirectoryPart(std::string(text.begin(), text.end()));
}

}  // namespace pelgrin
