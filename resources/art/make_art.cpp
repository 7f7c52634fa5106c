// ionsift-art: draws Ionsift's bitmaps and icons at build time.
//
//   ionsift-art OUTDIR
//
// writes OUTDIR/background.bmp (300x48, 24-bit), OUTDIR/menu.bmp (16x16,
// 24-bit), OUTDIR/ionsift.ico (32x32 + 16x16, 32-bit BGRA + AND mask) and
// OUTDIR/logo.ico (128x128, 32-bit BGRA). Everything is drawn with a few
// anti-aliased primitives (coverage from signed distances) and written in the
// classic BMP / BMP-in-ICO formats that windres and old Windows accept.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Color { float r, g, b, a; };

Color rgb(int r, int g, int b, float a = 1.0f) { return {r / 255.0f, g / 255.0f, b / 255.0f, a}; }
Color mix(Color x, Color y, float t) {
  return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}
float clamp01(float v) { return std::min(1.0f, std::max(0.0f, v)); }

struct Image {
  int w, h;
  std::vector<Color> px;
  Image(int width, int height, Color fill) : w(width), h(height), px(size_t(width) * height, fill) {}
  Color& at(int x, int y) { return px[size_t(y) * w + x]; }

  // Source-over compositing of c with the given coverage (straight alpha).
  void blend(int x, int y, Color c, float coverage) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    float sa = c.a * clamp01(coverage);
    if (sa <= 0) return;
    Color& d = at(x, y);
    float oa = sa + d.a * (1 - sa);
    if (oa <= 0) return;
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / oa;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / oa;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / oa;
    d.a = oa;
  }
};

// Fills the pixels of box [x0,x1)x[y0,y1) with paint(px, py) where dist(px, py)
// (signed distance to the shape's edge, negative inside) says it is covered.
template <class Dist, class Paint>
void fill_shape(Image& img, float x0, float y0, float x1, float y1, Dist dist, Paint paint) {
  for (int y = std::max(0, int(std::floor(y0 - 1))); y < std::min(img.h, int(std::ceil(y1 + 1))); ++y)
    for (int x = std::max(0, int(std::floor(x0 - 1))); x < std::min(img.w, int(std::ceil(x1 + 1))); ++x) {
      float cx = x + 0.5f, cy = y + 0.5f;
      float cov = clamp01(0.5f - dist(cx, cy));
      if (cov > 0) img.blend(x, y, paint(cx, cy), cov);
    }
}

// Axis-aligned rectangle with exact area coverage: crisp on whole pixels,
// soft on fractional edges (the right thing for thin sticks in small icons).
void fill_rect(Image& img, float x0, float y0, float x1, float y1, Color c) {
  for (int y = std::max(0, int(y0)); y < std::min(img.h, int(std::ceil(y1))); ++y)
    for (int x = std::max(0, int(x0)); x < std::min(img.w, int(std::ceil(x1))); ++x) {
      float ox = std::min(x + 1.0f, x1) - std::max(float(x), x0);
      float oy = std::min(y + 1.0f, y1) - std::max(float(y), y0);
      if (ox > 0 && oy > 0) img.blend(x, y, c, ox * oy);
    }
}

float rounded_rect_dist(float px, float py, float x0, float y0, float x1, float y1, float r) {
  float qx = std::fabs(px - (x0 + x1) / 2) - (x1 - x0) / 2 + r;
  float qy = std::fabs(py - (y0 + y1) / 2) - (y1 - y0) / 2 + r;
  float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  return outside + std::min(std::max(qx, qy), 0.0f) - r;
}

// Rounded rectangle painted with a vertical gradient from top to bottom.
void fill_rounded_rect(Image& img, float x0, float y0, float x1, float y1, float r, Color top, Color bottom) {
  fill_shape(img, x0, y0, x1, y1,
             [=](float px, float py) { return rounded_rect_dist(px, py, x0, y0, x1, y1, r); },
             [=](float, float py) { return mix(top, bottom, clamp01((py - y0) / (y1 - y0))); });
}

void fill_circle(Image& img, float cx, float cy, float r, Color c) {
  fill_shape(img, cx - r, cy - r, cx + r, cy + r,
             [=](float px, float py) { return std::hypot(px - cx, py - cy) - r; },
             [=](float, float) { return c; });
}

struct Point { float x, y; };

