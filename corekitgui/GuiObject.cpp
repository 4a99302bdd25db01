// GuiObject: defaults of the widget interface and the value-text helpers.
#include "GuiObject.h"

#include "GuiEngine.h"
#include "GuiWindow.h"

#include <locale>
#include <sstream>

GuiObject::GuiObject(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color background)
    : mX(x), mY(y), mRelX(x), mRelY(y), mWidth(w), mHeight(h), mParent(parent), mWindow(nullptr),
      mId(id), mBackground(background), mFocused(false), mCacheTexture(nullptr), mDirty(true) {}

GuiObject::~GuiObject() {
  if (mCacheTexture) {
    SDL_Renderer* renderer = nullptr;
    if (mWindow && mWindow->mAppWindow) renderer = mWindow->mAppWindow->renderer;
    GuiRetireTexture(renderer, mCacheTexture);
    mCacheTexture = nullptr;
  }
}

GuiObject* GuiObject::tooltipTarget() { return this; }

GuiObject* GuiObject::findByName(const std::string& name) {
  if (!name.empty() && name == mName) return this;
  return nullptr;
}

bool GuiObject::partRect(const std::string&, SDL_Rect&) const { return false; }

bool GuiObject::findPart(const std::string& part, GuiObject*& owner, SDL_Rect& out) {
  if (partRect(part, out)) {
    owner = this;
    return true;
  }
  return false;
}

bool GuiObject::getValueText(std::string&) const { return false; }
bool GuiObject::setValueText(const std::string&) { return false; }
bool GuiObject::getValueTextOf(const std::string&, std::string&) const { return false; }
bool GuiObject::setValueTextOf(const std::string&, const std::string&) { return false; }

GuiObject* GuiObject::objectAt(int x, int y) {
  if (x >= mX && x < mX + mWidth && y >= mY && y < mY + mHeight) return this;
  return nullptr;
}

bool GuiObject::wantsMouseWheel() const { return false; }

GuiObject* GuiObject::wheelTargetAt(int, int) { return wantsMouseWheel() ? this : nullptr; }

bool GuiObject::wantsRenderCache() const { return false; }

const char* GuiObject::className() const { return "GuiObject"; }

void GuiObject::update(Uint32) {}

void GuiObject::render(SDL_Renderer* renderer) {
  SDL_SetRenderDrawColor(renderer, mBackground.r, mBackground.g, mBackground.b, mBackground.a);
  SDL_Rect r{mX, mY, mWidth, mHeight};
  SDL_RenderFillRect(renderer, &r);
}

void GuiObject::resize(SDL_Renderer*, int w, int h) {
  mWidth = w;
  mHeight = h;
}

void GuiObject::handleEvent(GuiEvent&) {}
void GuiObject::onMouseEnter(int, int) {}
void GuiObject::onMouseLeave() {}
void GuiObject::loseFocus() {}
void GuiObject::refreshLayout() {}

void GuiObject::invalidate() {
  mDirty = true;
  GuiEngine::requestFrame();
}

void GuiObject::requestDestroy() {
  if (mWindow) mWindow->enqueueDestroy(this);
}

std::string GuiObject::formatValue(double value) {
  std::ostringstream os;
  os.imbue(std::locale::classic());
  os.precision(15);
  os << value;
  return os.str();
}

bool GuiObject::parseValue(const std::string& text, double& out) {
  if (text.empty()) return false;
  std::istringstream is(text);
  is.imbue(std::locale::classic());
  double v = 0.0;
  if (!(is >> v)) return false;
  char extra;
  if (is.get(extra)) return false;  // anything after the number, blanks included
  out = v;
  return true;
}

bool GuiObject::parseValue(const std::string& text, bool& out) {
  if (text == "1" || text == "true") {
    out = true;
    return true;
  }
  if (text == "0" || text == "false") {
    out = false;
    return true;
  }
  return false;
}
