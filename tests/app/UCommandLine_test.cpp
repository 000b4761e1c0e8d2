#include "UCommandLine.h"

#include "PrintInputs.h"
#include "UkyError.h"
#include "UkyUtf8.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const std::filesystem::path GOLDEN = std::filesystem::absolute(YIELDORA_GOLDEN_FOLDER);

std::string Bytes(const std::filesystem::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    EXPECT_TRUE(file.good()) << Path;
    return std::string(std::istreambuf_iterator<char>(file), {});
}

TCliResult Cli(const std::vector<std::wstring>& Arguments) {
    return RunCommandLine(Arguments);
}

// The run fails on bad input with the message and nothing on standard output.
void ExpectBadInput(const std::vector<std::wstring>& Arguments, const std::wstring& Message) {
    const TCliResult result = Cli(Arguments);
    EXPECT_EQ(result.ExitCode, 2) << TextToUtf8(Message);
    EXPECT_EQ(result.Err, Message + L"\n");
    EXPECT_EQ(result.Out, L"");
}

// A profile of the test's own, removed afterwards.
class CliProfileTest : public testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(Path); }
    void Store(const std::string& Content) const {
        std::ofstream(Path, std::ios::binary) << Content;
    }

    const std::filesystem::path Path =
        std::filesystem::absolute(std::filesystem::path("UCommandLine_test.profile.ini"));
};

} // namespace

TEST(CommandLine, TsvIsTheDialogsExportByteForByte) {
    const TCliResult result = Cli({L"--tsv"});
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(result.Err, L"");
    EXPECT_EQ(TextToUtf8(result.Out), Bytes(GOLDEN / "default-export.tsv"));

    EXPECT_EQ(
        Cli({L"--years", L"2", L"--withdraw", L"--tsv"}).Out,
        L"年\t利息\t累计\t备注\r\n1\t288\t10288\t取出利息288元\r\n2\t288\t10288\t取出全部本息");
    EXPECT_EQ(Cli({L"--years=0", L"--tsv"}).Out, L"年\t利息\t累计\t备注\r\n");
}

TEST(CommandLine, CsvIsTheDialogsSavedFileByteForByte) {
    const TCliResult result = Cli({L"--csv"});
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(TextToUtf8(result.Out), Bytes(GOLDEN / "default-export.csv"));
    EXPECT_EQ(Cli({L"--years", L"1", L"--tsv", L"--csv"}).Out,
              L"\uFEFF年,利息,累计,备注\r\n1,288,10288,取出全部本息\r\n");
    EXPECT_EQ(Cli({L"--years=0", L"--csv", L"--tsv"}).Out, L"年\t利息\t累计\t备注\r\n");
}

TEST(CommandLine, WorkedExamplesOfTheSchedule) {
    EXPECT_EQ(Cli({L"--term", L"3", L"--years", L"7", L"--tsv"}).Out,
              L"年\t利息\t累计\t备注\r\n1\t288\t10288\t\r\n2\t288\t10576\t\r\n"
              L"3\t288\t10864\t连本带息取出后转存\r\n4\t313\t11177\t\r\n5\t313\t11490\t\r\n"
              L"6\t313\t11803\t连本带息取出后转存\r\n7\t340\t12143\t取出全部本息");
    EXPECT_EQ(Cli({L"--term=3", L"--withdraw", L"--years=7", L"--step=2", L"--tsv"}).Out,
              L"年\t利息\t累计\t备注\r\n2\t288\t10576\t\r\n4\t288\t10288\t\r\n"
              L"6\t288\t10864\t取出利息864元\r\n7\t288\t10288\t取出全部本息");
    // The last option of a kind wins.
    EXPECT_EQ(Cli({L"--fund", L"1", L"--fund", L"10000.00", L"--rate", L"3.6", L"--tax", L"20",
                   L"--withdraw", L"--redeposit", L"--tsv"})
                  .Out,
              Cli({L"--tsv"}).Out);
}

TEST(CommandLine, AlignedTableCountsWideCharactersTwice) {
    const TCliResult result = Cli({L"--years", L"2", L"--withdraw"});
    EXPECT_EQ(result.ExitCode, 0);
    EXPECT_EQ(result.Out,
              L"年  利息   累计  备注\n"
              L" 1   288  10288  取出利息288元\n"
              L" 2   288  10288  取出全部本息\n"
              L"2 年共得利息 576 元，其中已取出 288 元，期末本息 10,288 元，折合年化 2.88%\n");
    EXPECT_EQ(Cli({L"--term", L"3", L"--years", L"3"}).Out,
              L"年  利息   累计  备注\n 1   288  10288\n 2   288  10576\n"
              L" 3   288  10864  取出全部本息\n"
              L"3 年共得利息 864 元，期末本息 10,864 元，折合年化 2.80%\n");
    EXPECT_EQ(DisplayWidth(L"a年利息"), 7u);
}

