// fragtally_record_tool LOG: prints the JSON record of one log, for the checks
// that look at records of whole logs (tests/json/check_schema.sh).
#include <iostream>
#include <memory>

#include "analysis/analysis.h"
#include "analysis/match_players.h"
#include "base/error.h"
#include "record/match_record.h"
#include "report/report_model.h"
#include "stats/match_stats.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fragtally_record_tool LOG\n";
    return 2;
  }
  try {
    auto stats = std::make_unique<fragtally::MatchStats>();
    fragtally::MatchPlayersCollector people;
    fragtally::analyseLogFile(*stats, argv[1], &people);
    const fragtally::ReportModel model = fragtally::buildReportModel(*stats);
    fragtally::LogFileFacts facts = fragtally::logFileFacts(argv[1]);
    facts.path = stats->logName;
    std::cout << fragtally::matchRecordJson(model, people.result(), facts);
    std::cout.flush();
    if (!std::cout) {
      std::cerr << "fragtally_record_tool: cannot write the record\n";
      return 1;
    }
  } catch (const fragtally::Error& error) {
    std::cerr << argv[1] << ": " << fragtally::userMessage(error.what()) << '\n';
    return 1;
  }
  return 0;
}
