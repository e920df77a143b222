#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "cli/cli.h"
#include "tests/test_files.h"

namespace fragtally {
namespace {

// The options a text spells: "-o" or "--json", standing after a blank, a
// bracket or a bar, as usage lines and option lists write them.
std::set<std::string> optionsIn(const std::string& text) {
  std::set<std::string> options;
  const std::regex option(R"((^|[\s\[|(])(--?[A-Za-z][A-Za-z0-9]*(-[A-Za-z0-9]+)*)(?=$|[\s\],|)=.;:]))");
  for (auto match = std::sregex_iterator(text.begin(), text.end(), option); match != std::sregex_iterator();
       ++match) {
    options.insert((*match)[2]);
  }
  return options;
}

// The manual page's text as a reader sees it: font changes dropped, "\-"
// read as the hyphen it prints, comment lines left out.
std::string manPageText(const std::string& source) {
  std::string text;
  std::istringstream lines(source);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(".\\\"", 0) == 0) continue;
    line = std::regex_replace(line, std::regex(R"(\\f[BIRP])"), "");
    line = std::regex_replace(line, std::regex(R"(\\-)"), "-");
    text += line + "\n";
  }
  return text;
}

TEST(ManPageTest, SaysTheSameOptionsAsHelp) {
  std::ostringstream out;
  std::ostringstream err;
  ASSERT_EQ(runCli({"--help"}, out, err), 0);
  const std::set<std::string> help = optionsIn(out.str());
  const std::set<std::string> manual =
      optionsIn(manPageText(testing::readFile(testing::sourcePath("docs/fragtally-cli.1"))));
  ASSERT_FALSE(manual.empty());
  EXPECT_EQ(help, manual);
}

TEST(ManPageTest, OptionsAreFoundWhereverUsageAndRoffPutThem) {
  EXPECT_EQ(optionsIn("usage: x LOG [-o REPORT] [--json [-]]\n  --help | --version\n  -j N, --allow=A"),
            (std::set<std::string>{"-o", "--json", "--help", "--version", "-j", "--allow"}));
  EXPECT_EQ(optionsIn("<stem>-2.htm, a log-file, -"), std::set<std::string>{});
  EXPECT_EQ(optionsIn(manPageText(".\\\" --comment\n.BI \\-\\-refresh \" SECONDS\"\n\\fB\\-d\\fP DIR\n")),
            (std::set<std::string>{"--refresh", "-d"}));
}

}  // namespace
}  // namespace fragtally
