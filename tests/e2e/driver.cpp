// Drives fragtally.exe through its window as a user would, for the end-to-end
// suite under wine (and on Windows).
//
//   fragtally_e2e_driver --version-check EXE
//       prints the icon, button picture, manifest and version resources of EXE.
//   fragtally_e2e_driver EXE STEP...
//       starts EXE, performs the steps in order, then closes the window and
//       waits for the program to end. Steps:
//         click          press the button
//         open PATH      in the open dialog: type PATH, press OK
//         open-cancel    press Cancel in the open dialog
//         save NAME      in the save dialog: type NAME, press OK
//         save-cancel    press Cancel in the save dialog
//         message        wait for the error box, print its caption and text, press OK
//         idle           wait until the run has ended, with no box or dialog open
//         folder         open the folder run window from the system menu
//         logs PATH      in the folder run window: type PATH as the logs folder
//         site PATH      in the folder run window: type PATH as the output folder
//         start          press Start in the folder run window
//         folder-cancel  once the run has done a log (or ended), press Cancel
//         folder-wait    wait until the folder run has ended, print its counts
//                        and its index line
//         folder-close   press Close in the folder run window; it hides
//
// Every line printed is UTF-8. Every wait has a time limit, so a window that
// never comes fails the test instead of hanging it. Exit status: 0 when every
// step was done, 1 otherwise.

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "win/scoped_win.h"
#include "win/win_text.h"
#include "resources/resource.h"

namespace fragtally {
namespace {

constexpr DWORD kWaitLimitMs = 20000;
// A folder run of many logs under wine on a busy machine takes its time.
constexpr DWORD kFolderRunLimitMs = 300000;
constexpr DWORD kPollMs = 50;
constexpr wchar_t kMainClass[] = L"TForm1";
constexpr wchar_t kMainTitle[] = L"Fragtally_Statistica";
constexpr wchar_t kDialogClass[] = L"#32770";
constexpr wchar_t kFolderRunClass[] = L"TFolderRunForm";
// The file name box of the common file dialogs: cmb13 (an editable combo box)
// in the explorer style, edt1 in older ones.
constexpr int kFileNameComboId = 0x47C;
constexpr int kFileNameEditId = 0x480;
// The text of a message box is a static control with this id.
constexpr int kMessageTextId = 0xFFFF;

class StepFailed {
 public:
  explicit StepFailed(std::string why) : why_(std::move(why)) {}
  const std::string& why() const { return why_; }

 private:
  std::string why_;
};

void say(std::string_view line) {
  std::string text(line);
  text += '\n';
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::wstring classOf(HWND window) {
  wchar_t name[256] = {};
  const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
  return std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// Texts of another thread's windows go through a message with a time limit,
// so a hung program cannot hang the driver.
std::wstring textOf(HWND window) {
  std::vector<wchar_t> text(32768, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_BLOCK,
                           kWaitLimitMs, &copied)) {
    throw StepFailed("no answer to WM_GETTEXT");
  }
  return std::wstring(text.data(), copied);
}

void setText(HWND window, const std::wstring& text) {
  DWORD_PTR ignored = 0;
  if (!SendMessageTimeoutW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_BLOCK, kWaitLimitMs,
                           &ignored)) {
    throw StepFailed("no answer to WM_SETTEXT");
  }
}

// True when the window's thread takes messages again (a modal loop counts).
bool answers(HWND window) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, kWaitLimitMs, &ignored) != 0;
}

