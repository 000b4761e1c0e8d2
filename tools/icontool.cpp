// icontool: turns an icon kept as text pixel art into a Windows .ico file.
//
//   icontool INPUT.txt OUTPUT.ico
//
// The text holds a palette and one or more square images (each becomes one image of the .ico,
// stored with 8 bits per pixel, a palette of the colours it uses and a transparency mask):
//
//   # a comment
//   colour . transparent
//   colour G 1E8C3A
//   image 16
//   ....GGGG........
//   ... (16 rows of 16 characters)
//
// Every pixel character must have a colour line; "transparent" pixels are masked out.
//
// Sizes for which no pixel art is given can be drawn from shapes, each at its own size rather
// than scaled from another image (stored as 32-bit images with an alpha channel, edges smoothed):
//
//   draw 20 24 32 48
//   ellipse G 8 10.5 7 5.5 -1
//   rect K 6 3 10 5
//   polygon K 5 1 8 3 11 1
//
// Shapes are given on a 16 x 16 grid and painted in order over each other with the colours of
// the palette. An ellipse is centre and radii, a rectangle its left, top, right and bottom edges,
// a polygon its corners. The optional last number of an ellipse or rectangle widens it on every
// side by that many lines (negative narrows it), where a line is one pixel up to 24 pixels and
// grows with the size beyond: an outline keeps its weight at every size.
//
//   png 32
//
// stores the drawn images of that size and larger as PNG files (which Windows Vista and later
// and Wine read in icons) instead of as DIBs: a tenth to a quarter of the bytes, pixel for pixel
// the same image.

#include <algorithm>
#include <cmath>
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

struct Shape {
    enum class Kind { Ellipse, Rect, Polygon } kind = Kind::Rect;
    char colour = '.';
    std::vector<double> values;
    double grow = 0;
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

// The header of an icon's DIB of Size × Size pixels of Bits bits, its height doubled for the mask,
// with Colours palette entries used; Bytes of pixels and mask follow it.
void PutDibHeader(std::vector<std::uint8_t>& Dib, int Size, int Bits, int Bytes,
                  std::size_t Colours) {
    Put32(Dib, 40);
    Put32(Dib, static_cast<std::uint32_t>(Size));
    Put32(Dib, static_cast<std::uint32_t>(2 * Size));
    Put16(Dib, 1);
    Put16(Dib, static_cast<std::uint32_t>(Bits));
    Put32(Dib, 0);
    Put32(Dib, static_cast<std::uint32_t>(Bytes));
    Put32(Dib, 0);
    Put32(Dib, 0);
    Put32(Dib, static_cast<std::uint32_t>(Colours));
    Put32(Dib, 0);
}

// One image as a DIB: header, palette (index 0 for the transparent pixels, then the colours in the
// order given), 8-bit pixels bottom-up, then the 1-bit mask.
std::vector<std::uint8_t> MakeDib(const Image& image, const std::map<char, Colour>& colours,
                                  const std::map<char, int>& index) {
    const int n = image.size;
    const int pixelStride = (n + 3) / 4 * 4;
    const int maskStride = ((n + 31) / 32) * 4;
    std::vector<std::uint8_t> dib;
    const std::size_t used = index.size() + 1;
    PutDibHeader(dib, n, 8, (pixelStride + maskStride) * n, used);
    std::vector<Colour> palette(used);
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

// Whether the point (in grid units) lies inside the shape drawn at Size pixels.
bool Inside(const Shape& shape, double x, double y, int size) {
    const double line = std::max(1, (size + 8) / 24) * 16.0 / size;
    const double g = shape.grow * line;
    const std::vector<double>& v = shape.values;
    switch (shape.kind) {
    case Shape::Kind::Ellipse: {
        const double rx = v[2] + g, ry = v[3] + g;
        if (rx <= 0 || ry <= 0) {
            return false;
        }
        const double dx = (x - v[0]) / rx, dy = (y - v[1]) / ry;
        return dx * dx + dy * dy <= 1;
    }
    case Shape::Kind::Rect:
        return x >= v[0] - g && x <= v[2] + g && y >= v[1] - g && y <= v[3] + g;
    case Shape::Kind::Polygon: {
        bool inside = false;
        const std::size_t n = v.size() / 2;
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const double xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) {
                inside = !inside;
            }
        }
        return inside;
    }
    }
    return false;
}

