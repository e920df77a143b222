#include "players/players_file.h"

#include <cstddef>
#include <vector>

#include "analysis/auth_id.h"
#include "base/error.h"
#include "base/file.h"

namespace fragtally {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool allDigits(std::string_view text) {
  if (text.empty()) return false;
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < '0' || static_cast<unsigned char>(c) > '9') return false;
  }
  return true;
}

/// Digits separated by ':' in exactly `parts` runs.
bool digitRuns(std::string_view text, int parts) {
  int found = 0;
  while (true) {
    const std::size_t colon = text.find(':');
    if (!allDigits(text.substr(0, colon))) return false;
    ++found;
    if (colon == std::string_view::npos) break;
    text.remove_prefix(colon + 1);
  }
  return found == parts;
}

/// Reads the lines of one file, with the place of the line being read for errors.
class LineReader {
 public:
  LineReader(std::string_view fileName, std::size_t lineNumber) : fileName_(fileName), lineNumber_(lineNumber) {}

  [[noreturn]] void fail(std::string_view what) const {
    throw Error(std::string(fileName_) + ":" + std::to_string(lineNumber_) + ": " + std::string(what));
  }

  /// The next token of `rest`, quoted or not; rest keeps what follows. Empty
  /// when the line has no more.
  std::string token(std::string_view& rest) const {
    rest = trimmed(rest);
    std::string token;
    if (rest.empty()) return token;
    if (rest.front() != '"') {
      std::size_t end = 0;
      while (end < rest.size() && !isBlank(rest[end])) ++end;
      token = std::string(rest.substr(0, end));
      rest.remove_prefix(end);
      return token;
    }
    for (std::size_t at = 1; at < rest.size(); ++at) {
      const char c = rest[at];
      if (c == '"') {
        rest.remove_prefix(at + 1);
        if (!rest.empty() && !isBlank(rest.front())) fail("a blank is needed after a quoted key");
        if (token.empty()) fail("an empty quoted key");
        return token;
      }
      if (c == '\\' && at + 1 < rest.size() && (rest[at + 1] == '"' || rest[at + 1] == '\\')) ++at;
      token.push_back(rest[at]);
    }
    fail("a quote is not closed");
  }

  /// The key a token names, in the identity's own spelling.
  std::string key(const std::string& token) const {
    const std::string account = accountKeyOf(token);
    if (!account.empty()) return account;
    if (token.starts_with("steam:") && digitRuns(std::string_view(token).substr(6), 2)) return token;
    if (token.starts_with("valve:") && digitRuns(std::string_view(token).substr(6), 3)) return token;
    if ((token.starts_with("name:") && token.size() > 5) || (token.starts_with("bot:") && token.size() > 4)) {
      return token;
    }
    fail("'" + token + "' is not a player key (steam:Y:Z, valve:X:Y:Z, name:NAME or bot:NAME)");
  }

  [[nodiscard]] std::size_t lineNumber() const { return lineNumber_; }

 private:
  std::string_view fileName_;
  std::size_t lineNumber_;
};

/// The merge groups, each known by its key met first in the file.
class MergeGroups {
 public:
  std::string personOf(const std::string& key) const {
    std::string person = key;
    for (auto found = parent_.find(person); found != parent_.end() && found->second != person;
         found = parent_.find(person)) {
      person = found->second;
    }
    return person;
  }

  void merge(const std::string& a, const std::string& b) {
    note(a);
    note(b);
    const std::string rootA = personOf(a);
    const std::string rootB = personOf(b);
    if (rootA == rootB) return;
    if (order_.at(rootA) < order_.at(rootB)) {
      parent_[rootB] = rootA;
    } else {
      parent_[rootA] = rootB;
    }
  }

  [[nodiscard]] const std::map<std::string, std::string>& keys() const { return parent_; }

 private:
  void note(const std::string& key) {
    if (order_.emplace(key, order_.size()).second) parent_.emplace(key, key);
  }

