// Draws the pictures of tarnwick.exe and writes them as the files that the
// resource script takes in:
//
//   tarnwick.ico   the program icon, 32x32 and 16x16, 16 colours
//   logo.bmp       the logo, 100x32, 16 colours, the name in large letters
//   hand.cur       the pointing hand, 32x32 black and white, hot spot (7, 1)
//   hand_alt.cur   the second hand (thumb out, cuff), same size and hot spot
//
// Usage: make_images OUTPUT_DIRECTORY
//
// Everything is drawn from the pixel maps and shapes in this file, so every
// run writes the same bytes; a test compares them with the committed files.
// Run it with this folder as the output directory after changing a drawing.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Pictures

// The 16 colours of the standard VGA palette, in palette order.
struct Rgb {
  std::uint8_t r, g, b;
};
constexpr Rgb kPalette[16] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0},   {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
enum Colour : int {
  kClear = -1,  // transparent (icons and cursors only)
  kBlack = 0,
  kMaroon = 1,
  kGreen = 2,
  kOlive = 3,
  kNavy = 4,
  kPurple = 5,
  kTeal = 6,
  kSilver = 7,
  kGray = 8,
  kRed = 9,
  kLime = 10,
  kYellow = 11,
  kBlue = 12,
  kFuchsia = 13,
  kAqua = 14,
  kWhite = 15,
};

struct Picture {
  Picture(int w, int h, int fill = kClear) : width(w), height(h), pixels(static_cast<size_t>(w * h), fill) {}
  int At(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return kClear;
    return pixels[static_cast<size_t>(y * width + x)];
  }
  void Set(int x, int y, int colour) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    pixels[static_cast<size_t>(y * width + x)] = colour;
  }
  int width;
  int height;
  std::vector<int> pixels;  // row by row from the top, palette index or kClear
};

void FillRect(Picture& p, int left, int top, int right, int bottom, int colour) {  // right, bottom exclusive
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) p.Set(x, y, colour);
}

// Whether (dx, dy) lies within `radius` of the origin. Squares, not hypot():
// plain IEEE arithmetic gives the same pixels with every compiler and library.
bool Within(double dx, double dy, double radius) { return dx * dx + dy * dy <= radius * radius; }

// Every pixel whose centre lies within `radius` of (cx, cy).
void FillDisc(Picture& p, double cx, double cy, double radius, int colour) {
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (Within(x + 0.5 - cx, y + 0.5 - cy, radius)) p.Set(x, y, colour);
}

// Every pixel whose centre lies within `half_width` of the segment.
void ThickLine(Picture& p, double x0, double y0, double x1, double y1, double half_width, int colour) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double length2 = dx * dx + dy * dy;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      const double px = x + 0.5 - x0, py = y + 0.5 - y0;
      double t = length2 > 0 ? (px * dx + py * dy) / length2 : 0;
      t = t < 0 ? 0 : (t > 1 ? 1 : t);
      if (Within(px - t * dx, py - t * dy, half_width)) p.Set(x, y, colour);
    }
}

// A pixel map: one string per row, one character per pixel; characters not
// in the legend leave the picture as it is.
struct Ink {
  char symbol;
  int colour;
};
void Stamp(Picture& p, int left, int top, const std::vector<std::string>& rows, const std::vector<Ink>& legend) {
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x)
      for (const Ink& ink : legend)
        if (rows[y][x] == ink.symbol) p.Set(left + static_cast<int>(x), top + static_cast<int>(y), ink.colour);
}

// ---------------------------------------------------------------------------
// The icon: a page of a listing under a magnifying glass.

// A white page with a black edge, its top right corner folded down.
void DrawPage(Picture& p, int left, int top, int right, int bottom, int fold) {  // right, bottom exclusive
  FillRect(p, left, top, right, bottom, kBlack);
  FillRect(p, left + 1, top + 1, right - 1, bottom - 1, kWhite);
  for (int k = 0; k < fold; ++k)
    for (int j = 0; j < fold; ++j) {
      const int colour = j > k ? kClear : (j == k || j == 0 ? kBlack : kSilver);
      p.Set(right - fold + j, top + k, colour);
    }
  FillRect(p, right - fold, top + fold, right, top + fold + 1, kBlack);
}