TEST(CommandLine, BadInputGivesTheDialogsMessagesAndExitCode2) {
    ExpectBadInput({L"--fund", L"abc"}, L"abc is not a valid float number!");
    ExpectBadInput({L"--rate", L"1,5"}, L"1,5 is not a valid float number!");
    ExpectBadInput({L"--tax", L"1e"}, L"empty string cannot be converted to integer!");
    ExpectBadInput({L"--years", L"12a"}, L"12a is not a valid integer!");
    ExpectBadInput({L"--years", L"300"}, L"300 is out of range 0..255!");
    ExpectBadInput({L"--years", L"-1"}, L"-1 is out of range 0..255!");
    ExpectBadInput({L"--step", L"2147483648"},
                   L"2147483648 is out of range -2147483648..2147483647!");
    ExpectBadInput({L"--step", L"-99999999999999999999"},
                   L"-99999999999999999999 is out of range -2147483648..2147483647!");
    ExpectBadInput({L"--step", L"0"}, L"Division by zero");
    ExpectBadInput({L"--term", L"4"}, L"4 is not a term of 1, 2, 3, 5 or 10 years!");
    ExpectBadInput({L"--fund", L"1e400"}, L"Floating point overflow");
    ExpectBadInput({L"--fund", L"1e20"}, L"Invalid floating point operation");
    ExpectBadInput({L"--fund"}, L"The option --fund needs a value!");
    ExpectBadInput({L"--colour"}, L"Unknown option --colour! See yieldora-cli --help.");
    ExpectBadInput({L"--tsv=1"}, L"Unknown option --tsv=1! See yieldora-cli --help.");

    // Without a year to show, a zero step tests nothing; a negative step counts as its size.
    EXPECT_EQ(Cli({L"--step", L"0", L"--years", L"0"}).ExitCode, 0);
    EXPECT_EQ(Cli({L"--step", L"-7", L"--tsv"}).Out, Cli({L"--step", L"7", L"--tsv"}).Out);
}

// The dialog reads these texts as 0 (and "1e-" as 1); the command line refuses them. Texts the
// conversion refuses itself keep its message.
TEST(CommandLine, ANumberWithoutDigitsIsRefusedNamingTheOption) {
    const struct {
        std::vector<std::wstring> Arguments;
        std::wstring Message;
    } cases[] = {
        {{L"--fund", L""}, L"The option --fund needs a number, not \"\"!"},
        {{L"--fund", L"  "}, L"The option --fund needs a number, not \"  \"!"},
        {{L"--fund", L"-"}, L"The option --fund needs a number, not \"-\"!"},
        {{L"--fund", L"."}, L"The option --fund needs a number, not \".\"!"},
        {{L"--rate="}, L"The option --rate needs a number, not \"\"!"},
        {{L"--rate=-."}, L"The option --rate needs a number, not \"-.\"!"},
        {{L"--tax", L"e5"}, L"The option --tax needs a number, not \"e5\"!"},
        {{L"--tax", L"1e-"}, L"The option --tax needs a number, not \"1e-\"!"},
        {{L"--years", L"-"}, L"The option --years needs a number, not \"-\"!"},
        {{L"--step", L" - "}, L"The option --step needs a number, not \" - \"!"},
        {{L"--compare", L"--rates", L"1="},
         L"The option --rates needs a number after 1=, not \"\"!"},
        {{L"--compare", L"--rates", L"2=3,10=-"},
         L"The option --rates needs a number after 10=, not \"-\"!"},
        {{L"--rates=1=."}, L"The option --rates needs a number after 1=, not \".\"!"},
        {{L"--tax", L"1e"}, L"empty string cannot be converted to integer!"},
        {{L"--years="}, L"empty string cannot be converted to integer!"},
        {{L"--term", L"-"}, L"- is not a term of 1, 2, 3, 5 or 10 years!"},
        {{L"--fund", L"+"}, L"+ is not a valid float number!"},
    };
    for (const auto& [arguments, message] : cases) {
        ExpectBadInput(arguments, message);
    }

    // Digits on one side of the point are enough; so is an exponent with its sign.
    EXPECT_EQ(Cli({L"--fund=10000.", L"--rate=3.60", L"--tax=.2e2", L"--step=-1", L"--tsv"}).Out,
              Cli({L"--tsv"}).Out);
    EXPECT_EQ(Cli({L"--fund=1e+4", L"--tsv"}).ExitCode, 2);
    EXPECT_EQ(Cli({L"--fund=100000e-1", L"--tsv"}).Out, Cli({L"--tsv"}).Out);
}

