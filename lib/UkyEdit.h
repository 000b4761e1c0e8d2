#pragma once

#include "UkyWinControl.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// An edit control: read-only state, modified flag, tab width, selection and undo.
class TkyEditControl : public TkyControl {
public:
    using TChangeEvent = std::function<void(TkyEditControl& Sender)>;

    // Keeps the read-only state, the tab width and the modified flag.
    void RecreateHandle() override;

    // The characters of the current selection.
    virtual std::wstring GetSelText();
    // The window's answer: non-zero when something was undone.
    virtual LRESULT Undo();
    virtual bool CanUndo();
    // Start is zero-based; Length is 0 for a caret without selection.
    virtual void GetSelection(std::int32_t& Start, std::int32_t& Length);
    virtual LRESULT SetSelection(std::int32_t Start, std::int32_t Length);
    // Number of UTF-16 code units of the text.
    virtual std::int32_t GetTextLength();

    // Sets the window's read-only state, then fires OnChange.
    void SetReadOnly(bool Value);
    bool ReadOnly() const { return FReadOnly; }
    void SetModified(bool Value);
    bool GetModified();
    // One tab stop every Value characters (Value x 5 dialog template units).
    void SetTabWidth(std::int32_t Value);
    std::int32_t TabWidth() const { return FTabWidth; }

    // Fired on EN_UPDATE and by SetReadOnly.
    TChangeEvent OnChange;

protected:
    TkyEditControl() = default;

    LRESULT HandleCommand(WORD Code) override;
    // The tab width starts at 8 characters; nothing is sent to the window. The window's messages
    // pass the object (its hooks and OnMessage) first.
    void AfterCreate() override;

private:
    bool FReadOnly = false;
    std::int32_t FTabWidth = 8;
};

// A single-line edit that scrolls its text horizontally.
class TkyEdit : public TkyEditControl {
protected:
    friend class TkyControl;

    TkyEdit() = default;

    HWND CreateHandle(HWND AParent) override;
};
