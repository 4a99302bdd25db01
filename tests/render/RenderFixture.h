// Helpers of the rendering tests: an ARGB32 image surface with a Cairo context
// on it, painted white, and pixel read-back.
#pragma once

#include <cairo.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>

struct Rgb
{
  int r, g, b;
  bool near(const Rgb& o, int tol = 3) const
  {
    return std::abs(r - o.r) <= tol && std::abs(g - o.g) <= tol && std::abs(b - o.b) <= tol;
  }
  bool isWhite(int tol = 3) const { return near(Rgb{255, 255, 255}, tol); }
  bool isDark(int limit = 100) const { return r < limit && g < limit && b < limit; }
};

inline std::ostream& operator<<(std::ostream& os, const Rgb& c)
{
  return os << "(" << c.r << "," << c.g << "," << c.b << ")";
}

// Colour of a Cairo (r, g, b) triple in 8-bit channels.
inline Rgb rgb8(double r, double g, double b)
{
  auto c = [](double v) { return static_cast<int>(v * 255.0 + 0.5); };
  return Rgb{c(r), c(g), c(b)};
}

class Canvas
{
public:
  Canvas(int width, int height)
      : mWidth(width), mHeight(height),
        mSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)), mCr(cairo_create(mSurface))
  {
    clear();
  }
  ~Canvas()
  {
    cairo_destroy(mCr);
    cairo_surface_destroy(mSurface);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return mCr; }
  int width() const { return mWidth; }
  int height() const { return mHeight; }

  // Paints the whole surface white and resets the matrix to the identity.
  void clear()
  {
    cairo_save(mCr);
    cairo_identity_matrix(mCr);
    cairo_set_source_rgb(mCr, 1, 1, 1);
    cairo_paint(mCr);
    cairo_restore(mCr);
    cairo_identity_matrix(mCr);
  }

  // Pixel at device (x, y); the surface is opaque, so no unpremultiplying.
  Rgb at(int x, int y) const
  {
    cairo_surface_flush(mSurface);
    const unsigned char* data = cairo_image_surface_get_data(mSurface);
    const int stride = cairo_image_surface_get_stride(mSurface);
    const uint32_t px = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
    return Rgb{static_cast<int>((px >> 16) & 0xff), static_cast<int>((px >> 8) & 0xff),
               static_cast<int>(px & 0xff)};
  }

  // Pixel at the device position of the user point (ux, uy).
  Rgb atUser(double ux, double uy) const
  {
    cairo_user_to_device(mCr, &ux, &uy);
    return at(static_cast<int>(ux), static_cast<int>(uy));
  }

  // Number of pixels in the device rectangle that are not white.
  int inkIn(int x0, int y0, int x1, int y1) const
  {
    int n = 0;
    for (int y = std::max(0, y0); y < std::min(mHeight, y1); ++y)
      for (int x = std::max(0, x0); x < std::min(mWidth, x1); ++x)
        if (!at(x, y).isWhite(8))
          ++n;
    return n;
  }
  int ink() const { return inkIn(0, 0, mWidth, mHeight); }

  // Writes the picture, for a person to look at when a test fails.
  void save(const std::string& path) const { cairo_surface_write_to_png(mSurface, path.c_str()); }

private:
  int mWidth, mHeight;
  cairo_surface_t* mSurface;
  cairo_t* mCr;
};
