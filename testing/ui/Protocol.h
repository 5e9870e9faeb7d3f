#pragma once
// The driver's line protocol: a command is one line of words, the last
// parameter of some commands takes the rest of the line; every answer ends in
// one line "ok [value]" or "error message", optionally preceded by detail
// lines that begin with "| ".
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace uidriver {

// Answers stay on one line: CR, LF, tab, backslash and other control bytes
// are written as \r \n \t \\ \xHH; UnescapeText reverses that.
std::string EscapeText(std::string_view text);
std::string UnescapeText(std::string_view text);

struct Answer {
  bool ok = true;
  std::string value;
  std::vector<std::string> details;

  static Answer Ok(std::string value = {}) { return {true, std::move(value), {}}; }
  static Answer Error(std::string message) { return {false, std::move(message), {}}; }
};

std::string FormatHandle(HWND window);
std::string FormatHex(std::uint64_t value);

// Reads a command line word by word.
class Words {
 public:
  explicit Words(std::string_view line) : rest_(line) {}

  std::optional<std::string> Next();
  // Everything after the words taken so far, with the separating blank removed.
  std::string Rest();
  bool Empty() const;

  std::optional<HWND> NextHandle();
  std::optional<long long> NextNumber();
  std::optional<unsigned> NextTimeout() { return NextUnsigned(); }
  std::optional<unsigned> NextUnsigned();

 private:
  std::string_view rest_;
};

}  // namespace uidriver
