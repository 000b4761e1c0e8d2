#include "ModalDriver.h"

#include "UkyError.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

// The failures the driver records while a message box runs the script, kept away from the
// test's own result.
struct TScriptRun {
    ::testing::TestPartResultArray Failures;
    bool StepsDone = false;
    std::size_t StepsRun = 0;
    int BoxResult = 0;

    std::string Messages() const {
        std::string text;
        for (int i = 0; i < Failures.size(); ++i) {
            text += Failures.GetTestPartResult(i).message();
            text += "\n";
        }
        return text;
    }
};

void RunScript(TScriptRun& Run, const std::function<void(TModalDriver&)>& Script) {
    const ::testing::ScopedFakeTestPartResultReporter reporter(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &Run.Failures);
    TModalDriver driver;
    Script(driver);
    Run.BoxResult = MessageBoxW(nullptr, L"script", L"driver", MB_OKCANCEL);
    Run.StepsDone = driver.Done();
    Run.StepsRun = driver.StepsRun();
}

void PressOk() {
    if (HWND box = TopDialog()) {
        SendMessageW(box, WM_COMMAND, IDOK, 0);
    }
}

void WriteThroughNull() {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
}

TEST(ModalDriver, ACrashInsideAStepFailsTheTestNamingTheStep) {
    TScriptRun run;
    bool afterCrash = false;
    bool laterStep = false;
    RunScript(run, [&](TModalDriver& Driver) {
        Driver
            .Then("write through null",
                  [&] {
                      WriteThroughNull();
                      afterCrash = true;
                  })
            .Then("press OK", [&] {
                laterStep = true;
                PressOk();
            });
    });
    ASSERT_EQ(run.Failures.size(), 1) << run.Messages();
    const std::string message = run.Failures.GetTestPartResult(0).message();
    EXPECT_NE(message.find("\"write through null\" crashed: an access violation"),
              std::string::npos)
        << message;
    EXPECT_TRUE(run.Failures.GetTestPartResult(0).failed());
    EXPECT_FALSE(afterCrash);
    EXPECT_FALSE(laterStep);
    EXPECT_FALSE(run.StepsDone);
    EXPECT_EQ(run.StepsRun, 1u);
    EXPECT_EQ(TopDialog(), nullptr);
}

TEST(ModalDriver, AnExceptionEscapingAStepFailsTheTestNamingTheStep) {
    TScriptRun run;
    RunScript(run, [](TModalDriver& Driver) {
        Driver.Then([] { throw EkyError(L"no such item"); }).Then("press OK", PressOk);
    });
    ASSERT_EQ(run.Failures.size(), 1) << run.Messages();
    const std::string message = run.Failures.GetTestPartResult(0).message();
    EXPECT_NE(message.find("scripted step \"step 1\" raised an exception: no such item"),
              std::string::npos)
        << message;
    EXPECT_EQ(run.StepsRun, 1u);
    EXPECT_EQ(TopDialog(), nullptr);
}

TEST(ModalDriver, StepsThatOpenNestedLoopsAndFinishCountAsDone) {
    TScriptRun run;
    std::vector<std::string> order;
    RunScript(run, [&](TModalDriver& Driver) {
        Driver
            .Then("open a nested box",
                  [&] {
                      order.push_back("open");
                      EXPECT_EQ(MessageBoxW(nullptr, L"nested", L"driver", MB_OKCANCEL), IDCANCEL);
                      order.push_back("closed");
                  })
            .Then("cancel the nested box",
                  [&] {
                      order.push_back("cancel");
                      SendMessageW(TopDialog(), WM_COMMAND, IDCANCEL, 0);
                  })
            .Then("press OK", PressOk);
    });
    EXPECT_EQ(run.Failures.size(), 0) << run.Messages();
    EXPECT_TRUE(run.StepsDone);
    EXPECT_EQ(run.BoxResult, IDOK);
    EXPECT_EQ(order, (std::vector<std::string>{"open", "cancel", "closed"}));
}

} // namespace
