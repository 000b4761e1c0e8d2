// The profile functions on any file contents: reads give a value or the default, a write reads
// back as written and leaves every other value as it was, and writing it again changes nothing.
#include "FuzzText.h"

#include "UkyProfileApi.h"
#include "UkyUtf8.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

const std::array<const wchar_t*, 4> Sections{L"Yieldora", L"program", L"", L"a"};
const std::array<const wchar_t*, 5> Keys{L"Fund", L"rate", L"Year", L"a", L"Deposit"};
// No stored value can be this: values lose their surrounding control characters.
const std::wstring Absent = L"\x01";

// Every probe's value (Absent when there is none) and integer.
struct TProbes {
    std::wstring Values[Sections.size()][Keys.size()];
    std::uint32_t Integers[Sections.size()][Keys.size()];
};

TProbes ReadProbes(const std::wstring& FileName) {
    TProbes probes;
    for (std::size_t s = 0; s < Sections.size(); ++s) {
        for (std::size_t k = 0; k < Keys.size(); ++k) {
            const std::wstring value =
                ProfileReadString(Sections[s], Keys[k], Absent, 500, FileName);
            FUZZ_CHECK(value.size() <= 499);
            FUZZ_CHECK(value.find_first_of(L"\r\n") == std::wstring::npos);
            FUZZ_CHECK(value == Absent || value.empty() ||
                       (value.front() > L' ' && value.back() > L' '));
            probes.Values[s][k] = value;
            probes.Integers[s][k] = ProfileReadInt(Sections[s], Keys[k], 77, FileName);
            if (value == Absent || value.empty()) {
                FUZZ_CHECK(probes.Integers[s][k] == 77);
            }
        }
    }
    return probes;
}

std::string Content(const std::string& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The file lives in memory where there is a memory file system: every write ends in fsync.
std::string ScratchFile() {
    std::error_code error;
    const std::string folder =
        std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm" : "/tmp";
    return folder + "/yieldora-profile-fuzz-" + std::to_string(getpid()) + ".ini";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    static const std::string path = ScratchFile();
    const std::wstring fileName = Utf8ToText(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(Data), static_cast<std::streamsize>(Size));

    const TProbes before = ReadProbes(fileName);
    const std::size_t section = Size % Sections.size();
    const std::size_t key = Size / Sections.size() % Keys.size();
    const std::wstring value = L"v" + std::to_wstring(Size) + L" = [x]";
    FUZZ_CHECK(ProfileWriteString(Sections[section], Keys[key], value, fileName));

    const TProbes after = ReadProbes(fileName);
    for (std::size_t s = 0; s < Sections.size(); ++s) {
        for (std::size_t k = 0; k < Keys.size(); ++k) {
            if (s == section && k == key) {
                FUZZ_CHECK(after.Values[s][k] == value);
            } else {
                FUZZ_CHECK(after.Values[s][k] == before.Values[s][k]);
                FUZZ_CHECK(after.Integers[s][k] == before.Integers[s][k]);
            }
        }
    }
    const std::string written = Content(path);
    FUZZ_CHECK(ProfileWriteString(Sections[section], Keys[key], value, fileName));
    FUZZ_CHECK(Content(path) == written);
    unlink(path.c_str());
    return 0;
}
