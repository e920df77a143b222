#include "index/svg_chart.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "base/utf8.h"
#include "index/index_html.h"

namespace fragtally {
namespace {

/// Labels a chart shows along its columns at most: about one per 80 units.
constexpr std::int64_t kMaxColumnLabels = 6;
/// Column labels of a grid at most (every third hour of a day).
constexpr std::int64_t kMaxGridLabels = 8;
/// Characters of a bar's label a list shows before it shortens the label.
constexpr std::size_t kBarLabelCharacters = 18;

void appendInteger(std::string& page, std::int64_t value) {
  char digits[24];
  page.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

/// A share of `span` tenths for `value` of `highest`, rounded: the one place
/// a chart measures with floating point. Multiplying and dividing doubles is
/// exact to the last bit on every IEEE machine, so the bytes stay the same.
std::int64_t scaled(std::int64_t value, std::int64_t highest, std::int64_t span) {
  if (value <= 0 || highest <= 0) return 0;
  return std::llround(static_cast<double>(value) * static_cast<double>(span) / static_cast<double>(highest));
}

std::int64_t highestOf(std::span<const ChartFigure> figures) {
  std::int64_t highest = 0;
  for (const ChartFigure& figure : figures) highest = std::max(highest, figure.value);
  return highest;
}

/// <rect x y width height class><title>...</title></rect>, coordinates in tenths.
void appendRect(std::string& page, std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height,
                std::string_view className, std::string_view title) {
  page += "<rect x=\"";
  appendChartTenths(page, x);
  page += "\" y=\"";
  appendChartTenths(page, y);
  page += "\" width=\"";
  appendChartTenths(page, width);
  page += "\" height=\"";
  appendChartTenths(page, height);
  if (!className.empty()) {
    page += "\" class=\"";
    page += className;
  }
  page += "\"><title>";
  appendHtmlText(page, title);
  page += "</title></rect>\n";
}

/// <text> at (x, y) in tenths; `anchor` empty for the start.
void appendText(std::string& page, std::int64_t x, std::int64_t y, std::string_view anchor, std::string_view text) {
  page += "<text x=\"";
  appendChartTenths(page, x);
  page += "\" y=\"";
  appendChartTenths(page, y);
  if (!anchor.empty()) {
    page += "\" text-anchor=\"";
    page += anchor;
  }
  page += "\">";
  appendHtmlText(page, text);
  page += "</text>";
}

void appendLevelLine(std::string& page, std::int64_t y, std::int64_t value) {
  page += "<line x1=\"";
  appendInteger(page, kChartLeft);
  page += "\" y1=\"";
  appendChartTenths(page, y);
  page += "\" x2=\"";
  appendInteger(page, kChartWidth - kChartRight);
  page += "\" y2=\"";
  appendChartTenths(page, y);
  page += "\"/>";
  std::string figure;
  appendGroupedCount(figure, value);
  appendText(page, 40, y + 40, "", figure);
  page += '\n';
}

/// The label shortened to kBarLabelCharacters characters and an ellipsis.
std::string shortLabel(std::string_view label) {
  std::size_t at = 0;
  for (std::size_t count = 0; at < label.size() && count < kBarLabelCharacters; ++count) {
    char32_t codePoint = 0;
    const std::size_t length = decodeUtf8(label, at, codePoint);
    at += length == 0 ? 1 : length;
  }
  if (at >= label.size()) return std::string(label);
  return std::string(label.substr(0, at)) + "\u2026";
}

}  // namespace

void appendChartTenths(std::string& page, std::int64_t tenths) {
  if (tenths < 0) {
    page += '-';
    tenths = -tenths;
  }
  appendInteger(page, tenths / 10);
  if (tenths % 10 != 0) {
    page += '.';
    page += static_cast<char>('0' + tenths % 10);
  }
}

void appendChartStart(std::string& page, int width, int height, std::string_view label, std::string_view kind) {
  page += "<svg class=\"chart";
  if (!kind.empty()) {
    page += ' ';
    page += kind;
  }
  page += "\" viewBox=\"0 0 ";
  appendInteger(page, width);
  page += ' ';
  appendInteger(page, height);
  page += "\" role=\"img\" aria-label=\"";
  appendHtmlText(page, label);
  page += "\"><title>";
  appendHtmlText(page, label);
  page += "</title>\n";
}

void appendChartEnd(std::string& page) { page += "</svg>\n"; }

namespace {

/// Shows labels of the first `labelled` columns only.
void appendColumns(std::string& page, std::string_view label, std::span<const ChartFigure> columns,
                   std::size_t labelled, const std::function<std::string(std::size_t column)>& labelOf) {
  appendChartStart(page, kChartWidth, kChartHeight, label);
  const auto count = static_cast<std::int64_t>(columns.size());
  const std::int64_t highest = highestOf(columns);
  const std::int64_t left = kChartLeft * 10;
  const std::int64_t plotWidth = (kChartWidth - kChartLeft - kChartRight) * 10;
  const std::int64_t bottom = (kChartHeight - kChartBottom) * 10;
  const std::int64_t plotHeight = bottom - kChartTop * 10;
  appendLevelLine(page, bottom, 0);
  if (highest > 0) appendLevelLine(page, kChartTop * 10, highest);
  for (std::int64_t at = 0; at < count; ++at) {
    const ChartFigure& column = columns[static_cast<std::size_t>(at)];
    if (column.title.empty()) continue;
    const std::int64_t from = left + at * plotWidth / count;
    const std::int64_t slot = left + (at + 1) * plotWidth / count - from;
    const std::int64_t gap = slot / 4;
    // At least a whole unit high, so that the smallest figure still shows.
    const std::int64_t height = column.value > 0 ? std::max<std::int64_t>(scaled(column.value, highest, plotHeight), 10)
                                                 : 5;
    appendRect(page, from + gap / 2, bottom - height, slot - gap, height, column.value > 0 ? "" : "zero",
               column.title);
  }
  const std::int64_t step = std::max<std::int64_t>((count + kMaxColumnLabels - 1) / kMaxColumnLabels, 1);
  // Columns past the labelled ones go without a label.
  const auto shown = std::min<std::int64_t>(count, static_cast<std::int64_t>(labelled));
  for (std::int64_t at = shown - 1; at >= 0; at -= step) {
    const std::int64_t centre = left + at * plotWidth / count + plotWidth / count / 2;
    // The outer labels are kept inside the chart's edges.
    const std::string_view anchor = centre - left < 200 ? "" : left + plotWidth - centre < 200 ? "end" : "middle";
    const std::int64_t x = anchor.empty() ? std::max(centre - 100, left) : anchor == "end" ? left + plotWidth : centre;
    appendText(page, x, kChartHeight * 10 - 60, anchor, labelOf(static_cast<std::size_t>(at)));
  }
  page += '\n';
  appendChartEnd(page);
}

}  // namespace

void appendColumnChart(std::string& page, std::string_view label, std::span<const ChartFigure> columns,
                       std::span<const std::string> labels) {
  appendColumns(page, label, columns, labels.size(), [&](std::size_t at) { return labels[at]; });
}

void appendColumnChart(std::string& page, std::string_view label, std::span<const ChartFigure> columns,
                       const std::function<std::string(std::size_t column)>& labelOf) {
  appendColumns(page, label, columns, columns.size(), labelOf);
}


void appendCellGrid(std::string& page, std::string_view label, std::span<const ChartFigure> cells,
                    std::span<const std::string> rowLabels, std::span<const std::string> columnLabels) {
  constexpr std::int64_t kLabels = 340;  // the rows' labels, in tenths
  constexpr std::int64_t kTop = 180;
  constexpr std::int64_t kCellHeight = 200;
  const auto rows = static_cast<std::int64_t>(rowLabels.size());
  const auto columns = static_cast<std::int64_t>(columnLabels.size());
  const auto height = static_cast<int>((kTop + rows * kCellHeight + 40) / 10);
  appendChartStart(page, kChartWidth, height, label, "grid");
  const std::int64_t cellWidth = columns > 0 ? (kChartWidth * 10 - kLabels - 20) / columns : 0;
  const std::int64_t highest = highestOf(cells);
  const std::int64_t step = std::max<std::int64_t>((columns + kMaxGridLabels - 1) / kMaxGridLabels, 1);
  for (std::int64_t column = 0; column < columns; column += step) {
    appendText(page, kLabels + column * cellWidth + cellWidth / 2, kTop - 50, "middle",
               columnLabels[static_cast<std::size_t>(column)]);
  }
  page += '\n';
  for (std::int64_t row = 0; row < rows; ++row) {
    const std::int64_t top = kTop + row * kCellHeight;
    appendText(page, 40, top + 140, "", rowLabels[static_cast<std::size_t>(row)]);
    page += '\n';
    for (std::int64_t column = 0; column < columns; ++column) {
      const auto at = static_cast<std::size_t>(row * columns + column);
      if (at >= cells.size()) break;
      const ChartFigure& cell = cells[at];
      // Four shades over the figures above zero, the darkest for the highest.
      const std::int64_t level = cell.value > 0 ? std::clamp<std::int64_t>((scaled(cell.value, highest, 40) + 9) / 10, 1, 4)
                                                : 0;
      const char shade[] = {'q', static_cast<char>('0' + level), '\0'};
      appendRect(page, kLabels + column * cellWidth + 10, top + 10, cellWidth - 20, kCellHeight - 20, shade, cell.title);
    }
  }
  appendChartEnd(page);
}

void appendBarList(std::string& page, std::string_view label, std::span<const ChartBar> bars) {
  constexpr std::int64_t kRowHeight = 220;
  constexpr std::int64_t kLabels = 1500;  // room for the bars' labels, in tenths
  constexpr std::int64_t kFigure = 600;   // room for the figure behind the longest bar
  const auto height = static_cast<int>((static_cast<std::int64_t>(bars.size()) * kRowHeight + 80) / 10);
  appendChartStart(page, kChartWidth, height, label, "list");
  std::int64_t highest = 0;
  for (const ChartBar& bar : bars) highest = std::max(highest, bar.figure.value);
  const std::int64_t span = kChartWidth * 10 - kLabels - kFigure;
  for (std::size_t at = 0; at < bars.size(); ++at) {
    const ChartBar& bar = bars[at];
    const std::int64_t top = static_cast<std::int64_t>(at) * kRowHeight + 40;
    appendText(page, 40, top + 150, "", shortLabel(bar.label));
    const std::int64_t length = std::max<std::int64_t>(scaled(bar.figure.value, highest, span), 5);
    appendRect(page, kLabels, top + 20, length, kRowHeight - 60, bar.figure.value > 0 ? "" : "zero",
               bar.figure.title);
    std::string figure;
    appendGroupedCount(figure, bar.figure.value);
    appendText(page, kLabels + length + 50, top + 150, "", figure);
    page += '\n';
  }
  appendChartEnd(page);
}

void appendSplitBar(std::string& page, std::string_view label, const ChartFigure& left, const ChartFigure& right) {
  constexpr std::int64_t kWidth = 1000;
  appendChartStart(page, 100, 10, label, "split");
  const std::int64_t whole = std::max<std::int64_t>(left.value, 0) + std::max<std::int64_t>(right.value, 0);
  if (whole <= 0) {
    appendRect(page, 0, 0, kWidth, 100, "zero", label);
  } else {
    const std::int64_t share = scaled(left.value, whole, kWidth);
    if (share > 0) appendRect(page, 0, 0, share, 100, "ct", left.title);
    if (share < kWidth) appendRect(page, share, 0, kWidth - share, 100, "t", right.title);
  }
  appendChartEnd(page);
}

}  // namespace fragtally
