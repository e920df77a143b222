#include "report/site_report_page.h"

#include <string_view>
#include <utility>

#include "base/output_names.h"
#include "report/report_lines.h"
#include "report/report_model.h"
#include "report/report_sections.h"
#include "report/report_texts.h"
#include "report/write_report.h"

namespace fragtally {
namespace {

// The sections keep the fixed report's markup (colours as attributes, a
// table centred by its align); the style only adds what a phone needs: a
// table wider than the screen scrolls inside its own box, never the page, and
// a long log path breaks where it must.
constexpr std::string_view kStyle =
    "<style>\r\n"
    ":root{color-scheme:dark}\r\n"
    "body{margin:0;padding:8px;background:#000;color:#fff;font:15px/1.4 system-ui,-apple-system,\"Segoe UI\","
    "Roboto,Ubuntu,sans-serif;overflow-wrap:anywhere}\r\n"
    "table{display:block;width:max-content;max-width:100%;overflow-x:auto;margin:0 auto 1em}\r\n"
    // A caption as wide as the box, not as the table: it stays in sight while the table scrolls.
    "caption{display:block;padding:.3em 0;text-align:center}\r\n"
    "th,td{padding:2px 6px;white-space:nowrap}\r\n"
    "img{vertical-align:middle}\r\n"
    "nav{margin-bottom:.5em}\r\n"
    "a{color:#58c4ff}\r\n"
    "</style>";

void appendHead(ReportLines& out, SiteLanguage language, const ReportModel& model, const ReportTexts& texts) {
  out.line("<!DOCTYPE html>");
  out.raw("<html lang=\"").raw(htmlLanguageTag(language)).raw("\">").end();
  out.line("<head>");
  out.line("<meta charset=\"utf-8\">");
  out.line("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">");
  out.raw("<title>").raw(texts.pageTitle).raw(": ");
  if (model.map) {
    out.text(*model.map);
  } else {
    out.raw(texts.unknownMap);
  }
  out.raw(", ").text(model.date).raw("</title>").end();
  out.line(kStyle);
  out.line("</head>");
}

std::string utf8ReportPage(SiteLanguage language, const ReportModel& model, const SiteReportOptions& options) {
  const ReportTexts& texts = reportTexts(language);
  ReportLines out(PageEncoding::Utf8, reportPageBytes(model) + kStyle.size());
  appendHead(out, language, model, texts);
  out.line("<body bgcolor=\"#000000\" text=\"#FFFFFF\">");
  if (options.linkToIndex) {
    out.raw(" <nav><a href=\"").raw(kIndexPageName).raw("\">&larr; ").raw(texts.backToIndex).raw("</a></nav>").end();
  }
  appendReportBody(out, model, texts);
  return std::move(out).take();
}

}  // namespace

std::string englishReportPage(const ReportModel& model, const SiteReportOptions& options) {
  return utf8ReportPage(SiteLanguage::English, model, options);
}

std::string siteReportPage(SiteLanguage language, const ReportModel& model, const SiteReportOptions& options) {
  if (language == SiteLanguage::Russian) return buildReport(model);
  return utf8ReportPage(language, model, options);
}

}  // namespace fragtally
