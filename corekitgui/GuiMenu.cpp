#include "GuiMenu.h"

#include "GuiEngine.h"
#include "GuiMenuBar.h"
#include "GuiMnemonic.h"
#include "GuiWindow.h"

#include <algorithm>
#include <utility>

namespace {

// Draws a label at (x, y) in the given colour and underlines its mnemonic in black.
// Returns the text height (0 when nothing was drawn).
void draw_label(SDL_Renderer* renderer, TTF_Font* font, const std::string& label, int x, int y,
                int lineHeight, SDL_Color color) {
  if (!font) return;
  std::string clean;
  int mOffset = -1, mLength = 0;
  parse_mnemonic(label, clean, mOffset, mLength);
  if (clean.empty()) return;
  SDL_Surface* surface = TTF_RenderUTF8_Blended(font, clean.c_str(), color);
  if (!surface) return;
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
  const int tw = surface->w, th = surface->h;
  SDL_FreeSurface(surface);
  if (!texture) return;
  const int ty = y + (lineHeight - th) / 2;
  SDL_Rect dst{x, ty, tw, th};
  SDL_RenderCopy(renderer, texture, nullptr, &dst);
  GuiRetireTexture(renderer, texture);
  if (mOffset >= 0 && mLength > 0) {
    int before = 0, charWidth = 0, unused = 0;
    TTF_SizeUTF8(font, clean.substr(0, static_cast<size_t>(mOffset)).c_str(), &before, &unused);
    TTF_SizeUTF8(font, clean.substr(static_cast<size_t>(mOffset), static_cast<size_t>(mLength)).c_str(),
                 &charWidth, &unused);
    const int uy = ty + th - 2;
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderDrawLine(renderer, x + before, uy, x + before + charWidth - 1, uy);
  }
}

}  // namespace

GuiMenu::GuiMenu(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color,
                 std::string title, TTF_Font* font)
    : GuiObject(parent, id, x, y, w, h, color),
      mTitle(std::move(title)),
      mFont(font),
      mColor(color),
      mHovered(-1),
      mOwnedByBar(false),
      mParentMenu(nullptr),
      mParentIndex(-1),
      mOpenSubmenu(nullptr) {}

GuiMenu::~GuiMenu() {
  // Keep the links between a menu and its open submenu valid in both directions,
  // whichever of the two is deleted first.
  if (mParentMenu && mParentMenu->mOpenSubmenu == this) mParentMenu->mOpenSubmenu = nullptr;
  if (mOpenSubmenu && mOpenSubmenu->mParentMenu == this) mOpenSubmenu->mParentMenu = nullptr;
  for (GuiMenuItem* item : mItems) delete item;
  mItems.clear();
}

int GuiMenu::lineHeight() const {
  int lh = mFont ? TTF_FontLineSkip(mFont) + 5 : 0;
  return lh <= 0 ? 25 : lh;
}

void GuiMenu::updateHeight() {
  mHeight = std::max(1, lineHeight()) * static_cast<int>(mItems.size());
}

bool GuiMenu::partRect(const std::string& part, SDL_Rect& out) const {
  if (part.empty()) return false;
  const int lh = std::max(1, lineHeight());
  for (size_t i = 0; i < mItems.size(); ++i) {
    if (mItems[i]->mName == part) {
      out = SDL_Rect{mX, mY + static_cast<int>(i) * lh, mWidth, lh};
      return true;
    }
  }
  return false;
}

bool GuiMenu::wantsRenderCache() const { return true; }

const char* GuiMenu::className() const { return "GuiMenu"; }

void GuiMenu::onMouseLeave() {
  mHovered = -1;
  invalidate();
}

GuiWindow* GuiMenu::root() const {
  if (mWindow) return mWindow;
  return dynamic_cast<GuiWindow*>(mParent);
}

