// GuiLabel: elision and drawing.
#include "GuiLabel.h"

#include "GuiEngine.h"

#include <utility>

namespace {

const char* const kEllipsis = "\xE2\x80\xA6";  // U+2026

// Width of a UTF-8 text in the font; false when it cannot be measured.
bool measure(TTF_Font* font, const std::string& text, int& w) {
  int h = 0;
  return TTF_SizeUTF8(font, text.c_str(), &w, &h) == 0;
}

}  // namespace

GuiLabel::GuiLabel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color, std::string text,
                   TTF_Font* font, int flags)
    : GuiObject(parent, id, x, y, w, h, color),
      mText(std::move(text)),
      mFont(font),
      mColor(color),
      mFlags(flags),
      mElideWidth(-1) {}

GuiLabel::~GuiLabel() {}

std::string GuiLabel::displayText() {
  if (!(mFlags & LABEL_ELIDE) || !mFont) return mText;
  if (mElideWidth == mWidth && mElideSource == mText) return mElideText;
  mElideSource = mText;
  mElideWidth = mWidth;
  mElideText = mText;
  int tw = 0;
  if (measure(mFont, mText, tw) && tw <= mWidth) return mElideText;
  mElideText = kEllipsis;
  for (size_t i = 1; i < mText.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(mText[i]);
    if (c >= 0x80 && c <= 0xBF) continue;  // inside a multi-byte character
    const std::string candidate = std::string(kEllipsis) + mText.substr(i);
    int cw = 0;
    if (!measure(mFont, candidate, cw) || cw > mWidth) continue;
    const size_t sep = mText.find_first_of("/\\", i);
    if (sep != std::string::npos && sep != mText.size() - 1)
      mElideText = std::string(kEllipsis) + mText.substr(sep);
    else
      mElideText = candidate;
    break;
  }
  return mElideText;
}

bool GuiLabel::getValueText(std::string& out) const {
  out = mText;
  return true;
}

bool GuiLabel::setValueText(const std::string& text) {
  mText = text;
  return true;
}

const char* GuiLabel::className() const { return "GuiLabel"; }

void GuiLabel::handleEvent(GuiEvent&) {}

void GuiLabel::render(SDL_Renderer* renderer) {
  if (!mFont) return;
  const std::string text = displayText();
  if (text.empty()) return;
  const SDL_Color black{0, 0, 0, 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(mFont, text.c_str(), black);
  if (!s) return;
  SDL_Texture* t = SDL_CreateTextureFromSurface(renderer, s);
  if (t) {
    const int x = (mFlags & LABEL_LEFT) ? mX : mX + (mWidth - s->w) / 2;
    const int y = mY + (mHeight - s->h) / 2;
    SDL_Rect dst{x, y, s->w, s->h};
    SDL_RenderCopy(renderer, t, nullptr, &dst);
    GuiRetireTexture(renderer, t);
  }
  SDL_FreeSurface(s);
}
