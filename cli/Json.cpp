#include "cli/Json.h"

#include <cstddef>
#include <cstdio>

namespace {

constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;
constexpr unsigned char kC1Lead = 0xC2;        // U+0080 to U+00BF in UTF-8
constexpr unsigned char kFirstAfterC1 = 0xA0;  // its second byte past U+009F

// The length of the well-formed UTF-8 sequence of more than one byte that
// starts text, or 0. Overlong forms, surrogates and code points past U+10FFFF
// are not well-formed (RFC 3629).
std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
  const auto continuation = [&](std::size_t at) { return at < text.size() && (byte(at) & 0xC0) == 0x80; };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80;  // the range the second byte must be in
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (!continuation(1) || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t at = 2; at < length; ++at) {
    if (!continuation(at)) return 0;
  }
  return length;
}

void AppendEscaped(std::string& json, unsigned char byte) {
  char escaped[8];
  std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned{byte});
  json += escaped;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (std::size_t at = 0; at < text.size();) {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte == '"' || byte == '\\') {
      json += '\\';
      json += text[at++];
    } else if (byte < kFirstPrintable || byte == kDelete) {
      AppendEscaped(json, byte);
      ++at;
    } else if (byte < kDelete) {
      json += text[at++];
    } else if (const std::size_t length = Utf8SequenceLength(text.substr(at)); length != 0) {
      // U+0080 to U+009F are control characters too: escaped, as the ones below U+0020.
      const auto second = static_cast<unsigned char>(text[at + 1]);
      if (byte == kC1Lead && second < kFirstAfterC1) {
        AppendEscaped(json, second);
      } else {
        json.append(text.substr(at, length));
      }
      at += length;
    } else {
      AppendEscaped(json, byte);
      ++at;
    }
  }
  return json + "\"";
}
