#include "UkyComboBox.h"

#include "ControlTestDialog.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int COMBO_ID = 203;

} // namespace

TEST(TkyComboBox, DropDownListSelection) {
    std::unique_ptr<TkyComboBox> combo;
    RunInDialog(
        [&](TControlTestDialog& Dialog) {
            combo = TkyControl::Create<TkyComboBox>(Dialog, Dialog.DlgItemHandle(COMBO_ID));
        },
        [&](TControlTestDialog&) {
            TComboItems& items = combo->Items();
            EXPECT_EQ(&items.ComboBox(), combo.get());
            items.AddStrings({});
            EXPECT_EQ(items.Count(), 0);
            items.AddStrings({L"一年期", L"二年期", L"三年期", L"五年期", L"十年期"});
            EXPECT_EQ(items.Count(), 5);
            EXPECT_EQ(items.GetItemIndex(), -1);

            combo->SetText(L"三年期");
            EXPECT_EQ(items.GetItemIndex(), 2);
            EXPECT_EQ(combo->GetText(), L"三年期");
            combo->SetText(L"两年");
            EXPECT_EQ(items.GetItemIndex(), 2);
            combo->SetText(L"五");
            EXPECT_EQ(items.GetItemIndex(), 3);

            items.SetItemIndex(-1);
            EXPECT_EQ(items.GetItemIndex(), -1);
            EXPECT_EQ(combo->GetText(), L"");
            items.SetItemIndex(4);
            EXPECT_EQ(combo->GetText(), L"十年期");
        },
        [&](TControlTestDialog&) { combo.reset(); });
}

TEST(TkyComboBox, UserSelectionChangeFiresOnChange) {
    std::unique_ptr<TkyComboBox> combo;
    RunInDialog(
        [&](TControlTestDialog& Dialog) {
            combo = TkyControl::Create<TkyComboBox>(Dialog, Dialog.DlgItemHandle(COMBO_ID));
        },
        [&](TControlTestDialog&) {
            combo->Items().AddStrings({L"a", L"b", L"c"});
            combo->Items().SetItemIndex(0);
            std::vector<std::int32_t> seen;
            combo->Items().OnChange = [&](TComboItems& Sender) {
                seen.push_back(Sender.GetItemIndex());
            };
            combo->Items().SetItemIndex(1);
            EXPECT_TRUE(seen.empty());
            combo->Focus();
            combo->Perform(WM_KEYDOWN, VK_DOWN, 0);
            EXPECT_EQ(seen, std::vector<std::int32_t>{2});
        },
        [&](TControlTestDialog&) { combo.reset(); });
}

TEST(TkyComboBox, EditableOwnWindowTakesAnyText) {
    std::unique_ptr<TkyComboBox> editable;
    std::unique_ptr<TkyComboBox> list;
    RunInDialog(
        [&](TControlTestDialog& Dialog) {
            editable = TkyControl::Create<TkyComboBox>(Dialog, nullptr, true);
            list = TkyControl::Create<TkyComboBox>(Dialog);
        },
        [&](TControlTestDialog&) {
            EXPECT_TRUE(editable->Editable());
            EXPECT_EQ(editable->GetLong(GWL_STYLE) & CBS_DROPDOWNLIST, CBS_DROPDOWN);
            EXPECT_NE(editable->GetLong(GWL_STYLE) & CBS_AUTOHSCROLL, 0);
            editable->Items().AddStrings({L"一年期", L"二年期"});
            editable->SetText(L"七年期");
            EXPECT_EQ(editable->GetText(), L"七年期");
            EXPECT_EQ(editable->Items().GetItemIndex(), -1);

            EXPECT_FALSE(list->Editable());
            EXPECT_EQ(list->GetLong(GWL_STYLE) & CBS_DROPDOWNLIST, CBS_DROPDOWNLIST);
        },
        [&](TControlTestDialog&) {
            editable.reset();
            list.reset();
        });
}
