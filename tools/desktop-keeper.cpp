// desktop-keeper.exe MARKER: keeps the desktop of a Wine session open while the session lasts.
//
// wineserver closes a desktop one second after the last program on it has ended, and its
// explorer quits. A program that starts in that second may still open the closing desktop and
// then lose its windows with it: a dialog that ends at once, and every later window creation in
// that program failing. This program holds one hidden window, so the desktop always has a user;
// it also spares every program of the session the start of a new explorer. It creates the file
// MARKER once its window exists, and runs until the session kills it.

#include <windows.h>

namespace {

constexpr int CREATE_ATTEMPTS = 100;
constexpr DWORD RETRY_INTERVAL = 100;

LRESULT CALLBACK KeeperProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
    if (AMessage == WM_CLOSE) {
        return 0;
    }
    return DefWindowProcW(Window, AMessage, WParam, LParam);
}

// The desktop may be closing or its explorer still starting while this program starts: it tries
// again until a window stands.
HWND CreateKeeperWindow(HINSTANCE Instance) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = KeeperProc;
    windowClass.hInstance = Instance;
    windowClass.lpszClassName = L"YieldoraDesktopKeeper";
    RegisterClassW(&windowClass);
    for (int attempt = 0; attempt < CREATE_ATTEMPTS; ++attempt) {
        if (HWND window =
                CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 0,
                                0, nullptr, nullptr, Instance, nullptr)) {
            return window;
        }
        Sleep(RETRY_INTERVAL);
    }
    return nullptr;
}

} // namespace

int WINAPI wWinMain(HINSTANCE Instance, HINSTANCE, PWSTR CommandLine, int) {
    if (CreateKeeperWindow(Instance) == nullptr) {
        return 1;
    }
    const HANDLE marker = CreateFileW(CommandLine, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker != INVALID_HANDLE_VALUE) {
        CloseHandle(marker);
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        DispatchMessageW(&message);
    }
    return 0;
}
