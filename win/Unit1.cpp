#include "win/Unit1.h"

#include <algorithm>
#include <string>
#include <utility>

#include "analysis/analysis.h"
#include "win/win_text.h"
#include "base/error.h"
#include "report/write_report.h"
#include "resource.h"
#include "stats/match_stats.h"

namespace fragtally {
namespace {

using namespace std::string_view_literals;

constexpr wchar_t kClassName[] = L"TForm1";
constexpr wchar_t kTitle[] = L"Fragtally_Statistica";

// A fixed single border: caption, system menu and minimise, no sizing frame
// and no maximise.
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kExStyle = 0;

// The window as designed, in pixels at 96 dpi.
constexpr int kDesignDpi = 96;
constexpr int kLeft = 490;
constexpr int kTop = 271;
constexpr int kClientWidth = 104;
constexpr int kClientHeight = 161;
constexpr int kButtonLeft = 8;
constexpr int kButtonTop = 8;
constexpr int kButtonWidth = 91;
constexpr int kButtonHeight = 146;
constexpr int kButtonRightMargin = kClientWidth - kButtonLeft - kButtonWidth;
constexpr int kButtonBottomMargin = kClientHeight - kButtonTop - kButtonHeight;
constexpr int kPictureWidth = 64;
constexpr int kPictureHeight = 128;
constexpr int kFontHeight = -11;
constexpr wchar_t kFontName[] = L"MS Sans Serif";

// Functions of Windows 10 1607 and later, looked up so that the program still
// starts on older systems, which then get the system-wide dpi.
using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <typename Function>
Function user32Function(const char* name) {
  const HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

UINT dpiOf(HWND window) {
  static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
  if (getDpiForWindow != nullptr) {
    if (const UINT dpi = getDpiForWindow(window); dpi != 0) return dpi;
  }
  const ScopedWindowDc screen(nullptr);
  const int dpi = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
  return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

// The outer size of a window with the given client size.
SIZE windowSizeFor(int clientWidth, int clientHeight, UINT dpi) {
  static const auto adjustForDpi = user32Function<AdjustWindowRectExForDpiFunction>("AdjustWindowRectExForDpi");
  RECT frame{0, 0, clientWidth, clientHeight};
  if (adjustForDpi == nullptr || !adjustForDpi(&frame, kStyle, FALSE, kExStyle, dpi)) {
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
  }
  return {frame.right - frame.left, frame.bottom - frame.top};
}

Error win32Failure(std::string_view what) {
  const DWORD code = GetLastError();
  return Error(std::string(what) + " failed: " + systemErrorText(code));
}

}  // namespace

// Marks a run as going for its whole length and releases its record on every
// way out, an error included.
class TForm1::RunScope {
 public:
  explicit RunScope(TForm1& form) : form_(form) { form_.running_ = true; }
  ~RunScope() {
    form_.stats_.reset();
    form_.running_ = false;
  }
  RunScope(const RunScope&) = delete;
  RunScope& operator=(const RunScope&) = delete;

 private:
  TForm1& form_;
};

TForm1::TForm1()
    : OpenDialog1({FileDialog::Kind::open, L"log-файл\0*.log\0Все файлы\0*.*\0"sv, L""sv, L""sv}),
      SaveDialog1({FileDialog::Kind::save, L"Htm-файл\0*.htm\0"sv, L"htm"sv, L"result"sv}) {}

TForm1::~TForm1() {
  if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
  if (hwnd_ != nullptr) {
    // Still open when an error ends the program: the window must not reach
    // this object any more while it goes.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void TForm1::create(HINSTANCE instance, int showCommand) {
  instance_ = instance;
  folderRun_ = std::make_unique<FolderRunWindow>(instance, openInDefaultBrowser);
  ACCEL folderRunKey{FCONTROL | FVIRTKEY, 'L', IDM_FOLDER_RUN};
  accelerators_ = CreateAcceleratorTableW(&folderRunKey, 1);

  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_FRAGTALLY));
  windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_FRAGTALLY), IMAGE_ICON,
                                                      GetSystemMetrics(SM_CXSMICON),
                                                      GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  windowClass.lpszClassName = kClassName;
  if (RegisterClassExW(&windowClass) == 0) throw win32Failure("RegisterClassExW");

  // The size is made right for the window's dpi in WM_CREATE.
  const SIZE size = windowSizeFor(kClientWidth, kClientHeight, kDesignDpi);
  const HWND window = CreateWindowExW(kExStyle, kClassName, kTitle, kStyle, kLeft, kTop, size.cx, size.cy,
                                      nullptr, nullptr, instance, this);
  rethrowPendingException();
  if (window == nullptr) throw win32Failure("CreateWindowExW");
  ShowWindow(window, showCommand);
  UpdateWindow(window);
}

void TForm1::SpeedButton1Click() {
  if (running_) return;
  const RunScope run(*this);
  try {
    stats_ = std::make_unique<MatchStats>();
    const std::optional<std::wstring> logPath = OpenDialog1.execute(hwnd_);
    if (!logPath) return;
    analyseLogFile(*stats_, utf8FromWide(*logPath));
    const std::optional<std::wstring> reportPath = SaveDialog1.execute(hwnd_);
    if (!reportPath) return;
    writeReport(*stats_, utf8FromWide(*reportPath));
  } catch (const Error& error) {
    showErrorBox(hwnd_, userMessage(error.what()));
  } catch (const std::exception& error) {
    showErrorBox(hwnd_, userMessage(error.what()));
  }
}

bool TForm1::translateKeys(MSG& message) {
  if (hwnd_ == nullptr) return false;
  if (accelerators_ != nullptr && (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd)) &&
      TranslateAcceleratorW(hwnd_, accelerators_, &message)) {
    return true;
  }
  return folderRun_ && folderRun_->translateDialogKeys(message);
}

