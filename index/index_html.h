#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fragtally {

/// Appends UTF-8 text as HTML character data or attribute value: & < > " '
/// become references, control characters the replacement character.
void appendHtmlText(std::string& page, std::string_view text);

/// Appends a count with its thousands set apart by no-break spaces ("12 345").
void appendGroupedCount(std::string& page, std::int64_t count);

/// Appends a game length as hours, minutes and seconds: "0:40:12" ("-0:00:05"
/// for the negative length of a strange log).
void appendGameLength(std::string& page, std::int64_t seconds);

/// Appends kills per death with two decimals and a decimal comma ("1,25");
/// "-" when there is no death (or a negative figure).
void appendKillsPerDeath(std::string& page, std::int64_t kills, std::int64_t deaths);

}  // namespace fragtally
