#include "MessageRecorder.h"

namespace {

thread_local TMessageRecorder* ActiveRecorder = nullptr;

} // namespace

TMessageRecorder::TMessageRecorder()
    : FHook(SetWindowsHookExW(WH_CALLWNDPROC, CallWndProc, nullptr, GetCurrentThreadId())),
      FPrevious(ActiveRecorder) {
    ActiveRecorder = this;
}

TMessageRecorder::~TMessageRecorder() {
    ActiveRecorder = FPrevious;
}

std::vector<TSentMessage> TMessageRecorder::Sent(HWND Window, UINT Message) const {
    std::vector<TSentMessage> found;
    for (const TSentMessage& sent : FSent) {
        if (sent.Window == Window && sent.Message == Message) {
            found.push_back(sent);
        }
    }
    return found;
}

LRESULT CALLBACK TMessageRecorder::CallWndProc(int Code, WPARAM WParam, LPARAM LParam) {
    if (Code == HC_ACTION && ActiveRecorder != nullptr) {
        const auto* message = reinterpret_cast<const CWPSTRUCT*>(LParam);
        const TSentMessage sent{message->hwnd, message->message, message->wParam, message->lParam};
        ActiveRecorder->FSent.push_back(sent);
        if (ActiveRecorder->OnSent) {
            ActiveRecorder->OnSent(sent);
        }
    }
    return CallNextHookEx(nullptr, Code, WParam, LParam);
}
