#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fragtally {

/// Writes compact JSON text straight into a string, value after value, with
/// no tree built first: a batch of thousands of records spends its time on
/// the logs, not on the records. The caller nests objects and arrays properly
/// (a key before each member of an object); commas are placed here. Texts
/// must be UTF-8 already; they are escaped as JSON requires.
class JsonText {
 public:
  explicit JsonText(std::string& out) : out_(out) {}

  JsonText& beginObject() { return open('{'); }
  JsonText& endObject() { return close('}'); }
  JsonText& beginArray() { return open('['); }
  JsonText& endArray() { return close(']'); }

  /// The name of the next member of the object being written.
  JsonText& key(std::string_view name);
  JsonText& text(std::string_view utf8);
  JsonText& number(std::int64_t value);
  JsonText& null();
  JsonText& boolean(bool value);
  /// The same as key and text, for a text already quoted by appendJsonString:
  /// a name written many times is escaped once.
  JsonText& quotedKey(std::string_view quoted);
  JsonText& quotedText(std::string_view quoted);

 private:
  JsonText& open(char bracket);
  JsonText& close(char bracket);
  void separate();

  std::string& out_;
  bool first_ = true;        // no value yet at this depth
  bool afterKey_ = false;    // the value of a member comes next
};

/// Appends `utf8` as a JSON string, quotes included.
void appendJsonString(std::string& out, std::string_view utf8);

}  // namespace fragtally