// A round lens with a black rim (and a silver ring inside it when `ring`),
// the handle down to the right, and the lens tinted aqua.
void DrawGlass(Picture& p, double cx, double cy, double radius, double ring, double handle_x, double handle_y,
               double handle_half_width) {
  const double reach = radius * 0.7071;
  ThickLine(p, cx + reach, cy + reach, handle_x, handle_y, handle_half_width + 1.0, kBlack);
  ThickLine(p, cx + reach, cy + reach, handle_x - 0.6, handle_y - 0.6, handle_half_width, kMaroon);
  FillDisc(p, cx, cy, radius, kBlack);
  double inner = radius - 1.0;
  if (ring > 0) {
    FillDisc(p, cx, cy, inner, kSilver);
    inner -= ring;
    FillDisc(p, cx, cy, inner, kBlack);
    inner -= 1.0;
  }
  FillDisc(p, cx, cy, inner, kAqua);
}

// Navy bars, kept within the lens: the page's lines seen larger.
void MagnifiedLines(Picture& p, double cx, double cy, double inner, const std::vector<std::vector<int>>& bars) {
  for (const std::vector<int>& bar : bars)  // left, top, right, bottom
    for (int y = bar[1]; y < bar[3]; ++y)
      for (int x = bar[0]; x < bar[2]; ++x)
        if (Within(x + 0.5 - cx, y + 0.5 - cy, inner - 0.8)) p.Set(x, y, kNavy);
}

Picture DrawIcon32() {
  Picture p(32, 32);
  DrawPage(p, 3, 1, 23, 30, 6);
  // Lines of text, the first one a heading.
  const int line_ends[] = {13, 19, 17, 19, 13, 18, 16, 12};
  for (int i = 0; i < 8; ++i) FillRect(p, 6, 6 + 3 * i, line_ends[i], 7 + 3 * i, i == 0 ? kNavy : kGray);
  const double cx = 20.0, cy = 18.0;
  DrawGlass(p, cx, cy, 8.0, 1.0, 30.0, 30.0, 1.6);
  MagnifiedLines(p, cx, cy, 5.0, {{12, 14, 29, 16}, {12, 18, 23, 20}, {12, 22, 27, 24}});
  Stamp(p, 16, 13, {"..oo", ".o", "o", "o"}, {{'o', kWhite}});  // glint
  return p;
}

Picture DrawIcon16() {
  Picture p(16, 16);
  DrawPage(p, 1, 0, 12, 15, 3);
  FillRect(p, 3, 3, 7, 4, kNavy);
  const int line_ends[] = {10, 9, 10, 6};
  for (int i = 0; i < 4; ++i) FillRect(p, 3, 5 + 2 * i, line_ends[i], 6 + 2 * i, kGray);
  const double cx = 9.5, cy = 9.5;
  DrawGlass(p, cx, cy, 4.3, 0, 15.6, 15.6, 0.8);
  MagnifiedLines(p, cx, cy, 3.3, {{6, 8, 14, 9}, {6, 11, 11, 12}});
  p.Set(8, 7, kWhite);
  return p;
}

// ---------------------------------------------------------------------------
// The logo: "Tarnwick" in bold letters with a drop shadow on a blue ground.

// Glyphs 18 rows high, standing on the bottom row: capitals and ascenders
// use all of them, the x-height is the lower 12.
struct Glyph {
  char letter;
  std::vector<std::string> rows;
};
const std::vector<Glyph>& Glyphs() {
  static const std::vector<Glyph> glyphs = {
      {'T',
       {
           "#############", "#############", "#############", ".....###.....", ".....###.....",
           ".....###.....", ".....###.....", ".....###.....", ".....###.....", ".....###.....",
           ".....###.....", ".....###.....", ".....###.....", ".....###.....", ".....###.....",
           ".....###.....", ".....###.....", ".....###.....",
       }},
      {'a',
       {
           "..........", "..........", "..........", "..........", "..........", "..........",
           "..######..", ".########.", "###....###", ".......###", "..########", ".#########",
           "###....###", "###....###", "###....###", "###...####", "##########", ".#####.###",
       }},
      {'r',
       {
           "........", "........", "........", "........", "........", "........",
           "###.####", "########", "#####...", "####....", "###.....", "###.....",
           "###.....", "###.....", "###.....", "###.....", "###.....", "###.....",
       }},
      {'n',
       {
           "..........", "..........", "..........", "..........", "..........", "..........",
           "###.#####.", "##########", "####...###", "###....###", "###....###", "###....###",
           "###....###", "###....###", "###....###", "###....###", "###....###", "###....###",
       }},
      {'w',
       {
           "...............", "...............", "...............", "...............", "...............",
           "...............", "###....#....###", "###...###...###", "###...###...###", ".###.#####.###.",
           ".###.#####.###.", ".###.##.##.###.", "..#####.#####..", "..#####.#####..", "..####...####..",
           "...###...###...", "...###...###...", "...##.....##...",
       }},
      {'i',
       {
           "###", "###", "###", "...", "...", "...", "###", "###", "###", "###",
           "###", "###", "###", "###", "###", "###", "###", "###",
       }},
      {'c',
       {
           ".........", ".........", ".........", ".........", ".........", ".........",
           "..######.", ".########", "####...##", "###......", "###......", "###......",
           "###......", "###......", "###......", "####...##", ".########", "..######.",
       }},
      {'k',
       {
           "###.......", "###.......", "###.......", "###.......", "###.......", "###.......",
           "###...####", "###..####.", "###.####..", "#######...", "######....", "#######...",
           "########..", "###.####..", "###..####.", "###...####", "###....###", "###....###",
       }},
  };
  return glyphs;
}

