#pragma once

#include <string>

#include "base/site_language.h"

namespace fragtally {

struct ReportModel;

/// What the site's version of a match page needs beyond the match.
struct SiteReportOptions {
  /// The page is written as part of a folder's site: it links back to the
  /// site's index (index.htm beside it).
  bool linkToIndex = false;
};

/// The match page in English: the report's sections, tables and figures in
/// the same order from the same model, with English texts, as a UTF-8 page
/// (every log text escaped, a text that is not UTF-8 read as Windows-1251)
/// that reads on a 360-pixel phone, its tables scrolling in their own boxes.
std::string englishReportPage(const ReportModel& model, const SiteReportOptions& options);

/// A match's page for a site in `language`: the fixed Windows-1251 report
/// (buildReport, byte for byte, whatever the options) in Russian, the UTF-8
/// page with the language's texts in any other.
std::string siteReportPage(SiteLanguage language, const ReportModel& model, const SiteReportOptions& options);

}  // namespace fragtally
