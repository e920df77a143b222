#include "report/report_lines.h"
#include "report/report_sections.h"

namespace fragtally {
namespace {

// The picture file beside the report: a byte that could make the reference
// leave the folder or the page's own host ("//host/x", "a:b", "../x") is
// written as %XX, so every reference names a file in the report's folder.
std::string localFileReference(std::string_view weaponName) {
  static constexpr char kHexDigits[] = "0123456789ABCDEF";
  std::string reference;
  for (const char c : weaponName) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                       (byte >= '0' && byte <= '9') || byte == '.' || byte == '_' || byte == '-';
    if (plain) {
      reference += c;
    } else {
      reference += '%';
      reference += kHexDigits[byte >> 4];
      reference += kHexDigits[byte & 0xF];
    }
  }
  return reference + ".jpg";
}

}  // namespace

void appendWeaponImage(ReportLines& out, std::string_view weaponName) {
  out.raw("<img src=\"").text(localFileReference(weaponName));
  out.raw("\" border=\"0\" width=\"128\"  height=\"32\" alt=\"").text(weaponName).raw("\">");
}

}  // namespace fragtally
