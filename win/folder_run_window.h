#pragma once

// The folder run's own window, opened from the main window's system menu: a
// logs folder and an output folder, Start, the run's progress with a Cancel,
// then the index page opened and the failures listed.

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "win/scoped_win.h"

namespace fragtally {

/// Opens a written index page (its full path) for the user; false when
/// nothing could open it. The program's opener is the system's: the page's
/// default program, which is the browser.
using IndexOpener = std::function<bool(const std::wstring& indexPage)>;

/// Opens the page with ShellExecuteW("open").
bool openInDefaultBrowser(const std::wstring& indexPage);

/// The window and the run behind it. The run goes on a worker thread that
/// posts its counts and its end to the window, so that both of the program's
/// windows keep answering while it goes. Cancel stops the run after the logs
/// being written: every file in the output folder is whole. Closing the
/// window hides it; its folders are kept for the next time.
class FolderRunWindow {
 public:
  FolderRunWindow(HINSTANCE instance, IndexOpener openIndex);
  /// A run still going is cancelled and waited for: the logs being written
  /// are finished.
  ~FolderRunWindow();
  FolderRunWindow(const FolderRunWindow&) = delete;
  FolderRunWindow& operator=(const FolderRunWindow&) = delete;

  /// Shows the window over `owner` (created the first time, laid out for
  /// `dpi`) and brings it to the front. Throws Error when it cannot be created.
  void show(HWND owner, UINT dpi);

  /// Tab, Enter and Esc among the window's controls; true when `message` was
  /// used for that and must not be dispatched.
  bool translateDialogKeys(MSG& message);

 private:
  struct Run;

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void create(HWND owner, UINT dpi);
  HWND addControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, int left, int top,
                  int width, int height);
  void browse(int editId, const wchar_t* title);
  void start();
  void cancel();
  void showProgress(std::size_t done, std::size_t logs);
  void finish();
  void setRunning(bool running);
  std::wstring textOf(int id) const;
  void setText(int id, const std::wstring& text);
  int scaled(int designed) const;

  HINSTANCE instance_;
  IndexOpener openIndex_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  ScopedGdiObject<HFONT> font_;
  std::unique_ptr<Run> run_;  // the run going; null between runs
  std::thread worker_;
};

}  // namespace fragtally
