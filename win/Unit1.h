#pragma once

// The program's main window, Form1: a large button that starts a run, and the
// two file dialogs of the run; its system menu opens the folder run window.
// Only the window code includes <windows.h>.

#include <windows.h>

#include <exception>
#include <memory>
#include <string_view>

#include "win/file_dialogs.h"
#include "win/folder_run_window.h"
#include "win/scoped_win.h"

namespace fragtally {

class MatchStats;

/// A push button that shows a picture instead of a caption.
struct PictureButton {
  HWND handle = nullptr;
  ScopedGdiObject<HBITMAP> picture;
};

/// The main window's class: a thin owner of the HWND, its button and dialogs.
class TForm1 {
 public:
  TForm1();
  ~TForm1();
  TForm1(const TForm1&) = delete;
  TForm1& operator=(const TForm1&) = delete;

  /// Creates the window at its designed place and size and shows it. Throws
  /// Error when the window cannot be created.
  void create(HINSTANCE instance, int showCommand);

  /// One run: asks for a log, interprets it into a new record, asks where the
  /// report goes and writes it. A cancel in either dialog ends the run; an
  /// error ends it with a message box. Nothing of one run reaches the next.
  void SpeedButton1Click();

  /// The keys of the program's windows that are not plain input: Ctrl+L in the
  /// main window, Tab, Enter and Esc in the folder run window. True when
  /// `message` was used for that and must not be dispatched.
  bool translateKeys(MSG& message);

  /// Throws again, once, an exception that a message handler could not let
  /// through the system's code; the message loop calls it after each message.
  void rethrowPendingException();

 private:
  class RunScope;

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void onCreate();
  void openFolderRun();
  void onDpiChanged(UINT dpi, const RECT& suggested);
  void applyDpi();
  void layOutButton();
  int scaled(int designed) const;

  PictureButton SpeedButton1;
  FileDialog OpenDialog1;
  FileDialog SaveDialog1;
  // The current run's record; empty between runs.
  std::unique_ptr<MatchStats> stats_;
  // Set for the whole run: the dialogs and the message box pump messages, so a
  // second click could otherwise start a run inside the first.
  bool running_ = false;

  // Made with the window; a run of it still going is cancelled and waited for
  // when the program ends.
  std::unique_ptr<FolderRunWindow> folderRun_;
  HACCEL accelerators_ = nullptr;

  HINSTANCE instance_ = nullptr;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  ScopedGdiObject<HFONT> font_;
  std::exception_ptr pendingException_;
};

/// Shows a message (bytes: UTF-8, or Windows-1251 when not valid UTF-8) in the
/// program's error box: the application's title, an error icon and OK.
void showErrorBox(HWND owner, std::string_view message);

}  // namespace fragtally
