// A library that someone else put where a program might load it from: when any process loads it,
// it leaves a file named after itself with ".ran" added, and does nothing else.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE Module, DWORD Reason, LPVOID) {
    if (Reason == DLL_PROCESS_ATTACH) {
        wchar_t path[MAX_PATH] = {};
        const DWORD length = GetModuleFileNameW(Module, path, MAX_PATH);
        const std::wstring marker = std::wstring(path, length) + L".ran";
        CloseHandle(CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    }
    return TRUE;
}
