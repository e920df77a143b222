#pragma once

#include <string>
#include <vector>

namespace fragtally {

class MatchStats;
struct LogFileFacts;
struct MatchPlayers;

/// The bytes of everything a log's analysis gives to store: the report page,
/// the match record, the names of the weapons whose pictures the page shows,
/// and what the index reads of the record, in the index cache's form.
struct OutputBytes {
  std::string page;
  std::string record;
  std::vector<std::string> pictureWeapons;
  std::string indexSummary;
};

/// Builds the outputs of a match's statistics and people. Throws what the report throws.
OutputBytes buildOutputBytes(const MatchStats& stats, const MatchPlayers& people, const LogFileFacts& log);

}  // namespace fragtally