// The shapes painted at Size pixels: straight (not premultiplied) red, green, blue and alpha of
// every pixel, rows from the top.
std::vector<std::uint8_t> Paint(int size, const std::vector<Shape>& shapes,
                                const std::map<char, Colour>& colours) {
    constexpr int samples = 8;
    // Premultiplied colour and coverage of every pixel, painted shape by shape.
    std::vector<double> r(static_cast<std::size_t>(size * size)), g(r.size()), b(r.size()),
        a(r.size());
    for (const Shape& shape : shapes) {
        const Colour& c = colours.at(shape.colour);
        for (int py = 0; py < size; ++py) {
            for (int px = 0; px < size; ++px) {
                int hits = 0;
                for (int sy = 0; sy < samples; ++sy) {
                    for (int sx = 0; sx < samples; ++sx) {
                        const double x = (px + (sx + 0.5) / samples) * 16.0 / size;
                        const double y = (py + (sy + 0.5) / samples) * 16.0 / size;
                        hits += Inside(shape, x, y, size) ? 1 : 0;
                    }
                }
                const double cover = static_cast<double>(hits) / (samples * samples);
                const std::size_t i = static_cast<std::size_t>(py * size + px);
                const double alpha = c.transparent ? 0 : cover;
                const double keep = 1 - cover;
                r[i] = r[i] * keep + c.r * alpha;
                g[i] = g[i] * keep + c.g * alpha;
                b[i] = b[i] * keep + c.b * alpha;
                a[i] = a[i] * keep + alpha;
            }
        }
    }
    const auto byte = [](double v) {
        return static_cast<std::uint8_t>(std::lround(std::min(255.0, std::max(0.0, v))));
    };
    std::vector<std::uint8_t> rgba;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const double alpha = a[i];
        rgba.push_back(alpha > 0 ? byte(r[i] / alpha) : 0);
        rgba.push_back(alpha > 0 ? byte(g[i] / alpha) : 0);
        rgba.push_back(alpha > 0 ? byte(b[i] / alpha) : 0);
        rgba.push_back(byte(alpha * 255));
    }
    return rgba;
}

// A painted image as a 32-bit DIB with alpha (rows bottom-up) and its mask, which leaves out the
// pixels less than half covered.
std::vector<std::uint8_t> MakeDib32(int size, const std::vector<std::uint8_t>& rgba) {
    const int maskStride = ((size + 31) / 32) * 4;
    std::vector<std::uint8_t> dib;
    PutDibHeader(dib, size, 32, (size * 4 + maskStride) * size, 0);
    for (int y = size - 1; y >= 0; --y) {
        for (int x = 0; x < size; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * size + x) * 4;
            dib.push_back(rgba[i + 2]);
            dib.push_back(rgba[i + 1]);
            dib.push_back(rgba[i]);
            dib.push_back(rgba[i + 3]);
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x) {
            if (rgba[static_cast<std::size_t>(y * size + x) * 4 + 3] < 128) {
                row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        dib.insert(dib.end(), row.begin(), row.end());
    }
    return dib;
}

// Writes bits from the lowest up, as deflate packs them.
class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

    void Put(std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) {
            bits_ |= ((value >> i) & 1u) << filled_;
            if (++filled_ == 8) {
                Flush();
            }
        }
    }
    // A Huffman code, which deflate stores from its highest bit down.
    void PutCode(std::uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i) {
            Put((code >> i) & 1u, 1);
        }
    }
    void Flush() {
        if (filled_ > 0) {
            out_.push_back(static_cast<std::uint8_t>(bits_));
            bits_ = 0;
            filled_ = 0;
        }
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint32_t bits_ = 0;
    int filled_ = 0;
};

// A literal byte or the end of the block (256) in deflate's fixed Huffman code.
void PutLiteral(BitWriter& bits, unsigned symbol) {
    if (symbol < 144) {
        bits.PutCode(0x30 + symbol, 8);
    } else if (symbol < 256) {
        bits.PutCode(0x190 + symbol - 144, 9);
    } else if (symbol < 280) {
        bits.PutCode(symbol - 256, 7);
    } else {
        bits.PutCode(0xC0 + symbol - 280, 8);
    }
}

