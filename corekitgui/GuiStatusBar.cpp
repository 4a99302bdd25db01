// GuiStatusBar: field layout and drawing.
#include "GuiStatusBar.h"

#include "GuiEngine.h"

#include <algorithm>

GuiStatusBar::GuiStatusBar(GuiObject* parent, int id, SDL_Color color, TTF_Font* font)
    : GuiObject(parent, id, -1, -1, -1, -1, color), mFont(font), mColor(color) {
  mX = mY = mRelX = mRelY = 0;
  mWidth = 100;
  mHeight = 22;
  mFields.push_back(Field());
}

GuiStatusBar::~GuiStatusBar() {}

void GuiStatusBar::setText(const std::string& text, size_t index) {
  if (index >= mFields.size()) return;
  mFields[index].mText = text;
  invalidate();
}

const std::string& GuiStatusBar::getText(size_t index) const {
  static const std::string empty;
  if (index >= mFields.size()) return empty;
  return mFields[index].mText;
}

void GuiStatusBar::setFieldCount(size_t n) {
  mFields.resize(n);
  refreshLayout();
}

void GuiStatusBar::setFieldWidths(const std::vector<int>& widths) {
  mFields.clear();
  for (int w : widths) {
    Field f;
    f.mRequestedWidth = w;
    mFields.push_back(f);
  }
  refreshLayout();
}

bool GuiStatusBar::wantsRenderCache() const { return true; }

const char* GuiStatusBar::className() const { return "GuiStatusBar"; }

void GuiStatusBar::handleEvent(GuiEvent&) {}

void GuiStatusBar::refreshLayout() {
  if (mParent) mWidth = mParent->mWidth;
  int fixed = 0, flexible = 0;
  for (const Field& f : mFields) {
    if (f.mRequestedWidth >= 0)
      fixed += f.mRequestedWidth;
    else
      ++flexible;
  }
  int share = 0, last = 0;
  if (flexible > 0) {
    const int rest = std::max(0, mWidth - fixed);
    share = rest / flexible;
    last = share + rest % flexible;
  }
  int left = 0, seenFlexible = 0;
  for (Field& f : mFields) {
    f.mLeft = left;
    if (f.mRequestedWidth >= 0) {
      f.mActualWidth = f.mRequestedWidth;
    } else {
      ++seenFlexible;
      f.mActualWidth = seenFlexible == flexible ? last : share;
    }
    left += f.mActualWidth;
  }
  invalidate();
}

void GuiStatusBar::render(SDL_Renderer* renderer) {
  SDL_Rect r{mX, mY, mWidth, mHeight};
  SDL_SetRenderDrawColor(renderer, mBackground.r, mBackground.g, mBackground.b, mBackground.a);
  SDL_RenderFillRect(renderer, &r);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderDrawLine(renderer, mX, mY, mX + mWidth - 1, mY);
  const SDL_Color black{0, 0, 0, 255};
  for (size_t i = 0; i < mFields.size(); ++i) {
    const Field& f = mFields[i];
    if (i + 1 < mFields.size()) {
      const int sx = mX + f.mLeft + f.mActualWidth - 1;
      SDL_SetRenderDrawColor(renderer, 160, 160, 160, 255);
      SDL_RenderDrawLine(renderer, sx, mY + 3, sx, mY + mHeight - 3);
    }
    if (f.mText.empty() || !mFont) continue;
    SDL_Surface* s = TTF_RenderUTF8_Blended(mFont, f.mText.c_str(), black);
    if (!s) continue;
    SDL_Texture* t = SDL_CreateTextureFromSurface(renderer, s);
    if (t) {
      SDL_Rect clip{mX + f.mLeft, mY, f.mActualWidth, mHeight};
      SDL_Rect dst{mX + f.mLeft + 6, mY + (mHeight - s->h) / 2, s->w, s->h};
      if (clip.w > 0) {
        SDL_RenderSetClipRect(renderer, &clip);
        SDL_RenderCopy(renderer, t, nullptr, &dst);
        SDL_RenderSetClipRect(renderer, nullptr);
      }
      GuiRetireTexture(renderer, t);
    }
    SDL_FreeSurface(s);
  }
}