void GuiMenu::setHovered(int index) {
  mHovered = index;
  if (GuiWindow* r = root()) r->closePopupsAfter(this);
  mOpenSubmenu = nullptr;
  invalidate();
}

void GuiMenu::openSubmenu(int i, bool byKeyboard) {
  if (i < 0 || i >= static_cast<int>(mItems.size())) return;
  GuiWindow* r = root();
  if (!r) return;
  r->closePopupsAfter(this);
  const int lh = std::max(1, lineHeight());
  GuiMenu* sub = new GuiMenu(r, -1, mX + mWidth - 2, mY + i * lh, 240, 0, mColor, "submenu", mFont);
  sub->mParentMenu = this;
  sub->mParentIndex = i;
  if (mItems[static_cast<size_t>(i)]->mBuildSubmenu) mItems[static_cast<size_t>(i)]->mBuildSubmenu(*sub);
  sub->updateHeight();
  if (byKeyboard && !sub->mItems.empty()) sub->mHovered = 0;
  r->openPopup(sub);
  mOpenSubmenu = sub;
  invalidate();
}

void GuiMenu::activateItem(int i, bool byKeyboard) {
  if (i < 0 || i >= static_cast<int>(mItems.size())) return;
  GuiMenuItem* item = mItems[static_cast<size_t>(i)];
  if (item->mHasSubmenu) {
    openSubmenu(i, byKeyboard);
    return;
  }
  GuiWindow* r = root();
  if (!r) return;
  r->dispatchCommand(GUI_CMD_MENU, item->mId, 0, this);
  r->closeAllPopups(true);
  invalidate();
}

void GuiMenu::handleKey(const SDL_KeyboardEvent& key) {
  if (mItems.empty()) return;
  const SDL_Keycode sym = key.keysym.sym;
  const int count = static_cast<int>(mItems.size());

  // Mnemonic letters, Shift allowed, not with Ctrl, Alt or GUI. Only single-byte
  // mnemonics can match a key code.
  if ((key.keysym.mod & (KMOD_CTRL | KMOD_ALT | KMOD_GUI)) == 0) {
    for (int i = 0; i < count; ++i) {
      std::string clean;
      int off = -1, len = 0;
      parse_mnemonic(mItems[static_cast<size_t>(i)]->mLabel, clean, off, len);
      if (off < 0 || len != 1) continue;
      const int c = SDL_tolower(static_cast<unsigned char>(clean[static_cast<size_t>(off)]));
      if (sym >= 0 && sym < 128 && c == SDL_tolower(static_cast<int>(sym))) {
        activateItem(i, false);
        return;
      }
    }
  }

  switch (sym) {
    case SDLK_RETURN:
    case SDLK_SPACE:
    case SDLK_KP_ENTER:
      if (mHovered >= 0 && mHovered < count) activateItem(mHovered, true);
      break;
    case SDLK_ESCAPE:
      if (GuiWindow* r = root()) r->closeAllPopups(true);
      invalidate();
      break;
    case SDLK_DOWN:
      setHovered(mHovered < 0 || mHovered >= count - 1 ? 0 : mHovered + 1);
      break;
    case SDLK_UP:
      setHovered(mHovered <= 0 || mHovered >= count ? count - 1 : mHovered - 1);
      break;
    case SDLK_RIGHT:
      if (mHovered >= 0 && mHovered < count && mItems[static_cast<size_t>(mHovered)]->mHasSubmenu) {
        openSubmenu(mHovered, true);
      } else if (!mParentMenu) {
        if (GuiWindow* r = root())
          if (GuiMenuBar* bar = r->findMenuBar()) bar->openNextTopMenu();
      }
      break;
    case SDLK_LEFT:
      if (mParentMenu) {
        if (mParentMenu->mOpenSubmenu == this) mParentMenu->mOpenSubmenu = nullptr;
        if (GuiWindow* r = root()) r->closeTopPopup(true);
      } else if (GuiWindow* r = root()) {
        if (GuiMenuBar* bar = r->findMenuBar()) bar->openPrevTopMenu();
      }
      break;
    default:
      break;
  }
}

