#include "UkyProfileApi.h"

#ifdef _WIN32

#include <windows.h>

#include <vector>

std::wstring ProfileReadString(const std::wstring& Section, const std::wstring& Key,
                               const std::wstring& Default, std::uint32_t Size,
                               const std::wstring& FileName) {
    std::vector<wchar_t> buffer(Size + 1, L'\0');
    const DWORD count = GetPrivateProfileStringW(Section.c_str(), Key.c_str(), Default.c_str(),
                                                 buffer.data(), Size, FileName.c_str());
    return std::wstring(buffer.data(), count);
}

std::uint32_t ProfileReadInt(const std::wstring& Section, const std::wstring& Key,
                             std::int32_t Default, const std::wstring& FileName) {
    return GetPrivateProfileIntW(Section.c_str(), Key.c_str(), Default, FileName.c_str());
}

bool ProfileWriteString(const std::wstring& Section, const std::wstring& Key,
                        const std::wstring& Value, const std::wstring& FileName) {
    return WritePrivateProfileStringW(Section.c_str(), Key.c_str(), Value.c_str(),
                                      FileName.c_str()) != FALSE;
}

std::wstring ModuleFileName() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool CreateFolder(const std::wstring& Path) {
    const DWORD before = GetLastError();
    if (CreateDirectoryW(Path.c_str(), nullptr) != FALSE) {
        return true;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        SetLastError(before);
    }
    return false;
}

bool CanWriteFile(const std::wstring& Path) {
    constexpr DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    HANDLE file = CreateFileW(Path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_FILE_NOT_FOUND) {
        file = CreateFileW(Path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    }
    if (file == INVALID_HANDLE_VALUE) {
        // Another program holding the file open refuses nothing for good.
        const DWORD error = GetLastError();
        return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
    }
    CloseHandle(file);
    return true;
}

std::wstring ApplicationDataFolder() {
    const DWORD size = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
    if (size == 0) {
        return {};
    }
    std::wstring folder(size, L'\0');
    folder.resize(GetEnvironmentVariableW(L"APPDATA", folder.data(), size));
    return folder;
}

std::wstring InstalledFolder(const std::wstring& ProgramName) {
    const std::wstring key = L"Software\\" + ProgramName;
    DWORD bytes = 0;
    if (ProgramName.empty() ||
        RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"InstallFolder", RRF_RT_REG_SZ, nullptr,
                     nullptr, &bytes) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring folder(bytes / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"InstallFolder", RRF_RT_REG_SZ, nullptr,
                     folder.data(), &bytes) != ERROR_SUCCESS) {
        return {};
    }
    folder.resize(wcsnlen(folder.c_str(), bytes / sizeof(wchar_t)));
    return folder;
}

#else

#include "UkyStrUtils.h"
#include "UkyUtf8.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

namespace {

// How a file's bytes are text.
enum class TEncoding { Utf8, Utf8WithMark, Utf16WithMark };

const std::string Utf8Mark = "\xEF\xBB\xBF";
const std::string Utf16Mark = "\xFF\xFE";

// A profile file as lines, without their line ends.
struct TProfileLines {
    TEncoding Encoding = TEncoding::Utf8;
    std::vector<std::wstring> Lines;
};

std::wstring Utf16LeToText(const std::string& Bytes, std::size_t From) {
    std::wstring text;
    for (std::size_t i = From; i + 1 < Bytes.size(); i += 2) {
        const char32_t unit =
            static_cast<unsigned char>(Bytes[i]) |
            (static_cast<char32_t>(static_cast<unsigned char>(Bytes[i + 1])) << 8);
        if (unit >= 0xDC00 && unit <= 0xDFFF && !text.empty()) {
            const char32_t high = static_cast<char32_t>(text.back());
            if (high >= 0xD800 && high <= 0xDBFF) {
                text.back() =
                    static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                continue;
            }
        }
        text += static_cast<wchar_t>(unit);
    }
    return text;
}

std::string TextToUtf16Le(const std::wstring& Text) {
    std::string bytes;
    const auto put = [&bytes](char32_t Unit) {
        bytes += static_cast<char>(Unit & 0xFF);
        bytes += static_cast<char>((Unit >> 8) & 0xFF);
    };
    for (const wchar_t c : Text) {
        const auto code = static_cast<char32_t>(c);
        if (code >= 0x10000 && code <= 0x10FFFF) {
            put(0xD800 + ((code - 0x10000) >> 10));
            put(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            put(code > 0x10FFFF ? 0xFFFD : code);
        }
    }
    return bytes;
}

TProfileLines Decode(const std::string& Bytes) {
    TProfileLines profile;
    std::wstring text;
    if (Bytes.starts_with(Utf16Mark)) {
        profile.Encoding = TEncoding::Utf16WithMark;
        text = Utf16LeToText(Bytes, Utf16Mark.size());
    } else if (Bytes.starts_with(Utf8Mark)) {
        profile.Encoding = TEncoding::Utf8WithMark;
        text = Utf8ToText(Bytes.substr(Utf8Mark.size()));
    } else {
        text = Utf8ToText(Bytes);
    }
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) {
            profile.Lines.push_back(text.substr(start));
            break;
        }
        profile.Lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
    }
    return profile;
}

