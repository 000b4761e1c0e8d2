#include "UkySystemLibrary.h"

#include <commctrl.h>
// Before commdlg.h: the Print dialog's structure names IUnknown.
#include <objbase.h>

#include <commdlg.h>
#include <oleacc.h>
#include <shlobj.h>
#include <winspool.h>

#include <cstdlib>

HMODULE LoadSystemLibrary(const wchar_t* Name) {
    const HMODULE library = LoadLibraryExW(Name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Systems without the search flags refuse them; the name alone then searches as the process
    // allows (RestrictLibraryLoads takes the current folder out).
    return library != nullptr || GetLastError() != ERROR_INVALID_PARAMETER ? library
                                                                           : LoadLibraryW(Name);
}

namespace {

struct TSystemFunction {
    const wchar_t* Library;
    const char* Name;
};

// The stand-in for an imported function of type Function: on its first call it binds the system's
// function (a system without it ends the program) and from then on calls it.
template <class Function> struct TBoundOnFirstCall;

template <class Result, class... Arguments>
struct TBoundOnFirstCall<Result(WINAPI*)(Arguments...)> {
    using TFunction = Result(WINAPI*)(Arguments...);

    template <const TSystemFunction& Function> static Result WINAPI Call(Arguments... Values) {
        static const TFunction bound = Bind(Function);
        return bound(Values...);
    }

    static TFunction Bind(const TSystemFunction& Function) {
        const HMODULE library = LoadSystemLibrary(Function.Library);
        const FARPROC found = library != nullptr ? GetProcAddress(library, Function.Name) : nullptr;
        if (found == nullptr) {
            std::abort();
        }
        return reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(found));
    }
};

} // namespace

// The name under which a caller finds an imported function's address: with the bytes of its
// arguments on 32-bit Windows (stdcall), without them on 64-bit.
#ifdef _WIN64
#define YIELDORA_IMPORT_NAME(Function, Bytes) "__imp_" #Function
#else
#define YIELDORA_IMPORT_NAME(Function, Bytes) "__imp__" #Function "@" #Bytes
#endif

#define YIELDORA_BOUND_ON_FIRST_CALL(Library, Function, Bytes)                                     \
    namespace {                                                                                    \
    constexpr TSystemFunction FUNCTION_##Function{Library, #Function};                             \
    }                                                                                              \
    extern "C" void* const IMPORTED_##Function asm(YIELDORA_IMPORT_NAME(Function, Bytes));         \
    void* const IMPORTED_##Function = reinterpret_cast<void*>(                                     \
        &TBoundOnFirstCall<decltype(&::Function)>::Call<FUNCTION_##Function>)

YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_BeginDrag, 16);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_Create, 20);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_Destroy, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_Draw, 24);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_DragEnter, 12);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_DragLeave, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_DragMove, 8);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_EndDrag, 0);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_GetDragImage, 8);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_GetIconSize, 12);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_GetImageCount, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_Remove, 8);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_ReplaceIcon, 12);
YIELDORA_BOUND_ON_FIRST_CALL(L"comctl32.dll", ImageList_SetIconSize, 12);
YIELDORA_BOUND_ON_FIRST_CALL(L"comdlg32.dll", CommDlgExtendedError, 0);
YIELDORA_BOUND_ON_FIRST_CALL(L"comdlg32.dll", GetSaveFileNameW, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"comdlg32.dll", PageSetupDlgW, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"comdlg32.dll", PrintDlgExW, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"oleacc.dll", CreateStdAccessibleObject, 16);
YIELDORA_BOUND_ON_FIRST_CALL(L"oleacc.dll", LresultFromObject, 12);
YIELDORA_BOUND_ON_FIRST_CALL(L"oleaut32.dll", SysAllocString, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"ole32.dll", CoCreateInstance, 20);
YIELDORA_BOUND_ON_FIRST_CALL(L"ole32.dll", CoInitializeEx, 8);
YIELDORA_BOUND_ON_FIRST_CALL(L"ole32.dll", CoTaskMemFree, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"ole32.dll", CoUninitialize, 0);
YIELDORA_BOUND_ON_FIRST_CALL(L"ole32.dll", CreateStreamOnHGlobal, 12);
YIELDORA_BOUND_ON_FIRST_CALL(L"ole32.dll", GetHGlobalFromStream, 8);
YIELDORA_BOUND_ON_FIRST_CALL(L"winspool.drv", ClosePrinter, 4);
YIELDORA_BOUND_ON_FIRST_CALL(L"winspool.drv", DocumentPropertiesW, 24);
YIELDORA_BOUND_ON_FIRST_CALL(L"winspool.drv", EnumPrintersW, 28);
YIELDORA_BOUND_ON_FIRST_CALL(L"winspool.drv", GetDefaultPrinterW, 8);
YIELDORA_BOUND_ON_FIRST_CALL(L"winspool.drv", OpenPrinterW, 12);

// Declared without the import attribute: callers call the function itself.
namespace {
constexpr TSystemFunction KNOWN_FOLDER_PATH_FUNCTION{L"shell32.dll", "SHGetKnownFolderPath"};
}
extern "C" HRESULT WINAPI SHGetKnownFolderPath(REFKNOWNFOLDERID Folder, DWORD Flags, HANDLE Token,
                                               PWSTR* Path) {
    return TBoundOnFirstCall<decltype(&::SHGetKnownFolderPath)>::Call<KNOWN_FOLDER_PATH_FUNCTION>(
        Folder, Flags, Token, Path);
}

namespace {
constexpr TSystemFunction SET_SUBCLASS_FUNCTION{L"comctl32.dll", "SetWindowSubclass"};
constexpr TSystemFunction REMOVE_SUBCLASS_FUNCTION{L"comctl32.dll", "RemoveWindowSubclass"};
constexpr TSystemFunction DEFAULT_SUBCLASS_FUNCTION{L"comctl32.dll", "DefSubclassProc"};
} // namespace
extern "C" BOOL WINAPI SetWindowSubclass(HWND Window, SUBCLASSPROC Procedure, UINT_PTR Id,
                                         DWORD_PTR Data) {
    return TBoundOnFirstCall<decltype(&::SetWindowSubclass)>::Call<SET_SUBCLASS_FUNCTION>(
        Window, Procedure, Id, Data);
}
extern "C" BOOL WINAPI RemoveWindowSubclass(HWND Window, SUBCLASSPROC Procedure, UINT_PTR Id) {
    return TBoundOnFirstCall<decltype(&::RemoveWindowSubclass)>::Call<REMOVE_SUBCLASS_FUNCTION>(
        Window, Procedure, Id);
}
extern "C" LRESULT WINAPI DefSubclassProc(HWND Window, UINT AMessage, WPARAM WParam,
                                          LPARAM LParam) {
    return TBoundOnFirstCall<decltype(&::DefSubclassProc)>::Call<DEFAULT_SUBCLASS_FUNCTION>(
        Window, AMessage, WParam, LParam);
}
