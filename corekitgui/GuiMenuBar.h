// GuiMenuBar: the strip across the top of a window with one title per top-level menu.
// The bar is a child of its root; the menus it opens are not owned by it (the
// application keeps them) and become popups of the root while open.
#pragma once

#include "GuiObject.h"

#include <SDL_ttf.h>

#include <cstddef>
#include <string>
#include <vector>

class GuiMenu;

class GuiMenuBar : public GuiObject {
 public:
  struct TopMenu {
    std::string label;       // title with "&" mnemonic marker
    GuiMenu* menu = nullptr; // not owned
    int x = 0;               // offset of the title from the bar's left edge
    int width = 0;
  };

  std::vector<TopMenu> mTopMenus;
  std::string mTitle;
  TTF_Font* mFont;
  SDL_Color mColor;   // stored; the bar itself is drawn white
  int mOpenIndex;     // -1: no menu open

  GuiMenuBar(GuiObject* parent, int id, SDL_Color color, std::string title, TTF_Font* font);

  void addTopMenu(const std::string& label, GuiMenu* menu);
  bool openTopMenuIndex(size_t i);
  // Opens the first title whose raw label (with "&") equals label.
  bool openTopMenuLabel(const std::string& label);
  void openNextTopMenu();
  void openPrevTopMenu();
  // Title under a window point, or -1.
  int hitTopIndex(int x, int y) const;

  // A title by the automation name of its menu, window coordinates.
  bool partRect(const std::string& part, SDL_Rect& out) const override;
  bool wantsRenderCache() const override;
  const char* className() const override;
  void render(SDL_Renderer* renderer) override;
  void handleEvent(GuiEvent& event) override;
  // Takes the parent's width and lays the titles out from the left.
  void refreshLayout() override;
  ~GuiMenuBar() override;

 private:
  // Opens title i without range or window checks.
  void openIndex(size_t i);
};
