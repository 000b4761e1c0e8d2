#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

// A message box that a remote program showed.
struct TRemoteBox {
    std::wstring Caption;
    std::wstring Text;
};

// What came of one action: the boxes the program showed, in order, and whether it ended.
struct TRemoteOutcome {
    std::vector<TRemoteBox> Boxes;
    bool Exited = false;
    DWORD ExitCode = 0;
};

// Answers a box of the program (given its window) and returns true; or acts on the program under
// the box and returns false, and is then called again for the box once the program has handled
// that and the box is the one on top again. The box must go, or the program end, for the action
// to finish.
using TBoxAnswer = std::function<bool(HWND Box)>;

// How long one step of the program may take before the remote control gives up.
inline constexpr DWORD STEP_TIMEOUT = 30000;

// Asks Done every few milliseconds until it holds; false when it did not within Timeout
// milliseconds.
bool WaitUntil(const std::function<bool()>& Done, DWORD Timeout = STEP_TIMEOUT);

// Answers a box with its OK button.
void AnswerWithOk(HWND Box);
// Answers a Save dialog with File (a whole path), its question whether to replace the file with
// Yes, and any other box with OK.
TBoxAnswer AnswerSaveDialog(const std::wstring& File);
// Answers a box with a key (VK_RETURN, VK_ESCAPE) pressed in it.
void AnswerWithKey(HWND Box, WORD Key);
// Answers a box with its close box.
void AnswerWithCloseBox(HWND Box);

// Starts yieldora.exe as a separate process and drives its main dialog with window messages, the
// way a user's clicks would reach it. Every wait is bounded: a step that does not happen in time
// raises std::runtime_error.
class TYieldoraRemote {
public:
    // Starts Program with its own folder as the current directory and waits for its dialog.
    explicit TYieldoraRemote(const std::wstring& Program);
    TYieldoraRemote(const TYieldoraRemote&) = delete;
    TYieldoraRemote& operator=(const TYieldoraRemote&) = delete;
    // Ends the program by force when it is still running.
    ~TYieldoraRemote();

    HWND Dialog() const { return FDialog; }
    // The program's process (all access).
    HANDLE Process() const { return FProcess.get(); }
    HWND Item(int Id) const;
    std::wstring ItemText(int Id) const;
    void SetItemText(int Id, const std::wstring& Text) const;
    bool ItemEnabled(int Id) const;
    // Rows in the result table, and how many of them are selected.
    int RowCount() const;
    int SelectedRowCount() const;

    // Presses a button whose command shows no message box, and returns when it has been handled.
    void Press(int Id) const;
    // Presses a button whose command shows a message box; answers the box with OK and returns it
    // once the command has finished.
    TRemoteBox PressAndAnswer(int Id) const;
    // Presses a button that ends the program; answers its exit code.
    DWORD PressToExit(int Id);
    // Makes the dialog paint everything now.
    void Repaint() const;

    // Posts a message to a window of the program, as a user's input arrives, and returns once the
    // program has handled it and waits for input again with no box up, or has ended. Each box that
    // comes up meanwhile is recorded and answered by Answer (with OK when Answer is empty).
    TRemoteOutcome Perform(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam,
                           const TBoxAnswer& Answer = {});
    // A click on a button of the dialog.
    TRemoteOutcome Click(int Id, const TBoxAnswer& Answer = {});
    // A click into the first field (the fund), then a key (VK_RETURN, VK_ESCAPE, ...) pressed
    // and released there.
    TRemoteOutcome PressKey(WORD Key, const TBoxAnswer& Answer = {});
    // A command of the dialog as its menus send it (the table's menu: IDM_COPY, IDM_SELECT_ALL,
    // IDM_SHOW_CHART, ...).
    TRemoteOutcome Command(int Id, const TBoxAnswer& Answer = {});
    // A command of the dialog's window menu: SC_CLOSE (the close box), SC_MINIMIZE, SC_RESTORE.
    TRemoteOutcome SysCommand(WPARAM Command, const TBoxAnswer& Answer = {});
    // Windows ends the session: asks the dialog, then tells it the session ends.
    TRemoteOutcome EndSession(const TBoxAnswer& Answer = {});
    // The same messages only, for a box's answer: the session ends under the box.
    void SendEndSession() const;
    // Waits until what was sent or posted before has been handled (see Perform).
    TRemoteOutcome Settle(const TBoxAnswer& Answer = {});
    // Opens Window's context menu (as the menu key does), chooses the item Downs steps down with
    // the arrow keys and Enter, and follows the program as Perform does; given an Answer, it waits
    // for a box. Tries again until Done holds for the outcome (given two seconds to come true),
    // three times at most: a menu driven from outside now and then does not open or misses a key
    // (a window not yet active again after a box). Raises when the menu stays open.
    TRemoteOutcome ChooseFromMenu(HWND Window, int Downs, const TBoxAnswer& Answer,
                                  const std::function<bool(const TRemoteOutcome&)>& Done);

