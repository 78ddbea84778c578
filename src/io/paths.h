// Path text helpers. Paths are kept as text with the platform's separator, and a
// directory always ends with its separator.
#pragma once

#include <string>
#include <string_view>

namespace pelgrin {

#if defined(_WIN32)
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

bool IsPathSeparator(char c);
// The path up to and including its last separator ("" when it has none).
std::string DirectoryPart(std::string_view path);
// The part after the last separator (the whole path when it has none).
std::string FileNamePart(std::string_view path);
// The extension of the file-name part, dot included, lower-cased ("" when none).
std::string LowerExtension(std::string_view path);
// dir + name, adding the separator when dir is non-empty and does not end with one.
std::string JoinPath(std::string_view dir, std::string_view name);
// The directory holding the running program (with its trailing separator), from argv[0]
// made absolute.
std::string ProgramDirectoryFrom(std::string_view argv0);

}  // namespace pelgrin
