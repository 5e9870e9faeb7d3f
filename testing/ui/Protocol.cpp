#include "testing/ui/Protocol.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace uidriver {

std::string EscapeText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\\': out += "\\\\"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", byte);
          out += hex;
        } else {
          out += c;
        }
    }
  }
  return out;
}

std::string UnescapeText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char kind = text[++i];
    switch (kind) {
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case '\\': out += '\\'; break;
      case 'x':
        if (i + 2 < text.size()) {
          const std::string hex(text.substr(i + 1, 2));
          out += static_cast<char>(std::strtoul(hex.c_str(), nullptr, 16));
          i += 2;
          break;
        }
        [[fallthrough]];
      default:
        out += '\\';
        out += kind;
    }
  }
  return out;
}

std::string FormatHandle(HWND window) {
  return FormatHex(reinterpret_cast<std::uintptr_t>(window));
}

std::string FormatHex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  return text;
}

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::optional<std::string> Words::Next() {
  while (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
  if (rest_.empty()) return std::nullopt;
  std::size_t end = 0;
  while (end < rest_.size() && !IsBlank(rest_[end])) ++end;
  std::string word(rest_.substr(0, end));
  rest_.remove_prefix(end);
  return word;
}

std::string Words::Rest() {
  if (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
  std::string rest(rest_);
  rest_ = {};
  return rest;
}

bool Words::Empty() const {
  for (char c : rest_)
    if (!IsBlank(c)) return false;
  return true;
}

std::optional<long long> Words::NextNumber() {
  const auto word = Next();
  if (!word) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long long value = std::strtoll(word->c_str(), &end, 0);
  if (errno != 0 || end == word->c_str() || *end != '\0') return std::nullopt;
  return value;
}

std::optional<unsigned> Words::NextUnsigned() {
  const auto value = NextNumber();
  if (!value || *value < 0 || *value > 0xFFFFFFFFLL) return std::nullopt;
  return static_cast<unsigned>(*value);
}

std::optional<HWND> Words::NextHandle() {
  const auto word = Next();
  if (!word) return std::nullopt;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(word->c_str(), &end, 0);
  if (end == word->c_str() || *end != '\0') return std::nullopt;
  return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(value));
}

}  // namespace uidriver
