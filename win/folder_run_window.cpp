#include "win/folder_run_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <exception>
#include <iterator>
#include <optional>
#include <utility>

#include "base/error.h"
#include "batch/folder_run.h"
#include "batch/pages_language.h"
#include "resource.h"
#include "win/Unit1.h"
#include "win/win_text.h"

namespace fragtally {
namespace {

constexpr wchar_t kClassName[] = L"TFolderRunForm";
constexpr wchar_t kTitle[] = L"Папка логов в сайт";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME;

// The worker's messages to the window: the counts (wParam logs done, lParam
// logs in all), the wait for another run's hold of the folder, and the run's end.
constexpr UINT kProgressMessage = WM_APP + 1;
constexpr UINT kFinishedMessage = WM_APP + 2;
constexpr UINT kWaitingMessage = WM_APP + 3;

// The window as designed, in pixels at 96 dpi.
constexpr int kDesignDpi = 96;
constexpr int kClientWidth = 380;
constexpr int kClientHeight = 218;
constexpr int kMargin = 10;
constexpr int kBrowseWidth = 84;
constexpr int kButtonHeight = 25;
constexpr int kEditHeight = 23;
constexpr int kLabelHeight = 17;

// Failures listed in the message at most; the rest are counted.
constexpr std::size_t kListedFailures = 15;

// What a run tells the window, kept for it by the worker: the failures as
// "log: message", and the result. The window reads them once it has joined
// the worker.
struct RunReport {
  std::vector<std::string> failures;
  FolderRunResult result;
  std::optional<std::string> error;  // the run could not be done at all
};

// The engine's events on the worker: the counts are posted to the window, the
// failures kept for the end.
class PostedEvents : public FolderRunEvents {
 public:
  PostedEvents(HWND window, RunReport& report) : window_(window), report_(report) {}

  void waitingForFolder(const std::string&) override { PostMessageW(window_, kWaitingMessage, 0, 0); }
  void inputProblem(const std::string& message) override { report_.failures.push_back(message); }
  void done(const LogOutcome& outcome) override {
    if (outcome.kind == LogOutcomeKind::failed) report_.failures.push_back(outcome.log + ": " + outcome.message);
  }
  void progress(const BatchCounts& counts) override {
    PostMessageW(window_, kProgressMessage, counts.done(), static_cast<LPARAM>(counts.logs));
  }

 private:
  HWND window_;
  RunReport& report_;
};

std::wstring countsText(std::size_t done, std::size_t logs) {
  return std::to_wstring(done) + L" из " + std::to_wstring(logs);
}

std::string failuresText(const RunReport& report) {
  std::string text = "Не удалось: " + std::to_string(report.failures.size()) + "\n";
  for (std::size_t i = 0; i < report.failures.size() && i < kListedFailures; ++i) {
    text += "\n" + report.failures[i];
  }
  if (report.failures.size() > kListedFailures) {
    text += "\n… и ещё " + std::to_string(report.failures.size() - kListedFailures);
  }
  // The index, or a picture that the folder's reports show, that could not be stored.
  for (const std::string& failure : report.result.indexFailures) text += "\n\n" + failure;
  return text;
}

// Starts the folder picker on the folder the edit box names.
int CALLBACK browseCallback(HWND dialog, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start != 0) SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, start);
  return 0;
}

Error win32Failure(std::string_view what) {
  return Error(std::string(what) + " failed: " + systemErrorText(GetLastError()));
}

}  // namespace

