#include "win/file_dialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <charconv>
#include <iterator>
#include <vector>

#include "base/error.h"

namespace fragtally {
namespace {

// Long enough for any path Windows accepts (\\?\ paths up to 32767 characters).
constexpr std::size_t kPathCapacity = 32768;

Error dialogFailed(DWORD code) {
  char digits[16];
  const auto end = std::to_chars(std::begin(digits), std::end(digits), code, 16).ptr;
  return Error("The file dialog failed (error 0x" + std::string(std::begin(digits), end) + ")");
}

}  // namespace

FileDialog::FileDialog(const Setup& setup)
    : kind_(setup.kind),
      filter_(setup.filter),
      defaultExtension_(setup.defaultExtension),
      fileName_(setup.fileName) {}

std::optional<std::wstring> FileDialog::execute(HWND owner) {
  std::vector<wchar_t> path(kPathCapacity, L'\0');
  fileName_.copy(path.data(), std::min(fileName_.size(), path.size() - 1));

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  // filter_ ends with the last pattern's L'\0'; c_str() adds the second one
  // that ends the list.
  dialog.lpstrFilter = filter_.c_str();
  dialog.nFilterIndex = filterIndex_;
  dialog.lpstrFile = path.data();
  dialog.nMaxFile = static_cast<DWORD>(std::size(path));
  dialog.lpstrInitialDir = L".";
  dialog.lpstrDefExt = defaultExtension_.empty() ? nullptr : defaultExtension_.c_str();
  // Without OFN_NOCHANGEDIR a confirmed choice makes its folder the current
  // one, so "." opens each dialog where the last choice was made. The open
  // dialog lets any name through (a missing file is reported when it is read)
  // and the save dialog replaces a file without asking.
  dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;

  const BOOL chosen = kind_ == Kind::open ? GetOpenFileNameW(&dialog) : GetSaveFileNameW(&dialog);
  if (!chosen) {
    // FALSE is also the answer to a cancel; only an extended error code tells
    // a failure apart.
    if (const DWORD code = CommDlgExtendedError(); code != 0) throw dialogFailed(code);
    return std::nullopt;
  }
  fileName_ = path.data();
  filterIndex_ = dialog.nFilterIndex;
  // Windows leaves the chosen file's folder as the current one; wine does not
  // when a full path is typed. Setting it here makes "." mean the same on both.
  if (dialog.nFileOffset > 0 && dialog.nFileOffset < fileName_.size()) {
    SetCurrentDirectoryW(fileName_.substr(0, dialog.nFileOffset).c_str());
  }
  return fileName_;
}

}  // namespace fragtally