const Glyph* FindGlyph(char letter) {
  for (const Glyph& glyph : Glyphs())
    if (glyph.letter == letter) return &glyph;
  return nullptr;
}

int TextWidth(const std::string& text, int spacing) {
  int width = 0;
  for (char letter : text) width += static_cast<int>(FindGlyph(letter)->rows[0].size()) + spacing;
  return width - spacing;
}

Picture DrawLogo() {
  const int width = 100, height = 32;
  Picture p(width, height);
  // Ground: blue at the top fading to navy at the bottom, by an ordered dither.
  static const int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const int level = (y * 17) / height;  // 0 (all blue) .. 16 (all navy)
      p.Set(x, y, kBayer[y % 4][x % 4] < level ? kNavy : kBlue);
    }
  // The letters as a mask, centred.
  const std::string name = "Tarnwick";
  const int spacing = 2;
  Picture mask(width, height, 0);
  int x = (width - TextWidth(name, spacing) - 2) / 2;
  const int top = 6;
  for (char letter : name) {
    const Glyph* glyph = FindGlyph(letter);
    Stamp(mask, x, top, glyph->rows, {{'#', 1}});
    x += static_cast<int>(glyph->rows[0].size()) + spacing;
  }
  // Shadow two pixels down and right, then yellow letters lit from the top
  // left with a white edge.
  for (int y = 0; y < height; ++y)
    for (int xx = 0; xx < width; ++xx)
      if (mask.At(xx - 2, y - 2) == 1) p.Set(xx, y, kBlack);
  for (int y = 0; y < height; ++y)
    for (int xx = 0; xx < width; ++xx) {
      if (mask.At(xx, y) != 1) continue;
      const bool lit = mask.At(xx - 1, y) != 1 || mask.At(xx, y - 1) != 1;
      p.Set(xx, y, lit ? kWhite : kYellow);
    }
  // A thin frame, light above and left, dark below and right.
  FillRect(p, 0, 0, width, 1, kAqua);
  FillRect(p, 0, 0, 1, height, kAqua);
  FillRect(p, 0, height - 1, width, height, kBlack);
  FillRect(p, width - 1, 0, width, height, kBlack);
  return p;
}

// ---------------------------------------------------------------------------
// The cursors. '#' black, 'o' white, anything else transparent. The hot spot
// (7, 1) is the tip of the index finger.

const std::vector<Ink> kCursorInk = {{'#', kBlack}, {'o', kWhite}};

Picture DrawHand() {
  Picture p(32, 32);
  Stamp(p, 0, 0,
        {
            "......###.......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo####...",
            ".....#ooo#ooo###",
            ".....#ooo#ooo#oo##",
            ".....#ooo#ooo#ooo#",
            ".###.#ooo#ooo#ooo###",
            "#ooo##ooo#ooo#ooo#oo#",
            "#oooo#ooooooooooo#oo#",
            ".#ooo#ooooooooooooooo#",
            "..#ooooooooooooooooo#",
            "..#ooooooooooooooooo#",
            "...#oooooooooooooooo#",
            "...#oooooooooooooooo#",
            "....#ooooooooooooooo#",
            "....#oooooooooooooo#",
            ".....#ooooooooooooo#",
            ".....#ooooooooooooo#",
            ".....###############",
        },
        kCursorInk);
  return p;
}

