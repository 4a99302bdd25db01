// GuiLabel: one line of text, left-aligned or centred, optionally shortened with a
// leading ellipsis so that the tail of a long text (a file path) stays visible.
// Ignores input and draws directly every frame. Owned by its root; the font is not.
#pragma once

#include "GuiObject.h"

#include <SDL_ttf.h>

#include <string>

class GuiLabel : public GuiObject {
 public:
  enum { LABEL_LEFT = 1, LABEL_ELIDE = 2 };

  std::string mText;
  TTF_Font* mFont;
  SDL_Color mColor;  // kept, not used for drawing (the text is black)
  int mFlags;        // LABEL_LEFT: left-aligned, else centred; LABEL_ELIDE: shorten
  std::string mElideSource;
  std::string mElideText;
  int mElideWidth;   // width mElideText was computed for; -1: none

  GuiLabel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color, std::string text, TTF_Font* font,
           int flags);

  // The text to draw: the full text, or "…" plus its longest tail that fits.
  std::string displayText();

  bool getValueText(std::string& out) const override;
  bool setValueText(const std::string& text) override;
  const char* className() const override;
  void render(SDL_Renderer* renderer) override;
  void handleEvent(GuiEvent& event) override;
  ~GuiLabel() override;
};
