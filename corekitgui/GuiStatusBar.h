// GuiStatusBar: a strip along the bottom of a window divided into text fields of
// fixed or shared width. Drawn through the root's render cache; ignores input.
// Owned by its root window; the font is not owned.
#pragma once

#include "GuiObject.h"

#include <SDL_ttf.h>

#include <string>
#include <vector>

class GuiStatusBar : public GuiObject {
 public:
  struct Field {
    std::string mText;
    int mRequestedWidth = -1;  // pixels; negative = flexible
    int mLeft = 0;             // computed, relative to the bar
    int mActualWidth = 0;      // computed
  };

  std::vector<Field> mFields;
  TTF_Font* mFont;
  SDL_Color mColor;

  GuiStatusBar(GuiObject* parent, int id, SDL_Color color, TTF_Font* font);

  // Indices beyond the last field are ignored / give an empty text.
  void setText(const std::string& text, size_t index);
  const std::string& getText(size_t index) const;
  void setFieldCount(size_t n);
  // Replaces all fields (texts are lost) by one field per entry.
  void setFieldWidths(const std::vector<int>& widths);

  bool wantsRenderCache() const override;
  const char* className() const override;
  void render(SDL_Renderer* renderer) override;
  void handleEvent(GuiEvent& event) override;
  // Takes the parent's width and distributes it over the fields.
  void refreshLayout() override;
  ~GuiStatusBar() override;
};
