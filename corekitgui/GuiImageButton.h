// GuiImageButton: a GuiButton that shows a picture scaled into it (the tool bar's
// buttons). Until loadPNG replaces it, a built-in 48 x 48 picture is shown. Owns its
// picture texture; owned by its root.
#pragma once

#include "GuiButton.h"

#include <string>

// The built-in picture: a 48 x 48 RGBA PNG.
extern const unsigned char default_button_png[];
extern const unsigned int default_button_png_size;

class GuiImageButton : public GuiButton {
 public:
  SDL_Texture* mImage;  // blend mode BLEND; owned
  int mImageWidth, mImageHeight;
  std::string mImagePath;  // file last loaded; empty for the built-in picture

  GuiImageButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color, SDL_Renderer* renderer,
                 int flags);

  // Replaces the picture by a file SDL_image can read. On failure the button is left
  // without picture and the result is false.
  bool loadPNG(SDL_Renderer* renderer, const std::string& path);
  void clearImage();
  void setFocus(GuiObject*) {}

  bool wantsRenderCache() const override;
  const char* className() const override;
  void render(SDL_Renderer* renderer) override;
  ~GuiImageButton() override;
};