HWND descendantWithId(HWND parent, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM context) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(context);
        if (GetDlgCtrlID(child) != s.id) return TRUE;
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> visibleDialogsOf(DWORD threadId) {
  std::vector<HWND> dialogs;
  EnumThreadWindows(
      threadId,
      [](HWND window, LPARAM context) -> BOOL {
        if (IsWindowVisible(window) && classOf(window) == kDialogClass) {
          reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

HWND fileNameBox(HWND dialog) {
  if (HWND combo = descendantWithId(dialog, kFileNameComboId)) {
    if (HWND edit = FindWindowExW(combo, nullptr, L"Edit", nullptr)) return edit;
    // A ComboBoxEx holds a combo box that holds the edit.
    if (HWND inner = FindWindowExW(combo, nullptr, L"ComboBox", nullptr)) {
      if (HWND edit = FindWindowExW(inner, nullptr, L"Edit", nullptr)) return edit;
    }
    return combo;
  }
  return descendantWithId(dialog, kFileNameEditId);
}

bool isMessageBox(HWND dialog) { return descendantWithId(dialog, kMessageTextId) != nullptr; }

std::string messageBoxText(HWND box) {
  return utf8FromWide(textOf(box)) + ": " + utf8FromWide(textOf(descendantWithId(box, kMessageTextId)));
}

template <typename Condition>
bool waitFor(Condition condition, DWORD limitMs = kWaitLimitMs) {
  const ULONGLONG end = GetTickCount64() + limitMs;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= end) return false;
    Sleep(kPollMs);
  }
}

class App {
 public:
  explicit App(const std::wstring& exe) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
      throw StepFailed("cannot start " + utf8FromWide(exe) + ": " + systemErrorText(GetLastError()));
    }
    process_.reset(started.hProcess);
    UniqueHandle thread(started.hThread);
    processId_ = started.dwProcessId;
    // The window can be found while it is still being created: wait until it
    // is shown with its button and its thread takes messages.
    const bool up = waitFor([&] {
      main_ = findMainWindow();
      if (main_ == nullptr || !IsWindowVisible(main_)) return false;
      button_ = FindWindowExW(main_, nullptr, L"Button", nullptr);
      return button_ != nullptr && answers(main_);
    });
    if (!up) throw StepFailed("timed out waiting for the main window with its button");
    threadId_ = GetWindowThreadProcessId(main_, nullptr);
    say("window: " + utf8FromWide(textOf(main_)));
    say("layout: " + layout());
  }

  ~App() {
    if (process_.isValid() && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
      TerminateProcess(process_.get(), 99);
      WaitForSingleObject(process_.get(), kWaitLimitMs);
    }
  }
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  void click() {
    if (!PostMessageW(button_, BM_CLICK, 0, 0)) throw StepFailed("cannot post BM_CLICK");
  }

  void fileDialog(const char* which, const std::optional<std::wstring>& typed) {
    const HWND dialog = waitForDialog(which);
    const HWND box = fileNameBox(dialog);
    if (box == nullptr) throw StepFailed(std::string(which) + " dialog has no file name box");
    say(std::string(which) + " dialog: " + utf8FromWide(textOf(dialog)) + ", file name: \"" +
        utf8FromWide(textOf(box)) + "\"");
    if (typed) {
      setText(box, *typed);
      if (textOf(box) != *typed) throw StepFailed("the file name box did not take the text");
      press(dialog, IDOK);
    } else {
      press(dialog, IDCANCEL);
    }
    if (!waitFor([&] { return !IsWindow(dialog); })) {
      throw StepFailed(std::string("timed out waiting for the ") + which + " dialog to close" + openWindows());
    }
  }

  void message() {
    const HWND box = waitForDialog("message");
    say("message: " + messageBoxText(box));
    press(box, IDOK);
    if (!waitFor([&] { return !IsWindow(box); })) throw StepFailed("timed out waiting for the box to close");
  }

  void idle() {
    // While the report is written the window's thread takes no message; a
    // box or dialog open after that means the run did not end cleanly.
    if (!waitFor([&] { return answers(main_) && visibleDialogsOf(threadId_).empty() && IsWindowEnabled(main_); })) {
      throw StepFailed("timed out waiting for the run to end" + openWindows());
    }
  }

  void openFolderRun() {
    // What the system menu's item sends.
    if (!PostMessageW(main_, WM_SYSCOMMAND, IDM_FOLDER_RUN, 0)) throw StepFailed("cannot post WM_SYSCOMMAND");
    if (!waitFor([&] {
          folder_ = visibleWindowOf(kFolderRunClass);
          return folder_ != nullptr && answers(folder_);
        })) {
      throw StepFailed("timed out waiting for the folder run window" + openWindows());
    }
    say("folder window: " + utf8FromWide(textOf(folder_)) + ", " + utf8FromWide(textOf(folderItem(IDOK))) + ", " +
        utf8FromWide(textOf(folderItem(IDCANCEL))));
  }

  void typeFolder(int id, const std::wstring& path) {
    const HWND box = folderItem(id);
    setText(box, path);
    if (textOf(box) != path) throw StepFailed("the folder box did not take the text");
  }

  void startFolderRun() { press(folderWindow(), IDOK); }

  void cancelFolderRun() {
    // The counts read "N из M" while the run goes; the first log done, or the
    // run's end, is the moment to press Cancel.
    const bool ready = waitFor(
        [&] {
          const std::wstring counts = textOf(folderItem(IDC_RUN_COUNTS));
          return (!counts.empty() && counts[0] >= L'1' && counts[0] <= L'9') || folderRunEnded();
        },
        kFolderRunLimitMs);
    if (!ready) throw StepFailed("timed out waiting for the folder run to do a log" + openWindows());
    press(folderWindow(), IDCANCEL);
  }

  void waitForFolderRun() {
    if (!waitFor([&] { return folderRunEnded(); }, kFolderRunLimitMs)) {
      throw StepFailed("timed out waiting for the folder run to end" + openWindows());
    }
    say("folder run: " + utf8FromWide(textOf(folderItem(IDC_RUN_COUNTS))));
    say("index: " + utf8FromWide(textOf(folderItem(IDC_RUN_INDEX))));
  }

  void closeFolderRun() {
    const HWND window = folderWindow();
    press(window, IDCANCEL);
    if (!waitFor([&] { return !IsWindowVisible(window); })) {
      throw StepFailed("timed out waiting for the folder run window to hide" + openWindows());
    }
  }

  void close() {
    PostMessageW(main_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.get(), kWaitLimitMs) != WAIT_OBJECT_0) {
      throw StepFailed("timed out waiting for the program to end" + openWindows());
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(process_.get(), &exitCode);
    say("exit: " + std::to_string(exitCode));
  }

 private:
  HWND findMainWindow() const {
    struct Search {
      DWORD processId;
      HWND found;
    } search{processId_, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(context);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          wchar_t title[64] = {};
          GetWindowTextW(window, title, static_cast<int>(std::size(title)));
          if (owner != s.processId || classOf(window) != kMainClass || std::wstring_view(title) != kMainTitle) {
            return TRUE;
          }
          s.found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  HWND folderWindow() const {
    if (folder_ == nullptr) throw StepFailed("the folder run window was not opened");
    return folder_;
  }

  HWND folderItem(int id) const {
    const HWND item = GetDlgItem(folderWindow(), id);
    if (item == nullptr) throw StepFailed("the folder run window has no control " + std::to_string(id));
    return item;
  }

  // Ended: Start can be pressed again and the counts say how the run ended.
  bool folderRunEnded() const {
    const std::wstring counts = textOf(folderItem(IDC_RUN_COUNTS));
    return IsWindowEnabled(folderItem(IDOK)) &&
           (counts.starts_with(L"Готово") || counts.starts_with(L"Отменено"));
  }

  HWND visibleWindowOf(const wchar_t* className) const {
    struct Search {
      const wchar_t* className;
      HWND found;
    } search{className, nullptr};
    EnumThreadWindows(
        threadId_,
        [](HWND window, LPARAM context) -> BOOL {
          auto& s = *reinterpret_cast<Search*>(context);
          if (!IsWindowVisible(window) || classOf(window) != s.className) return TRUE;
          s.found = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
  }

  // Where the window and its button are, in pixels, and what frame the window
  // has: "at 490,271, client 104x161, button 8,8 91x146, ...".
  std::string layout() const {
    RECT window{}, client{}, button{};
    GetWindowRect(main_, &window);
    GetClientRect(main_, &client);
    GetWindowRect(button_, &button);
    MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&button), 2);
    auto size = [](const RECT& r) { return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top); };
    std::string text = "at " + std::to_string(window.left) + "," + std::to_string(window.top) + ", client " +
                       size(client) + ", button " + std::to_string(button.left) + "," + std::to_string(button.top) +
                       " " + size(button);

    const auto style = static_cast<DWORD>(GetWindowLongPtrW(main_, GWL_STYLE));
    const std::pair<DWORD, const char*> parts[] = {{WS_CAPTION, "caption"},
                                                   {WS_SYSMENU, "system menu"},
                                                   {WS_MINIMIZEBOX, "minimise box"},
                                                   {WS_MAXIMIZEBOX, "maximise box"},
                                                   {WS_THICKFRAME, "sizing frame"}};
    for (const auto& [flag, name] : parts) {
      if ((style & flag) == flag) text += std::string(", ") + name;
    }
    DWORD_PTR picture = 0;
    SendMessageTimeoutW(button_, BM_GETIMAGE, IMAGE_BITMAP, 0, SMTO_BLOCK, kWaitLimitMs, &picture);
    if (picture != 0) text += ", button picture";
    return text;
  }

  // The dialog asked for, once it is up and takes messages. A message box in
  // its place fails the step with the box's text.
  HWND waitForDialog(const char* which) {
    const bool wantBox = std::string_view(which) == "message";
    HWND found = nullptr;
    const bool up = waitFor([&] {
      for (HWND dialog : visibleDialogsOf(threadId_)) {
        if (!wantBox || isMessageBox(dialog)) {
          found = dialog;
          return true;
        }
      }
      return false;
    });
    if (!up) throw StepFailed(std::string("timed out waiting for the ") + which + " dialog" + openWindows());
    if (isMessageBox(found) != wantBox) throw StepFailed("a message box instead: " + messageBoxText(found));
    if (!answers(found)) throw StepFailed(std::string("the ") + which + " dialog does not answer");
    return found;
  }

  void press(HWND dialog, int button) {
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                      reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)))) {
      throw StepFailed("cannot post WM_COMMAND");
    }
  }

  std::string openWindows() const {
    std::string list;
    for (HWND dialog : visibleDialogsOf(threadId_)) {
      list += isMessageBox(dialog) ? "; open box: " + messageBoxText(dialog)
                                   : "; open dialog: " + utf8FromWide(textOf(dialog));
    }
    return list;
  }

  UniqueHandle process_;
  DWORD processId_ = 0;
  DWORD threadId_ = 0;
  HWND main_ = nullptr;
  HWND button_ = nullptr;
  HWND folder_ = nullptr;
};