void GuiMenu::handleMotion(int x, int y) {
  (void)x;
  const int lh = std::max(1, lineHeight());
  const int count = static_cast<int>(mItems.size());
  const int rel = y - mY;
  if (count > 0 && rel >= 0 && rel < mHeight) {
    const int index = std::min(rel / lh, count - 1);
    if (index == mHovered) return;
    mHovered = index;
    invalidate();
    if (GuiWindow* r = root()) r->closePopupsAfter(this);
    if (mItems[static_cast<size_t>(index)]->mHasSubmenu) {
      openSubmenu(index, false);
    } else {
      mOpenSubmenu = nullptr;
    }
    return;
  }
  if (GuiWindow* r = root()) r->closePopupsAfter(this);
  mOpenSubmenu = nullptr;
  mHovered = -1;
  invalidate();
}

void GuiMenu::handleButtonDown(int x, int y) {
  const int count = static_cast<int>(mItems.size());
  const int rel = y - mY;
  // A press that lies outside the menu's rectangle chooses nothing.
  if (count == 0 || rel < 0 || rel >= mHeight || x < mX || x >= mX + mWidth) return;
  const int index = std::min(rel / std::max(1, lineHeight()), count - 1);
  if (mItems[static_cast<size_t>(index)]->mHasSubmenu) return;  // submenus open by hovering
  activateItem(index, false);
}

void GuiMenu::handleEvent(GuiEvent& event) {
  if (event.type != GE_RawSDL || !event.raw) return;
  const SDL_Event& e = *event.raw;
  switch (e.type) {
    case SDL_KEYDOWN:
      handleKey(e.key);
      break;
    case SDL_MOUSEMOTION:
      handleMotion(e.motion.x, e.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
      handleButtonDown(e.button.x, e.button.y);
      break;
    default:
      break;
  }
}

void GuiMenu::render(SDL_Renderer* renderer) {
  const int lh = std::max(1, lineHeight());
  updateHeight();
  const int x = mX, y = mY, w = mWidth, h = mHeight;
  SDL_Rect face{x, y, w, h};
  SDL_SetRenderDrawColor(renderer, mColor.r, mColor.g, mColor.b, mColor.a);
  SDL_RenderFillRect(renderer, &face);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderDrawLine(renderer, x, y + h - 1, x + w - 1, y + h - 1);

  const int count = static_cast<int>(mItems.size());
  if (mHovered >= 0 && mHovered < count) {
    const int iy = y + mHovered * lh;
    SDL_Rect hl{x + 1, iy, w - 2, lh};
    SDL_SetRenderDrawColor(renderer, 0, 0, 150, 255);
    SDL_RenderFillRect(renderer, &hl);
    SDL_SetRenderDrawColor(renderer, 160, 160, 200, 255);
    SDL_RenderDrawLine(renderer, x + 1, iy, x + w - 2, iy);
    SDL_RenderDrawLine(renderer, x + 1, iy + lh - 1, x + w - 2, iy + lh - 1);
  }

  for (int i = 0; i < count; ++i) {
    const GuiMenuItem* item = mItems[static_cast<size_t>(i)];
    const int iy = y + i * lh;
    const SDL_Color textColor = i == mHovered ? SDL_Color{255, 255, 255, 255} : SDL_Color{0, 0, 0, 255};
    draw_label(renderer, mFont, item->mLabel, x + 8, iy, lh, textColor);
    if (item->mHasSubmenu) {
      const int cy = iy + lh / 2;
      SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
      SDL_RenderDrawLine(renderer, x + w - 15, cy - 4, x + w - 10, cy);
      SDL_RenderDrawLine(renderer, x + w - 15, cy + 4, x + w - 10, cy);
    }
  }
}