std::string Encode(const TProfileLines& Profile) {
    std::wstring text;
    for (const std::wstring& line : Profile.Lines) {
        text += line;
        text += L"\r\n";
    }
    switch (Profile.Encoding) {
    case TEncoding::Utf16WithMark:
        return Utf16Mark + TextToUtf16Le(text);
    case TEncoding::Utf8WithMark:
        return Utf8Mark + TextToUtf8(text);
    case TEncoding::Utf8:
        break;
    }
    return TextToUtf8(text);
}

bool SameName(const std::wstring& A, const std::wstring& B) {
    const auto fold = [](wchar_t C) { return C >= L'A' && C <= L'Z' ? C + (L'a' - L'A') : C; };
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(),
                      [&](wchar_t X, wchar_t Y) { return fold(X) == fold(Y); });
}

// The name of a section header line.
std::optional<std::wstring> HeaderName(const std::wstring& Line) {
    const std::wstring line = TextTrim(Line);
    if (line.empty() || line[0] != L'[') {
        return std::nullopt;
    }
    const std::size_t close = line.find(L']');
    return TextTrim(line.substr(1, close == std::wstring::npos ? std::wstring::npos : close - 1));
}

// The key of a key line, with its value in Value.
std::optional<std::wstring> KeyName(const std::wstring& Line, std::wstring& Value) {
    const std::wstring line = TextTrim(Line);
    const std::size_t equals = line.find(L'=');
    if (line.empty() || line[0] == L'[' || line[0] == L';' || equals == std::wstring::npos) {
        return std::nullopt;
    }
    Value = TextTrim(line.substr(equals + 1));
    return TextTrim(line.substr(0, equals));
}

// The lines of the first section of the name: from the line after its header (the first line
// for the section of the empty name, whose first part is the one before any header) to the next
// header.
struct TSectionRange {
    std::size_t Begin;
    std::size_t End;
};

std::optional<TSectionRange> FindSection(const TProfileLines& Profile, const std::wstring& Name) {
    const std::vector<std::wstring>& lines = Profile.Lines;
    const auto nextHeader = [&lines](std::size_t From) {
        while (From < lines.size() && !HeaderName(lines[From])) {
            ++From;
        }
        return From;
    };
    if (Name.empty()) {
        return TSectionRange{0, nextHeader(0)};
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::optional<std::wstring> header = HeaderName(lines[i]);
        if (header && SameName(*header, Name)) {
            return TSectionRange{i + 1, nextHeader(i + 1)};
        }
    }
    return std::nullopt;
}

// The line of the first key of the name within the range.
std::optional<std::size_t> FindKey(const TProfileLines& Profile, TSectionRange Range,
                                   const std::wstring& Key, std::wstring& Value) {
    for (std::size_t i = Range.Begin; i < Range.End; ++i) {
        const std::optional<std::wstring> key = KeyName(Profile.Lines[i], Value);
        if (key && SameName(*key, Key)) {
            return i;
        }
    }
    return std::nullopt;
}

std::string NativePath(const std::wstring& FileName) {
    return TextToUtf8(FileName);
}

// The file's bytes; empty when it does not exist. False when it exists but cannot be read.
bool ReadFileBytes(const std::string& Path, std::string& Bytes) {
    Bytes.clear();
    struct stat status {};
    if (stat(Path.c_str(), &status) != 0) {
        return errno == ENOENT;
    }
    if (!S_ISREG(status.st_mode)) {
        return false;
    }
    std::ifstream file(Path, std::ios::binary);
    if (!file) {
        return false;
    }
    Bytes.assign(std::istreambuf_iterator<char>(file), {});
    return !file.bad();
}

std::optional<std::wstring> StoredValue(const std::wstring& Section, const std::wstring& Key,
                                        const std::wstring& FileName) {
    std::string bytes;
    if (!ReadFileBytes(NativePath(FileName), bytes)) {
        return std::nullopt;
    }
    const TProfileLines profile = Decode(bytes);
    const std::optional<TSectionRange> range = FindSection(profile, TextTrim(Section));
    std::wstring value;
    if (!range || !FindKey(profile, *range, TextTrim(Key), value)) {
        return std::nullopt;
    }
    return value;
}

