#pragma once

#include <span>
#include <string_view>

#include "base/site_language.h"

namespace fragtally {

/// The fixed texts of a match's page in one language, in that page's encoding:
/// Windows-1251 bytes for Russian, whose page is the report of the fixed
/// format, UTF-8 for every other language, whose page is the site's UTF-8
/// version of it. The section writers take a table and lay out the same rows
/// for every language; the spaces and punctuation around a text are theirs,
/// so a text holds the words alone. None holds & < > or ", and none is empty.
struct ReportTexts {
  std::string_view fileAnalysis;  ///< before the log's name at the top of the page

  // The summary table.
  std::string_view summaryCaption;
  std::string_view date;
  std::string_view map;
  std::string_view ctWins;
  std::string_view terroristWins;
  std::string_view start;
  std::string_view end;
  std::string_view gameTime;
  std::string_view unknownMap;  ///< the map cell when the log named no map

  // The battle table.
  std::string_view battleCaption;
  std::string_view killsByCts;
  std::string_view killsByTerrorists;

  // The player kill table and its legend.
  std::string_view killsCaption;
  std::string_view killer;
  std::string_view number;
  std::string_view kills;
  std::string_view deaths;
  std::string_view easyPrey;
  std::string_view worstEnemy;
  std::string_view favouriteWeapon;
  std::string_view deathsRow;
  std::string_view legendCt;
  std::string_view legendTerrorist;
  std::string_view legendManiac;

  // The weapons table.
  std::string_view weaponsCaption;
  std::string_view weapon;
  std::string_view total;

  // Only the site's UTF-8 page has a title and a way back to the index.
  std::string_view pageTitle;
  std::string_view backToIndex;
};

/// The match page's texts in `language` (Russian: the fixed report's own).
const ReportTexts& reportTexts(SiteLanguage language);

/// Every member of ReportTexts, for going over a table's texts whole.
std::span<std::string_view ReportTexts::* const> reportTextMembers();

}  // namespace fragtally
