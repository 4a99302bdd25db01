// GuiCairoPanel: a widget whose content is drawn with cairo into a CPU image surface
// of its size and shown by uploading that surface into a streaming texture. Uploads
// are throttled to a target rate and can be limited to frames after contentChanged().
// The base of the diagram editor panel; it ignores input itself. Owns its surface,
// context, pixel memory and texture.
#pragma once

#include "GuiObject.h"

#include <cairo.h>

class GuiCairoPanel : public GuiObject {
 public:
  unsigned char* mPixels;      // malloc'ed, mStride * height bytes
  cairo_surface_t* mSurface;   // ARGB32 over mPixels
  cairo_t* mCairo;             // the subclass draws with it
  SDL_Texture* mTexture;       // ARGB8888 streaming, widget size
  int mStride;
  Uint32 mFrameInterval;       // minimum ms between uploads; 0 = no limit
  Uint32 mLastUpload;
  bool mUploadOnlyWhenChanged;
  bool mContentChanged;
  bool mFollowWidth;           // the root keeps the right margin on resize
  bool mFollowHeight;          // the root keeps the bottom margin on resize

  GuiCairoPanel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color background,
                SDL_Renderer* renderer);

  // 1000 / fps ms between uploads for fps >= 1; no limit for fps < 1.
  void setTargetFPS(int fps);
  void setUploadOnlyWhenChanged(bool on) { mUploadOnlyWhenChanged = on; }
  // True when the throttle allows the next upload; the subclass asks it before it
  // redraws its cairo content, so drawing and uploading follow the same rate.
  bool needsRedraw() const;
  // The subclass calls it after drawing into mCairo.
  void contentChanged();
  void setFocus(GuiObject*) {}

  bool wantsRenderCache() const override;
  const char* className() const override;
  void render(SDL_Renderer* renderer) override;
  // Remakes the surface, context and texture for the new size; the new surface is
  // filled with the background colour until the owner draws.
  void resize(SDL_Renderer* renderer, int w, int h) override;
  void handleEvent(GuiEvent& event) override;
  ~GuiCairoPanel() override;

 private:
  void releaseBuffers();
};
