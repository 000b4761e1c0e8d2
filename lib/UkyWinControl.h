#pragma once

#include "UkyClasses.h"
#include "UkyFont.h"
#include "UkyFunctions.h"
#include "UkyHandles.h"
#include "UkyListSuper.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

class TkyWinControl;
class TkyWinContainer;
class TkyControl;

// Posted to the main window on every Escape key-down that reaches a window object.
constexpr UINT MSG_ESCAPE_KEY = WM_APP + 402;

// The handler of one window's messages: its window object's ReceiveMessage. Empty means none.
using TMessagehandler = std::function<LRESULT(UINT AMessage, WPARAM WParam, LPARAM LParam)>;

// Where a window's messages find the object that represents the window.
class TMHCenter : public TObject {
public:
    TMHCenter();

    // Registers Handler for Handle on behalf of Owner (the window object whose handler it is).
    void Register(HWND Handle, TMessagehandler Handler, const TkyWinControl* Owner = nullptr);
    // Takes out the first registration of Handle made on behalf of Owner and answers where it
    // stood, or -1 when there is none. Registrations of Handle by other owners stay.
    std::int32_t Unregister(HWND Handle, const TkyWinControl* Owner = nullptr);
    // The handler of the first registration of Handle; empty when Handle has none.
    TMessagehandler Lookup(HWND Handle) const;

private:
    TkyIntList FHandles;
    std::vector<TMessagehandler> FHandlers;
    std::vector<const TkyWinControl*> FOwners;
};

// The process's message handler centre.
TMHCenter& MHCenter();

// Window procedure that hands a window's messages to its registered handler (see Subclass).
LRESULT CALLBACK CentreWindowProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam);
// Dialog procedure of the modal dialogs: attaches the pending dialog on WM_INITDIALOG, then hands
// the window's messages to its registered handler. The pending dialog is the TPendingDialog that
// the init parameter points to, or the PendingDialog slot when the parameter is 0.
INT_PTR CALLBACK DialogProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam);

// The dialog that the next WM_INITDIALOG belongs to, with the routine that attaches it.
struct TPendingDialog {
    TkyWinContainer* Dialog = nullptr;
    void (*Attach)(TkyWinContainer& Dialog, HWND Window) = nullptr;
};
TPendingDialog& PendingDialog();

// An error raised by a handler that CentreWindowProc or DialogProc called does not unwind through
// the platform: it ends the modal dialog the window belongs to and is kept, by the innermost modal
// loop that is running (see THandlerErrors), or outside every modal loop by the process. This
// raises the error kept outside the modal loops again (once), or does nothing when there is none.
void RaiseHandlerError();

// For the program's own window procedures, inside their catch block: keeps the error being handled
// as CentreWindowProc and DialogProc keep theirs, and ends the modal dialog Dialog.
void KeepHandlerError(HWND Dialog);

