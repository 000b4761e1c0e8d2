#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

// A message box that a remote program showed.
struct TRemoteBox {
    std::wstring Caption;
    std::wstring Text;
};

// Starts yieldora.exe as a separate process and drives its main dialog with window messages, the
// way a user's clicks would reach it. Every wait is bounded: a step that does not happen in time
// raises std::runtime_error.
class TYieldoraRemote {
public:
    // Starts Program with its own folder as the current directory and waits for its dialog.
    explicit TYieldoraRemote(const std::wstring& Program);
    TYieldoraRemote(const TYieldoraRemote&) = delete;
    TYieldoraRemote& operator=(const TYieldoraRemote&) = delete;
    // Ends the program by force when it is still running.
    ~TYieldoraRemote();

    HWND Dialog() const { return FDialog; }
    HWND Item(int Id) const;
    std::wstring ItemText(int Id) const;
    void SetItemText(int Id, const std::wstring& Text) const;
    bool ItemEnabled(int Id) const;
    // Rows in the result table.
    int RowCount() const;

    // Presses a button whose command shows no message box, and returns when it has been handled.
    void Press(int Id) const;
    // Presses a button whose command shows a message box; answers the box with OK and returns it
    // once the command has finished.
    TRemoteBox PressAndAnswer(int Id) const;
    // Presses a button that ends the program; answers its exit code.
    DWORD PressToExit(int Id);
    // Makes the dialog paint everything now.
    void Repaint() const;

private:
    struct THandleCloser {
        void operator()(HANDLE Handle) const noexcept { CloseHandle(Handle); }
    };
    using THandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, THandleCloser>;

    // The first visible top-level window of the program of the given window class and caption
    // (any caption when Caption is null).
    HWND FindProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const;
    HWND WaitForProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const;
    // Returns once the program's thread has handled everything sent before.
    void Sync() const;

    THandle FProcess;
    DWORD FProcessId = 0;
    HWND FDialog = nullptr;
};

// The Unicode text on the clipboard; empty when there is none.
std::wstring ReadClipboardText();

// The text as UTF-8.
std::string ToUtf8(const std::wstring& Text);