    void SetChecked(int Id, bool Checked) const;
    void SelectItem(int Id, int Index) const;
    // Picks an item of a combo box as the user does: the dialog is told of the new selection.
    void PickItem(int Id, int Index);
    // Moves the dialog's top-left corner to Left, Top on the screen.
    void MoveTo(int Left, int Top) const;
    bool Minimised() const;
    bool Maximised() const;
    // A visible top-level window of the program other than the dialog (the chart:
    // "YieldoraChart", "收益图"); null when there is none.
    HWND ProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const;
    RECT WindowRect() const;
    // The window that has the keyboard focus in the program's thread; null when none has.
    HWND FocusedWindow() const;
    // The rows of the result table, each row's cells joined by TAB (the program must be of the
    // same bitness as this one: the rows are read from its memory).
    std::vector<std::wstring> TableRows() const;
    // The comparison's window (null when it is not shown), its rows as TableRows reads them, and
    // a text typed into the rate field of a term of years (0 for one year ... 4 for ten years) or
    // into the field after the label Label ("三个月：", "提前支取：第", ...), followed until the
    // program has handled it.
    HWND CompareWindow() const;
    std::vector<std::wstring> CompareRows() const;
    // Where a cell of a list view of the program lies on the screen: the first column's label
    // alone (LVM_GETSUBITEMRECT).
    RECT ListCellRect(HWND View, int Row, int Column) const;
    void SetCompareRate(int Term, const std::wstring& Text);
    void SetCompareField(const std::wstring& Label, const std::wstring& Text);
    // The text of the rate field of a term of years, as SetCompareRate counts them, and of the
    // field after the label Label.
    std::wstring CompareRate(int Term) const;
    std::wstring CompareText(const std::wstring& Label) const;
    // The program is still running.
    bool Running() const;
    // Ends the program by force and waits for it.
    void Kill();

private:
    struct THandleCloser {
        void operator()(HANDLE Handle) const noexcept { CloseHandle(Handle); }
    };
    using THandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, THandleCloser>;

    // The first visible top-level window of the program of the given window class and caption
    // (any caption when Caption is null).
    HWND FindProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const;
    HWND WaitForProgramWindow(const wchar_t* ClassName, const wchar_t* Caption) const;
    // The rows of a list view of the program, each row's cells joined by TAB.
    std::vector<std::wstring> ListRows(HWND View) const;
    // The comparison's field after the label Label, or of a term of years; raises when there is
    // none.
    HWND CompareField(const std::wstring& Label) const;
    HWND CompareRateField(int Term) const;
    // Text into a field of the comparison, followed until the program has handled it.
    void TypeInto(HWND Field, const std::wstring& Text);
    // The result table's answer to a count message (LVM_GETITEMCOUNT, LVM_GETSELECTEDCOUNT).
    int TableCount(UINT Message) const;
    // Returns once the program's thread has handled everything sent before.
    void Sync() const;
    // One try of ChooseFromMenu: nothing happened when the menu did not open.
    TRemoteOutcome ChooseOnce(HWND Window, int Downs, const TBoxAnswer& Answer);

    // An enabled box of the program (the one on top), shown or about to be shown, other than the
    // dialog and Except.
    HWND FindBox(const std::vector<HWND>& Except) const;
    DWORD ExitCode() const;

    THandle FProcess;
    DWORD FProcessId = 0;
    DWORD FThreadId = 0;
    HWND FDialog = nullptr;
    mutable WPARAM FMarker = 0x10000;
};

// Makes a folder read-only (mode 0555) or writable again (0755) as chmod does: Wine ignores the
// read-only attribute of folders. Waits until the folder refuses or takes a new file. Raises when
// it cannot, and when a read-only folder still takes new files: the Wine session then passes over
// permissions, as root does, and a check of them would check nothing.
void SetFolderReadOnly(const std::wstring& Folder, bool ReadOnly);

// The Unicode text on the clipboard; empty when there is none. Raises when another program keeps
// the clipboard open.
std::wstring ReadClipboardText();

// The text as UTF-8.
std::string ToUtf8(const std::wstring& Text);
