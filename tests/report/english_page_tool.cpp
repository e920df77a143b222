// fragtally_english_page LOG FOLDER: writes the English page of one log as a
// site's page, FOLDER/report.htm, with the weapon pictures beside it, for the
// check in a real browser (tests/browser/check_english_report.sh) until the
// command line offers the language itself.
#include <iostream>
#include <memory>

#include "analysis/analysis.h"
#include "base/error.h"
#include "base/file.h"
#include "base/file_store.h"
#include "report/report_model.h"
#include "report/site_report_page.h"
#include "report/weapon_pictures.h"
#include "stats/match_stats.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: fragtally_english_page LOG FOLDER\n";
    return 2;
  }
  try {
    auto stats = std::make_unique<fragtally::MatchStats>();
    fragtally::analyseLogFile(*stats, argv[1]);
    const fragtally::ReportModel model = fragtally::buildReportModel(*stats);
    const std::filesystem::path folder = fragtally::pathFromUtf8(argv[2]);
    const std::string page = fragtally::englishReportPage(model, {.linkToIndex = true});
    if (!fragtally::replaceFileContents(folder / "report.htm", page)) {
      std::cerr << "fragtally_english_page: cannot write the page\n";
      return 1;
    }
    fragtally::writeWeaponPictures(*stats, folder);
  } catch (const fragtally::Error& error) {
    std::cerr << argv[1] << ": " << fragtally::userMessage(error.what()) << '\n';
    return 1;
  }
  return 0;
}