int runSteps(const std::wstring& exe, const std::vector<std::wstring>& steps) {
  App app(exe);
  for (std::size_t i = 0; i < steps.size(); ++i) {
    const std::wstring& step = steps[i];
    auto argument = [&]() -> std::wstring {
      if (i + 1 == steps.size()) throw StepFailed(utf8FromWide(step) + " needs a value");
      return steps[++i];
    };
    if (step == L"click") {
      app.click();
    } else if (step == L"open") {
      app.fileDialog("open", argument());
    } else if (step == L"open-cancel") {
      app.fileDialog("open", std::nullopt);
    } else if (step == L"save") {
      app.fileDialog("save", argument());
    } else if (step == L"save-cancel") {
      app.fileDialog("save", std::nullopt);
    } else if (step == L"message") {
      app.message();
    } else if (step == L"idle") {
      app.idle();
    } else if (step == L"folder") {
      app.openFolderRun();
    } else if (step == L"logs") {
      app.typeFolder(IDC_LOGS_FOLDER, argument());
    } else if (step == L"site") {
      app.typeFolder(IDC_SITE_FOLDER, argument());
    } else if (step == L"start") {
      app.startFolderRun();
    } else if (step == L"folder-cancel") {
      app.cancelFolderRun();
    } else if (step == L"folder-wait") {
      app.waitForFolderRun();
    } else if (step == L"folder-close") {
      app.closeFolderRun();
    } else {
      throw StepFailed("unknown step " + utf8FromWide(step));
    }
  }
  app.close();
  return 0;
}

