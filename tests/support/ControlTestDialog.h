#pragma once

#include "ModalDriver.h"
#include "UkyDialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// A modal dialog made from the test's own dialog template 100, for tests of controls that wrap its
// items.
class TControlTestDialog : public TkyDialog {
public:
    using THook = std::function<void(TControlTestDialog& Dialog)>;

    static constexpr int TEMPLATE_ID = 100;

    // Runs when the window is up (wrap the items here).
    THook OnInit;
    // Runs while the dialog closes (free the controls here).
    THook OnClosing;

protected:
    friend class TkyDialogSuper;

    TControlTestDialog() = default;

    void DefineTemplate() override { SetTemplate(TEMPLATE_ID, 0); }
    void InitDialog() override {
        TkyDialog::InitDialog();
        if (OnInit) {
            OnInit(*this);
        }
    }
    void Closing() override {
        if (OnClosing) {
            OnClosing(*this);
        }
    }
};

// Shows template 100, runs Init when it is up, Body inside its modal loop, and closes it; Free runs
// while it closes.
inline void RunInDialog(const TControlTestDialog::THook& Init,
                        const TControlTestDialog::THook& Body,
                        const TControlTestDialog::THook& Free) {
    const std::unique_ptr<TControlTestDialog> dialog =
        TkyDialogSuper::Create<TControlTestDialog>(nullptr, false);
    dialog->OnInit = Init;
    dialog->OnClosing = Free;
    TModalDriver driver;
    driver.Then([&] { Body(*dialog); }).Then([&] { dialog->Close(true); });
    EXPECT_TRUE(dialog->RunModal());
    EXPECT_TRUE(driver.Done());
}

// A test of controls that wrap the items of template 100. TControls holds them: its Wrap(Dialog)
// runs when the dialog is up and its Free() while it closes; the test reaches them as its own
// members and runs its body inside the dialog's modal loop with InDialog.
template <typename TControls> class TControlDialogTest : public testing::Test, public TControls {
protected:
    void InDialog(const std::function<void()>& Body) {
        InDialog([&Body](TControlTestDialog&) { Body(); });
    }
    void InDialog(const std::function<void(TControlTestDialog& Dialog)>& Body) {
        RunInDialog([this](TControlTestDialog& Dialog) { this->Wrap(Dialog); }, Body,
                    [this](TControlTestDialog&) { this->Free(); });
    }
};
