#include "record/record_head.h"

#include <nlohmann/json.hpp>

#include "base/file.h"
#include "record/record_format.h"

namespace fragtally {
namespace {

// A head is written first in every record; this much always holds it.
constexpr std::size_t kHeadBytes = 64 * 1024;

// Takes the top-level "format", "version", "generator" and the "log" object, and stops the
// parse when the first field after "log" begins: everything else is skipped.
class HeadReader : public nlohmann::json_sax<nlohmann::json> {
 public:
  RecordHead head;
  bool formatSeen = false;
  bool logSeen = false;

  bool null() override { return value(); }
  bool boolean(bool) override { return value(); }
  bool number_integer(number_integer_t n) override { return n >= 0 ? unsignedValue(static_cast<std::uint64_t>(n)) : value(); }
  bool number_unsigned(number_unsigned_t n) override { return unsignedValue(n); }
  bool number_float(number_float_t, const string_t&) override { return value(); }
  bool string(string_t& text) override {
    if (depth_ == 1 && key_ == "format") formatSeen = text == kRecordFormat;
    if (depth_ == 1 && key_ == "generator") head.generator = text;
    if (depth_ == 2 && inLog_ && key_ == "path") head.logPath = text;
    if (depth_ == 2 && inLog_ && key_ == "modified") head.logModified = text;
    return value();
  }
  bool binary(binary_t&) override { return value(); }
  bool start_object(std::size_t) override {
    inLog_ = depth_ == 1 && key_ == "log";
    ++depth_;
    return true;
  }
  bool key(string_t& name) override {
    key_ = name;
    // The first field behind the log's object: the head is complete.
    return !(depth_ == 1 && logSeen);
  }
  bool end_object() override {
    --depth_;
    if (depth_ == 1 && inLog_) {
      inLog_ = false;
      logSeen = true;
    }
    return true;
  }
  bool start_array(std::size_t) override {
    ++depth_;
    return true;
  }
  bool end_array() override {
    --depth_;
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override { return false; }

 private:
  bool value() { return true; }
  bool unsignedValue(std::uint64_t n) {
    if (depth_ == 1 && key_ == "version") head.version = n <= 1000 ? static_cast<int>(n) : 0;
    if (depth_ == 2 && inLog_ && key_ == "bytes") head.logBytes = n;
    if (depth_ == 2 && inLog_ && key_ == "modified_nanoseconds") {
      // Out of range: a time no file has, so the record never describes the log.
      head.logModifiedNanoseconds = n < 1000000000 ? static_cast<std::uint32_t>(n) : UINT32_MAX;
    }
    return true;
  }

  int depth_ = 0;
  bool inLog_ = false;
  std::string key_;
};

}  // namespace

std::optional<RecordHead> parseRecordHead(std::string_view json) {
  HeadReader reader;
  nlohmann::json::sax_parse(json.begin(), json.end(), &reader, nlohmann::detail::input_format_t::json, false);
  if (!reader.formatSeen || !reader.logSeen) return std::nullopt;
  return reader.head;
}

std::optional<RecordHead> readRecordHead(const std::filesystem::path& file) {
  std::optional<RecordHead> head;
  readFileStart(file, kHeadBytes, [&](std::string_view start) {
    head = parseRecordHead(start);
    return head.has_value();
  });
  return head;
}

}  // namespace fragtally
