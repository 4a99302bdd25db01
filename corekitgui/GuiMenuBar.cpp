#include "GuiMenuBar.h"

#include "GuiEngine.h"
#include "GuiMenu.h"
#include "GuiMnemonic.h"
#include "GuiWindow.h"

#include <cstdio>
#include <utility>

GuiMenuBar::GuiMenuBar(GuiObject* parent, int id, SDL_Color color, std::string title, TTF_Font* font)
    : GuiObject(parent, id, 0, 0, 100, 25, color),
      mTitle(std::move(title)),
      mFont(font),
      mColor(color),
      mOpenIndex(-1) {}

GuiMenuBar::~GuiMenuBar() {}

void GuiMenuBar::addTopMenu(const std::string& label, GuiMenu* menu) {
  TopMenu t;
  t.label = label;
  t.menu = menu;
  mTopMenus.push_back(t);
  refreshLayout();
}

void GuiMenuBar::refreshLayout() {
  if (mParent) mWidth = mParent->mWidth;
  int x = 0;
  for (TopMenu& t : mTopMenus) {
    std::string clean;
    int off = -1, len = 0;
    parse_mnemonic(t.label, clean, off, len);
    int tw = 0, th = 0;
    if (mFont && !clean.empty()) TTF_SizeUTF8(mFont, clean.c_str(), &tw, &th);
    t.x = x;
    t.width = tw + 24;
    x += t.width;
  }
  invalidate();
}

void GuiMenuBar::openIndex(size_t i) {
  GuiMenu* menu = mTopMenus[i].menu;
  GuiWindow* root = mWindow ? mWindow : dynamic_cast<GuiWindow*>(mParent);
  if (!menu || !root) return;
  SDL_StopTextInput();
  menu->mOwnedByBar = true;
  menu->mParent = root;
  menu->mX = menu->mRelX = mX + mTopMenus[i].x;
  menu->mY = menu->mRelY = mY + mHeight;
  menu->mHovered = -1;
  menu->mOpenSubmenu = nullptr;
  menu->updateHeight();
  menu->invalidate();
  root->closeAllPopups(false);
  mOpenIndex = static_cast<int>(i);
  invalidate();
  root->openPopup(menu);
}

bool GuiMenuBar::openTopMenuIndex(size_t i) {
  if (i >= mTopMenus.size()) return false;
  GuiWindow* root = mWindow ? mWindow : dynamic_cast<GuiWindow*>(mParent);
  if (!root || !mTopMenus[i].menu) return false;
  openIndex(i);
  return true;
}

bool GuiMenuBar::openTopMenuLabel(const std::string& label) {
  for (size_t i = 0; i < mTopMenus.size(); ++i)
    if (mTopMenus[i].label == label) return openTopMenuIndex(i);
  return false;
}

void GuiMenuBar::openNextTopMenu() {
  const int count = static_cast<int>(mTopMenus.size());
  if (count == 0) return;
  openTopMenuIndex(static_cast<size_t>(mOpenIndex < 0 ? 0 : (mOpenIndex + 1) % count));
}

void GuiMenuBar::openPrevTopMenu() {
  const int count = static_cast<int>(mTopMenus.size());
  if (count == 0) return;
  openTopMenuIndex(static_cast<size_t>(mOpenIndex < 0 ? count - 1 : (mOpenIndex + count - 1) % count));
}

int GuiMenuBar::hitTopIndex(int x, int y) const {
  if (y < mY || y >= mY + mHeight) return -1;
  const int rx = x - mX;
  for (size_t i = 0; i < mTopMenus.size(); ++i)
    if (rx >= mTopMenus[i].x && rx < mTopMenus[i].x + mTopMenus[i].width) return static_cast<int>(i);
  return -1;
}

bool GuiMenuBar::partRect(const std::string& part, SDL_Rect& out) const {
  if (part.empty()) return false;
  for (const TopMenu& t : mTopMenus) {
    if (t.menu && t.menu->mName == part) {
      out = SDL_Rect{mX + t.x, mY, t.width, mHeight};
      return true;
    }
  }
  return false;
}

bool GuiMenuBar::wantsRenderCache() const { return true; }

const char* GuiMenuBar::className() const { return "GuiMenuBar"; }

void GuiMenuBar::handleEvent(GuiEvent& event) {
  if (event.type != GE_RawSDL || !event.raw) return;
  const SDL_Event& e = *event.raw;
  switch (e.type) {
    case SDL_MOUSEBUTTONDOWN: {
      const int i = hitTopIndex(e.button.x, e.button.y);
      if (i >= 0 && mTopMenus[static_cast<size_t>(i)].menu) openIndex(static_cast<size_t>(i));
      break;
    }
    case SDL_MOUSEMOTION: {
      if (mOpenIndex < 0) break;
      const int i = hitTopIndex(e.motion.x, e.motion.y);
      if (i >= 0 && i != mOpenIndex && mTopMenus[static_cast<size_t>(i)].menu) openIndex(static_cast<size_t>(i));
      break;
    }
    case SDL_MOUSEBUTTONUP:
      std::printf("MENU UP\n");
      std::fflush(stdout);
      break;
    default:
      break;
  }
}

void GuiMenuBar::render(SDL_Renderer* renderer) {
  const int x = mX, y = mY, w = mWidth, h = mHeight;
  SDL_Rect bar{x, y, w, h};
  SDL_SetRenderDrawColor(renderer, 255, 255, 255, 255);
  SDL_RenderFillRect(renderer, &bar);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderDrawLine(renderer, x, y + h - 1, x + w - 1, y + h - 1);

  for (size_t i = 0; i < mTopMenus.size(); ++i) {
    const TopMenu& t = mTopMenus[i];
    const bool open = static_cast<int>(i) == mOpenIndex;
    if (open) {
      SDL_Rect area{x + t.x, y, t.width, h};
      SDL_SetRenderDrawColor(renderer, 0, 0, 150, 255);
      SDL_RenderFillRect(renderer, &area);
      SDL_SetRenderDrawColor(renderer, 160, 160, 200, 255);
      SDL_RenderDrawRect(renderer, &area);
    }
    if (!mFont) continue;
    std::string clean;
    int off = -1, len = 0;
    parse_mnemonic(t.label, clean, off, len);
    if (clean.empty()) continue;
    const SDL_Color color = open ? SDL_Color{255, 255, 255, 255} : SDL_Color{0, 0, 0, 255};
    SDL_Surface* surface = TTF_RenderUTF8_Blended(mFont, clean.c_str(), color);
    if (!surface) continue;
    SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
    const int tw = surface->w, th = surface->h;
    SDL_FreeSurface(surface);
    if (!texture) continue;
    const int tx = x + t.x + 12, ty = y + (h - th) / 2;
    SDL_Rect dst{tx, ty, tw, th};
    SDL_RenderCopy(renderer, texture, nullptr, &dst);
    GuiRetireTexture(renderer, texture);
    if (off >= 0 && len > 0) {
      int before = 0, cw = 0, unused = 0;
      TTF_SizeUTF8(mFont, clean.substr(0, static_cast<size_t>(off)).c_str(), &before, &unused);
      TTF_SizeUTF8(mFont, clean.substr(static_cast<size_t>(off), static_cast<size_t>(len)).c_str(), &cw, &unused);
      SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
      SDL_RenderDrawLine(renderer, tx + before, ty + th - 2, tx + before + cw - 1, ty + th - 2);
    }
  }
}