// A match of Length bytes (3 to 258) found Distance bytes back (1 to 32768).
void PutMatch(BitWriter& bits, int length, int distance) {
    static const int lengthBase[] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                     15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                     67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int lengthExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const int distanceBase[] = {
        1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
        193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const int distanceExtra[] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    int code = 28;
    while (lengthBase[code] > length) {
        --code;
    }
    PutLiteral(bits, 257 + static_cast<unsigned>(code));
    bits.Put(static_cast<std::uint32_t>(length - lengthBase[code]), lengthExtra[code]);
    int place = 29;
    while (distanceBase[place] > distance) {
        --place;
    }
    bits.PutCode(static_cast<std::uint32_t>(place), 5);
    bits.Put(static_cast<std::uint32_t>(distance - distanceBase[place]), distanceExtra[place]);
}

// Data in the zlib format: one deflate block in the fixed Huffman code, with the longest earlier
// match taken at every byte unless the next byte starts a longer one.
std::vector<std::uint8_t> Deflate(const std::vector<std::uint8_t>& data) {
    constexpr int window = 32768;
    constexpr int minMatch = 3;
    constexpr int maxMatch = 258;
    constexpr int maxChain = 4096;
    const int n = static_cast<int>(data.size());
    std::vector<std::uint8_t> out = {0x78, 0xDA};
    BitWriter bits(out);
    bits.Put(1, 1);
    bits.Put(1, 2);
    // The last position of every three-byte sequence, and each position's previous one with the
    // same sequence.
    std::map<std::uint32_t, int> last;
    std::vector<int> previous(data.size(), -1);
    const auto key = [&](int at) {
        return static_cast<std::uint32_t>(data[static_cast<std::size_t>(at)]) << 16 |
               static_cast<std::uint32_t>(data[static_cast<std::size_t>(at + 1)]) << 8 |
               data[static_cast<std::size_t>(at + 2)];
    };
    int indexed = 0;
    const auto indexUpTo = [&](int end) {
        for (; indexed < end && indexed + minMatch <= n; ++indexed) {
            const auto found = last.find(key(indexed));
            previous[static_cast<std::size_t>(indexed)] = found != last.end() ? found->second : -1;
            last[key(indexed)] = indexed;
        }
    };
    // The longest match for the bytes at At: its length (0 if none) and distance.
    const auto longest = [&](int at, int& distance) {
        indexUpTo(at + 1);
        int best = 0;
        if (at + minMatch > n) {
            return best;
        }
        int chain = 0;
        for (int from = previous[static_cast<std::size_t>(at)];
             from >= 0 && at - from <= window && chain < maxChain;
             from = previous[static_cast<std::size_t>(from)], ++chain) {
            int length = 0;
            while (length < maxMatch && at + length < n &&
                   data[static_cast<std::size_t>(from + length)] ==
                       data[static_cast<std::size_t>(at + length)]) {
                ++length;
            }
            if (length > best) {
                best = length;
                distance = at - from;
            }
        }
        return best >= minMatch ? best : 0;
    };
    int at = 0;
    while (at < n) {
        int distance = 0;
        const int length = longest(at, distance);
        int nextDistance = 0;
        if (length == 0 || (length < maxMatch && longest(at + 1, nextDistance) > length)) {
            PutLiteral(bits, data[static_cast<std::size_t>(at)]);
            ++at;
        } else {
            PutMatch(bits, length, distance);
            at += length;
        }
    }
    PutLiteral(bits, 256);
    bits.Flush();
    std::uint32_t a = 1, b = 0;
    for (const std::uint8_t byte : data) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    const std::uint32_t adler = b << 16 | a;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(adler >> shift));
    }
    return out;
}

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc) {
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = crc & 1u ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
    }
    return ~crc;
}

void PutChunk(std::vector<std::uint8_t>& png, const char* type,
              const std::vector<std::uint8_t>& data) {
    const auto size = static_cast<std::uint32_t>(data.size());
    for (int shift = 24; shift >= 0; shift -= 8) {
        png.push_back(static_cast<std::uint8_t>(size >> shift));
    }
    const std::size_t start = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), data.begin(), data.end());
    const std::uint32_t crc = Crc32(png.data() + start, png.size() - start, 0);
    for (int shift = 24; shift >= 0; shift -= 8) {
        png.push_back(static_cast<std::uint8_t>(crc >> shift));
    }
}

