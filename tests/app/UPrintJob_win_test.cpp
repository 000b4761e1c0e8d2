#include "UPrintJob.h"

#include "PrintedPdf.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace {

const std::wstring DATE = L"2026年12月8日";

class PrintJob : public testing::Test {
protected:
    void SetUp() override {
        const std::string skip = PrintSkipReason();
        if (!skip.empty()) {
            GTEST_SKIP() << skip;
        }
    }
    std::wstring Printer() const { return L"PDF"; }
};

} // namespace

TEST_F(PrintJob, Probe) {
    const TDepositResult result = CalculateResult({.Year = 120});
    const TTermComparison comparison = CompareTerms(result.Inputs, {L"1.5", L"2.1", L"2.75", L"2.75", L"3"}, true);
    for (const TkyPageSetup setup : {TkyPageSetup{}, TkyPageSetup{DMPAPER_A4, DMORIENT_LANDSCAPE, {2000, 2000, 2000, 2000}}, TkyPageSetup{DMPAPER_LETTER, DMORIENT_PORTRAIT, {2000, 2000, 2000, 2000}}, TkyPageSetup{DMPAPER_A5, DMORIENT_PORTRAIT, {2000, 2000, 2000, 2000}}}) {
        std::optional<TkyPrintChoice> choice = PrinterChoice(Printer(), setup);
        ASSERT_TRUE(choice);
        std::cout << GetDeviceCaps(choice->Dc.get(), HORZRES) << "x" << GetDeviceCaps(choice->Dc.get(), VERTRES) << std::endl;
        for (TPrintKind kind : {TPrintKind::Schedule, TPrintKind::Comparison, TPrintKind::Chart}) {
            EXPECT_EQ(PrintPages(*choice, setup, kind, {result, comparison}, DATE), L"");
            const TPrintedPdf pdf = TakePrinted();
            std::cout << pdf.Name << "\n" << pdf.Info;
            for (const std::string& page : pdf.Pages) std::cout << "=====PAGE\n" << page;
            if (kind != TPrintKind::Schedule) {
                std::cout << "capital " << PixelsNear(pdf, 1, 50, RGB(65, 105, 225)) << " interest " << PixelsNear(pdf, 1, 50, RGB(255, 165, 0)) << std::endl;
            }
        }
    }
}
