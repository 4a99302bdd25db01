// GuiButton and GuiButtonGroup: input, auto-repeat and drawing.
#include "GuiButton.h"

#include "GuiEngine.h"
#include "GuiWindow.h"

#include <cstdio>
#include <utility>

GuiButton::GuiButton(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color, std::string label,
                     TTF_Font* font, int flags)
    : GuiObject(parent, id, x, y, w, h, SDL_Color{color.r, color.g, color.b, 0}),
      mLabel(std::move(label)),
      mPressed(false),
      mFlags(flags),
      mFont(font),
      mRepeatDelay(400),
      mRepeatInterval(60),
      mPressTime(0),
      mLastRepeat(0),
      mRepeatFired(false) {}

GuiButton::~GuiButton() {}

void GuiButton::setBackgroundColor(SDL_Color color) {
  mBackground = color;
  invalidate();
}

bool GuiButton::getPressedValue(std::string& out) const {
  out = mPressed ? "1" : "0";
  return true;
}

bool GuiButton::setPressedValue(const std::string& text) {
  bool value = false;
  if (!parseValue(text, value)) return false;
  if (value != mPressed) {
    mPressed = value;
    invalidate();
    notifyListeners();
  }
  return true;
}

bool GuiButton::getValueText(std::string& out) const {
  if (!(mFlags & BUTTON_TOGGLE)) return false;
  return getPressedValue(out);
}

bool GuiButton::setValueText(const std::string& value) {
  if (!(mFlags & BUTTON_TOGGLE)) return false;
  return setPressedValue(value);
}

bool GuiButton::wantsRenderCache() const { return true; }

const char* GuiButton::className() const { return "GuiButton"; }

void GuiButton::notifyListeners() {
  // A listener may append further listeners; those are called from the next change on.
  const size_t n = mListeners.size();
  for (size_t i = 0; i < n && i < mListeners.size(); ++i)
    if (mListeners[i]) mListeners[i](this, mPressed);
}

void GuiButton::sendClick() {
  if (mWindow) mWindow->dispatchCommand(GUI_CMD_BUTTON, mId, 0, this);
}

void GuiButton::handleEvent(GuiEvent& event) {
  if (event.type != GE_RawSDL || !event.raw) return;
  const SDL_Event& e = *event.raw;
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    std::printf("BUTTON DOWN\n");
    std::fflush(stdout);
    if (mFlags & BUTTON_TOGGLE) {
      mPressed = !mPressed;
    } else {
      mPressed = true;
      mRepeatFired = false;
      mPressTime = mLastRepeat = GuiTicks();
    }
    invalidate();
    notifyListeners();
  } else if (e.type == SDL_MOUSEBUTTONUP) {
    if (mFlags & BUTTON_TOGGLE) return;
    // A release is a click only after a press on this button.
    const bool wasPressed = mPressed;
    mPressed = false;
    invalidate();
    if (!wasPressed || mRepeatFired) return;
    const int x = e.button.x, y = e.button.y;
    if (x > mX && x < mX + mWidth && y > mY && y < mY + mHeight) sendClick();
  }
}

void GuiButton::update(Uint32 now) {
  if ((mFlags & BUTTON_TOGGLE) || !(mFlags & BUTTON_AUTOREPEAT) || !mPressed) return;
  if (now - mPressTime < mRepeatDelay) return;
  if (now - mLastRepeat < mRepeatInterval) return;
  mLastRepeat = now;
  mRepeatFired = true;
  sendClick();
}

void GuiButton::renderFrame(SDL_Renderer* r) {
  const int x = mX, y = mY, w = mWidth, h = mHeight;
  SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
  SDL_RenderDrawLine(r, x + 1, y, x + w - 1, y);
  SDL_RenderDrawLine(r, x, y + 1, x + w, y + 1);
  SDL_RenderDrawLine(r, x, y + h - 1, x + w, y + h - 1);
  SDL_RenderDrawLine(r, x + 1, y + h, x + w - 1, y + h);
  SDL_RenderDrawLine(r, x, y + 1, x, y + h - 1);
  SDL_RenderDrawLine(r, x + 1, y + 1, x + 1, y + h - 1);
  SDL_RenderDrawLine(r, x + w, y + 1, x + w, y + h - 1);
  SDL_RenderDrawLine(r, x + w - 1, y + 1, x + w - 1, y + h - 1);
  if (mBackground.a != 0) {
    SDL_SetRenderDrawColor(r, mBackground.r, mBackground.g, mBackground.b, mBackground.a);
    SDL_Rect face{x + 2, y + 2, w - 3, h - 3};
    SDL_RenderFillRect(r, &face);
    return;
  }
  const Uint8 light = mPressed ? 192 : 255;
  const Uint8 dark = mPressed ? 192 : 128;
  SDL_SetRenderDrawColor(r, light, light, light, 255);
  SDL_RenderDrawLine(r, x + 2, y + 2, x + w - 3, y + 2);
  SDL_RenderDrawLine(r, x + 2, y + 3, x + w - 4, y + 3);
  SDL_RenderDrawLine(r, x + 2, y + 2, x + 2, y + h - 3);
  SDL_RenderDrawLine(r, x + 3, y + 2, x + 3, y + h - 4);
  SDL_SetRenderDrawColor(r, dark, dark, dark, 255);
  SDL_RenderDrawLine(r, x + 2, y + h - 2, x + w - 3, y + h - 2);
  SDL_RenderDrawLine(r, x + 3, y + h - 3, x + w - 3, y + h - 3);
  SDL_RenderDrawLine(r, x + w - 2, y + 2, x + w - 2, y + h - 2);
  SDL_RenderDrawLine(r, x + w - 3, y + 3, x + w - 3, y + h - 2);
}

void GuiButton::render(SDL_Renderer* renderer) {
  renderFrame(renderer);
  if (!mFont || mLabel.empty()) return;
  const SDL_Color black{0, 0, 0, 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(mFont, mLabel.c_str(), black);
  if (!s) return;
  SDL_Texture* t = SDL_CreateTextureFromSurface(renderer, s);
  if (t) {
    SDL_Rect dst{mX + (mWidth - s->w) / 2, mY + (mHeight - s->h) / 2 + (mPressed ? 1 : 0), s->w, s->h};
    SDL_RenderCopy(renderer, t, nullptr, &dst);
    GuiRetireTexture(renderer, t);
  }
  SDL_FreeSurface(s);
}

// ---------------------------------------------------------------------------

void GuiButtonGroup::add(GuiButton* button) {
  if (!button) return;
  mButtons.push_back(button);
  button->mListeners.push_back([this](GuiButton* b, bool pressed) { onButtonToggled(b, pressed); });
}

void GuiButtonGroup::onButtonToggled(GuiButton* button, bool) {
  for (GuiButton* b : mButtons) {
    if (b == button) continue;
    b->mPressed = false;
    b->invalidate();
  }
}

GuiButton* GuiButtonGroup::getSelected() {
  for (GuiButton* b : mButtons)
    if (b->mPressed) return b;
  return nullptr;
}