bool WriteAll(int File, const std::string& Bytes) {
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t written = write(File, Bytes.data() + done, Bytes.size() - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Writes the bytes into a new file beside Path and moves it over Path once it is complete.
bool ReplaceFile(const std::string& Path, const std::string& Bytes) {
    struct stat status {};
    const bool exists = stat(Path.c_str(), &status) == 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary =
            Path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (file < 0) {
            if (errno == EEXIST) {
                continue;
            }
            return false;
        }
        bool done = WriteAll(file, Bytes) &&
                    (!exists || fchmod(file, status.st_mode & 07777) == 0) && fsync(file) == 0;
        done = close(file) == 0 && done;
        done = done && rename(temporary.c_str(), Path.c_str()) == 0;
        if (!done) {
            unlink(temporary.c_str());
        }
        return done;
    }
    return false;
}

bool BreaksLines(const std::wstring& Text) {
    return Text.find_first_of(L"\r\n") != std::wstring::npos;
}

} // namespace

std::wstring ProfileReadString(const std::wstring& Section, const std::wstring& Key,
                               const std::wstring& Default, std::uint32_t Size,
                               const std::wstring& FileName) {
    if (Size == 0) {
        return {};
    }
    std::wstring value = StoredValue(Section, Key, FileName).value_or(Default);
    if (value.size() >= Size) {
        value.resize(Size - 1);
    }
    return value;
}

std::uint32_t ProfileReadInt(const std::wstring& Section, const std::wstring& Key,
                             std::int32_t Default, const std::wstring& FileName) {
    const std::optional<std::wstring> value = StoredValue(Section, Key, FileName);
    if (!value || value->empty()) {
        return static_cast<std::uint32_t>(Default);
    }
    std::size_t at = 0;
    const bool negative = (*value)[0] == L'-';
    if (negative || (*value)[0] == L'+') {
        ++at;
    }
    std::uint32_t number = 0;
    for (; at < value->size() && (*value)[at] >= L'0' && (*value)[at] <= L'9'; ++at) {
        number = number * 10 + static_cast<std::uint32_t>((*value)[at] - L'0');
    }
    return negative ? 0u - number : number;
}

bool ProfileWriteString(const std::wstring& Section, const std::wstring& Key,
                        const std::wstring& Value, const std::wstring& FileName) {
    const std::wstring section = TextTrim(Section);
    const std::wstring key = TextTrim(Key);
    if (BreaksLines(section) || BreaksLines(key) || BreaksLines(Value) ||
        section.find(L']') != std::wstring::npos || key.empty() ||
        key.find(L'=') != std::wstring::npos || key[0] == L'[' || key[0] == L';') {
        return false;
    }
    const std::string path = NativePath(FileName);
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        return false;
    }
    TProfileLines profile = Decode(bytes);
    const std::wstring line = key + L"=" + Value;
    const std::optional<TSectionRange> range = FindSection(profile, section);
    std::wstring old;
    if (!range) {
        profile.Lines.push_back(L"[" + section + L"]");
        profile.Lines.push_back(line);
    } else if (const std::optional<std::size_t> at = FindKey(profile, *range, key, old)) {
        const std::wstring& current = profile.Lines[*at];
        profile.Lines[*at] = TextTrim(current.substr(0, current.find(L'='))) + L"=" + Value;
    } else {
        std::size_t end = range->End;
        while (end > range->Begin && TextTrim(profile.Lines[end - 1]).empty()) {
            --end;
        }
        profile.Lines.insert(profile.Lines.begin() + static_cast<std::ptrdiff_t>(end), line);
    }
    return ReplaceFile(path, Encode(profile));
}

std::wstring ModuleFileName() {
    std::string path(256, '\0');
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < path.size()) {
            path.resize(static_cast<std::size_t>(length));
            return Utf8ToText(path);
        }
        path.resize(path.size() * 2);
    }
}

bool CreateFolder(const std::wstring& Path) {
    return mkdir(NativePath(Path).c_str(), 0777) == 0;
}

bool CanWriteFile(const std::wstring& Path) {
    const std::string path = NativePath(Path);
    struct stat status {};
    if (stat(path.c_str(), &status) == 0 &&
        (!S_ISREG(status.st_mode) || access(path.c_str(), W_OK) != 0)) {
        return false;
    }
    const std::string probe = path + ".probe" + std::to_string(getpid());
    const int file = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (file < 0) {
        return false;
    }
    close(file);
    unlink(probe.c_str());
    return true;
}

std::wstring ApplicationDataFolder() {
    return {};
}

std::wstring InstalledFolder(const std::wstring&) {
    return {};
}

#endif
