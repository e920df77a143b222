#include "base/url_path.h"

namespace fragtally {

void appendUrlPath(std::string& out, std::string_view fileName) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  for (const char c : fileName) {
    const auto byte = static_cast<unsigned char>(c);
    const bool kept = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
                      byte == '.' || byte == '_' || byte == '-';
    if (kept) {
      out += c;
    } else {
      out += '%';
      out += kHexDigits[byte >> 4];
      out += kHexDigits[byte & 0xF];
    }
  }
}

}  // namespace fragtally
