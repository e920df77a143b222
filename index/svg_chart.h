#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace fragtally {

// Charts of the site's pages, drawn as inline SVG by the program: no script,
// no file beside the page, the same bytes for the same figures (integer
// arithmetic only, no locale). Each chart scales with the page through its
// viewBox, takes its colours from the page's style (the class names below and
// currentColor), is an image with a label for a screen reader, and every bar
// and cell tells its own figure in its <title>, which a browser shows as a
// tooltip. The texts handed in (labels, titles) are plain UTF-8, escaped here.

/// The drawing area every chart of the site shares, in viewBox units: narrow
/// enough that the labels stay readable when a phone shrinks it to 340 pixels.
inline constexpr int kChartWidth = 480;
inline constexpr int kChartHeight = 200;
/// Room left of the plot for the values' labels, and around it.
inline constexpr int kChartLeft = 40;
inline constexpr int kChartRight = 10;
inline constexpr int kChartTop = 12;
inline constexpr int kChartBottom = 24;

/// One bar or cell: its figure and the tooltip that tells it.
struct ChartFigure {
  std::int64_t value = 0;
  std::string title;
};

/// A bar of a list of bars: its label, shown beside it, and its figure.
struct ChartBar {
  std::string label;
  ChartFigure figure;
};

/// Opens a chart of `width` x `height` units: the <svg> element with its
/// classes ("chart" and `kind`), its role and label, and its <title>.
void appendChartStart(std::string& page, int width, int height, std::string_view label, std::string_view kind = "");
void appendChartEnd(std::string& page);

/// Appends a coordinate given in tenths of a unit: "12.3", "12", "-0.5".
void appendChartTenths(std::string& page, std::int64_t tenths);

/// Columns over a run of equal steps (days), oldest first, from zero up to the
/// highest figure; `labels` holds one label per column, of which the chart
/// shows a few evenly spaced ones, the newest always. A column of zero is a
/// thin line, so that its tooltip is still there; a column without a title
/// (a day a player did not play) is not drawn at all: a gap, which costs a
/// page of twenty thousand players nothing.
void appendColumnChart(std::string& page, std::string_view label, std::span<const ChartFigure> columns,
                       std::span<const std::string> labels);
/// The same with each shown column's label made when it is shown: a chart
/// of ninety days shows six, and twenty thousand pages draw one.
void appendColumnChart(std::string& page, std::string_view label, std::span<const ChartFigure> columns,
                       const std::function<std::string(std::size_t column)>& labelOf);

/// A grid of `rows` x `columns` cells, row after row, each shaded by its
/// figure against the highest (five shades, the lightest for zero); the rows'
/// labels at the left, a few of the columns' labels above.
void appendCellGrid(std::string& page, std::string_view label, std::span<const ChartFigure> cells,
                    std::span<const std::string> rowLabels, std::span<const std::string> columnLabels);

/// Horizontal bars in the order given, each with its label at the left
/// (shortened where it is long; the tooltip keeps it whole) and its figure
/// at its end.
void appendBarList(std::string& page, std::string_view label, std::span<const ChartBar> bars);

/// One bar split in two by the share of each figure (CT's and T's rounds),
/// coloured as the page colours the two sides; a grey bar when both are zero.
void appendSplitBar(std::string& page, std::string_view label, const ChartFigure& left, const ChartFigure& right);

}  // namespace fragtally
