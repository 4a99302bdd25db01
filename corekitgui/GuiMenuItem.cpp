#include "GuiMenuItem.h"

#include <utility>

// The item's layout is fixed (id, label, submenu flag, builder, name); on the 64-bit
// C++ library we build with that is 112 bytes.
static_assert(sizeof(void*) != 8 || sizeof(GuiMenuItem) == 112, "GuiMenuItem layout changed");

GuiMenuItem::GuiMenuItem(int id, std::string label, bool hasSubmenu,
                         std::function<void(GuiMenu&)> build)
    : mId(id), mLabel(std::move(label)), mHasSubmenu(hasSubmenu), mBuildSubmenu(std::move(build)) {}

GuiMenuItem* GuiMenuItem::setName(const std::string& name) {
  mName = name;
  return this;
}
