#pragma once

#include "UkyWinControl.h"

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

// What every dialog built from a template needs: template and icon, owner, the item operations,
// the dialog's message handling and the hooks of its descendants.
class TkyDialogSuper : public TkyWinContainer {
public:
    ~TkyDialogSuper() override;

    // Makes a dialog of class T (constructed with Args) owned by the window of AOwner, or by the
    // main window when AOwner is null. With ACentreOnScreen it centres on the screen also when it
    // has an owner.
    template <class T, class... Args>
    static std::unique_ptr<T> Create(TkyWinControl* AOwner, bool ACentreOnScreen,
                                     Args&&... Arguments) {
        static_assert(std::is_base_of_v<TkyDialogSuper, T>);
        std::unique_ptr<T> dialog(new T(std::forward<Args>(Arguments)...));
        static_cast<TkyDialogSuper&>(*dialog).Construct(AOwner, ACentreOnScreen);
        return dialog;
    }

    void SetTemplate(int ATemplateId, int AIconId);
    HWND DlgItemHandle(int Id);
    void SetDlgText(int Id, const std::wstring& Text);
    // The item's text, at most 4999 characters.
    std::wstring GetDlgText(int Id);
    void SetDlgCheck(int Id, bool On);
    // True only when the box is checked; an indeterminate box reads false.
    bool GetDlgCheck(int Id);
    void EnableDlgItem(int Id, bool Enabled);
    // Keys that command the dialog wherever its keyboard focus is, as a menu's accelerators do:
    // while a dialog loop runs on this thread, each key (a virtual key with FVIRTKEY, and
    // FCONTROL, FSHIFT or FALT for the keys held with it) pressed in the dialog or any of its
    // items reaches ItemCommand with its command id, and goes no further (a field gets no
    // character). Replaces the keys set before; the window must exist (InitDialog on). The keys
    // go with the window.
    void SetShortcuts(const std::vector<ACCEL>& Keys);

    // Frees the owned objects, then runs Closing.
    virtual void Close(bool Result);

    // Objects freed when the dialog closes.
    TkyObjList& OwnedObjects() { return *FOwnedObjects; }
    bool CentreOnScreen() const { return FCentreOnScreen; }
    HWND OwnerHandle() const { return FOwnerHandle; }
    int TemplateId() const { return FTemplateId; }
    int IconId() const { return FIconId; }

protected:
    TkyDialogSuper();

    // Names the template and the icon (SetTemplate).
    virtual void DefineTemplate() = 0;
    // First step of the dialog's destruction.
    virtual void Destroying();
    // Runs when the window exists: centres the dialog on its owner or the screen and activates
    // it.
    virtual void InitDialog();
    // Runs inside Close before the dialog ends.
    virtual void Closing();
    // A button click, menu command or accelerator (not the items' other notifications, which
    // reach only the item): IDOK closes with true, IDCANCEL with false.
    virtual void ItemCommand(WORD Id);

    LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override;
    // The dialog manager does the default processing of what the dialog leaves alone.
    LRESULT DefaultProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override;
    void Destroy() override;

private:
    struct TShortcuts;

    void Construct(TkyWinControl* AOwner, bool ACentreOnScreen);

    std::unique_ptr<TkyObjList> FOwnedObjects;
    std::unique_ptr<TShortcuts> FShortcuts;
    bool FCentreOnScreen = false;
    HWND FOwnerHandle = nullptr;
    int FTemplateId = 0;
    int FIconId = 0;
};

// A dialog run modally by the platform's dialog manager.
class TkyDialog : public TkyDialogSuper {
public:
    // Shows the dialog and returns when it has closed: true when it closed with Close(true).
    // Raises again an error that one of its handlers raised.
    bool RunModal();
    // Binds the object to its new window (on WM_INITDIALOG) and runs InitDialog.
    void Attach(HWND Window);
    // Ends the modal loop with Result.
    void Close(bool Result) override;

protected:
    TkyDialog() = default;

private:
    void NotifyOwner(UINT AMessage);

    // MSG_MODAL_BEGIN went to the owner and MSG_MODAL_END has not yet.
    bool FModalBegun = false;
};
