// The built program, started as a process of its own and driven from this one with window
// messages, as a user's clicks would reach it.

#include "FreshProgram.h"
#include "YieldoraRemote.h"
#include "resource.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// A copy of the program in a fresh folder of its own, so that it starts without a profile.
class FreshProgram : public testing::Test {
protected:
    const TFreshProgramCopy Copy{L"Yieldora_blackbox_fresh", YIELDORA_PROGRAM};
    const fs::path& Folder = Copy.Folder;
    const fs::path& Program = Copy.Program;

    std::string Profile() const { return ReadFile(Folder / L"yieldora.ini"); }
    void WriteProfile(const std::string& Text) const {
        std::ofstream(Folder / L"yieldora.ini", std::ios::binary) << Text;
    }
};

std::string PositionSection(LONG Left, LONG Top) {
    return "[Program]\r\nWindowLeft=" + std::to_string(Left) +
           "\r\nWindowTop=" + std::to_string(Top) + "\r\n";
}

} // namespace

// The error box of a calculation belongs to the dialog, which it disables; a close that still
// reaches the dialog under the box ends the program cleanly once the box is answered.
TEST_F(FreshProgram, ClosingUnderAnErrorBoxEndsCleanly) {
    const auto closeUnderTheBox = [&](const std::function<void(TYieldoraRemote&)>& Close) {
        TYieldoraRemote remote(Program.wstring());
        remote.SetItemText(IDC_STEP, L"0");
        const TRemoteOutcome outcome = remote.Click(IDC_CALCULATE, [&](HWND Box) {
            EXPECT_EQ(GetWindow(Box, GW_OWNER), remote.Dialog());
            EXPECT_FALSE(IsWindowEnabled(remote.Dialog()));
            Close(remote);
            AnswerWithOk(Box);
            return true;
        });
        ASSERT_EQ(outcome.Boxes.size(), 1u);
        EXPECT_EQ(outcome.Boxes[0].Text, L"Division by zero");
        EXPECT_TRUE(outcome.Exited);
        EXPECT_EQ(outcome.ExitCode, 0u);
        EXPECT_NE(Profile().find("Step=0\r\n"), std::string::npos) << Profile();
    };
    closeUnderTheBox(
        [](TYieldoraRemote& Remote) { PostMessageW(Remote.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    fs::remove(Folder / L"yieldora.ini");
    // The exit button's command (Windows sends no click to a disabled button; this comes as the
    // command itself).
    closeUnderTheBox([](TYieldoraRemote& Remote) {
        PostMessageW(Remote.Dialog(), WM_COMMAND, MAKEWPARAM(IDC_EXIT, BN_CLICKED),
                     reinterpret_cast<LPARAM>(Remote.Item(IDC_EXIT)));
    });
    fs::remove(Folder / L"yieldora.ini");
    closeUnderTheBox([](TYieldoraRemote& Remote) { Remote.SendEndSession(); });
}

TEST_F(FreshProgram, ClosedWhileMinimisedItReopensWhereItStood) {
    {
        TYieldoraRemote remote(Program.wstring());
        remote.MoveTo(150, 120);
        // On a heavily loaded machine (tests taking ten times their time) Wine has still been
        // seen to leave a window that was just minimised restored, after its first showing: it is
        // minimised again until it stays so.
        for (int attempt = 0; attempt < 3 && !remote.Minimised(); ++attempt) {
            remote.SysCommand(SC_MINIMIZE);
        }
        EXPECT_TRUE(remote.Minimised());
        const TRemoteOutcome closed = remote.SysCommand(SC_CLOSE);
        EXPECT_TRUE(closed.Exited);
        EXPECT_EQ(closed.ExitCode, 0u);
    }
    EXPECT_TRUE(Profile().starts_with(PositionSection(150, 120))) << Profile();
    TYieldoraRemote remote(Program.wstring());
    EXPECT_FALSE(remote.Minimised());
    EXPECT_EQ(remote.WindowRect().left, 150);
    EXPECT_EQ(remote.WindowRect().top, 120);
    EXPECT_EQ(remote.SysCommand(SC_CLOSE).ExitCode, 0u);
}

// Maximised and closed, it opens maximised again and stays so once it is up; restored, it takes
// the place it had before it was maximised.
TEST_F(FreshProgram, AMaximisedWindowComesBackMaximised) {
    {
        TYieldoraRemote remote(Program.wstring());
        remote.MoveTo(150, 120);
        remote.SysCommand(SC_MAXIMIZE);
        EXPECT_TRUE(IsZoomed(remote.Dialog()));
        EXPECT_EQ(remote.SysCommand(SC_CLOSE).ExitCode, 0u);
    }
    EXPECT_TRUE(Profile().starts_with(PositionSection(150, 120))) << Profile();
    EXPECT_NE(Profile().find("WindowMaximized=1\r\n"), std::string::npos) << Profile();
    TYieldoraRemote remote(Program.wstring());
    remote.Settle();
    remote.Repaint();
    EXPECT_TRUE(IsZoomed(remote.Dialog()));
    EXPECT_NE(GetWindowLongW(remote.Dialog(), GWL_STYLE) & WS_MAXIMIZE, 0);
    remote.Press(IDC_CALCULATE);
    EXPECT_TRUE(IsZoomed(remote.Dialog()));
    remote.SysCommand(SC_RESTORE);
    remote.Repaint();
    EXPECT_FALSE(IsZoomed(remote.Dialog()));
    EXPECT_EQ(remote.WindowRect().left, 150);
    EXPECT_EQ(remote.WindowRect().top, 120);
    EXPECT_EQ(remote.SysCommand(SC_CLOSE).ExitCode, 0u);
    EXPECT_NE(Profile().find("WindowMaximized=0\r\n"), std::string::npos) << Profile();
}

TEST_F(FreshProgram, ASavedPositionIsBroughtWhollyOntoTheScreen) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const struct {
        LONG Left, Top;
        bool OnTheRight, AtTheBottom;
        LONG ExpectedLeft, ExpectedTop;
    } cases[] = {
        {900, 700, true, true, 0, 0},
        {-30, 100, false, false, work.left, 100},
    };
    for (const auto& c : cases) {
        WriteProfile(PositionSection(c.Left, c.Top));
        TYieldoraRemote remote(Program.wstring());
        const RECT rect = remote.WindowRect();
        EXPECT_EQ(rect.left, c.OnTheRight ? work.right - (rect.right - rect.left) : c.ExpectedLeft);
        EXPECT_EQ(rect.top, c.AtTheBottom ? work.bottom - (rect.bottom - rect.top) : c.ExpectedTop);
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
}

TEST(Program, CalculatesExportsAndKeepsItsInputs) {
    // A copy of the program in a folder of its own, so that it starts without a profile.
    const fs::path folder = fs::temp_directory_path() / L"Yieldora_blackbox";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path program = folder / L"yieldora.exe";
    fs::copy_file(TestFolder() / YIELDORA_PROGRAM, program);

    {
        TYieldoraRemote remote(program.wstring());
        EXPECT_EQ(remote.ItemText(IDC_FUND), L"10000");
        EXPECT_EQ(remote.ItemText(IDC_TERM), L"一年期");
        EXPECT_FALSE(remote.ItemEnabled(IDC_EXPORT));

        remote.SetItemText(IDC_YEAR, L"abc");
        const TRemoteBox error = remote.PressAndAnswer(IDC_CALCULATE);
        EXPECT_EQ(error.Caption, L"提示!");
        EXPECT_EQ(error.Text, L"abc is not a valid integer!");
        EXPECT_EQ(remote.ItemText(IDC_YEAR), L"20");

        remote.Press(IDC_CALCULATE);
        EXPECT_EQ(remote.RowCount(), 20);
        EXPECT_TRUE(remote.ItemEnabled(IDC_EXPORT));
        const TRemoteBox done = remote.PressAndAnswer(IDC_EXPORT);
        EXPECT_EQ(done.Caption, L"提示!");
        EXPECT_EQ(done.Text, L"当前计算结果已导出到剪贴板！");
        EXPECT_EQ(ToUtf8(ReadClipboardText()), ReadFile(TestFolder() / YIELDORA_GOLDEN_EXPORT));

        remote.SetItemText(IDC_RATE, L"4.25");
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
    const std::string profile = ReadFile(folder / L"yieldora.ini");
    EXPECT_TRUE(profile.starts_with("[Program]\r\nWindowLeft=")) << profile;
    EXPECT_TRUE(profile.ends_with("[Yieldora]\r\nFund=10000\r\nPeriod=1\r\nRate=4.25\r\nTax=20\r\n"
                                  "Year=20\r\nStep=1\r\nDeposit=1\r\n"))
        << profile;

    {
        TYieldoraRemote remote(program.wstring());
        EXPECT_EQ(remote.ItemText(IDC_RATE), L"4.25");
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
    fs::remove_all(folder);
}

// The totals line, read from outside as a user sees it: empty until the first calculation.
TEST_F(FreshProgram, TheTotalsLineSumsUpTheCalculation) {
    TYieldoraRemote remote(Program.wstring());
    EXPECT_EQ(remote.ItemText(IDC_TOTALS), L"");
    remote.Press(IDC_CALCULATE);
    EXPECT_EQ(remote.ItemText(IDC_TOTALS),
              L"20 年共得利息 7,645 元，期末本息 17,645 元，折合年化 2.88%");
    remote.SetChecked(IDC_DEPOSIT, false);
    remote.Press(IDC_CALCULATE);
    EXPECT_EQ(remote.ItemText(IDC_TOTALS),
              L"20 年共得利息 5,760 元，其中已取出 5,472 元，期末本息 10,288 元，折合年化 2.88%");
    EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
}

// The comparison from outside: its selected term's rate field is the dialog's, and the rates are
// kept in the profile's own section.
TEST_F(FreshProgram, TheComparisonEditsTheRateAndKeepsTheTermsRates) {
    {
        TYieldoraRemote remote(Program.wstring());
        remote.Press(IDC_COMPARE);
        const HWND compare = FindWindowW(L"YieldoraCompare", L"存期比较");
        ASSERT_NE(compare, nullptr);
        DWORD process = 0;
        GetWindowThreadProcessId(compare, &process);
        DWORD dialogProcess = 0;
        GetWindowThreadProcessId(remote.Dialog(), &dialogProcess);
        EXPECT_EQ(process, dialogProcess);
        // Opening it calculated.
        EXPECT_EQ(remote.ItemText(IDC_TOTALS),
                  L"20 年共得利息 7,645 元，期末本息 17,645 元，折合年化 2.88%");
        remote.SetCompareRate(1, L"2.5");
        remote.SetCompareRate(0, L"2");
        EXPECT_EQ(remote.ItemText(IDC_RATE), L"2");
        EXPECT_EQ(remote.ItemText(IDC_TOTALS),
                  L"20 年共得利息 3,736 元，期末本息 13,736 元，折合年化 1.60%");
        // Everything needed at month 18: the one-year term's second certificate earns the demand
        // rate for six months, 10,160 × 0.8 × 0.05 % / 2 = 2.03 instead of 81.28 at 2 %.
        remote.SetCompareField(L"提前支取：第", L"18");
        const std::vector<std::wstring> rows = remote.CompareRows();
        ASSERT_EQ(rows.size(), 5u);
        EXPECT_EQ(rows[0], L"一年期\t2\t162\t0\t10162\t1.08%\t0\t79\t最佳");
        // The dialog's table is not the planner's.
        EXPECT_EQ(remote.ItemText(IDC_TOTALS),
                  L"20 年共得利息 3,736 元，期末本息 13,736 元，折合年化 1.60%");
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
    EXPECT_NE(Profile().find("[TermRates]\r\nRate1=2\r\nRate2=2.5\r\nRate3=3.6\r\n"),
              std::string::npos)
        << Profile();
    EXPECT_NE(Profile().find("[Planner]\r\nRateChange=0\r\nDemandRate=0.05\r\nNeedMonth=18\r\n"
                             "NeedAmount=\r\n"),
              std::string::npos)
        << Profile();
    // The next start shows the scenario again.
    TYieldoraRemote again(Program.wstring());
    again.Press(IDC_COMPARE);
    EXPECT_EQ(again.CompareText(L"提前支取：第"), L"18");
    EXPECT_EQ(again.CompareText(L"支取金额："), L"全部");
    EXPECT_EQ(again.CompareRows().at(0), L"一年期\t2\t162\t0\t10162\t1.08%\t0\t79\t最佳");
    EXPECT_EQ(again.PressToExit(IDC_EXIT), 0u);
}

// A rate typed for a term survives picking that term in the dialog: the dialog's rate stays, the
// term's row shows it, and the typed rate comes back, and is saved, once another term is picked.
TEST_F(FreshProgram, PickingATermKeepsTheRateTypedForIt) {
    {
        TYieldoraRemote remote(Program.wstring());
        remote.Press(IDC_COMPARE);
        ASSERT_NE(remote.CompareWindow(), nullptr);
        remote.SetCompareRate(3, L"2.75");
        EXPECT_EQ(remote.CompareRows().at(3).substr(0, 9), L"五年期\t2.75\t");
        remote.PickItem(IDC_TERM, 3);
        EXPECT_EQ(remote.ItemText(IDC_RATE), L"3.6");
        const std::vector<std::wstring> picked = remote.CompareRows();
        EXPECT_EQ(picked.at(3).substr(0, 8), L"五年期\t3.6\t") << picked.at(3);
        // The selected term's row is the dialog's own calculation: 10000 * 1.144^4 = 17128, of
        // which 10000 * 1.144^3 * 0.0288 = 431 came in the last year.
        EXPECT_NE(picked.at(3).find(L"\t17128\t"), std::wstring::npos) << picked.at(3);
        EXPECT_EQ(remote.TableRows().back().substr(0, 13), L"20\t431\t17128\t")
            << remote.TableRows().back();
        remote.PickItem(IDC_TERM, 0);
        EXPECT_EQ(remote.CompareRows().at(3).substr(0, 9), L"五年期\t2.75\t");
        EXPECT_EQ(remote.PressToExit(IDC_EXIT), 0u);
    }
    EXPECT_NE(Profile().find("Rate5=2.75\r\n"), std::string::npos) << Profile();
}