float segment_dist(Point p, Point a, Point b) {
  float dx = b.x - a.x, dy = b.y - a.y;
  float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? clamp01(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2) : 0;
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// A polyline with round joins, drawn in one pass so that a translucent stroke
// does not darken where its segments meet; paint(x, y) gives the colour.
template <class Paint>
void stroke(Image& img, const std::vector<Point>& pts, float width, Paint paint) {
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
  for (Point p : pts) x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
  fill_shape(img, x0 - width, y0 - width, x1 + width, y1 + width,
             [&](float px, float py) {
               float d = 1e9f;
               for (size_t i = 0; i + 1 < pts.size(); ++i) d = std::min(d, segment_dist({px, py}, pts[i], pts[i + 1]));
               return d - width / 2;
             },
             paint);
}

// ---- file writers -------------------------------------------------------

void put16(std::vector<uint8_t>& v, unsigned x) { v.push_back(uint8_t(x)); v.push_back(uint8_t(x >> 8)); }
void put32(std::vector<uint8_t>& v, uint32_t x) { put16(v, x & 0xFFFF); put16(v, x >> 16); }
uint8_t byte_of(float f) { return uint8_t(std::lround(clamp01(f) * 255)); }

void bitmap_info_header(std::vector<uint8_t>& v, int w, int h, int bpp, uint32_t image_size) {
  put32(v, 40); put32(v, uint32_t(w)); put32(v, uint32_t(h)); put16(v, 1); put16(v, unsigned(bpp));
  put32(v, 0); put32(v, image_size); put32(v, 2835); put32(v, 2835); put32(v, 0); put32(v, 0);
}

bool write_file(const std::string& path, const std::vector<uint8_t>& data) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return std::fclose(f) == 0 && ok;
}

// 24-bit bottom-up BMP; translucent pixels are flattened onto black.
std::vector<uint8_t> bmp24(Image& img) {
  uint32_t stride = (uint32_t(img.w) * 3 + 3) & ~3u, size = stride * uint32_t(img.h);
  std::vector<uint8_t> v = {'B', 'M'};
  put32(v, 54 + size); put32(v, 0); put32(v, 54);
  bitmap_info_header(v, img.w, img.h, 24, size);
  for (int y = img.h - 1; y >= 0; --y) {
    for (int x = 0; x < img.w; ++x) {
      Color c = img.at(x, y);
      v.push_back(byte_of(c.b * c.a)); v.push_back(byte_of(c.g * c.a)); v.push_back(byte_of(c.r * c.a));
    }
    for (uint32_t i = uint32_t(img.w) * 3; i < stride; ++i) v.push_back(0);
  }
  return v;
}

// Icon with 32-bit BGRA images (straight alpha) plus the 1-bit AND mask.
std::vector<uint8_t> ico(std::vector<Image*> images) {
  std::vector<uint8_t> v;
  put16(v, 0); put16(v, 1); put16(v, unsigned(images.size()));
  uint32_t offset = 6 + 16 * uint32_t(images.size());
  std::vector<uint8_t> body;
  for (Image* img : images) {
    uint32_t mask_stride = ((uint32_t(img->w) + 31) / 32) * 4;
    uint32_t xor_size = uint32_t(img->w * img->h) * 4, and_size = mask_stride * uint32_t(img->h);
    uint32_t bytes = 40 + xor_size + and_size;
    v.push_back(uint8_t(img->w & 0xFF)); v.push_back(uint8_t(img->h & 0xFF));  // 256 would be 0
    v.push_back(0); v.push_back(0); put16(v, 1); put16(v, 32); put32(v, bytes); put32(v, offset);
    offset += bytes;
    bitmap_info_header(body, img->w, img->h * 2, 32, xor_size + and_size);
    for (int y = img->h - 1; y >= 0; --y)
      for (int x = 0; x < img->w; ++x) {
        Color c = img->at(x, y);
        bool clear = c.a < 1.0f / 255;
        body.push_back(clear ? 0 : byte_of(c.b)); body.push_back(clear ? 0 : byte_of(c.g));
        body.push_back(clear ? 0 : byte_of(c.r)); body.push_back(byte_of(c.a));
      }
    for (int y = img->h - 1; y >= 0; --y) {
      std::vector<uint8_t> row(mask_stride, 0);
      for (int x = 0; x < img->w; ++x)
        if (img->at(x, y).a < 0.5f) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
      body.insert(body.end(), row.begin(), row.end());
    }
  }
  v.insert(v.end(), body.begin(), body.end());
  return v;
}

// ---- the pictures -------------------------------------------------------

const Color kRed = rgb(214, 40, 40), kRedLight = rgb(255, 110, 96), kBlue = rgb(34, 84, 196);

// A typical isotope pattern (relative abundances of M, M+1, M+2, ...).
const float kPattern[] = {0.62f, 1.0f, 0.78f, 0.42f, 0.17f};

// Faint silver wash with a few light isotope-pattern clusters rising from a
// hairline at the bottom. Periodic in both directions, so it tiles seamlessly.
Image background() {
  const int w = 300, h = 48;
  Image img(w, h, rgb(192, 192, 192));
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      float v = 192 + 3 * std::cos(2 * 3.14159265f * (y + 0.5f) / h);  // lighter at the tile's edges
      img.at(x, y) = rgb(int(v), int(v), int(v + 2));
    }
  struct Cluster { float x, height; int sticks; };
  const Cluster clusters[] = {{28, 30, 4}, {104, 20, 3}, {168, 34, 5}, {246, 24, 4}};
  for (const Cluster& c : clusters)
    for (int i = 0; i < c.sticks; ++i) {
      float top = h - 6 - c.height * kPattern[i];
      fill_rect(img, c.x + i * 7, top, c.x + i * 7 + 2, h - 6, rgb(255, 255, 255, 0.24f));
      fill_rect(img, c.x + i * 7 + 2, top + 1, c.x + i * 7 + 3, h - 6, rgb(150, 150, 160, 0.12f));
    }
  fill_rect(img, 0, h - 6, w, h - 5, rgb(255, 255, 255, 0.28f));
  fill_rect(img, 0, h - 5, w, h - 4, rgb(140, 140, 150, 0.10f));
  return img;
}

