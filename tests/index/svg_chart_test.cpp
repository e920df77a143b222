#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "index/svg_chart.h"

namespace fragtally {
namespace {

std::size_t countOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++count;
  return count;
}

/// The <title>s of the chart's bars and cells, in their order (the chart's own title left out).
std::vector<std::string> barTitles(const std::string& chart) {
  std::vector<std::string> titles;
  for (std::size_t at = chart.find("<rect "); at != std::string::npos; at = chart.find("<rect ", at + 1)) {
    const std::size_t start = chart.find("<title>", at) + 7;
    titles.push_back(chart.substr(start, chart.find("</title>", start) - start));
  }
  return titles;
}

/// The attribute `name` of the `index`th <rect>.
std::string rectAttribute(const std::string& chart, std::size_t index, const std::string& name) {
  std::size_t at = chart.find("<rect ");
  for (std::size_t skipped = 0; skipped < index; ++skipped) at = chart.find("<rect ", at + 1);
  const std::size_t start = chart.find(" " + name + "=\"", at) + name.size() + 3;
  return chart.substr(start, chart.find('"', start) - start);
}

TEST(SvgChartTest, ColumnsTellTheirFiguresAndReachTheTopWithTheHighest) {
  const std::vector<ChartFigure> columns = {{5, "01.12.2026: 5"}, {0, "02.12.2026: <none> & 0"}, {7, "03.12.2026: 7"}};
  const std::vector<std::string> labels = {"01.12", "02.12", "03.12"};
  std::string chart;
  appendColumnChart(chart, "Kills \"per\" day", columns, labels);

  EXPECT_TRUE(chart.starts_with("<svg class=\"chart\" viewBox=\"0 0 480 200\" role=\"img\" "
                                "aria-label=\"Kills &quot;per&quot; day\"><title>Kills &quot;per&quot; day</title>"))
      << chart;
  EXPECT_TRUE(chart.ends_with("</svg>\n"));
  EXPECT_EQ(barTitles(chart),
            (std::vector<std::string>{"01.12.2026: 5", "02.12.2026: &lt;none&gt; &amp; 0", "03.12.2026: 7"}));
  // The plot is 164 units high (200 less 12 above and 24 below): the highest
  // column fills it, 5 of 7 takes 117.1, and zero is a thin grey line.
  EXPECT_EQ(rectAttribute(chart, 2, "height"), "164");
  EXPECT_EQ(rectAttribute(chart, 2, "y"), "12");
  EXPECT_EQ(rectAttribute(chart, 0, "height"), "117.1");
  EXPECT_EQ(rectAttribute(chart, 1, "height"), "0.5");
  EXPECT_EQ(rectAttribute(chart, 1, "class"), "zero");
  EXPECT_NE(chart.find(">7</text>"), std::string::npos) << "the highest figure labels the top line";
  for (const char* label : {">01.12<", ">02.12<", ">03.12<"}) EXPECT_NE(chart.find(label), std::string::npos) << label;
  EXPECT_EQ(chart.find("style="), std::string::npos) << "colours come from the page's style";
  EXPECT_EQ(chart.find("fill=\"#"), std::string::npos);
}

TEST(SvgChartTest, ManyColumnsShowAFewLabelsTheNewestAmongThem) {
  std::vector<ChartFigure> columns;
  std::vector<std::string> labels;
  for (int day = 0; day < 90; ++day) {
    columns.push_back(ChartFigure{day % 7, "day " + std::to_string(day)});
    labels.push_back("d" + std::to_string(day));
  }
  std::string chart;
  appendColumnChart(chart, "Kills", columns, labels);
  EXPECT_EQ(countOf(chart, "<rect "), 90u);
  // Two level lines' figures and six of the days (every fifteenth from the newest).
  EXPECT_EQ(countOf(chart, "<text "), 2u + 6u);
  for (const char* shown : {">d89<", ">d74<", ">d59<", ">d44<", ">d29<", ">d14<"}) {
    EXPECT_NE(chart.find(shown), std::string::npos) << shown;
  }
  EXPECT_EQ(chart.find(">d0<"), std::string::npos);
  EXPECT_NE(chart.find("text-anchor=\"end\">d89<"), std::string::npos) << "the newest label kept inside the edge";
}

TEST(SvgChartTest, LabelsMadeOnDemandAreAskedOnlyForTheColumnsShown) {
  std::vector<ChartFigure> columns(90);
  columns[89] = ChartFigure{3, "played"};  // the others not drawn: days without play
  std::vector<std::size_t> asked;
  std::string chart;
  appendColumnChart(chart, "Kills", columns, [&](std::size_t at) {
    asked.push_back(at);
    return "d" + std::to_string(at);
  });
  EXPECT_EQ(asked, (std::vector<std::size_t>{89, 74, 59, 44, 29, 14}));
  EXPECT_EQ(countOf(chart, "<rect "), 1u);

  // The same chart from a list of labels: the same bytes.
  std::vector<std::string> labels;
  for (std::size_t at = 0; at < columns.size(); ++at) labels.push_back("d" + std::to_string(at));
  std::string fromList;
  appendColumnChart(fromList, "Kills", columns, labels);
  EXPECT_EQ(fromList, chart);
}

TEST(SvgChartTest, CellsAreShadedByTheirShareOfTheHighest) {
  const std::vector<ChartFigure> cells = {{0, "a"}, {1, "b"}, {2, "c"}, {3, "d"}, {4, "e"}, {8, "f"}};
  const std::vector<std::string> rows = {"Mon", "Tue"};
  const std::vector<std::string> columns = {"0", "1", "2"};
  std::string chart;
  appendCellGrid(chart, "Matches", cells, rows, columns);
  EXPECT_TRUE(chart.starts_with("<svg class=\"chart grid\" viewBox=\"0 0 480 62\" role=\"img\""));
  EXPECT_EQ(barTitles(chart), (std::vector<std::string>{"a", "b", "c", "d", "e", "f"}));
  // Quarters of the highest, rounded up: 1 and 2 of 8 the first shade, 3 and 4 the second.
  const std::vector<std::string> shades = {"q0", "q1", "q1", "q2", "q2", "q4"};
  for (std::size_t at = 0; at < shades.size(); ++at) EXPECT_EQ(rectAttribute(chart, at, "class"), shades[at]) << at;
  // The second row starts under the first one, a cell lower.
  EXPECT_EQ(rectAttribute(chart, 0, "y"), "19");
  EXPECT_EQ(rectAttribute(chart, 3, "y"), "39");
  EXPECT_EQ(rectAttribute(chart, 0, "x"), rectAttribute(chart, 3, "x"));
  EXPECT_NE(chart.find(">Tue</text>"), std::string::npos);
}

TEST(SvgChartTest, BarsKeepLongLabelsShortAndWholeInTheirTooltips) {
  const std::vector<ChartBar> bars = {{"de_dust2", {12, "de_dust2: 12"}},
                                      {"<b>&very_long_map_name_indeed", {3, "<b>&very_long_map_name_indeed: 3"}}};
  std::string chart;
  appendBarList(chart, "Maps", bars);
  EXPECT_TRUE(chart.starts_with("<svg class=\"chart list\" viewBox=\"0 0 480 52\""));
  EXPECT_EQ(barTitles(chart), (std::vector<std::string>{"de_dust2: 12", "&lt;b&gt;&amp;very_long_map_name_indeed: 3"}));
  EXPECT_NE(chart.find(">&lt;b&gt;&amp;very_long_map_\u2026</text>"), std::string::npos) << chart;
  EXPECT_EQ(chart.find("<b>"), std::string::npos);
  // The longest bar takes the room between the labels and its figure: 480 less 150 and 60.
  EXPECT_EQ(rectAttribute(chart, 0, "width"), "270");
  EXPECT_EQ(rectAttribute(chart, 1, "width"), "67.5");
  EXPECT_NE(chart.find(">12</text>"), std::string::npos);
}

TEST(SvgChartTest, ASplitBarSharesItsLengthBetweenTheSides) {
  std::string chart;
  appendSplitBar(chart, "CT 3 : T 1", {3, "CT: 3"}, {1, "T: 1"});
  EXPECT_EQ(barTitles(chart), (std::vector<std::string>{"CT: 3", "T: 1"}));
  EXPECT_EQ(rectAttribute(chart, 0, "class"), "ct");
  EXPECT_EQ(rectAttribute(chart, 0, "width"), "75");
  EXPECT_EQ(rectAttribute(chart, 1, "x"), "75");
  EXPECT_EQ(rectAttribute(chart, 1, "width"), "25");

  std::string none;
  appendSplitBar(none, "CT 0 : T 0", {0, "CT: 0"}, {0, "T: 0"});
  EXPECT_EQ(barTitles(none), (std::vector<std::string>{"CT 0 : T 0"})) << "one grey bar when no round was won";
  std::string oneSided;
  appendSplitBar(oneSided, "CT 0 : T 4", {0, "CT: 0"}, {4, "T: 4"});
  EXPECT_EQ(barTitles(oneSided), (std::vector<std::string>{"T: 4"}));
  EXPECT_EQ(rectAttribute(oneSided, 0, "width"), "100");
}

}  // namespace
}  // namespace fragtally
