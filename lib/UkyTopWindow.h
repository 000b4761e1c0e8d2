#pragma once

#include "UkyHandles.h"
#include "UkyPlacement.h"
#include "UkyWinControl.h"

#include <windows.h>

#include <memory>
#include <optional>

// What a kind of top-level window is: its window class and caption, its icon (a resource number
// of the program, 0 for none), its size and least size at 96 dots per inch, the key prefix of its
// place in the profile section "Program", and whether the system fills its ground with the
// colour of buttons (else the window paints all of its client area itself).
struct TkyTopWindowKind {
    const wchar_t* ClassName = nullptr;
    const wchar_t* Caption = nullptr;
    int IconId = 0;
    SIZE Size{};
    SIZE MinSize{};
    const wchar_t* PlacementPrefix = nullptr;
    bool ButtonFaceGround = false;
};

// A top-level window of the program's own, owned by another window and made when it is first
// shown: its class is registered once, the object is bound to its window by ObjectWindowProc
// (which keeps what a handler raises for the modal loop), its place, size and state are kept in
// the profile, it follows the scale of the monitor it is on, the close box only hides it, and it
// paints through a buffer. A window of a kind makes its controls, lays them out, paints and
// handles its own messages; the base does the rest.
class TkyTopWindow {
public:
    TkyTopWindow(HWND Owner, const TkyTopWindowKind& Kind);
    TkyTopWindow(const TkyTopWindow&) = delete;
    TkyTopWindow& operator=(const TkyTopWindow&) = delete;
    virtual ~TkyTopWindow();

    // Opens the window at its remembered place and state (or where DefaultOrigin puts it), or
    // brings it to the front. A hidden window keeps its state: it comes back maximised when it
    // was hidden so.
    void Show();
    void Hide() const;
    // Null until the window is first shown.
    HWND Handle() const { return FHandle.get(); }
    HWND Owner() const { return FOwner; }
    bool Visible() const;
    // Writes the window's place, size and state to the profile; nothing when it was never shown.
    void SavePlacement() const;
    // The window's scale: the owner's screen's until the system tells the window of another.
    int Dpi() const;
    int Scaled(int Length) const;

protected:
    // Where the window's top-left corner goes when no place is saved, given the owner's
    // rectangle; the window is then moved into the owner's work area.
    virtual POINT DefaultOrigin(const RECT& OwnerRect) const = 0;
    // The window is made: its controls.
    virtual void Created() {}
    // The client area has a new size, or the window a new scale: the controls' places.
    virtual void Resized() {}
    // The window has a new scale (Dpi), before it takes the place the system suggests.
    virtual void ScaleChanged() {}
    // The window was shown or brought to the front.
    virtual void Shown() {}
    // The part of the client area that Paint draws, and drawing it into Dc in client
    // coordinates.
    virtual RECT PaintArea() const;
    virtual void Paint(HDC Dc, const RECT& Area) const = 0;
    // A message the window handles itself, with its answer; none leaves it to the base.
    virtual std::optional<LRESULT> Message(UINT AMessage, WPARAM WParam, LPARAM LParam) = 0;
    // The window is going with its owner: the handles of its controls are no longer valid.
    virtual void Destroyed() {}
    // The parent of the library's controls (TkyControl::Create) in the window, from Created on:
    // the window hands them their commands and notifications after Message. Controls made on it
    // go before the window does (Destroyed).
    TkyWinContainer& Controls() const { return *FControls; }

private:
    template <class WindowObject>
    friend LRESULT CALLBACK ObjectWindowProc(HWND Window, UINT AMessage, WPARAM WParam,
                                             LPARAM LParam);
    void TakeHandle(HWND Window);
    void ReleaseHandle();
    LRESULT HandleMessage(UINT AMessage, WPARAM WParam, LPARAM LParam);
    void CreateHandle();
    void PaintBuffered();

    HWND FOwner;
    TkyTopWindowKind FKind;
    TkyWindow FHandle;
    // The scale the system last gave the window; 0 while it gave none.
    int FDpi = 0;
    // Set once the controls are made, from when the window is laid out.
    bool FMade = false;
    TkyWindowPlacement FPlacement;
    std::unique_ptr<TkyWinContainer> FControls;
};