Picture DrawAltHand() {
  Picture p(32, 32);
  Stamp(p, 0, 0,
        {
            "......###.......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            ".....#ooo#......",
            "##...#ooo####...",
            "#o#..#ooo#ooo###",
            "#oo#.#ooo#ooo#oo##",
            "#ooo##ooo#ooo#ooo#",
            ".#ooo#ooo#ooo#ooo##",
            ".#oooooooooooooo#oo#",
            "..#ooooooooooooo#oo#",
            "..#ooooooooooooooooo#",
            "...#oooooooooooooooo#",
            "....#ooooooooooooooo#",
            ".....#ooooooooooooo#",
            ".....###############",
            ".....#ooooooooooooo#",
            ".....#o#o#o#o#o#o#o#",
            ".....#ooooooooooooo#",
            ".....###############",
        },
        kCursorInk);
  return p;
}

// ---------------------------------------------------------------------------
// File layouts (all little-endian).

class Bytes {
 public:
  void U8(unsigned v) { data_.push_back(static_cast<std::uint8_t>(v)); }
  void U16(unsigned v) {
    U8(v & 0xFF);
    U8((v >> 8) & 0xFF);
  }
  void U32(std::uint32_t v) {
    U16(v & 0xFFFF);
    U16(v >> 16);
  }
  void Append(const std::vector<std::uint8_t>& more) { data_.insert(data_.end(), more.begin(), more.end()); }
  size_t Size() const { return data_.size(); }
  const std::vector<std::uint8_t>& Data() const { return data_; }

 private:
  std::vector<std::uint8_t> data_;
};

// Bytes of one bitmap row: 1 or 4 bits a pixel, padded to whole 32-bit words.
size_t RowBytes(int width, int bits) { return static_cast<size_t>((width * bits + 31) / 32 * 4); }

// Rows from the bottom up, as device-independent bitmaps store them; `value`
// gives each pixel's bits.
template <typename PixelValue>
std::vector<std::uint8_t> PackRows(const Picture& p, int bits, PixelValue value) {
  const size_t row_bytes = RowBytes(p.width, bits);
  std::vector<std::uint8_t> out(row_bytes * static_cast<size_t>(p.height), 0);
  for (int y = 0; y < p.height; ++y) {
    std::uint8_t* row = &out[row_bytes * static_cast<size_t>(p.height - 1 - y)];
    for (int x = 0; x < p.width; ++x) {
      const unsigned v = value(p.At(x, y));
      const int bit = x * bits;
      row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - bits - bit % 8));
    }
  }
  return out;
}

// BITMAPINFOHEADER, uncompressed.
void InfoHeader(Bytes& b, int width, int height, int bits, size_t image_bytes) {
  b.U32(40);
  b.U32(static_cast<std::uint32_t>(width));
  b.U32(static_cast<std::uint32_t>(height));
  b.U16(1);     // planes
  b.U16(static_cast<unsigned>(bits));
  b.U32(0);     // BI_RGB
  b.U32(static_cast<std::uint32_t>(image_bytes));
  b.U32(0);     // pixels per metre, x and y
  b.U32(0);
  b.U32(0);     // colours used and important: all
  b.U32(0);
}

void Palette16(Bytes& b) {
  for (const Rgb& c : kPalette) {
    b.U8(c.b);
    b.U8(c.g);
    b.U8(c.r);
    b.U8(0);
  }
}

// The AND mask of an icon or cursor: 1 where the picture is transparent.
std::vector<std::uint8_t> AndMask(const Picture& p) {
  return PackRows(p, 1, [](int c) { return c == kClear ? 1u : 0u; });
}

std::vector<std::uint8_t> BmpFile(const Picture& p) {
  const std::vector<std::uint8_t> pixels = PackRows(p, 4, [](int c) { return static_cast<unsigned>(c); });
  const std::uint32_t offset = 14 + 40 + 16 * 4;
  Bytes b;
  b.U8('B');
  b.U8('M');
  b.U32(offset + static_cast<std::uint32_t>(pixels.size()));
  b.U16(0);
  b.U16(0);
  b.U32(offset);
  InfoHeader(b, p.width, p.height, 4, pixels.size());
  Palette16(b);
  b.Append(pixels);
  return b.Data();
}

