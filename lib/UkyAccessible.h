#pragma once

#include "UkyWinControl.h"

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Screen readers name a field after the label just before it among the window's children (the
// z-order). Moves Label there, right before Field; the order of the tab stops stays as it is, as
// a label is none.
void PlaceLabelBefore(HWND Label, HWND Field);

// Gives a control without a visible text of its own (a list view, an up-down control) the name a
// screen reader speaks: its window text, which such a control does not show.
void SetAccessibleName(HWND Control, const std::wstring& Name);

// One part of a window that a screen reader moves through: a row of a table, a bar of a chart.
struct TAccessibleElement {
    std::wstring Name;
    std::wstring Value;
    long Role = 0;  // ROLE_SYSTEM_...
    long State = 0; // STATE_SYSTEM_...
    RECT Bounds{};  // in the window's client coordinates
};

// What a window's accessible object says beyond the standard object of its class. A function left
// empty leaves that part to the standard object; Elements, when given, are the object's children.
struct TAccessibleAnswer {
    std::function<std::wstring()> Name;
    std::function<std::wstring()> Description;
    std::function<std::wstring()> Value;
    std::function<std::vector<TAccessibleElement>()> Elements;
};

// Makes Window answer screen readers (WM_GETOBJECT for its client object) with the standard object
// of its class, changed by Answer, for as long as the window lives. The answer's functions are no
// longer called once the window is destroyed, even by a reader still holding the object. The
// window's thread enters a COM apartment (TkyComApartment) when the first reader asks, for readers
// in other processes, and leaves it with the window.
void AnswerAccessible(HWND Window, TAccessibleAnswer Answer);
// The same for a window object of the library, through the object's own OnMessage (kept, and
// called for every other message) rather than a subclass, which under Wine costs every message of
// the window a request to the server. For list views, which get many messages.
void AnswerAccessible(TkyWinControl& Control, TAccessibleAnswer Answer);

// A list view named Name, its rows its accessible children, each named by its cells, every one
// after its column's caption ("年：3，利息：305"), empty cells left out.
TAccessibleAnswer ListViewRowsAnswer(HWND ListView, std::wstring Name);

// Keeps the keyboard's focus visible in Dialog and the list views given: the focus rectangle and
// the access keys' underlines are shown from the start, not only once a key is pressed, and a list
// view that takes the focus with rows but no focused row gives its first row the focus (not the
// selection), so that its focus rectangle shows where the arrow keys start.
void KeepFocusVisible(HWND Dialog, std::initializer_list<TkyWinControl*> ListViews);

// The thread's single-threaded COM apartment for the object's lifetime (nested ones are counted),
// in which the accessible objects of its windows answer other processes.
class TkyComApartment {
public:
    TkyComApartment();
    TkyComApartment(const TkyComApartment&) = delete;
    TkyComApartment& operator=(const TkyComApartment&) = delete;
    ~TkyComApartment();

private:
    bool FInitialized;
};
