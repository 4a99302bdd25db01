// GuiMenuItem: one entry of a GuiMenu. A plain record with a command id, a label with
// an "&" mnemonic marker, an optional submenu builder and an automation name. Items
// are owned by the menu that lists them in GuiMenu::mItems.
#pragma once

#include <functional>
#include <string>

class GuiMenu;

class GuiMenuItem {
 public:
  int mId;                 // command id sent as source_id of GUI_CMD_MENU when chosen
  std::string mLabel;      // text; "&" marks the mnemonic, "&&" is a literal "&"
  bool mHasSubmenu;        // the item opens a submenu instead of sending a command
  // Fills a freshly created submenu each time it opens; may be empty.
  std::function<void(GuiMenu&)> mBuildSubmenu;
  std::string mName;       // automation name; empty: none

  GuiMenuItem(int id, std::string label, bool hasSubmenu, std::function<void(GuiMenu&)> build);

  // Sets the automation name and returns the item, for chaining while appending.
  GuiMenuItem* setName(const std::string& name);
};
