#include "PrintedPdf.h"

#include "UkyPrinter.h"
#include "UkyUtf8.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

std::string OutFolder() {
    const char* folder = std::getenv("YIELDORA_PRINT_OUT");
    return folder != nullptr ? folder : "";
}

std::wstring WindowsPath(const std::string& UnixPath) {
    std::wstring path = L"Z:";
    for (const char c : UnixPath) {
        path += c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return path;
}

std::string ReadAll(const std::string& UnixPath) {
    std::ifstream file(std::filesystem::path(WindowsPath(UnixPath)), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The lines of a listing the shell writes into the session's folder.
std::vector<std::string> Listing(const std::string& Command) {
    const std::string listing = OutFolder() + "/../listing.txt";
    RunUnix(Command + " >" + listing + " 2>&1");
    std::istringstream lines(ReadAll(listing));
    std::vector<std::string> result;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty()) {
            result.push_back(line);
        }
    }
    return result;
}

void WaitForEmptyQueue() {
    for (int i = 0; i < 600; ++i) {
        if (Listing("lpstat -o").empty()) {
            return;
        }
        Sleep(100);
    }
    ADD_FAILURE() << "the print queue did not empty in a minute";
}

std::vector<std::string> PdfFiles() {
    return Listing("cd '" + OutFolder() + "' && ls | grep '[.]pdf$'");
}

} // namespace

std::string PrintSkipReason() {
    if (const char* skip = std::getenv("YIELDORA_PRINT_SKIP")) {
        return skip;
    }
    return OutFolder().empty() ? "not run by tools/cups-session.sh (no print server of its own)"
                               : "";
}

std::string PrinterUnseenReason() {
    const char* queue = std::getenv("YIELDORA_PRINTER");
    const std::wstring wanted = Utf8ToText(queue != nullptr ? queue : "PDF");
    const std::vector<std::wstring> printers = InstalledPrinters();
    if (std::find(printers.begin(), printers.end(), wanted) != printers.end()) {
        return "";
    }
    return "Wine does not list the print server's queue " + TextToUtf8(wanted) +
           " among its printers (" + std::to_string(printers.size()) +
           "): Wine loads the print system's library, libcups, for each architecture apart "
           "(tools/setup.sh installs the 32-bit libcups2 beside wine32)";
}

bool RunUnix(const std::string& Command) {
    // Wine does not wait for a Unix program's end: the command marks its end with a file.
    static int runs = 0;
    const std::string done = OutFolder() + "/../done." + std::to_string(++runs);
    const std::string script = "{ " + Command + "; } ; touch " + done;
    std::wstring line = L"/bin/sh -c \"";
    for (const char c : script) {
        if (c == '"') {
            line += L'\\';
        }
        line += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    line += L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const auto start = [&] {
        return CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &process) != FALSE;
    };
    // Under load a 64-bit Wine now and then fails a start before any of the program's code runs.
    if (!start() && (GetLastError() != ERROR_INTERNAL_ERROR || !start())) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const std::wstring marker = WindowsPath(done);
    for (int i = 0; i < 3000; ++i) {
        if (DeleteFileW(marker.c_str())) {
            return true;
        }
        Sleep(20);
    }
    ADD_FAILURE() << "the command did not end in a minute: " << Command;
    return false;
}

std::vector<std::string> PrintedFiles() {
    WaitForEmptyQueue();
    return PdfFiles();
}

TPrintedPdf TakePrinted() {
    // The job reaches the queue after the program has ended its document: wait for its file.
    std::vector<std::string> files;
    for (int i = 0; i < 600 && files.empty(); ++i) {
        WaitForEmptyQueue();
        files = PdfFiles();
        if (files.empty()) {
            Sleep(100);
        }
    }
    TPrintedPdf pdf;
    if (files.size() != 1) {
        ADD_FAILURE() << "expected one printed file, found " << files.size();
        return pdf;
    }
    pdf.Name = files[0];
    pdf.Path = OutFolder() + "/" + pdf.Name;
    const std::string text = OutFolder() + "/../text.txt";
    const std::string info = OutFolder() + "/../info.txt";
    RunUnix("pdftotext -layout '" + pdf.Path + "' " + text + "; pdfinfo '" + pdf.Path + "' >" +
            info);
    pdf.Info = ReadAll(info);
    std::string all = ReadAll(text);
    for (std::size_t start = 0, feed; (feed = all.find('\f', start)) != std::string::npos;
         start = feed + 1) {
        pdf.Pages.push_back(all.substr(start, feed - start));
    }
    RunUnix("mv '" + pdf.Path + "' " + OutFolder() + "/../taken.pdf");
    pdf.Path = OutFolder() + "/../taken.pdf";
    return pdf;
}

int PixelsNear(const TPrintedPdf& Pdf, int Page, int Dpi, COLORREF Colour) {
    const std::string base = OutFolder() + "/../page";
    RunUnix("pdftoppm -r " + std::to_string(Dpi) + " -f " + std::to_string(Page) + " -l " +
            std::to_string(Page) + " -singlefile '" + Pdf.Path + "' " + base);
    const std::string image = ReadAll(base + ".ppm");
    // P6, width, height, 255, then the pixels' bytes.
    std::istringstream header(image);
    std::string magic;
    int width = 0;
    int height = 0;
    int maximum = 0;
    header >> magic >> width >> height >> maximum;
    if (magic != "P6" || width <= 0 || height <= 0) {
        ADD_FAILURE() << "pdftoppm gave no picture of page " << Page;
        return 0;
    }
    const std::size_t start = static_cast<std::size_t>(header.tellg()) + 1;
    const auto close = [](int A, int B) { return A - B <= 24 && B - A <= 24; };
    int count = 0;
    for (std::size_t i = start; i + 2 < image.size(); i += 3) {
        if (close(static_cast<unsigned char>(image[i]), GetRValue(Colour)) &&
            close(static_cast<unsigned char>(image[i + 1]), GetGValue(Colour)) &&
            close(static_cast<unsigned char>(image[i + 2]), GetBValue(Colour))) {
            ++count;
        }
    }
    return count;
}

std::string Squeezed(const std::string& Source) {
    // The embedded font's map gives the compatibility form of 年 (U+F98E) back for the glyph.
    std::string text = Source;
    for (std::size_t at; (at = text.find("\xEF\xA6\x8E")) != std::string::npos;) {
        text.replace(at, 3, "\xE5\xB9\xB4");
    }
    std::string result;
    bool space = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            space = !result.empty();
        } else {
            if (space) {
                result += ' ';
            }
            space = false;
            result += c;
        }
    }
    return result;
}
