#include "UPrintJob.h"

#include "MsgBoxHook.h"
#include "YearTermPlan.h"

#include <gtest/gtest.h>

// Run where no printer is installed (YIELDORA_WINE_PRINT=none).
TEST(NoPrinter, PrintingSaysSoAndGoesOn) {
    const TDepositResult result = CalculateResult({});
    const TDepositPlan comparison = PlanYearTerms(result.Inputs, {});
    ASSERT_TRUE(InstalledPrinters().empty());
    const HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                       nullptr, nullptr, nullptr, nullptr);
    TMsgBoxHook boxes;
    PrintWithDialog(owner, TPrintKind::Schedule, {result, comparison}, L"");
    SetUpPages(owner, L"");
    ASSERT_EQ(boxes.Boxes().size(), 2u);
    for (const TMsgBoxRecord& box : boxes.Boxes()) {
        EXPECT_EQ(box.Text, NO_PRINTER_MESSAGE);
        EXPECT_EQ(box.Owner, owner);
    }
    EXPECT_EQ(boxes.Boxes()[0].Text, L"没有安装打印机，无法打印。请先在系统中添加打印机。");
    DestroyWindow(owner);
}