std::optional<std::wstring> versionString(const std::vector<char>& info, const wchar_t* block,
                                          const wchar_t* name) {
  const std::wstring path = std::wstring(L"\\StringFileInfo\\") + block + L"\\" + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), path.c_str(), &value, &length) || value == nullptr) return std::nullopt;
  // The length counts the ending null when there is one.
  std::wstring_view text(static_cast<const wchar_t*>(value), length);
  while (!text.empty() && text.back() == L'\0') text.remove_suffix(1);
  return std::wstring(text);
}

std::string versionNumber(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." + std::to_string(HIWORD(low)) +
         "." + std::to_string(LOWORD(low));
}

std::string hex4(unsigned value) {
  char text[8];
  std::snprintf(text, std::size(text), "%04X", value & 0xFFFFu);
  return text;
}

int versionCheck(const std::wstring& exe) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  if (size == 0) throw StepFailed("no version information: " + systemErrorText(GetLastError()));
  std::vector<char> info(size);
  if (!GetFileVersionInfoW(exe.c_str(), 0, size, info.data())) throw StepFailed("cannot read the version");

  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
    throw StepFailed("no fixed version information");
  }
  const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
  say("file version: " + versionNumber(fixed.dwFileVersionMS, fixed.dwFileVersionLS));
  say("product version: " + versionNumber(fixed.dwProductVersionMS, fixed.dwProductVersionLS));

  if (!VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4) {
    throw StepFailed("no translation");
  }
  const auto* translation = static_cast<const WORD*>(value);
  say("language: " + hex4(translation[0]) + ", code page: " + std::to_string(translation[1]));

  const std::wstring block = wideFromUtf8(hex4(translation[0]) + hex4(translation[1]));
  for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"InternalName", L"LegalCopyright",
                              L"LegalTrademarks", L"OriginalFilename", L"ProductName", L"ProductVersion",
                              L"Comments"}) {
    const std::optional<std::wstring> text = versionString(info, block.c_str(), name);
    say(utf8FromWide(name) + (text ? " = \"" + utf8FromWide(*text) + "\"" : std::string(" missing")));
  }
  return 0;
}

