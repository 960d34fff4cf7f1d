// Process entry: one instance per logon, COM and common controls, the hidden
// search window and the message loop.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "app/main_dlg.h"
#include "app/texts.h"
#include "win/com_scope.h"
#include "win/dll_search.h"
#include "win/message_loop.h"
#include "win/named_mutex.h"

namespace {

// The command line is ignored; the window starts with `showCommand`.
int Run(LPSTR /*commandLine*/, int showCommand) {
    lumenvik::win::CMessageLoop loop;
    auto window = std::make_unique<lumenvik::CMainDlg>();
    if (window->Create(nullptr) == nullptr) return 0;
    // The template is visible and the initialisation shows the window
    // topmost: this is what leaves the program hidden.
    ::ShowWindow(window->m_hWnd, showCommand);
    // A bad entry among the settings file's search modes, and options that
    // cannot be used, are told now, with the window hidden.
    window->reportSearchModeProblems();
    window->reportOptionProblems();

    const int result = loop.Run();
    window.reset();
    return result;
}

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR commandLine,
                   int /*show*/) {
    lumenvik::win::loadDllsFromSystemFolderOnly();
    const lumenvik::win::NamedMutex running("__XXX__QuarvelDlg__XX__");
    if (running.alreadyExisted()) {
        ::MessageBoxW(nullptr, lumenvik::loadText(IDS_ALREADY_RUNNING_TEXT).c_str(),
                      lumenvik::loadText(IDS_ALREADY_RUNNING_CAPTION).c_str(), MB_OK);
        return 0;
    }

    const lumenvik::win::ComScope com;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES;
    // Ignored: without the bar classes the program's own dialogs still work.
    ::InitCommonControlsEx(&controls);

    return Run(commandLine, SW_HIDE);  // COM is uninitialised, then the mutex closed
}
