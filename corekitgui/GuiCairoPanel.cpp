// GuiCairoPanel: cairo surface, throttled texture upload and resize.
#include "GuiCairoPanel.h"

#include "GuiEngine.h"

#include <cstdlib>

GuiCairoPanel::GuiCairoPanel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color background,
                             SDL_Renderer* renderer)
    : GuiObject(parent, id, x, y, w, h, background),
      mPixels(nullptr),
      mSurface(nullptr),
      mCairo(nullptr),
      mTexture(nullptr),
      mStride(0),
      mFrameInterval(0),
      mLastUpload(0),
      mUploadOnlyWhenChanged(false),
      mContentChanged(true),
      mFollowWidth(true),
      mFollowHeight(true) {
  resize(renderer, w, h);
}

GuiCairoPanel::~GuiCairoPanel() { releaseBuffers(); }

void GuiCairoPanel::releaseBuffers() {
  if (mTexture) SDL_DestroyTexture(mTexture);
  mTexture = nullptr;
  if (mCairo) cairo_destroy(mCairo);
  mCairo = nullptr;
  if (mSurface) cairo_surface_destroy(mSurface);
  mSurface = nullptr;
  std::free(mPixels);
  mPixels = nullptr;
}

void GuiCairoPanel::setTargetFPS(int fps) { mFrameInterval = fps >= 1 ? static_cast<Uint32>(1000 / fps) : 0; }

bool GuiCairoPanel::needsRedraw() const {
  if (mFrameInterval == 0) return true;
  return GuiTicks() - mLastUpload >= mFrameInterval;
}

void GuiCairoPanel::contentChanged() {
  mContentChanged = true;
  GuiEngine::requestFrame();
}

bool GuiCairoPanel::wantsRenderCache() const { return false; }

const char* GuiCairoPanel::className() const { return "GuiCairoPanel"; }

void GuiCairoPanel::handleEvent(GuiEvent&) {}

void GuiCairoPanel::resize(SDL_Renderer* renderer, int w, int h) {
  mWidth = w;
  mHeight = h;
  releaseBuffers();
  // A panel is never smaller than one pixel: cairo and SDL reject empty surfaces.
  const int bw = w > 0 ? w : 1, bh = h > 0 ? h : 1;
  mStride = cairo_format_stride_for_width(CAIRO_FORMAT_ARGB32, bw);
  mPixels = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(mStride) * static_cast<size_t>(bh)));
  if (mPixels) {
    mSurface = cairo_image_surface_create_for_data(mPixels, CAIRO_FORMAT_ARGB32, bw, bh, mStride);
  } else {
    mSurface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 0, 0);  // an error surface, drawing is ignored
  }
  mCairo = cairo_create(mSurface);
  // Until the owner draws, the new surface shows the panel's background colour.
  cairo_set_source_rgba(mCairo, mBackground.r / 255.0, mBackground.g / 255.0, mBackground.b / 255.0,
                        mBackground.a / 255.0);
  cairo_set_operator(mCairo, CAIRO_OPERATOR_SOURCE);
  cairo_paint(mCairo);
  cairo_set_operator(mCairo, CAIRO_OPERATOR_OVER);
  if (renderer) {
    mTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, bw, bh);
    if (mTexture) SDL_SetTextureBlendMode(mTexture, SDL_BLENDMODE_NONE);
  }
  mContentChanged = true;
}

void GuiCairoPanel::render(SDL_Renderer* renderer) {
  if (needsRedraw() && (mContentChanged || !mUploadOnlyWhenChanged)) {
    if (mTexture && mPixels) {
      cairo_surface_flush(mSurface);
      SDL_UpdateTexture(mTexture, nullptr, mPixels, mStride);
    }
    mContentChanged = false;
    mLastUpload = GuiTicks();
  }
  if (mTexture) {
    SDL_Rect dst{mX, mY, mWidth, mHeight};
    SDL_RenderCopy(renderer, mTexture, nullptr, &dst);
  }
}
