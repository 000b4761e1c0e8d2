#include "UkyError.h"
#include "UkyTopWindow.h"
#include "UkyWinControl.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <optional>

namespace {

const TkyTopWindowKind PROBE_KIND{L"YieldoraTopProbe", L"Probe",  0,
                                  {200, 150},          {100, 80}, L"Probe"};
constexpr UINT PROBE_FAIL = WM_APP + 1;

// A window of the probe's kind: its one message of its own raises.
class TProbeWindow : public TkyTopWindow {
public:
    explicit TProbeWindow(HWND Owner) : TkyTopWindow(Owner, PROBE_KIND) {}

protected:
    POINT DefaultOrigin(const RECT& OwnerRect) const override {
        return {OwnerRect.left, OwnerRect.top};
    }
    void Paint(HDC, const RECT&) const override {}
    std::optional<LRESULT> Message(UINT AMessage, WPARAM, LPARAM) override {
        if (AMessage == PROBE_FAIL) {
            throw EkyError(L"probe failed");
        }
        return std::nullopt;
    }
};

class TopWindow : public testing::Test {
protected:
    void SetUp() override {
        Owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 10, 10, 300, 200,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(Owner, nullptr);
    }
    void TearDown() override { DestroyWindow(Owner); }

    HWND Owner = nullptr;
};

} // namespace

// Two windows of one kind share the class registered once, each is bound to its own object, and
// the close box hides a window that comes back as it was.
TEST_F(TopWindow, OneClassTwoBoundWindowsAndTheCloseBoxHides) {
    TProbeWindow first(Owner);
    TProbeWindow second(Owner);
    EXPECT_EQ(first.Handle(), nullptr);
    first.Show();
    second.Show();
    ASSERT_NE(first.Handle(), nullptr);
    ASSERT_NE(second.Handle(), nullptr);
    EXPECT_NE(first.Handle(), second.Handle());
    wchar_t name[64] = {};
    GetClassNameW(second.Handle(), name, 64);
    EXPECT_STREQ(name, L"YieldoraTopProbe");
    EXPECT_EQ(GetWindowLongPtrW(first.Handle(), GWLP_USERDATA), reinterpret_cast<LONG_PTR>(&first));
    EXPECT_EQ(GetWindow(first.Handle(), GW_OWNER), Owner);

    const HWND window = first.Handle();
    SendMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_FALSE(first.Visible());
    EXPECT_TRUE(second.Visible());
    first.Show();
    EXPECT_EQ(first.Handle(), window);
    EXPECT_TRUE(first.Visible());
}

// What a handler raises does not unwind through the system's frames: the message is answered
// and the error is kept for the modal loop that runs, which raises it again, once.
TEST_F(TopWindow, AHandlersErrorIsKeptAndRaisedByTheLoop) {
    TProbeWindow probe(Owner);
    probe.Show();
    THandlerErrors errors;
    EXPECT_EQ(SendMessageW(probe.Handle(), PROBE_FAIL, 0, 0), 0);
    EXPECT_TRUE(IsWindow(probe.Handle()));
    try {
        errors.Raise();
        ADD_FAILURE() << "the handler's error was lost";
    } catch (const EkyError& e) {
        EXPECT_EQ(e.Message(), L"probe failed");
    }
    EXPECT_NO_THROW(errors.Raise());
}