// One image of an icon: header (twice the height: colour rows, then mask
// rows), 16-colour palette, colour bits (transparent pixels black), mask.
std::vector<std::uint8_t> IconImage(const Picture& p) {
  const std::vector<std::uint8_t> colour =
      PackRows(p, 4, [](int c) { return c == kClear ? 0u : static_cast<unsigned>(c); });
  const std::vector<std::uint8_t> mask = AndMask(p);
  Bytes b;
  InfoHeader(b, p.width, p.height * 2, 4, colour.size() + mask.size());
  Palette16(b);
  b.Append(colour);
  b.Append(mask);
  return b.Data();
}

std::vector<std::uint8_t> IcoFile(const std::vector<Picture>& sizes) {
  std::vector<std::vector<std::uint8_t>> images;
  for (const Picture& p : sizes) images.push_back(IconImage(p));
  Bytes b;
  b.U16(0);  // reserved
  b.U16(1);  // icon
  b.U16(static_cast<unsigned>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    b.U8(static_cast<unsigned>(sizes[i].width));
    b.U8(static_cast<unsigned>(sizes[i].height));
    b.U8(16);  // colours
    b.U8(0);
    b.U16(1);  // planes
    b.U16(4);  // bits a pixel
    b.U32(static_cast<std::uint32_t>(images[i].size()));
    b.U32(offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const auto& image : images) b.Append(image);
  return b.Data();
}

// A black-and-white cursor: the XOR bits are 1 for white, the AND bits 1 for
// transparent; black is 0 in both.
std::vector<std::uint8_t> CurFile(const Picture& p, int hot_x, int hot_y) {
  const std::vector<std::uint8_t> colour = PackRows(p, 1, [](int c) { return c == kWhite ? 1u : 0u; });
  const std::vector<std::uint8_t> mask = AndMask(p);
  Bytes image;
  InfoHeader(image, p.width, p.height * 2, 1, colour.size() + mask.size());
  for (int c : {kBlack, kWhite}) {
    image.U8(kPalette[c].b);
    image.U8(kPalette[c].g);
    image.U8(kPalette[c].r);
    image.U8(0);
  }
  image.Append(colour);
  image.Append(mask);
  Bytes b;
  b.U16(0);  // reserved
  b.U16(2);  // cursor
  b.U16(1);
  b.U8(static_cast<unsigned>(p.width));
  b.U8(static_cast<unsigned>(p.height));
  b.U8(2);  // colours
  b.U8(0);
  b.U16(static_cast<unsigned>(hot_x));
  b.U16(static_cast<unsigned>(hot_y));
  b.U32(static_cast<std::uint32_t>(image.Size()));
  b.U32(6 + 16);
  b.Append(image.Data());
  return b.Data();
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// The drawings must stay within what each file can hold.
bool Check(const Picture& p, bool may_be_transparent, bool black_and_white, const char* what) {
  for (int c : p.pixels) {
    const bool ok = c == kClear ? may_be_transparent : (!black_and_white || c == kBlack || c == kWhite);
    if (!ok) {
      std::fprintf(stderr, "make_images: %s has a pixel its file cannot hold\n", what);
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_images OUTPUT_DIRECTORY\n");
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  const Picture icon32 = DrawIcon32(), icon16 = DrawIcon16(), logo = DrawLogo();
  const Picture hand = DrawHand(), alt_hand = DrawAltHand();
  if (!Check(icon32, true, false, "the 32x32 icon") || !Check(icon16, true, false, "the 16x16 icon") ||
      !Check(logo, false, false, "the logo") || !Check(hand, true, true, "the hand") ||
      !Check(alt_hand, true, true, "the second hand"))
    return 1;
  const struct {
    const char* name;
    std::vector<std::uint8_t> bytes;
  } files[] = {
      {"tarnwick.ico", IcoFile({icon32, icon16})},
      {"logo.bmp", BmpFile(logo)},
      {"hand.cur", CurFile(hand, 7, 1)},
      {"hand_alt.cur", CurFile(alt_hand, 7, 1)},
  };
  for (const auto& file : files)
    if (!WriteFile(dir + file.name, file.bytes)) {
      std::fprintf(stderr, "make_images: cannot write %s%s\n", dir.c_str(), file.name);
      return 1;
    }
  return 0;
}