// The program's resources, read from its file as data.
class ResourceFile {
 public:
  explicit ResourceFile(const std::wstring& exe)
      : module_(LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
    if (module_ == nullptr) throw StepFailed("cannot load the resources: " + systemErrorText(GetLastError()));
  }
  ~ResourceFile() { FreeLibrary(module_); }
  ResourceFile(const ResourceFile&) = delete;
  ResourceFile& operator=(const ResourceFile&) = delete;

  std::string_view bytes(const wchar_t* type, const wchar_t* name) const {
    const HRSRC found = FindResourceW(module_, name, type);
    if (found == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module_, found);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) return {};
    return {static_cast<const char*>(data), SizeofResource(module_, found)};
  }

 private:
  HMODULE module_;
};

// "WxH, N bits per pixel" of a bitmap header; an icon image stores twice its height.
std::string imageText(std::string_view bytes, int heightDivisor) {
  if (bytes.size() < sizeof(BITMAPINFOHEADER)) return "missing";
  BITMAPINFOHEADER header;
  std::memcpy(&header, bytes.data(), sizeof header);
  return std::to_string(header.biWidth) + "x" + std::to_string(header.biHeight / heightDivisor) + ", " +
         std::to_string(header.biBitCount) + " bits per pixel";
}

void resourceCheck(const std::wstring& exe) {
  const ResourceFile resources(exe);
  // The icon group names its images; the first one is the icon.
  const std::string_view group = resources.bytes(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_FRAGTALLY));
  constexpr std::size_t kGroupHeader = 6, kEntrySize = 14, kIdOffset = 12;
  std::string icon = "missing";
  if (group.size() >= kGroupHeader + kEntrySize) {
    WORD id = 0;
    std::memcpy(&id, group.data() + kGroupHeader + kIdOffset, sizeof id);
    icon = imageText(resources.bytes(RT_ICON, MAKEINTRESOURCEW(id)), 2);
  }
  say("icon: " + icon);
  say("button picture: " + imageText(resources.bytes(RT_BITMAP, MAKEINTRESOURCEW(IDB_SPEEDBUTTON1)), 1));

  const std::string_view manifest = resources.bytes(RT_MANIFEST, MAKEINTRESOURCEW(1));
  std::string seen;
  for (const char* part : {"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "asInvoker",
                           "<dpiAwareness", "PerMonitorV2", "<dpiAware", "true/pm", "supportedOS"}) {
    if (manifest.find(part) != std::string_view::npos) seen += std::string(seen.empty() ? "" : ", ") + part;
  }
  say("manifest: " + (manifest.empty() ? std::string("missing") : seen));
}

int run() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (arguments == nullptr) throw StepFailed("cannot read the command line");
  std::vector<std::wstring> args(arguments + 1, arguments + count);
  LocalFree(arguments);
  if (args.size() == 2 && args[0] == L"--version-check") {
    resourceCheck(args[1]);
    return versionCheck(args[1]);
  }
  if (args.empty() || args[0].starts_with(L"--")) {
    say("usage: fragtally_e2e_driver --version-check EXE | EXE STEP...");
    return 2;
  }
  return runSteps(args[0], std::vector<std::wstring>(args.begin() + 1, args.end()));
}

}  // namespace
}  // namespace fragtally

int main() {
  // A crash of the driver must fail the test, not wait for a click on a box.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  try {
    return fragtally::run();
  } catch (const fragtally::StepFailed& failure) {
    fragtally::say("FAILED: " + failure.why());
  }
  return 1;
}
