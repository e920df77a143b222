#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace fragtally {

/// A file-open or file-save dialog of the window (GetOpenFileNameW or
/// GetSaveFileNameW). Between runs it keeps the last confirmed file name and
/// filter choice, so the next time it opens where the user left it; a
/// cancelled dialog keeps what it had.
class FileDialog {
 public:
  enum class Kind { open, save };

  struct Setup {
    Kind kind;
    /// Label and pattern pairs, each part ended by L'\0' ("Text\0*.txt\0").
    std::wstring_view filter;
    /// Appended when the user types a name without an extension; empty: none.
    std::wstring_view defaultExtension;
    /// The name offered the first time.
    std::wstring_view fileName;
  };

  explicit FileDialog(const Setup& setup);

  /// Shows the dialog modally over `owner`. Returns the chosen full path, or
  /// nothing when the user cancelled. Throws Error when the dialog fails.
  std::optional<std::wstring> execute(HWND owner);

 private:
  Kind kind_;
  std::wstring filter_;
  std::wstring defaultExtension_;
  std::wstring fileName_;
  DWORD filterIndex_ = 1;
};

}  // namespace fragtally
