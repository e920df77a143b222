#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "report/page_text.h"

namespace fragtally {

/// The report page being built: lines of Windows-1251 bytes, each ended by
/// CR LF, the last one included.
class ReportLines {
 public:
  ReportLines() = default;
  /// Room for about `bytes` bytes, so that a page of known size is not
  /// copied over as it grows.
  explicit ReportLines(std::size_t bytes) { page_.reserve(bytes); }

  /// Appends fixed bytes to the current line.
  ReportLines& raw(std::string_view bytes) {
    page_ += bytes;
    return *this;
  }
  /// Appends a text from the log or the user, converted and escaped.
  ReportLines& text(std::string_view fromLog) {
    appendPageText(page_, fromLog);
    return *this;
  }
  /// Ends the current line.
  void end() {
    page_ += "\r\n";
    ++count_;
  }
  /// A whole line of fixed bytes.
  void line(std::string_view bytes) { raw(bytes).end(); }

  const std::string& bytes() const { return page_; }
  /// The page, taken out whole.
  std::string take() && { return std::move(page_); }
  int lineCount() const { return count_; }

 private:
  std::string page_;
  int count_ = 0;
};

/// Decimal digits with a leading "-" when negative ("0", "125", "-3").
std::string decimalText(std::int32_t value);
/// decimalText, but "-" for 0.
std::string countText(std::int32_t count);
/// The quoted colour of a team tag: red for "TERRORIST", blue for "CT", magenta
/// for any other tag; compared whole and case-sensitively.
std::string_view teamColour(std::string_view tag);

}  // namespace fragtally