TEST(CommandLine, HelpNamesEveryOption) {
    const TCliResult result = Cli({L"--fund", L"abc", L"--help"});
    EXPECT_EQ(result.ExitCode, 0);
    for (const wchar_t* option :
         {L"--fund", L"--term", L"--rate", L"--tax", L"--years", L"--step", L"--redeposit",
          L"--withdraw", L"--profile", L"--tsv", L"--csv", L"--compare", L"--rates",
          L"--rate-change", L"--demand-rate", L"--need-month", L"--need-amount"}) {
        EXPECT_NE(result.Out.find(option), std::wstring::npos) << TextToUtf8(option);
    }
}

TEST_F(CliProfileTest, TheProfileWrittenOnWindowsReadsWithTheSameValues) {
    TYieldoraInputs inputs;
    ReadProfileInputs((GOLDEN / "profile-written-by-windows.ini").wstring(), inputs);
    EXPECT_EQ(inputs, (TYieldoraInputs{.Fund = 25000.5,
                                       .Period = 3,
                                       .Rate = 2.75,
                                       .Tax = 5,
                                       .Year = 30,
                                       .Step = 4,
                                       .Deposit = false}));

    const std::wstring profile = (GOLDEN / "profile-written-by-windows.ini").wstring();
    EXPECT_EQ(TextToUtf8(Cli({L"--profile", profile, L"--tsv"}).Out),
              Bytes(GOLDEN / "profile-written-by-windows.tsv"));
    // Options on the command line win over the profile.
    EXPECT_EQ(Cli({L"--profile", profile, L"--fund=10000", L"--term=1", L"--rate=3.6", L"--tax=20",
                   L"--years=20", L"--step=1", L"--redeposit", L"--tsv"})
                  .Out,
              Cli({L"--tsv"}).Out);
}

TEST_F(CliProfileTest, ProfileValuesAsTheDialogTakesThem) {
    Store("[yieldora]\r\nFund=\r\nPeriod=4\r\nRate=abc\r\nTax=1e400\r\nYear=300\r\nStep=-2\r\n"
          "Deposit=2\r\n");
    TYieldoraInputs inputs;
    // A bare file name is one in the current folder.
    ReadProfileInputs(Path.filename().wstring(), inputs);
    EXPECT_EQ(inputs, (TYieldoraInputs{.Fund = 0,
                                       .Period = 10,
                                       .Rate = 3.6,
                                       .Tax = 20,
                                       .Year = 44,
                                       .Step = -2,
                                       .Deposit = true}));

    Store("[Program]\r\nWindowLeft=1\r\n");
    EXPECT_EQ(Cli({L"--profile", Path.wstring(), L"--tsv"}).Out, Cli({L"--tsv"}).Out);

    const std::wstring missing = (Path.parent_path() / "absent.ini").wstring();
    ExpectBadInput({L"--profile", missing}, L"The profile " + missing + L" cannot be read!");
    const std::wstring folder = Path.parent_path().wstring();
    ExpectBadInput({L"--profile", folder}, L"The profile " + folder + L" cannot be read!");
}