// A painted image as a PNG file (8-bit red, green, blue and alpha). Each row is filtered the way
// that leaves the smallest differences, which compress best.
std::vector<std::uint8_t> MakePng(int size, const std::vector<std::uint8_t>& rgba) {
    const std::size_t stride = static_cast<std::size_t>(size) * 4;
    std::vector<std::uint8_t> filtered;
    std::vector<std::uint8_t> above(stride, 0);
    for (int y = 0; y < size; ++y) {
        const std::uint8_t* row = rgba.data() + static_cast<std::size_t>(y) * stride;
        std::vector<std::uint8_t> best;
        long bestCost = -1;
        for (std::uint8_t filter = 0; filter < 5; ++filter) {
            std::vector<std::uint8_t> line = {filter};
            long cost = 0;
            for (std::size_t i = 0; i < stride; ++i) {
                const int left = i >= 4 ? row[i - 4] : 0;
                const int up = above[i];
                const int corner = i >= 4 ? above[i - 4] : 0;
                int predicted = 0;
                if (filter == 1) {
                    predicted = left;
                } else if (filter == 2) {
                    predicted = up;
                } else if (filter == 3) {
                    predicted = (left + up) / 2;
                } else if (filter == 4) {
                    const int p = left + up - corner;
                    const int toLeft = std::abs(p - left), toUp = std::abs(p - up),
                              toCorner = std::abs(p - corner);
                    predicted = toLeft <= toUp && toLeft <= toCorner ? left
                                : toUp <= toCorner                   ? up
                                                                     : corner;
                }
                const auto value = static_cast<std::uint8_t>(row[i] - predicted);
                line.push_back(value);
                cost += value < 128 ? value : 256 - value;
            }
            if (bestCost < 0 || cost < bestCost) {
                bestCost = cost;
                best = line;
            }
        }
        filtered.insert(filtered.end(), best.begin(), best.end());
        above.assign(row, row + stride);
    }
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    for (int i = 0; i < 2; ++i) {
        for (int shift = 24; shift >= 0; shift -= 8) {
            header.push_back(static_cast<std::uint8_t>(size >> shift));
        }
    }
    // 8 bits per sample, red, green, blue and alpha; deflate, filtered rows, not interlaced.
    header.insert(header.end(), {8, 6, 0, 0, 0});
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", Deflate(filtered));
    PutChunk(png, "IEND", {});
    return png;
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
    std::vector<int> drawSizes;
    int pngFrom = 0;
    std::vector<Shape> shapes;
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
        } else if (word == "draw") {
            int size = 0;
            while (words >> size) {
                if (size < 1 || size > 256) {
                    Fail(input, lineNo, "an image size is 1 to 256");
                }
                drawSizes.push_back(size);
            }
        } else if (word == "png") {
            if (!(words >> pngFrom) || pngFrom < 1 || pngFrom > 256) {
                Fail(input, lineNo, "expected: png <the least size stored as PNG, 1 to 256>");
            }
        } else if (word == "ellipse" || word == "rect" || word == "polygon") {
            Shape shape;
            shape.kind = word == "ellipse" ? Shape::Kind::Ellipse
                         : word == "rect"  ? Shape::Kind::Rect
                                           : Shape::Kind::Polygon;
            std::string ch;
            words >> ch;
            if (ch.size() != 1 || !colours.count(ch[0])) {
                Fail(input, lineNo, "a shape starts with a colour of the palette");
            }
            shape.colour = ch[0];
            double value = 0;
            while (words >> value) {
                shape.values.push_back(value);
            }
            const std::size_t n = shape.values.size();
            if (shape.kind == Shape::Kind::Polygon) {
                if (n < 6 || n % 2 != 0) {
                    Fail(input, lineNo, "a polygon has at least three corners");
                }
            } else if (n == 5) {
                shape.grow = shape.values.back();
                shape.values.pop_back();
            } else if (n != 4) {
                Fail(input, lineNo, "expected four numbers and an optional widening");
            }
            shapes.push_back(shape);
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
    if (images.empty() && drawSizes.empty()) {
        Fail(input, lineNo, "no image");
    }
    if (!drawSizes.empty() && shapes.empty()) {
        Fail(input, lineNo, "sizes to draw but no shapes");
    }
    // The directory's entries: size, bits per pixel and the image (a DIB or a PNG file).
    struct Entry {
        int size;
        unsigned bits;
        std::vector<std::uint8_t> data;
    };
    std::vector<Entry> entries;
    for (const Image& image : images) {
        if (static_cast<int>(image.rows.size()) != image.size) {
            Fail(input, lineNo, "an image has too few rows");
        }
        entries.push_back({image.size, 8, MakeDib(image, colours, index)});
    }
    for (const int size : drawSizes) {
        for (const Image& image : images) {
            if (image.size == size) {
                Fail(input, lineNo, "a size is given as pixel art and drawn");
            }
        }
        const std::vector<std::uint8_t> rgba = Paint(size, shapes, colours);
        entries.push_back(
            {size, 32,
             pngFrom > 0 && size >= pngFrom ? MakePng(size, rgba) : MakeDib32(size, rgba)});
    }
    std::vector<std::uint8_t> ico;
    Put16(ico, 0);
    Put16(ico, 1);
    Put16(ico, static_cast<unsigned>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (const Entry& entry : entries) {
        ico.push_back(static_cast<std::uint8_t>(entry.size == 256 ? 0 : entry.size));
        ico.push_back(static_cast<std::uint8_t>(entry.size == 256 ? 0 : entry.size));
        ico.push_back(0);
        ico.push_back(0);
        Put16(ico, 1);
        Put16(ico, entry.bits);
        Put32(ico, static_cast<std::uint32_t>(entry.data.size()));
        Put32(ico, offset);
        offset += static_cast<std::uint32_t>(entry.data.size());
    }
    for (const Entry& entry : entries) {
        ico.insert(ico.end(), entry.data.begin(), entry.data.end());
    }
    std::ofstream out(argv[2], std::ios::binary);
    out.write(reinterpret_cast<const char*>(ico.data()), static_cast<std::streamsize>(ico.size()));
    return out ? 0 : 1;
}