// The window procedure of a window class of the program's own whose windows each belong to an
// object of WindowObject, given as CreateWindowExW's creation parameter: the object takes the
// window's handle on WM_NCCREATE (TakeHandle), lets go of it on WM_NCDESTROY (ReleaseHandle: a
// window is destroyed with its owner), and handles every other message (HandleMessage). An error
// must not unwind through the system's frames: it is kept as CentreWindowProc keeps its errors, and
// the modal dialog of the window's root owner ends and raises it again.
template <class WindowObject>
LRESULT CALLBACK ObjectWindowProc(HWND Window, UINT AMessage, WPARAM WParam, LPARAM LParam) {
    try {
        if (AMessage == WM_NCCREATE) {
            auto* object = static_cast<WindowObject*>(
                reinterpret_cast<const CREATESTRUCTW*>(LParam)->lpCreateParams);
            object->TakeHandle(Window);
            SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
        auto* object = reinterpret_cast<WindowObject*>(GetWindowLongPtrW(Window, GWLP_USERDATA));
        if (object == nullptr) {
            return DefWindowProcW(Window, AMessage, WParam, LParam);
        }
        if (AMessage == WM_NCDESTROY) {
            SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
            object->ReleaseHandle();
            return DefWindowProcW(Window, AMessage, WParam, LParam);
        }
        return object->HandleMessage(AMessage, WParam, LParam);
    } catch (...) {
        KeepHandlerError(GetAncestor(Window, GA_ROOTOWNER));
        return 0;
    }
}

// The handler errors of one modal loop: while the object lives, the first error a handler raises
// is kept here, not by an outer loop or the process, so that it is raised again only by the one
// who runs this loop. Objects nest in the order they are made (one on the stack per loop).
class THandlerErrors {
public:
    THandlerErrors();
    THandlerErrors(const THandlerErrors&) = delete;
    THandlerErrors& operator=(const THandlerErrors&) = delete;
    ~THandlerErrors();

    // Raises the kept error again (once), or does nothing when there is none.
    void Raise();

    // Keeps Error in the innermost loop's object unless that one already holds an error; false
    // when no modal loop is running.
    static bool KeepInnermost(std::exception_ptr Error);

private:
    THandlerErrors* FOuter;
    std::exception_ptr FError;
};

// A hook that sees a window object's messages before the object does. The hook must outlive its
// entry in the object's Hooks.
class MessageHook : public virtual IInterface {
public:
    // Set Handled to answer the message with the result; otherwise the object goes on with it.
    virtual LRESULT HookMessage(TkyWinControl& Sender, UINT AMessage, WPARAM WParam, LPARAM LParam,
                                bool& Handled) = 0;

protected:
    ~MessageHook() = default;
};

// Message event of a window object: set Handled to answer the message with the result.
using TMessageEvent =
    std::function<LRESULT(UINT AMessage, WPARAM WParam, LPARAM LParam, bool& Handled)>;

// Places of a control in its container (TkyControl::Align).
constexpr std::uint8_t ALIGN_NONE = 0;
constexpr std::uint8_t ALIGN_LEFT = 1;
constexpr std::uint8_t ALIGN_RIGHT = 3;
constexpr std::uint8_t ALIGN_TOP = 4;
constexpr std::uint8_t ALIGN_BOTTOM = 5;
constexpr std::uint8_t ALIGN_CLIENT = 6;
// Re-parenting argument: keep the current alignment.
constexpr std::uint8_t ALIGN_KEEP = 7;

// One platform window: its handle, font, background colour and message entry point.
//
// Window objects are made by the factories of TkyControl and TkyDialogSuper and freed with delete
// (a unique_ptr, or a list's FreeAll). Deleting one first runs its Destroy, the steps of its
// destructor, while the whole object still exists, so that the hooks that run there
// (BeforeDestroy, Destroying) reach the overrides of the object's own class.
class TkyWinControl : public TkyInterfacedObject {
public:
    static void* operator new(std::size_t Size);
    // Frees an object whose constructor failed.
    static void operator delete(void* Memory) noexcept;
    static void operator delete(TkyWinControl* Obj, std::destroying_delete_t);

    virtual void SetVisible(bool Value);
    virtual void SetEnabled(bool Value);
    virtual void SetParent(TkyWinContainer* AParent);
    virtual void ApplyBounds(const TBounds& Bounds);
    // The window's rectangle: on the screen, for a control in its container's client area.
    virtual RECT GetRect();
    virtual std::wstring GetText();
    virtual void SetText(const std::wstring& Text);
    // Background colour; -1 for none.
    virtual void SetColor(std::int64_t AColor);
    // The colour set, or else the background colour the window paints with.
    virtual std::int64_t GetColor();
    virtual void SetRedraw(bool Value);
    virtual void Activate();
    virtual TBounds GetClientBounds();
    virtual RECT GetClientArea();

    HWND Handle() const { return FHandle; }
    bool Visible() const { return FVisible; }
    TkyWinContainer* Parent() const { return FParent; }
    TkyFont& Font() { return *FFont; }
    std::int64_t Color() const { return FColor; }
    HBRUSH Brush() const { return FBrush; }
    WNDPROC PrevWndProc() const { return FPrevWndProc; }
    TkyInterfaceList& Hooks() { return *FHooks; }

    // The handler registered for the window: Escape notice, hooks, OnMessage, then WindowProc.
    LRESULT ReceiveMessage(UINT AMessage, WPARAM WParam, LPARAM LParam);
    LRESULT Perform(UINT AMessage, WPARAM WParam, LPARAM LParam);
    // A negative argument keeps that part of the bounds.
    void SetBounds(int Left, int Top, int AWidth, int AHeight);
    TBounds GetBounds();
    int Width();
    int Height();
    int TextLength();
    POINT CursorPos();
    void SetFont(const TkyFont& AFont);
    // Gives the window the program's icon resource Id as big and small icon, each in the size the
    // window's scale asks for (Dpi, or the window's own when 0).
    void SetIcon(int Id, int Dpi = 0);
    // Routes the window's messages through Procedure (normally CentreWindowProc); the procedure
    // it replaces becomes PrevWndProc.
    void Subclass(WNDPROC Procedure);
    void SetStyle(DWORD Bits, bool On);
    LONG_PTR SetLong(int Index, LONG_PTR Value);
    LONG_PTR GetLong(int Index);
    void Redraw();
    void Focus();
    bool IsVisible();

    TMessageEvent OnMessage;

protected:
    TkyWinControl() = default;

    virtual void Initialize();
    virtual void Finalize();
    virtual LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam);
    virtual LRESULT DefaultProc(UINT AMessage, WPARAM WParam, LPARAM LParam);
    virtual void ApplyFont();
    virtual bool UsesClassBrush();
    // The steps of the object's destructor.
    virtual void Destroy() = 0;

    // Registers the window with the message handler centre.
    void RegisterHandle();
    // Gives a subclassed window its own procedure back.
    void RestoreWndProc();

    HWND FHandle = nullptr;
    TkyWinContainer* FParent = nullptr;
    WNDPROC FPrevWndProc = nullptr;

private:
    bool FVisible = false;
    std::unique_ptr<TkyInterfaceList> FHooks;
    std::unique_ptr<TkyFont> FFont;
    std::int64_t FColor = -1;
    HBRUSH FBrush = nullptr;
    TkyGdiObject<HBRUSH> FOwnBrush;
    WNDPROC FSubclassProc = nullptr;
    TIconHandle FIcon;
    TIconHandle FSmallIcon;
};