  std::map<std::string, std::string> parent_;
  std::map<std::string, std::size_t> order_;
};

struct KeyedLine {
  std::string key;
  std::string shownName;
  std::size_t lineNumber = 0;
};

}  // namespace

const std::string& PlayersFile::personOf(const std::string& key) const {
  const auto found = mergedInto.find(key);
  return found == mergedInto.end() ? key : found->second;
}

bool PlayersFile::isHidden(const std::string& key) const { return hidden.contains(personOf(key)); }

const std::string* PlayersFile::shownNameOf(const std::string& key) const {
  const auto found = shownNames.find(personOf(key));
  return found == shownNames.end() ? nullptr : &found->second;
}

PlayersFile readPlayersFile(std::string_view text, std::string_view fileName) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  MergeGroups groups;
  std::vector<KeyedLine> hides;
  std::vector<KeyedLine> names;
  std::size_t lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    line = trimmed(line);
    if (line.empty() || line.front() == '#') continue;
    const LineReader reader(fileName, lineNumber);
    const std::string directive = reader.token(line);
    if (directive == "merge") {
      std::vector<std::string> keys;
      for (std::string token = reader.token(line); !token.empty(); token = reader.token(line)) {
        keys.push_back(reader.key(token));
      }
      if (keys.size() < 2) reader.fail("merge needs two keys or more");
      for (std::size_t at = 1; at < keys.size(); ++at) groups.merge(keys.front(), keys[at]);
    } else if (directive == "hide") {
      const std::string token = reader.token(line);
      if (token.empty()) reader.fail("hide needs a key");
      const std::string key = reader.key(token);
      if (!trimmed(line).empty()) reader.fail("hide takes one key");
      hides.push_back(KeyedLine{key, {}, lineNumber});
    } else if (directive == "name") {
      const std::string token = reader.token(line);
      if (token.empty()) reader.fail("name needs a key and a shown name");
      const std::string key = reader.key(token);
      const std::string_view shown = trimmed(line);
      if (shown.empty()) reader.fail("name needs a shown name after the key");
      names.push_back(KeyedLine{key, std::string(shown), lineNumber});
    } else {
      reader.fail("'" + directive + "' is not a directive (merge, hide or name)");
    }
  }
  PlayersFile file;
  for (const auto& [key, parent] : groups.keys()) {
    const std::string person = groups.personOf(key);
    if (person != key) file.mergedInto.emplace(key, person);
  }
  for (const KeyedLine& hide : hides) file.hidden.insert(file.personOf(hide.key));
  std::map<std::string, std::size_t> namedOn;
  for (const KeyedLine& name : names) {
    const std::string& person = file.personOf(name.key);
    const auto [earlier, isNew] = namedOn.emplace(person, name.lineNumber);
    if (!isNew) {
      LineReader(fileName, name.lineNumber)
          .fail("a second name for " + person + " (line " + std::to_string(earlier->second) + " gave one)");
    }
    file.shownNames.emplace(person, name.shownName);
  }
  return file;
}

PlayersFile loadPlayersFile(const std::filesystem::path& folder) {
  const std::filesystem::path path = folder / kPlayersFileName;
  const std::string shownPath = utf8FromPath(path);
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) return {};
  if (error || status.type() != std::filesystem::file_type::regular) throw cannotOpenFile(shownPath);
  File file = File::openForReading(path);
  if (!file.isOpen()) throw cannotOpenFile(shownPath);
  std::string text;
  char buffer[16384];
  while (const std::size_t got = file.read(buffer, sizeof buffer)) {
    if (text.size() + got > kMaxPlayersFileBytes) throw cannotOpenFile(shownPath);
    text.append(buffer, got);
  }
  if (file.failed()) throw cannotOpenFile(shownPath);
  return readPlayersFile(text, shownPath);
}

}  // namespace fragtally
