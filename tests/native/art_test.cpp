// Checks the pictures that ionsift-art wrote into IONSIFT_ART_DIR: the BMP and
// ICO headers the resource compiler and Windows rely on, and that the images
// are real drawings (not blank, icons with transparent corners).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#ifndef IONSIFT_ART_DIR
#error "IONSIFT_ART_DIR must name the folder with the generated art"
#endif

namespace {

using Bytes = std::vector<uint8_t>;

Bytes read_art(const char* name) {
  std::ifstream in(std::string(IONSIFT_ART_DIR) + "/" + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t u16(const Bytes& b, size_t at) { return b.at(at) | uint32_t(b.at(at + 1)) << 8; }
uint32_t u32(const Bytes& b, size_t at) { return u16(b, at) | u16(b, at + 2) << 16; }
int32_t s32(const Bytes& b, size_t at) { return int32_t(u32(b, at)); }

struct Pixel { uint8_t b, g, r, a; };
bool operator<(Pixel x, Pixel y) { return std::tie(x.b, x.g, x.r, x.a) < std::tie(y.b, y.g, y.r, y.a); }

// A 24-bit BMP file: checks its headers and returns its pixels, top row first.
std::vector<Pixel> bmp24(const Bytes& f, int width, int height) {
  EXPECT_GE(f.size(), 54u);
  if (f.size() < 54) return {};
  EXPECT_EQ('B', f[0]);
  EXPECT_EQ('M', f[1]);
  EXPECT_EQ(f.size(), u32(f, 2));
  EXPECT_EQ(40u, u32(f, 14));  // BITMAPINFOHEADER
  EXPECT_EQ(width, s32(f, 18));
  EXPECT_EQ(height, s32(f, 22));  // positive: bottom-up rows
  EXPECT_EQ(1u, u16(f, 26));
  EXPECT_EQ(24u, u16(f, 28));
  EXPECT_EQ(0u, u32(f, 30));  // BI_RGB
  size_t stride = (size_t(width) * 3 + 3) & ~size_t(3), offset = u32(f, 10);
  EXPECT_GE(f.size(), offset + stride * height);
  if (f.size() < offset + stride * height) return {};
  std::vector<Pixel> px;
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) {
      size_t at = offset + size_t(y) * stride + size_t(x) * 3;
      px.push_back({f[at], f[at + 1], f[at + 2], 255});
    }
  return px;
}

// One 32-bit image of an icon file: checks its directory entry and BMP header
// and returns its BGRA pixels, top row first.
std::vector<Pixel> icon_image(const Bytes& f, int index, int size) {
  size_t entry = 6 + 16 * size_t(index);
  EXPECT_GE(f.size(), entry + 16);
  if (f.size() < entry + 16) return {};
  EXPECT_EQ(size & 0xFF, f[entry]);
  EXPECT_EQ(size & 0xFF, f[entry + 1]);
  EXPECT_EQ(1u, u16(f, entry + 4));   // planes
  EXPECT_EQ(32u, u16(f, entry + 6));  // bits per pixel
  size_t bytes = u32(f, entry + 8), at = u32(f, entry + 12);
  size_t mask_stride = (size_t(size) + 31) / 32 * 4;
  EXPECT_EQ(40 + size_t(size) * size * 4 + mask_stride * size, bytes);
  EXPECT_GE(f.size(), at + bytes);
  if (f.size() < at + bytes || bytes < 40 + size_t(size) * size * 4) return {};
  EXPECT_EQ(40u, u32(f, at));
  EXPECT_EQ(size, s32(f, at + 4));
  EXPECT_EQ(2 * size, s32(f, at + 8));  // colour rows + AND mask rows
  EXPECT_EQ(32u, u16(f, at + 14));
  EXPECT_EQ(0u, u32(f, at + 16));
  std::vector<Pixel> px;
  for (int y = size - 1; y >= 0; --y)
    for (int x = 0; x < size; ++x) {
      size_t p = at + 40 + (size_t(y) * size + size_t(x)) * 4;
      px.push_back({f[p], f[p + 1], f[p + 2], f[p + 3]});
    }
  return px;
}

size_t distinct(const std::vector<Pixel>& px) { return std::set<Pixel>(px.begin(), px.end()).size(); }

void expect_icon_dir(const Bytes& f, unsigned count) {
  ASSERT_GE(f.size(), 6u);
  EXPECT_EQ(0u, u16(f, 0));
  EXPECT_EQ(1u, u16(f, 2));  // icon, not cursor
  EXPECT_EQ(count, u16(f, 4));
}

void expect_transparent_corners_opaque_centre(const std::vector<Pixel>& px, int size) {
  ASSERT_EQ(size_t(size) * size, px.size());
  for (int at : {0, size - 1, size * (size - 1), size * size - 1}) EXPECT_EQ(0, px[size_t(at)].a) << "corner " << at;
  EXPECT_EQ(255, px[size_t(size / 2) * size + size / 2].a);
}

TEST(Art, BackgroundIsALightSilverTile) {
  std::vector<Pixel> px = bmp24(read_art("background.bmp"), 300, 48);
  ASSERT_EQ(300u * 48, px.size());
  EXPECT_GT(distinct(px), 8u);
  for (const Pixel& p : px) {  // stays close to the silver dialog, text stays readable
    ASSERT_GE(p.r, 160);
    ASSERT_GE(p.g, 160);
    ASSERT_GE(p.b, 160);
  }
}

TEST(Art, MenuImageIs16By16WithRedAndBlueSticks) {
  std::vector<Pixel> px = bmp24(read_art("menu.bmp"), 16, 16);
  ASSERT_EQ(256u, px.size());
  EXPECT_GT(distinct(px), 4u);
  bool red = false, blue = false;
  for (const Pixel& p : px) {
    red |= p.r > 150 && p.g < 100 && p.b < 100;
    blue |= p.b > 150 && p.r < 100;
  }
  EXPECT_TRUE(red);
  EXPECT_TRUE(blue);
}

TEST(Art, WindowIconHas32And16PixelImages) {
  Bytes f = read_art("ionsift.ico");
  expect_icon_dir(f, 2);
  ASSERT_GE(f.size(), 38u);
  int first = f[6] == 32 ? 0 : 1;
  std::vector<Pixel> big = icon_image(f, first, 32), small = icon_image(f, 1 - first, 16);
  EXPECT_GT(distinct(big), 16u);
  EXPECT_GT(distinct(small), 8u);
  expect_transparent_corners_opaque_centre(big, 32);
  expect_transparent_corners_opaque_centre(small, 16);
}

TEST(Art, LogoIs128PixelsWithAlpha) {
  Bytes f = read_art("logo.ico");
  expect_icon_dir(f, 1);
  std::vector<Pixel> px = icon_image(f, 0, 128);
  EXPECT_GT(distinct(px), 64u);
  expect_transparent_corners_opaque_centre(px, 128);
  std::set<uint8_t> alphas;
  for (const Pixel& p : px) alphas.insert(p.a);
  EXPECT_GT(alphas.size(), 8u);  // anti-aliased edges
}

}  // namespace
