// The program's entry: the window and its message loop. WinMain rather than
// wWinMain, which would need -municode; the program takes no command line.

#include <windows.h>
#include <commctrl.h>

#include "win/Unit1.h"
#include "base/error.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  try {
    // The manifest asks for common controls 6; this loads them for the button
    // and the folder run window's progress bar.
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);

    fragtally::TForm1 Form1;
    Form1.create(instance, showCommand);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
      if (Form1.translateKeys(message)) continue;
      TranslateMessage(&message);
      DispatchMessageW(&message);
      Form1.rethrowPendingException();
    }
  } catch (const fragtally::Error& error) {
    fragtally::showErrorBox(nullptr, fragtally::userMessage(error.what()));
  } catch (...) {
    // Anything else is shown as an error without words.
    fragtally::showErrorBox(nullptr, "");
  }
  return 0;
}
