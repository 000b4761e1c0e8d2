// yieldora-cli: the deposit schedule on the command line.
#include "UCommandLine.h"
#include "UkyUtf8.h"

#include <string>
#include <vector>

#ifdef _WIN32

#include <windows.h>

#include <algorithm>

namespace {

// A console gets the text as it is; a file or a pipe gets its UTF-8 bytes.
bool WriteText(DWORD Which, const std::wstring& Text) {
    const HANDLE handle = GetStdHandle(Which);
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        std::size_t done = 0;
        while (done < Text.size()) {
            DWORD written = 0;
            const DWORD count = static_cast<DWORD>(std::min<std::size_t>(Text.size() - done, 4096));
            if (!WriteConsoleW(handle, Text.data() + done, count, &written, nullptr) ||
                written == 0) {
                return false;
            }
            done += written;
        }
        return true;
    }
    const std::string bytes = TextToUtf8(Text);
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, static_cast<DWORD>(bytes.size() - done),
                       &written, nullptr) ||
            written == 0) {
            return false;
        }
        done += written;
    }
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const std::vector<std::wstring> arguments(argv + 1, argv + argc);
    const TCliResult result = RunCommandLine(arguments);
    const bool written =
        WriteText(STD_OUTPUT_HANDLE, result.Out) && WriteText(STD_ERROR_HANDLE, result.Err);
    return written ? result.ExitCode : EXIT_FAILED;
}

#else

#include <cstdio>

namespace {

bool WriteText(std::FILE* Stream, const std::wstring& Text) {
    const std::string bytes = TextToUtf8(Text);
    return std::fwrite(bytes.data(), 1, bytes.size(), Stream) == bytes.size() &&
           std::fflush(Stream) == 0;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::wstring> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(Utf8ToText(argv[i]));
    }
    const TCliResult result = RunCommandLine(arguments);
    const bool written = WriteText(stdout, result.Out) && WriteText(stderr, result.Err);
    return written ? result.ExitCode : EXIT_FAILED;
}

#endif