// 16x16 menu image: two measured (blue) and three computed (red) sticks.
Image menu_image() {
  Image img(16, 16, rgb(250, 250, 252));
  fill_rect(img, 0, 0, 16, 1, rgb(200, 204, 212));
  fill_rect(img, 0, 15, 16, 16, rgb(200, 204, 212));
  fill_rect(img, 0, 0, 1, 16, rgb(200, 204, 212));
  fill_rect(img, 15, 0, 16, 16, rgb(200, 204, 212));
  fill_rect(img, 2, 13, 14, 14, rgb(90, 96, 110));  // axis
  const int heights[] = {6, 10, 8, 4, 2};
  for (int i = 0; i < 5; ++i)
    fill_rect(img, 3.0f + i * 2, 13.0f - heights[i], 4.0f + i * 2, 13, i % 2 ? kBlue : kRed);
  return img;
}

// The motif: rounded square with a blue gradient, a white baseline and an
// isotope pattern of red sticks; the large version adds a drop shadow, gloss,
// grid lines and a translucent Gaussian envelope through the stick tops.
struct Layout { float radius, base, axis_x0, axis_x1, axis_h, x0, pitch, stick, height; };

Image motif(int size) {
  const bool big = size >= 64;
  const float s = size / 32.0f;  // the large one is designed on a 32-pixel grid
  const Layout l = size <= 16 ? Layout{3, 13, 2, 14, 1, 3, 2, 1, 10}
                 : size <= 32 ? Layout{5.5f, 26, 4, 28, 1, 7, 4, 2, 19}
                              : Layout{5.5f * s, 25.5f * s, 4 * s, 28 * s, 0.75f * s, 7 * s, 4.25f * s, 2 * s, 18.5f * s};
  Image img(size, size, Color{0, 0, 0, 0});
  float edge = big ? 30.5f * s : size - 0.5f * s;
  if (big) fill_rounded_rect(img, 1.2f * s, 1.8f * s, 31.2f * s, 31.6f * s, l.radius, rgb(0, 20, 50, 0.28f), rgb(0, 20, 50, 0.28f));
  fill_rounded_rect(img, 0.5f * s, 0.5f * s, edge, edge, l.radius, rgb(74, 140, 222), rgb(22, 60, 128));
  if (big) {
    fill_rounded_rect(img, 1.5f * s, 1.5f * s, 29.5f * s, 15 * s, 4.5f * s, rgb(255, 255, 255, 0.16f), rgb(255, 255, 255, 0.0f));
    for (int i = 1; i <= 3; ++i) fill_rect(img, l.axis_x0, l.base - 5.5f * s * i, l.axis_x1, l.base - 5.5f * s * i + 1, rgb(255, 255, 255, 0.10f));
    std::vector<Point> curve;  // Gaussian envelope, centred between M+1 and M+2
    float mid = l.x0 + 1.35f * l.pitch + l.stick / 2, sigma = 1.35f * l.pitch;
    for (float x = l.axis_x0; x <= l.axis_x1; x += 0.5f)
      curve.push_back({x, l.base - 1.02f * l.height * std::exp(-0.5f * (x - mid) * (x - mid) / (sigma * sigma))});
    stroke(img, curve, 1.0f * s, [&](float px, float) {  // fades out towards the ends
      float fade = clamp01((px - l.axis_x0) / (5 * s)) * clamp01((l.axis_x1 - px) / (5 * s));
      return rgb(190, 225, 255, 0.8f * fade);
    });
  }
  for (int i = 0; i < 5; ++i) {
    float x = std::round(l.x0 + i * l.pitch), top = l.base - l.height * kPattern[i];
    if (!big) top = std::round(top);
    if (big) fill_rect(img, x + s * 0.5f, top + s * 0.5f, x + l.stick + s * 0.5f, l.base, rgb(0, 10, 40, 0.35f));
    fill_rect(img, x, top, x + l.stick, l.base, kRedLight);
    if (size >= 32) fill_rect(img, x + l.stick / 2, top, x + l.stick, l.base, kRed);
    if (big) fill_circle(img, x + l.stick / 2, top, l.stick / 2, kRedLight);
  }
  fill_rect(img, l.axis_x0, l.base, l.axis_x1, l.base + l.axis_h, rgb(255, 255, 255, 0.95f));
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
    return 2;
  }
  std::string dir = std::string(argv[1]) + "/";
  Image bg = background(), menu = menu_image(), icon32 = motif(32), icon16 = motif(16), logo = motif(128);
  bool ok = write_file(dir + "background.bmp", bmp24(bg)) && write_file(dir + "menu.bmp", bmp24(menu)) &&
            write_file(dir + "ionsift.ico", ico({&icon32, &icon16})) && write_file(dir + "logo.ico", ico({&logo}));
  if (!ok) {
    std::fprintf(stderr, "%s: can't write the images into %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
