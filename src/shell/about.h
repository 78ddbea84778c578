// The program's version and the text of its About box.
#pragma once

#include <string>
#include <string_view>

namespace pelgrin {

inline constexpr std::string_view VersionText = "Version 0.50-qm";
inline constexpr std::string_view kAboutCaption = "About KV Pelgrin";

// Six lines: the editor's name, "KV Pelgrin" and the version, and four lines of credits.
std::string AboutText();

}  // namespace pelgrin