// A window object with child controls: it hands the children their notifications and lays the
// aligned ones out. It does not own its children; a child leaves its container when destroyed, and
// children that outlive their container are left without one.
class TkyWinContainer : public TkyWinControl {
public:
    void SetVisible(bool Value) override;
    void SetEnabled(bool Value) override;
    void SetColor(std::int64_t AColor) override;

    // Places the aligned children in the client area, then realigns and redraws every child.
    virtual void Realign();

    std::int32_t ChildCount() const { return FChildren ? FChildren->Count() : 0; }
    // The child at Index in attaching order; null for an invalid index.
    TkyControl* Child(std::int32_t Index) const;

protected:
    void Initialize() override;
    void Finalize() override;
    LRESULT WindowProc(UINT AMessage, WPARAM WParam, LPARAM LParam) override;
    void ApplyFont() override;

    // Called on WM_MOVE with the new position of the client area.
    virtual void Moved(POINT Position);
    // Called at the end of Realign with the client bounds.
    virtual void Realigned(const TBounds& ClientBounds);
    // A WM_COMMAND this window sent (the notification code), or a scroll request it sent.
    virtual LRESULT HandleCommand(WORD Code);
    // A WM_NOTIFY this window sent; the result answers the message.
    virtual LRESULT HandleNotify(int Code, NMHDR* Header);

private:
    friend class TkyControl;

    bool DispatchCommand(HWND Control, WORD Code);
    bool DispatchNotify(HWND From, int Code, NMHDR* Header, LRESULT& Result);
    TkyControl* DirectChild(HWND Window) const;

    std::unique_ptr<TkyObjList> FChildren;
};

// A child control: it creates its own window (CreateHandle) or wraps one that exists, such as a
// dialog item.
class TkyControl : public TkyWinContainer {
public:
    // Makes a control of class T (constructed with Args) on the existing window Existing, or on
    // a window of its own when Existing is null, and attaches it to AParent.
    template <class T, class... Args>
    static std::unique_ptr<T> Create(TkyWinContainer& AParent, HWND Existing = nullptr,
                                     Args&&... Arguments) {
        static_assert(std::is_base_of_v<TkyControl, T>);
        std::unique_ptr<T> control(new T(std::forward<Args>(Arguments)...));
        static_cast<TkyControl&>(*control).Construct(AParent, Existing);
        return control;
    }

    void SetParent(TkyWinContainer* AParent) override;
    // Moves the control into AParent with the alignment AAlign (ALIGN_KEEP keeps the current one),
    // then activates it.
    void SetParent(TkyWinContainer* AParent, std::uint8_t AAlign);
    RECT GetRect() override;
    // Replaces an own window by a new one with the same bounds, text, font, colour and children.
    // Does nothing for a wrapped window.
    virtual void RecreateHandle();
    virtual void SetBorder(bool Value);

    bool OwnsHandle() const { return FOwnsHandle; }
    std::uint8_t Align() const { return FAlign; }
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool Value) { FParentColor = Value; }
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool Value) { FParentFont = Value; }

protected:
    TkyControl() = default;

    // Creates the control's own window as a child of AParent.
    virtual HWND CreateHandle(HWND AParent) = 0;
    // Runs once the window exists and is registered (after creation and after RecreateHandle).
    virtual void AfterCreate();
    // Runs while the object is being destroyed, before its window is released; also when the
    // object's creation failed part-way.
    virtual void BeforeDestroy();
    void Destroy() override;

private:
    void Construct(TkyWinContainer& AParent, HWND Existing);
    void MoveChildWindows(HWND Target);

    bool FOwnsHandle = false;
    std::uint8_t FAlign = ALIGN_NONE;
    bool FParentColor = false;
    bool FParentFont = false;
};

// A child window of Parent at zero position and size: visible, tab stop, clipping its children.
HWND CreateChildWindow(HWND Parent, const wchar_t* ClassName, DWORD Style, DWORD ExStyle);

// The common-controls library: loaded on the first call and held, once, until the program ends.
HMODULE CommonControlsLibrary();
// Makes the common-control window classes of Flags (ICC_*) available; the library's one way to load
// and initialise the common controls. The program calls it at start-up with every class group its
// dialog templates name; the controls that create their own windows call it again for theirs.
// Raises "Load Common Controls Failed!" when the platform refuses them.
void InitCommonControlClasses(DWORD Flags);
