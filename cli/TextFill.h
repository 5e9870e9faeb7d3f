#pragma once
// Texts with "{}" places, filled in order: the texts stay whole in one place
// and their arguments come from the code that shows them.
#include <initializer_list>
#include <string>
#include <string_view>

inline std::string Fill(std::string_view text, std::initializer_list<std::string_view> arguments) {
  std::string filled;
  auto argument = arguments.begin();
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (text.compare(at, 2, "{}") == 0 && argument != arguments.end()) {
      filled += *argument++;
      ++at;
    } else {
      filled += text[at];
    }
  }
  return filled;
}