bool openInDefaultBrowser(const std::wstring& indexPage) {
  const HINSTANCE opened = ShellExecuteW(nullptr, L"open", indexPage.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  // Above 32 means it was opened; the rest are error codes.
  return reinterpret_cast<INT_PTR>(opened) > 32;
}

struct FolderRunWindow::Run {
  FolderRun settings;
  std::atomic<bool> cancel{false};
  RunReport report;
};

FolderRunWindow::FolderRunWindow(HINSTANCE instance, IndexOpener openIndex)
    : instance_(instance), openIndex_(std::move(openIndex)) {}

FolderRunWindow::~FolderRunWindow() {
  if (run_) run_->cancel = true;
  if (worker_.joinable()) worker_.join();
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void FolderRunWindow::show(HWND owner, UINT dpi) {
  if (hwnd_ == nullptr) create(owner, dpi);
  ShowWindow(hwnd_, SW_SHOW);
  SetForegroundWindow(hwnd_);
  if (!run_) SetFocus(GetDlgItem(hwnd_, IDC_LOGS_FOLDER));
}

bool FolderRunWindow::translateDialogKeys(MSG& message) {
  return hwnd_ != nullptr && IsWindowVisible(hwnd_) && IsDialogMessageW(hwnd_, &message);
}

void FolderRunWindow::create(HWND owner, UINT dpi) {
  dpi_ = dpi;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kClassName;
  if (RegisterClassExW(&windowClass) == 0) throw win32Failure("RegisterClassExW");

  RECT frame{0, 0, scaled(kClientWidth), scaled(kClientHeight)};
  AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  // Over the main window's top left corner, where the user is looking.
  RECT ownerRect{};
  GetWindowRect(owner, &ownerRect);
  const HWND window = CreateWindowExW(kExStyle, kClassName, kTitle, kStyle, ownerRect.left + scaled(24),
                                      ownerRect.top + scaled(24), frame.right - frame.left,
                                      frame.bottom - frame.top, owner, nullptr, instance_, this);
  if (window == nullptr) throw win32Failure("CreateWindowExW");

  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    font_.reset(CreateFontIndirectW(&metrics.lfMessageFont));
  }

  const int inner = kClientWidth - 2 * kMargin;
  const int editWidth = inner - kBrowseWidth - 6;
  const int browseLeft = kMargin + editWidth + 6;
  int top = kMargin;
  addControl(L"STATIC", L"Папка логов:", 0, -1, kMargin, top, inner, kLabelHeight);
  top += kLabelHeight + 2;
  addControl(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IDC_LOGS_FOLDER, kMargin, top, editWidth,
             kEditHeight);
  addControl(L"BUTTON", L"Обзор…", WS_TABSTOP | BS_PUSHBUTTON, IDC_LOGS_BROWSE, browseLeft, top - 1, kBrowseWidth,
             kButtonHeight);
  top += kEditHeight + 10;
  addControl(L"STATIC", L"Папка сайта:", 0, -1, kMargin, top, inner, kLabelHeight);
  top += kLabelHeight + 2;
  addControl(L"EDIT", L"", WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, IDC_SITE_FOLDER, kMargin, top, editWidth,
             kEditHeight);
  addControl(L"BUTTON", L"Обзор…", WS_TABSTOP | BS_PUSHBUTTON, IDC_SITE_BROWSE, browseLeft, top - 1, kBrowseWidth,
             kButtonHeight);
  top += kEditHeight + 14;
  addControl(PROGRESS_CLASSW, L"", 0, IDC_RUN_PROGRESS, kMargin, top, inner, 18);
  top += 18 + 6;
  addControl(L"STATIC", L"", SS_LEFTNOWORDWRAP, IDC_RUN_COUNTS, kMargin, top, inner, kLabelHeight);
  top += kLabelHeight + 2;
  addControl(L"STATIC", L"", SS_PATHELLIPSIS, IDC_RUN_INDEX, kMargin, top, inner, kLabelHeight);
  const int buttonsTop = kClientHeight - kMargin - kButtonHeight;
  addControl(L"BUTTON", L"Старт", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, kClientWidth - kMargin - 2 * 84 - 6,
             buttonsTop, 84, kButtonHeight);
  addControl(L"BUTTON", L"Закрыть", WS_TABSTOP | BS_PUSHBUTTON, IDCANCEL, kClientWidth - kMargin - 84, buttonsTop,
             84, kButtonHeight);
}

HWND FolderRunWindow::addControl(const wchar_t* className, const wchar_t* text, DWORD style, int id, int left,
                                 int top, int width, int height) {
  const HWND control = CreateWindowExW(
      std::wstring_view(className) == L"EDIT" ? WS_EX_CLIENTEDGE : 0, className, text, WS_CHILD | WS_VISIBLE | style,
      scaled(left), scaled(top), scaled(width), scaled(height), hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
  if (control == nullptr) throw win32Failure("CreateWindowExW");
  if (font_) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return control;
}

LRESULT CALLBACK FolderRunWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  FolderRunWindow* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<FolderRunWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<FolderRunWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  // No exception may unwind through the system's frames: what goes wrong in
  // a handler is shown here.
  try {
    return self->handleMessage(message, wParam, lParam);
  } catch (const std::exception& error) {
    showErrorBox(window, userMessage(error.what()));
  }
  return 0;
}

LRESULT FolderRunWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_LOGS_BROWSE:
          browse(IDC_LOGS_FOLDER, L"Папка логов");
          return 0;
        case IDC_SITE_BROWSE:
          browse(IDC_SITE_FOLDER, L"Папка сайта");
          return 0;
        case IDOK:
          start();
          return 0;
        case IDCANCEL:
          cancel();
          return 0;
      }
      break;
    case WM_CLOSE:
      cancel();
      return 0;
    case kProgressMessage:
      if (run_) showProgress(static_cast<std::size_t>(wParam), static_cast<std::size_t>(lParam));
      return 0;
    case kWaitingMessage:
      if (run_ && !run_->cancel) setText(IDC_RUN_COUNTS, L"Папку занял другой запуск, ждём…");
      return 0;
    case kFinishedMessage:
      finish();
      return 0;
    case WM_NCDESTROY: {
      // Gone with its owner: a run still going is left to the destructor.
      const HWND window = std::exchange(hwnd_, nullptr);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      return DefWindowProcW(window, message, wParam, lParam);
    }
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void FolderRunWindow::browse(int editId, const wchar_t* title) {
  const std::wstring current = textOf(editId);
  BROWSEINFOW info{};
  info.hwndOwner = hwnd_;
  info.lpszTitle = title;
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = browseCallback;
  info.lParam = current.empty() ? 0 : reinterpret_cast<LPARAM>(current.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (chosen == nullptr) return;  // cancelled
  wchar_t path[MAX_PATH] = {};
  const BOOL isPath = SHGetPathFromIDListW(chosen, path);
  CoTaskMemFree(chosen);
  if (isPath) setText(editId, path);
}

void FolderRunWindow::start() {
  if (run_) return;
  const std::wstring logs = textOf(IDC_LOGS_FOLDER);
  const std::wstring site = textOf(IDC_SITE_FOLDER);
  if (logs.empty() || site.empty()) {
    showErrorBox(hwnd_, logs.empty() ? "Укажите папку логов." : "Укажите папку сайта.");
    SetFocus(GetDlgItem(hwnd_, logs.empty() ? IDC_LOGS_FOLDER : IDC_SITE_FOLDER));
    return;
  }
  auto run = std::make_unique<Run>();
  run->settings.paths = {utf8FromWide(logs)};
  run->settings.folder = utf8FromWide(site);
  // The window has no language of its own: a site written in English by the
  // command line stays English, and a folder of any other state is Russian.
  run->settings.site.language =
      readPagesLanguage(std::filesystem::path(site)).value_or(SiteLanguage::Russian);
  run->settings.cancel = &run->cancel;
  Run& going = *run;
  const HWND window = hwnd_;
  // The worker touches only its Run, which outlives it: the window joins it
  // before the Run is released.
  worker_ = std::thread([&going, window] {
    PostedEvents events(window, going.report);
    try {
      going.report.result = runFolder(going.settings, events);
    } catch (const std::exception& error) {
      going.report.error = userMessage(error.what());
    }
    PostMessageW(window, kFinishedMessage, 0, 0);
  });
  run_ = std::move(run);
  setText(IDC_RUN_INDEX, L"");
  setText(IDC_RUN_COUNTS, L"Начато…");
  SendDlgItemMessageW(hwnd_, IDC_RUN_PROGRESS, PBM_SETPOS, 0, 0);
  setRunning(true);
}

// While a run goes: stops it after the logs being written. Between runs:
// hides the window.
void FolderRunWindow::cancel() {
  if (run_) {
    run_->cancel = true;
    EnableWindow(GetDlgItem(hwnd_, IDCANCEL), FALSE);
    setText(IDC_RUN_COUNTS, L"Отмена…");
    return;
  }
  ShowWindow(hwnd_, SW_HIDE);
  if (const HWND owner = GetWindow(hwnd_, GW_OWNER)) SetForegroundWindow(owner);
}

void FolderRunWindow::showProgress(std::size_t done, std::size_t logs) {
  const HWND bar = GetDlgItem(hwnd_, IDC_RUN_PROGRESS);
  SendMessageW(bar, PBM_SETRANGE32, 0, static_cast<LPARAM>(logs));
  SendMessageW(bar, PBM_SETPOS, done, 0);
  // Once Cancel is pressed the counts line says so until the run ends.
  if (run_ && !run_->cancel) setText(IDC_RUN_COUNTS, countsText(done, logs));
}

void FolderRunWindow::finish() {
  if (!run_) return;
  worker_.join();
  const std::unique_ptr<Run> run = std::move(run_);
  const RunReport& report = run->report;
  const BatchCounts& counts = report.result.counts;
  showProgress(counts.done(), counts.logs);

  // The index first, so that its line is there when the counts say the run
  // has ended.
  if (!report.error) {
    const std::wstring index = wideFromUtf8(run->settings.folder) + L"\\index.htm";
    const DWORD attributes = GetFileAttributesW(index.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
      const bool opened = openIndex_ && openIndex_(index);
      setText(IDC_RUN_INDEX, opened ? index : index + L" (не открылся)");
    }
  }
  setText(IDC_RUN_COUNTS, (report.result.cancelled ? L"Отменено: " : L"Готово: ") +
                              countsText(counts.done(), counts.logs));
  setRunning(false);

  if (report.error) {
    showErrorBox(hwnd_, *report.error);
  } else if (!report.failures.empty() || !report.result.indexFailures.empty()) {
    showErrorBox(hwnd_, failuresText(report));
  }
}

void FolderRunWindow::setRunning(bool running) {
  for (const int id : {IDC_LOGS_FOLDER, IDC_LOGS_BROWSE, IDC_SITE_FOLDER, IDC_SITE_BROWSE, IDOK}) {
    EnableWindow(GetDlgItem(hwnd_, id), !running);
  }
  const HWND cancelButton = GetDlgItem(hwnd_, IDCANCEL);
  SetWindowTextW(cancelButton, running ? L"Отмена" : L"Закрыть");
  EnableWindow(cancelButton, TRUE);
  SetFocus(running ? cancelButton : GetDlgItem(hwnd_, IDOK));
}

std::wstring FolderRunWindow::textOf(int id) const {
  const HWND control = GetDlgItem(hwnd_, id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

void FolderRunWindow::setText(int id, const std::wstring& text) { SetDlgItemTextW(hwnd_, id, text.c_str()); }

int FolderRunWindow::scaled(int designed) const { return MulDiv(designed, static_cast<int>(dpi_), kDesignDpi); }

}  // namespace fragtally