void TForm1::openFolderRun() {
  if (folderRun_) folderRun_->show(hwnd_, dpi_);
}

void TForm1::rethrowPendingException() {
  if (pendingException_) std::rethrow_exception(std::exchange(pendingException_, nullptr));
}

LRESULT CALLBACK TForm1::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  TForm1* form = nullptr;
  if (message == WM_NCCREATE) {
    form = static_cast<TForm1*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    form->hwnd_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  } else {
    form = reinterpret_cast<TForm1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (form == nullptr) return DefWindowProcW(window, message, wParam, lParam);

  // A C++ exception must not unwind through the system's frames: it is kept
  // and thrown again from create() or the message loop.
  try {
    return form->handleMessage(message, wParam, lParam);
  } catch (...) {
    form->pendingException_ = std::current_exception();
    return message == WM_CREATE ? -1 : 0;
  }
}

LRESULT TForm1::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      onCreate();
      return 0;
    case WM_GETMINMAXINFO: {
      // The system's smallest window is wider than this one: without this the
      // client area would not keep its designed width.
      const SIZE size = windowSizeFor(scaled(kClientWidth), scaled(kClientHeight), dpi_);
      reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = {size.cx, size.cy};
      return 0;
    }
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) layOutButton();
      return 0;
    case WM_DPICHANGED:
      onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_SPEEDBUTTON1 && HIWORD(wParam) == BN_CLICKED) {
        SpeedButton1Click();
        return 0;
      }
      if (LOWORD(wParam) == IDM_FOLDER_RUN) {
        openFolderRun();
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      // The low four bits of a system command are the system's.
      if ((wParam & 0xFFF0) == IDM_FOLDER_RUN) {
        openFolderRun();
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_NCDESTROY: {
      const HWND window = std::exchange(hwnd_, nullptr);
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      SpeedButton1.handle = nullptr;
      return DefWindowProcW(window, message, wParam, lParam);
    }
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void TForm1::onCreate() {
  dpi_ = dpiOf(hwnd_);
  SpeedButton1.handle = CreateWindowExW(
      0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP | BS_CENTER | BS_VCENTER,
      kButtonLeft, kButtonTop, kButtonWidth, kButtonHeight, hwnd_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SPEEDBUTTON1)), instance_, nullptr);
  if (SpeedButton1.handle == nullptr) throw win32Failure("CreateWindowExW");
  // The folder run's way in, below the system's own items.
  if (const HMENU systemMenu = GetSystemMenu(hwnd_, FALSE)) {
    AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(systemMenu, MF_STRING, IDM_FOLDER_RUN, L"Папка логов в сайт…\tCtrl+L");
  }
  applyDpi();
  const SIZE size = windowSizeFor(scaled(kClientWidth), scaled(kClientHeight), dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  layOutButton();
}

void TForm1::onDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  applyDpi();
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
               suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  layOutButton();
}

// The font and the picture at the window's dpi. Each new object is handed to
// the button before the old one is deleted.
void TForm1::applyDpi() {
  ScopedGdiObject<HFONT> font(CreateFontW(scaled(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                          DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                          DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, kFontName));
  SendMessageW(SpeedButton1.handle, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
  font_ = std::move(font);

  ScopedGdiObject<HBITMAP> picture(static_cast<HBITMAP>(
      LoadImageW(instance_, MAKEINTRESOURCEW(IDB_SPEEDBUTTON1), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
  if (picture && dpi_ != kDesignDpi) {
    // CopyImage stretches a bitmap to the size asked for.
    ScopedGdiObject<HBITMAP> stretched(static_cast<HBITMAP>(
        CopyImage(picture.get(), IMAGE_BITMAP, scaled(kPictureWidth), scaled(kPictureHeight), 0)));
    if (stretched) picture = std::move(stretched);
  }
  SendMessageW(SpeedButton1.handle, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture.get()));
  SpeedButton1.picture = std::move(picture);
}

// The button is anchored to all four sides: it keeps its designed margins
// whatever the client size.
void TForm1::layOutButton() {
  if (SpeedButton1.handle == nullptr) return;
  RECT client{};
  GetClientRect(hwnd_, &client);
  const int left = scaled(kButtonLeft);
  const int top = scaled(kButtonTop);
  const int right = client.right - scaled(kButtonRightMargin);
  const int bottom = client.bottom - scaled(kButtonBottomMargin);
  MoveWindow(SpeedButton1.handle, left, top, std::max(0, right - left), std::max(0, bottom - top), TRUE);
}

int TForm1::scaled(int designed) const { return MulDiv(designed, static_cast<int>(dpi_), kDesignDpi); }

void showErrorBox(HWND owner, std::string_view message) {
  MessageBoxW(owner, wideFromMessage(message).c_str(), kTitle, MB_OK | MB_ICONERROR);
}

}  // namespace fragtally