// The terms compared, each at its own rate. The figures by hand: net rates 1.2, 1.68, 2.2, 2.2 and
// 2.4 %; end totals 10000 * 1.012^20, 1.0336^10, 1.066^6 * 1.044, 1.11^4 and 1.24^2; the yields
// (end / 10000)^(1/20) - 1. The three-year term's seventh certificate runs at the end.
TEST(CommandLine, CompareRunsEveryTermAtItsOwnRate) {
    const std::vector<std::wstring> rates{L"--compare", L"--rates",
                                          L"1=1.5,2=2.1,3=2.75,5=2.75,10=3"};
    const TCliResult aligned = Cli(rates);
    EXPECT_EQ(aligned.ExitCode, 0);
    EXPECT_EQ(aligned.Out,
              L"  存期  年利率  共得利息  期末本息  折合年化  比最佳少  备注\n"
              L"一年期     1.5      2694     12694     1.20%      2682\n"
              L"二年期     2.1      3916     13916     1.67%      1460\n"
              L"三年期    2.75      5319     15319     2.16%        57  未到期，第 21 年到期\n"
              L"五年期    2.75      5181     15181     2.11%       195\n"
              L"十年期       3      5376     15376     2.17%         0  最佳\n");

    std::vector<std::wstring> tsv = rates;
    tsv.push_back(L"--tsv");
    const std::wstring caption = L"存期\t年利率\t共得利息\t期末本息\t折合年化\t比最佳少\t备注";
    EXPECT_EQ(Cli(tsv).Out.substr(0, caption.size() + 2), caption + L"\r\n");
    std::vector<std::wstring> csv = rates;
    csv.push_back(L"--csv");
    const std::wstring csvText = Cli(csv).Out;
    EXPECT_TRUE(
        csvText.starts_with(L"\uFEFF存期,年利率,共得利息,期末本息,折合年化,比最佳少,备注\r\n"));
    EXPECT_TRUE(csvText.ends_with(L"十年期,3,5376,15376,2.17%,0,最佳\r\n"));

    // The selected term's rate is --rate, unless --rates names that term too.
    EXPECT_NE(Cli({L"--compare", L"--term", L"3", L"--rate", L"2.75"}).Out.find(L"三年期    2.75"),
              std::wstring::npos);
    EXPECT_NE(Cli({L"--compare", L"--term", L"3", L"--rates", L"3=2"}).Out.find(L"三年期       2"),
              std::wstring::npos);
    // The terms' rates alone ask for the comparison.
    EXPECT_EQ(Cli({L"--rates", L"1=1.5,2=2.1,3=2.75,5=2.75,10=3"}).Out, aligned.Out);
}

// Interest taken out: the column of what was taken out. The 2-year term's yield is LibreOffice
// Calc's IRR of -10000, 0, 576, 10288 (0.0285262204859162); the others by hand. All receive
// 10864 in all, so none falls behind, but the 1-year term gets it soonest.
TEST(CommandLine, CompareWithInterestTakenOut) {
    EXPECT_EQ(Cli({L"--compare", L"--withdraw", L"--years", L"3", L"--tsv"}).Out,
              L"存期\t年利率\t共得利息\t已取出\t期末本息\t折合年化\t比最佳少\t备注\r\n"
              L"一年期\t3.6\t864\t576\t10288\t2.88%\t0\t最佳\r\n"
              L"二年期\t3.6\t864\t576\t10288\t2.85%\t0\t未到期，第 4 年到期\r\n"
              L"三年期\t3.6\t864\t0\t10864\t2.80%\t0\t\r\n"
              L"五年期\t3.6\t864\t0\t10864\t2.80%\t0\t未到期，第 5 年到期\r\n"
              L"十年期\t3.6\t864\t0\t10864\t2.80%\t0\t未到期，第 10 年到期");
}

TEST(CommandLine, CompareMarksTheRowThatCannotBeCalculated) {
    // The selected term's schedule overflows; the other terms' rates are their own.
    const TCliResult result = Cli({L"--compare", L"--rate", L"1e20", L"--years", L"255", L"--rates",
                                   L"2=1,3=1,5=1,10=1", L"--tax", L"0", L"--tsv"});
    EXPECT_EQ(result.ExitCode, 0);
    const std::wstring& out = result.Out;
    EXPECT_NE(out.find(L"\r\n一年期\t100000000000000000000\t\t\t\t\tFloating point overflow\r\n"),
              std::wstring::npos)
        << TextToUtf8(out);
    EXPECT_NE(out.find(L"\r\n二年期\t1\t"), std::wstring::npos);

    ExpectBadInput({L"--compare", L"--rates", L"1=x"}, L"x is not a valid float number!");
    ExpectBadInput({L"--compare", L"--rates", L"4=1"},
                   L"4 is not a term of 3m, 6m, 1, 2, 3, 5 or 10 years!");
    ExpectBadInput({L"--compare", L"--rates", L"1"},
                   L"The rate 1 is not of the form TERM=PERCENT (as 3=2.75)!");
}

TEST_F(CliProfileTest, CompareTakesTheTermsRatesFromTheProfile) {
    Store("[Yieldora]\r\nRate=2\r\nPeriod=3\r\n[TermRates]\r\nRate1=1.5\r\nRate3=9\r\nRate5=x\r\n");
    const std::wstring out = Cli({L"--compare", L"--profile", Path.wstring(), L"--tsv"}).Out;
    // The selected term keeps the profile's main rate; a term without a readable rate takes it.
    EXPECT_NE(out.find(L"\r\n一年期\t1.5\t"), std::wstring::npos) << TextToUtf8(out);
    EXPECT_NE(out.find(L"\r\n二年期\t2\t"), std::wstring::npos);
    EXPECT_NE(out.find(L"\r\n三年期\t2\t"), std::wstring::npos);
    EXPECT_NE(out.find(L"\r\n五年期\t2\t"), std::wstring::npos);
    EXPECT_NE(out.find(L"\r\n十年期\t2\t"), std::wstring::npos);
    // --rates comes last.
    EXPECT_NE(Cli({L"--compare", L"--profile", Path.wstring(), L"--rates", L"1=4", L"--tsv"})
                  .Out.find(L"\r\n一年期\t4\t"),
              std::wstring::npos);
}

