// Small text helpers shared by every subsystem: message patterns, the integer
// conversion of typed fields, and the "%d" scanning of text files.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace pelgrin {

// Replaces each "%s" or "%d" of pattern, in order, by the next argument.
std::string FillPattern(std::string_view pattern, std::initializer_list<std::string_view> args);

// Thrown when a typed field does not hold a whole number; the application shows its
// text in its standard exception box and carries on.
class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(std::string_view text);
};

// Converts a field's text to a 32-bit integer: optional leading blanks, an optional sign,
// decimal digits, nothing after them. Throws ConversionError otherwise.
std::int32_t StrToInt(std::string_view text);

// Scans one decimal integer the way "%d" does: skips leading white space, reads an
// optional sign and the digits that follow. Returns the value (saturated to the 32-bit
// range) and where scanning stopped, or nothing when no digit was found.
struct Scanned {
  std::int32_t value;
  std::size_t end;
};
std::optional<Scanned> ScanInt(std::string_view text, std::size_t from = 0);

}  // namespace pelgrin
