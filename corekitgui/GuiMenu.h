// GuiMenu: a vertical list of GuiMenuItems shown as a popup of its root window.
// A menu opened from the menu bar belongs to the application (mOwnedByBar: closing
// only unlinks it); a submenu is created anew each time it opens, filled by the
// item's builder, and deleted by the root when its popup closes. The menu owns its
// items and deletes them with itself.
#pragma once

#include "GuiObject.h"
#include "GuiMenuItem.h"

#include <SDL_ttf.h>

#include <string>
#include <vector>

class GuiMenu : public GuiObject {
 public:
  std::string mTitle;                // descriptive title ("submenu" for submenus)
  TTF_Font* mFont;                   // item font; null draws no text
  SDL_Color mColor;                  // face colour
  std::vector<GuiMenuItem*> mItems;  // owned; the owner appends to it directly
  int mHovered;                      // highlighted item, -1 for none
  bool mOwnedByBar;                  // survives the closing of its popup
  GuiMenu* mParentMenu;              // menu this one is a submenu of
  int mParentIndex;                  // item index in the parent menu
  GuiMenu* mOpenSubmenu;             // submenu currently opened from this menu

  GuiMenu(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color color,
          std::string title, TTF_Font* font);

  // Height of one item row: the font's line skip + 5; 25 when that is not positive.
  int lineHeight() const;

  // The item's row by automation name, window coordinates.
  bool partRect(const std::string& part, SDL_Rect& out) const override;
  bool wantsRenderCache() const override;
  const char* className() const override;
  void render(SDL_Renderer* renderer) override;
  void handleEvent(GuiEvent& event) override;
  void onMouseLeave() override;
  ~GuiMenu() override;

  // Chooses item i: opens its submenu, or sends GUI_CMD_MENU with the item's id and
  // closes every popup.
  void activateItem(int i, bool byKeyboard);
  // Opens the submenu of item i to the right of this menu; the keyboard opening
  // highlights its first item.
  void openSubmenu(int i, bool byKeyboard);
  // Makes the height match the item count (line height x count).
  void updateHeight();

 private:
  GuiWindow* root() const;
  void setHovered(int index);
  void handleKey(const SDL_KeyboardEvent& key);
  void handleMotion(int x, int y);
  void handleButtonDown(int x, int y);
};
