#include "report/report_lines.h"
#include "report/report_sections.h"

// What the player kill table and the weapons table both show.
namespace fragtally {

void appendWeaponImage(ReportLines& out, std::string_view weaponName) {
  out.raw("<img src=\"").text(weaponName).raw(".jpg\" border=\"0\" width=\"128\"  height=\"32\" alt=\"");
  out.text(weaponName).raw("\">");
}

}  // namespace fragtally