// The banks' rates since 2025-05-20, 100,000 yuan without tax, all of it needed at month 18: the
// short terms mature then, at no loss (100,000 × 1.001625^6 and × 1.00425^3); the one-year term
// pays 950 + 25.24; the longer ones the demand rate, 75, losing their own interest since month 0.
TEST(CommandLine, CompareUnderAScenario) {
    const TCliResult result = Cli({L"--fund", L"100000", L"--tax", L"0", L"--years", L"3",
                                   L"--rates", L"3m=0.65,6m=0.85,1=0.95,2=1.05,3=1.25,5=1.3,10=1.3",
                                   L"--need-month", L"18", L"--tsv"});
    EXPECT_EQ(result.ExitCode, 0) << TextToUtf8(result.Err);
    EXPECT_EQ(
        result.Out,
        L"存期\t年利率\t共得利息\t已取出\t期末本息\t折合年化\t比最佳少\t提前支取损失\t备注\r\n"
        L"三个月\t0.65\t979\t0\t100979\t0.65%\t301\t0\t\r\n"
        L"六个月\t0.85\t1280\t0\t101280\t0.85%\t0\t0\t最佳\r\n"
        L"一年期\t0.95\t975\t0\t100975\t0.65%\t305\t454\t\r\n"
        L"二年期\t1.05\t75\t0\t100075\t0.05%\t1205\t1500\t\r\n"
        L"三年期\t1.25\t75\t0\t100075\t0.05%\t1205\t1800\t\r\n"
        L"五年期\t1.3\t75\t0\t100075\t0.05%\t1205\t1875\t\r\n"
        L"十年期\t1.3\t75\t0\t100075\t0.05%\t1205\t1875\t");

    // Falling rates: 10,000 × 1.02 × 1.015 × 1.01; a term of months not listed is left out.
    const std::wstring falling =
        Cli({L"--tax=0", L"--years=3", L"--rates=1=2", L"--rate-change=-0.5", L"--tsv"}).Out;
    EXPECT_NE(falling.find(L"\r\n一年期\t2\t457\t10457\t1.50%\t"), std::wstring::npos)
        << TextToUtf8(falling);
    EXPECT_EQ(falling.find(L"三个月"), std::wstring::npos);

    ExpectBadInput({L"--need-month", L"0"}, L"0 is out of range 1..3060!");
    ExpectBadInput({L"--years", L"3", L"--need-month", L"37"},
                   L"The money needed in month 37 falls outside the 36 months planned!");
    ExpectBadInput({L"--need-month", L"5", L"--need-amount", L"-1"},
                   L"The amount needed must be above 0, not -1!");
    ExpectBadInput({L"--need-amount", L"all"}, L"The option --need-amount needs --need-month!");
    ExpectBadInput({L"--demand-rate", L"x"}, L"x is not a valid float number!");
    ExpectBadInput({L"--rate-change="}, L"The option --rate-change needs a number, not \"\"!");
    ExpectBadInput({L"--rates", L"6m=."},
                   L"The option --rates needs a number after 6m=, not \".\"!");
}

TEST_F(CliProfileTest, CompareTakesTheScenarioFromTheProfile) {
    Store("[Yieldora]\r\nFund=100000\r\nTax=0\r\nYear=3\r\n[Planner]\r\nNeedMonth=18\r\n"
          "Rate6m=0.85\r\n");
    const std::wstring out = Cli({L"--compare", L"--profile", Path.wstring(), L"--tsv"}).Out;
    EXPECT_TRUE(out.starts_with(L"存期\t年利率\t共得利息\t已取出\t期末本息\t折合年化\t比最佳少\t"
                                L"提前支取损失\t备注\r\n六个月\t0.85\t1280\t0\t101280\t"))
        << TextToUtf8(out);
    // The options come last: 100,000 × 1.005² = 101,002.50, shown halves to even.
    const std::wstring all =
        Cli({L"--profile", Path.wstring(), L"--need-month=12", L"--rates=6m=1", L"--tsv"}).Out;
    EXPECT_NE(all.find(L"\r\n六个月\t1\t1002\t0\t101002\t"), std::wstring::npos) << TextToUtf8(all);
}
