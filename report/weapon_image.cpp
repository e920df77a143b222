#include "base/output_names.h"
#include "base/url_path.h"
#include "report/report_lines.h"
#include "report/report_sections.h"

namespace fragtally {
namespace {

// The picture file beside the report, so named that every reference names a
// file in the report's folder ("//host/x", "a:b", "../x" cannot leave it).
std::string localFileReference(std::string_view weaponName) {
  std::string reference;
  appendUrlPath(reference, weaponName);
  return reference + kPictureExtension;
}

}  // namespace

void appendWeaponImage(ReportLines& out, std::string_view weaponName) {
  out.raw("<img src=\"").text(localFileReference(weaponName));
  out.raw("\" border=\"0\" width=\"128\"  height=\"32\" alt=\"").text(weaponName).raw("\">");
}

}  // namespace fragtally
