#include "GuiMenuItem.h"

#include <utility>

GuiMenuItem::GuiMenuItem(int id, std::string label, bool hasSubmenu,
                         std::function<void(GuiMenu&)> build)
    : mId(id), mLabel(std::move(label)), mHasSubmenu(hasSubmenu), mBuildSubmenu(std::move(build)) {}

GuiMenuItem* GuiMenuItem::setName(const std::string& name) {
  mName = name;
  return this;
}
