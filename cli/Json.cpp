#include "cli/Json.h"

#include <cstdio>

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kLastAscii = 0x7E;

}  // namespace

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (const char character : text) {
    const auto byte = static_cast<unsigned char>(character);
    if (byte == '"' || byte == '\\') {
      json += '\\';
      json += character;
    } else if (byte < kFirstPrintable || byte > kLastAscii) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned{byte});
      json += escaped;
    } else {
      json += character;
    }
  }
  return json + "\"";
}
