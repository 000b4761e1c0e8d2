#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <type_traits>
#include <vector>

// A message as it was sent to a window.
struct TSentMessage {
    HWND Window = nullptr;
    UINT Message = 0;
    WPARAM WParam = 0;
    LPARAM LParam = 0;
};

// Records the messages sent to the windows of the constructing thread while the object lives,
// through a WH_CALLWNDPROC hook of that thread.
class TMessageRecorder {
public:
    TMessageRecorder();
    TMessageRecorder(const TMessageRecorder&) = delete;
    TMessageRecorder& operator=(const TMessageRecorder&) = delete;
    ~TMessageRecorder();

    // The recorded messages of Message sent to Window, in order.
    std::vector<TSentMessage> Sent(HWND Window, UINT Message) const;
    void Clear() { FSent.clear(); }

    // Runs for every recorded message before the window gets it, while pointers in its
    // parameters are still valid.
    std::function<void(const TSentMessage& Sent)> OnSent;

private:
    struct THookDeleter {
        void operator()(HHOOK Hook) const noexcept { UnhookWindowsHookEx(Hook); }
    };
    using THookHandle = std::unique_ptr<std::remove_pointer_t<HHOOK>, THookDeleter>;

    static LRESULT CALLBACK CallWndProc(int Code, WPARAM WParam, LPARAM LParam);

    THookHandle FHook;
    TMessageRecorder* FPrevious;
    std::vector<TSentMessage> FSent;
};
