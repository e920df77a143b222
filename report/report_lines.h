#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "report/page_text.h"

namespace fragtally {

/// How a page writes the texts of the log: the fixed report in Windows-1251,
/// the site's version of it in another language in UTF-8.
enum class PageEncoding { Windows1251, Utf8 };

/// The report page being built: lines in the page's encoding, each ended by
/// CR LF, the last one included.
class ReportLines {
 public:
  explicit ReportLines(PageEncoding encoding = PageEncoding::Windows1251) : encoding_(encoding) {}
  /// Room for about `bytes` bytes, so that a page of known size is not
  /// copied over as it grows.
  ReportLines(PageEncoding encoding, std::size_t bytes) : encoding_(encoding) { page_.reserve(bytes); }

  /// Appends fixed bytes to the current line.
  ReportLines& raw(std::string_view bytes) {
    page_ += bytes;
    return *this;
  }
  /// Appends a text from the log or the user, converted to the page's
  /// encoding and escaped.
  ReportLines& text(std::string_view fromLog) {
    if (encoding_ == PageEncoding::Windows1251) {
      appendPageText(page_, fromLog);
    } else {
      appendUtf8PageText(page_, fromLog);
    }
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
  PageEncoding encoding_;
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
