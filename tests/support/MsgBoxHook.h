#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// A message box as it looked when it came up.
struct TMsgBoxRecord {
    std::wstring Caption;
    std::wstring Text;
    HWND Owner = nullptr;
    // The icon shown; compare with LoadIconW(nullptr, IDI_...).
    HICON Icon = nullptr;
    // Ids of the box's buttons (IDOK, IDCANCEL, IDYES, ...) in the box's order.
    std::vector<int> Buttons;
    // The button the hook pressed; 0 when the asked-for button was missing and the box was ended
    // without one.
    int Pressed = 0;
};

// Records and answers the message boxes that the constructing thread shows while the object lives,
// through a WH_CBT hook of that thread: when a box is activated, it is recorded, OnShow runs, and
// the hook posts a click to the next queued button, or to the box's first button when the queue is
// empty. Dialogs that are not message boxes are left alone.
class TMsgBoxHook {
public:
    TMsgBoxHook();
    TMsgBoxHook(const TMsgBoxHook&) = delete;
    TMsgBoxHook& operator=(const TMsgBoxHook&) = delete;
    ~TMsgBoxHook();

    // The button (IDOK, IDCANCEL, IDYES, IDNO, ...) that answers the next unanswered box.
    void QueueAnswer(int ButtonId);

    const std::vector<TMsgBoxRecord>& Boxes() const { return FBoxes; }

    // Runs when a box has been recorded, before it is answered.
    std::function<void(const TMsgBoxRecord& Box)> OnShow;

private:
    struct THookDeleter {
        void operator()(HHOOK Hook) const noexcept { UnhookWindowsHookEx(Hook); }
    };
    using THookHandle = std::unique_ptr<std::remove_pointer_t<HHOOK>, THookDeleter>;

    static LRESULT CALLBACK CbtProc(int Code, WPARAM WParam, LPARAM LParam);
    void Activated(HWND Box);

    THookHandle FHook;
    TMsgBoxHook* FPrevious;
    std::vector<int> FAnswers;
    std::vector<TMsgBoxRecord> FBoxes;
    std::vector<HWND> FAnswered;
};

// True for a message box: a dialog window run by the system's own message-box procedure.
bool IsMessageBoxWindow(HWND Window);
