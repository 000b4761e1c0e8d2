// icontool: turns an icon kept as text pixel art into a Windows .ico file.
//
//   icontool INPUT.txt OUTPUT.ico
//
// The text holds a palette and one or more square images (each becomes one image of the .ico,
// stored with a 256-colour palette and a transparency mask):
//
//   # a comment
//   colour . transparent
//   colour G 1E8C3A
//   image 16
//   ....GGGG........
//   ... (16 rows of 16 characters)
//
// Every pixel character must have a colour line; "transparent" pixels are masked out.

#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Image {
    int size = 0;
    std::vector<std::string> rows;
};

struct Colour {
    bool transparent = false;
    std::uint8_t r = 0, g = 0, b = 0;
};

[[noreturn]] void Fail(const std::string& where, int line, const std::string& what) {
    std::cerr << where << ":" << line << ": " << what << "\n";
    std::exit(1);
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// One image as a DIB: header, 256-entry palette, 8-bit pixels bottom-up, then the 1-bit mask.
std::vector<std::uint8_t> MakeDib(const Image& image, const std::map<char, Colour>& colours,
                                  const std::map<char, int>& index) {
    const int n = image.size;
    const int pixelStride = (n + 3) / 4 * 4;
    const int maskStride = ((n + 31) / 32) * 4;
    std::vector<std::uint8_t> dib;
    Put32(dib, 40);
    Put32(dib, static_cast<std::uint32_t>(n));
    Put32(dib, static_cast<std::uint32_t>(2 * n));
    Put16(dib, 1);
    Put16(dib, 8);
    Put32(dib, 0);
    Put32(dib, static_cast<std::uint32_t>((pixelStride + maskStride) * n));
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 256);
    Put32(dib, 0);
    std::vector<Colour> palette(256);
    for (const auto& [ch, i] : index) {
        palette[static_cast<std::size_t>(i)] = colours.at(ch);
    }
    for (const Colour& c : palette) {
        dib.push_back(c.b);
        dib.push_back(c.g);
        dib.push_back(c.r);
        dib.push_back(0);
    }
    for (int y = n - 1; y >= 0; --y) {
        for (int x = 0; x < pixelStride; ++x) {
            char ch =
                x < n ? image.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] : '\0';
            dib.push_back(
                x < n && !colours.at(ch).transparent ? static_cast<std::uint8_t>(index.at(ch)) : 0);
        }
    }
    for (int y = n - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < n; ++x) {
            if (colours.at(image.rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
                    .transparent) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        dib.insert(dib.end(), row.begin(), row.end());
    }
    return dib;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: icontool INPUT.txt OUTPUT.ico\n";
        return 2;
    }
    const std::string input = argv[1];
    std::ifstream in(input);
    if (!in) {
        Fail(input, 0, "cannot be read");
    }
    std::map<char, Colour> colours;
    std::map<char, int> index;
    std::vector<Image> images;
    std::string line;
    int lineNo = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::istringstream words(line);
        std::string word;
        words >> word;
        if (word == "colour") {
            std::string ch, value;
            words >> ch >> value;
            if (ch.size() != 1 || value.empty()) {
                Fail(input, lineNo, "expected: colour <character> <RRGGBB|transparent>");
            }
            Colour c;
            if (value == "transparent") {
                c.transparent = true;
            } else if (value.size() == 6) {
                unsigned long rgb = std::stoul(value, nullptr, 16);
                c.r = static_cast<std::uint8_t>(rgb >> 16);
                c.g = static_cast<std::uint8_t>(rgb >> 8);
                c.b = static_cast<std::uint8_t>(rgb);
            } else {
                Fail(input, lineNo, "a colour is RRGGBB or transparent");
            }
            colours[ch[0]] = c;
            if (!c.transparent && index.size() < 255) {
                index[ch[0]] = static_cast<int>(index.size()) + 1;
            }
        } else if (word == "image") {
            Image image;
            words >> image.size;
            if (image.size < 1 || image.size > 256) {
                Fail(input, lineNo, "an image size is 1 to 256");
            }
            images.push_back(image);
        } else if (!images.empty() &&
                   static_cast<int>(images.back().rows.size()) < images.back().size) {
            if (static_cast<int>(line.size()) != images.back().size) {
                Fail(input, lineNo, "row width differs from the image size");
            }
            for (char ch : line) {
                if (!colours.count(ch)) {
                    Fail(input, lineNo, std::string("no colour for '") + ch + "'");
                }
            }
            images.back().rows.push_back(line);
        } else {
            Fail(input, lineNo, "unexpected line");
        }
    }
    if (images.empty()) {
        Fail(input, lineNo, "no image");
    }
    std::vector<std::vector<std::uint8_t>> dibs;
    for (const Image& image : images) {
        if (static_cast<int>(image.rows.size()) != image.size) {
            Fail(input, lineNo, "an image has too few rows");
        }
        dibs.push_back(MakeDib(image, colours, index));
    }
    std::vector<std::uint8_t> ico;
    Put16(ico, 0);
    Put16(ico, 1);
    Put16(ico, static_cast<unsigned>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        ico.push_back(static_cast<std::uint8_t>(images[i].size == 256 ? 0 : images[i].size));
        ico.push_back(static_cast<std::uint8_t>(images[i].size == 256 ? 0 : images[i].size));
        ico.push_back(0);
        ico.push_back(0);
        Put16(ico, 1);
        Put16(ico, 8);
        Put32(ico, static_cast<std::uint32_t>(dibs[i].size()));
        Put32(ico, offset);
        offset += static_cast<std::uint32_t>(dibs[i].size());
    }
    for (const auto& dib : dibs) {
        ico.insert(ico.end(), dib.begin(), dib.end());
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
    return out ? 0 : 1;
}
