#pragma once

#include "UkyClasses.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Sent to the owner window just before a modal box or dialog comes up and just after it has gone,
// both parameters 0.
constexpr UINT MSG_MODAL_BEGIN = WM_APP + 300;
constexpr UINT MSG_MODAL_END = WM_APP + 301;

// The application's main window: the owner of message boxes, of the clipboard and of dialogs
// without an owner. Null until the application names one, and again once that window has been
// destroyed (the framework's window and dialog procedures see it go).
HWND MainWindowHandle();
void SetMainWindowHandle(HWND Window);

// Opens the clipboard for Owner, as OpenClipboard does, waiting up to half a second while another
// window holds it: a clipboard manager (Wine's own, the system's history) opens it for a moment
// whenever its contents change. False when it stays held.
bool OpenClipboardWhenFree(HWND Owner);

// Puts Unicode text on the clipboard.
class TkyClipboard : public TObject {
public:
    // Opens the clipboard for the main window of the moment.
    TkyClipboard() = default;
    // Opens the clipboard for AOwnerWindow.
    explicit TkyClipboard(HWND AOwnerWindow) : FOwnerWindow(AOwnerWindow), FFixedOwner(true) {}

    HWND OwnerWindow() const { return FFixedOwner ? FOwnerWindow : MainWindowHandle(); }

    // Replaces the clipboard's contents by Text as CF_UNICODETEXT. False, with the clipboard left
    // as it was, when the clipboard cannot be opened (another window holds it) or the memory for
    // the text cannot be had.
    bool SetText(const std::wstring& Text);

private:
    HWND FOwnerWindow = nullptr;
    bool FFixedOwner = false;
};

// The process's clipboard object; it opens the clipboard for whatever window is the main window
// when it does.
TkyClipboard& Clipboard();

// Kinds of message box: icon, buttons and default caption.
constexpr std::uint8_t MSGBOX_WARNING = 0;
constexpr std::uint8_t MSGBOX_ALERT = 1;
constexpr std::uint8_t MSGBOX_INFORMATION = 2;
constexpr std::uint8_t MSGBOX_OK_CANCEL = 3;
constexpr std::uint8_t MSGBOX_YES_NO = 4;
constexpr std::uint8_t MSGBOX_YES_NO_CANCEL = 5;
constexpr std::uint8_t MSGBOX_ERROR = 6;

// Answers of ShowMessageBox.
constexpr std::uint8_t MSGBOX_RESULT_OK = 0;
constexpr std::uint8_t MSGBOX_RESULT_CANCEL = 1;
constexpr std::uint8_t MSGBOX_RESULT_YES = 2;
constexpr std::uint8_t MSGBOX_RESULT_NO = 3;

// Shows Text in a modal message box of the given kind, captioned Caption or, when that is empty,
// the kind's own caption. The box's owner is the main window's enabled pop-up (a visible, enabled
// window of the WS_POPUP style that the main window owns, such as a dialog it runs), else the main
// window itself; owned windows of another style (a tool window beside it) are passed over. The
// owner gets MSG_MODAL_BEGIN before and MSG_MODAL_END after the box. Answers which button closed
// the box; MSGBOX_RESULT_NO also when no box could be shown.
std::uint8_t ShowMessageBox(const std::wstring& Text, std::uint8_t Kind,
                            const std::wstring& Caption);
// The same box owned by Owner, whatever other windows are open; a null Owner chooses as above.
std::uint8_t ShowMessageBox(HWND Owner, const std::wstring& Text, std::uint8_t Kind,
                            const std::wstring& Caption);
