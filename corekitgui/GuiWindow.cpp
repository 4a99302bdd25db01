// GuiWindow: event routing, focus, popups, deferred deletion, commands, tooltips,
// rendering with the per-widget cache, root resize and the automation lookups.
#include "GuiWindow.h"

#include "GuiCairoPanel.h"
#include "GuiEngine.h"
#include "GuiStatusBar.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cstring>

#include "GuiDemoRunner.h"
#include "GuiMenu.h"
#include "GuiMenuBar.h"

namespace {

bool rectContains(const GuiObject* o, int x, int y) {
  return x >= o->mX && x < o->mX + o->mWidth && y >= o->mY && y < o->mY + o->mHeight;
}

// Pointer position carried by an SDL event, for the event types routed by position.
bool eventPointer(const SDL_Event& e, int& x, int& y) {
  switch (e.type) {
    case SDL_MOUSEMOTION:
      x = e.motion.x;
      y = e.motion.y;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      x = e.button.x;
      y = e.button.y;
      return true;
    case SDL_MOUSEWHEEL:
      x = e.wheel.mouseX;
      y = e.wheel.mouseY;
      return true;
    default:
      return false;
  }
}

void eraseFrom(std::vector<GuiObject*>& v, GuiObject* w) { v.erase(std::remove(v.begin(), v.end(), w), v.end()); }

}  // namespace

GuiWindow::GuiWindow(AppWindow* appWindow, int id, int x, int y, int w, int h, SDL_Color background)
    : GuiObject(nullptr, id, x, y, w, h, background),
      mAppWindow(appWindow),
      mFocus(nullptr),
      mCapture(nullptr),
      mHover(nullptr),
      mActivePopup(nullptr),
      mEngine(appWindow ? appWindow->gui_engine : nullptr),
      mScratchTexture(nullptr),
      mCacheChecked(false),
      mCacheSupported(true),
      mCacheCooldown(0),
      mTooltipObject(nullptr),
      mTooltipSince(0),
      mTooltipVisible(false),
      mMouseX(0),
      mMouseY(0) {}

GuiWindow::~GuiWindow() {
  std::vector<GuiObject*> children;
  children.swap(mChildren);
  mFocus = mCapture = mHover = mActivePopup = mTooltipObject = nullptr;
  mPopups.clear();
  for (GuiObject* c : children) delete c;
  // Queued widgets were children and are gone with them.
  mDestroyQueue.clear();
  if (mScratchTexture) {
    GuiRetireTexture(mAppWindow ? mAppWindow->renderer : nullptr, mScratchTexture);
    mScratchTexture = nullptr;
  }
}

GuiObject* GuiWindow::addChild(GuiObject* child) {
  if (!child) return nullptr;
  child->mParent = this;
  child->mWindow = this;
  child->mX += mX;
  child->mY += mY;
  child->refreshLayout();
  mChildren.push_back(child);
  return child;
}

// ---------------------------------------------------------------------------
// Delivery

void GuiWindow::deliver(GuiObject* w, GuiEvent& event) {
  if (!w) return;
  event.mEventObject = w;
  event.mId = w->mId;
  w->handleEvent(event);
}

void GuiWindow::deliverRelative(GuiObject* w, GuiEvent& event) {
  if (!w) return;
  int px = 0, py = 0;
  if (event.raw && eventPointer(*event.raw, px, py)) {
    event.x = px - w->mX;
    event.y = py - w->mY;
  }
  deliver(w, event);
}

void GuiWindow::handleEvent(GuiEvent& event) {
  if (event.type != GE_RawSDL || !event.raw) return;
  const SDL_Event& e = *event.raw;
  GuiObject* p = mActivePopup;
  if (p) {
    switch (e.type) {
      case SDL_KEYDOWN:
      case SDL_KEYUP:
      case SDL_TEXTEDITING:
      case SDL_TEXTINPUT:
      case SDL_MOUSEWHEEL:
        deliver(p, event);
        break;
      case SDL_MOUSEBUTTONUP:
        deliverRelative(p, event);
        break;
      case SDL_MOUSEMOTION:
        handleMotion(event);
        break;
      case SDL_MOUSEBUTTONDOWN:
        handleButtonDown(event);
        break;
      case SDL_WINDOWEVENT:
        handleWindowEvent(event);
        break;
      default:
        if (mFocus) deliver(mFocus, event);
        break;
    }
  } else {
    switch (e.type) {
      case SDL_MOUSEBUTTONDOWN:
        handleButtonDown(event);
        break;
      case SDL_MOUSEMOTION:
        handleMotion(event);
        break;
      case SDL_WINDOWEVENT:
        handleWindowEvent(event);
        break;
      case SDL_MOUSEBUTTONUP:
        if (mCapture) {
          GuiObject* holder = mCapture;
          deliverRelative(holder, event);
          mCapture = nullptr;
        } else if (mFocus) {
          deliverRelative(mFocus, event);
        }
        break;
      case SDL_MOUSEWHEEL: {
        HitInfo hit;
        GuiObject* target = nullptr;
        if (hitTestLocal(e.wheel.mouseX, e.wheel.mouseY, hit))
          target = hit.object->wheelTargetAt(e.wheel.mouseX, e.wheel.mouseY);
        if (!target) target = mFocus;
        if (target) deliver(target, event);
        break;
      }
      default:
        if (mFocus) deliver(mFocus, event);
        break;
    }
  }
  processDestroyQueue();
}

void GuiWindow::handleButtonDown(GuiEvent& event) {
  const SDL_Event& e = *event.raw;
  setTooltipVisible(false);
  mTooltipSince = GuiTicks();
  if (!mPopups.empty() && !pointInAnyPopup(e.button.x, e.button.y)) {
    closeAllPopups(true);
    processDestroyQueue();
  }
  if (mActivePopup) {
    deliverRelative(mActivePopup, event);
    return;
  }
  HitInfo hit;
  if (!hitTestLocal(e.button.x, e.button.y, hit)) return;
  setFocus(hit.object);
  mCapture = hit.object;
  deliverRelative(hit.object, event);
}

void GuiWindow::handleMotion(GuiEvent& event) {
  const SDL_Event& e = *event.raw;
  const int x = e.motion.x, y = e.motion.y;
  mMouseX = x;
  mMouseY = y;
  if (!mPopups.empty()) {
    GuiObject* top = topmostPopupAt(x, y);
    if (top && top != mActivePopup) mActivePopup = top;
  }
  if (mActivePopup) {
    if (GuiMenuBar* bar = findMenuBar()) {
      int idx = bar->hitTopIndex(x, y);
      if (bar->mOpenIndex >= 0 && idx >= 0 && idx != bar->mOpenIndex) {
        bar->openTopMenuIndex(static_cast<size_t>(idx));
        return;
      }
    }
    // The popup reads the position from the SDL event itself.
    mActivePopup->handleEvent(event);
    return;
  }
  if (mCapture) {
    deliverRelative(mCapture, event);
    return;
  }
  HitInfo hit;
  if (!hitTestLocal(x, y, hit)) {
    endHover();
    return;
  }
  if (hit.object != mHover) {
    if (mHover) {
      mHover->onMouseLeave();
      mHover->invalidate();
    }
    mHover = hit.object;
    mHover->onMouseEnter(hit.x, hit.y);
    mHover->invalidate();
  }
  deliverRelative(hit.object, event);
}

void GuiWindow::handleWindowEvent(GuiEvent& event) {
  if (event.raw->window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
    closeAllPopups(true);
    endHover();
  }
  std::vector<GuiObject*> children = mChildren;
  for (GuiObject* c : children) {
    // A child deleted meanwhile by another child's handler is skipped.
    if (std::find(mChildren.begin(), mChildren.end(), c) == mChildren.end()) continue;
    c->handleEvent(event);
  }
}

void GuiWindow::endHover() {
  if (!mHover) return;
  GuiObject* old = mHover;
  mHover = nullptr;
  old->onMouseLeave();
  old->invalidate();
}

bool GuiWindow::hitTestLocal(int x, int y, HitInfo& out) const {
  for (auto it = mChildren.rbegin(); it != mChildren.rend(); ++it) {
    GuiObject* c = *it;
    if (rectContains(c, x, y)) {
      out.object = c;
      out.x = x - c->mX;
      out.y = y - c->mY;
      return true;
    }
  }
  return false;
}

// ---------------------------------------------------------------------------
// Focus

void GuiWindow::setFocus(GuiObject* w) {
  if (w == mFocus) return;
  if (mFocus) {
    mFocus->mFocused = false;
    mFocus->loseFocus();
    mFocus->invalidate();
  }
  for (GuiObject* c : mChildren) c->mFocused = false;
  mFocus = w;
  if (w) {
    w->mFocused = true;
    w->invalidate();
  }
  if (mEngine) mEngine->mActiveEditable = w ? dynamic_cast<IEditable*>(w) : nullptr;
}

// ---------------------------------------------------------------------------
// Popups

void GuiWindow::openPopup(GuiObject* p) {
  if (!p) return;
  SDL_StopTextInput();
  p->mParent = this;
  if (std::find(mChildren.begin(), mChildren.end(), p) == mChildren.end()) addChild(p);
  eraseFrom(mPopups, p);  // re-opening an open popup moves it to the top
  mPopups.push_back(p);
  mActivePopup = p;
}

void GuiWindow::closeTopPopup(bool) {
  if (mPopups.empty()) return;
  GuiObject* p = mPopups.back();
  mPopups.pop_back();
  bool keep = false;
  if (GuiMenu* menu = dynamic_cast<GuiMenu*>(p)) keep = menu->mOwnedByBar;
  if (keep) {
    // The menu bar owns this menu and opens it again later: only unlink it.
    eraseFrom(mChildren, p);
    p->mParent = nullptr;
    if (mHover == p) mHover = nullptr;
    if (mCapture == p) mCapture = nullptr;
    if (mTooltipObject == p) mTooltipObject = nullptr;
  } else {
    p->requestDestroy();
  }
  mActivePopup = mPopups.empty() ? nullptr : mPopups.back();
}

void GuiWindow::closeAllPopups(bool resetMenuBar) {
  while (!mPopups.empty()) closeTopPopup(false);
  mActivePopup = nullptr;
  if (resetMenuBar) {
    if (GuiMenuBar* bar = findMenuBar()) {
      bar->mOpenIndex = -1;
      bar->invalidate();
    }
    SDL_StartTextInput();
  }
}

void GuiWindow::closePopupsAfter(GuiObject* p) {
  while (!mPopups.empty() && mPopups.back() != p) closeTopPopup(false);
}

void GuiWindow::closePopup(bool) {
  GuiObject* p = mActivePopup;
  if (!p) return;
  p->onMouseLeave();
  p->requestDestroy();
  eraseFrom(mPopups, p);
  mActivePopup = mPopups.empty() ? nullptr : mPopups.back();
}

GuiObject* GuiWindow::topmostPopupAt(int x, int y) const {
  for (auto it = mPopups.rbegin(); it != mPopups.rend(); ++it)
    if (rectContains(*it, x, y)) return *it;
  return nullptr;
}

bool GuiWindow::pointInAnyPopup(int x, int y) const { return topmostPopupAt(x, y) != nullptr; }

GuiMenuBar* GuiWindow::findMenuBar() const {
  for (GuiObject* c : mChildren)
    if (GuiMenuBar* bar = dynamic_cast<GuiMenuBar*>(c)) return bar;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Commands and deletion

void GuiWindow::dispatchCommand(int cmdId, int sourceId, long param, GuiObject* source) {
  if (!mEngine) return;
  if (mEngine->mModalWindow && mEngine->mModalWindow != this) return;
  GuiEvent ev;
  ev.type = GE_Command;
  ev.window_id = mAppWindow ? mAppWindow->id : 0;
  ev.cmd.cmd_id = cmdId;
  ev.cmd.source_id = sourceId;
  ev.cmd.param = static_cast<gui_param>(param);
  ev.cmd.source = source ? source : this;
  ev.raw = nullptr;
  ev.x = ev.y = 0;
  ev.mEventObject = nullptr;
  ev.mId = -1;
  if (mEngine->mDemoRunner) mEngine->mDemoRunner->observeCommand(ev);
  mEngine->onEvent(mAppWindow, ev);
}

void GuiWindow::enqueueDestroy(GuiObject* w) {
  if (!w) return;
  if (std::find(mDestroyQueue.begin(), mDestroyQueue.end(), w) != mDestroyQueue.end()) return;
  mDestroyQueue.push_back(w);
}

void GuiWindow::processDestroyQueue() {
  // A widget's destructor may queue further widgets; those are handled in the next round.
  while (!mDestroyQueue.empty()) {
    std::vector<GuiObject*> queue;
    queue.swap(mDestroyQueue);
    for (GuiObject* w : queue) {
      if (mFocus == w) mFocus = nullptr;
      if (mHover == w) mHover = nullptr;
      if (mCapture == w) mCapture = nullptr;
      if (mTooltipObject == w) {
        mTooltipObject = nullptr;
        mTooltipVisible = false;
      }
      // A deleted popup must not stay on the stack.
      eraseFrom(mPopups, w);
      if (mActivePopup == w) mActivePopup = mPopups.empty() ? nullptr : mPopups.back();
      if (mEngine && mEngine->mActiveEditable) {
        IEditable* ed = dynamic_cast<IEditable*>(w);
        if (ed && ed == mEngine->mActiveEditable) mEngine->mActiveEditable = nullptr;
      }
      if (mEngine && mEngine->mSavedEditable) {
        IEditable* ed = dynamic_cast<IEditable*>(w);
        if (ed && ed == mEngine->mSavedEditable) mEngine->mSavedEditable = nullptr;
      }
      eraseFrom(mChildren, w);
      delete w;
    }
  }
}

void GuiWindow::cancelMouseCapture() {
  if (!mCapture) return;
  GuiObject* holder = mCapture;
  mCapture = nullptr;
  SDL_Event e;
  std::memset(&e, 0, sizeof(e));
  e.type = SDL_MOUSEBUTTONUP;
  e.button.type = SDL_MOUSEBUTTONUP;
  e.button.button = SDL_BUTTON_LEFT;
  e.button.state = SDL_RELEASED;
  e.button.x = -1;
  e.button.y = -1;
  e.button.windowID = mAppWindow ? mAppWindow->id : 0;
  GuiEvent ev;
  ev.type = GE_RawSDL;
  ev.window_id = 0;
  ev.raw = &e;
  holder->handleEvent(ev);
}

// ---------------------------------------------------------------------------
// Geometry and lookup

void GuiWindow::move(int x, int y) {
  if (x != -1) mX = x;
  if (y != -1) mY = y;
  for (GuiObject* c : mChildren) {
    c->mX = mX + c->mRelX;
    c->mY = mY + c->mRelY;
  }
}

GuiObject* GuiWindow::findByName(const std::string& name) {
  if (GuiObject* self = GuiObject::findByName(name)) return self;
  for (GuiObject* c : mChildren)
    if (GuiObject* hit = c->findByName(name)) return hit;
  return nullptr;
}

bool GuiWindow::findPart(const std::string& part, GuiObject*& owner, SDL_Rect& out) {
  for (auto it = mPopups.rbegin(); it != mPopups.rend(); ++it)
    if ((*it)->findPart(part, owner, out)) return true;
  for (GuiObject* c : mChildren)
    if (c->findPart(part, owner, out)) return true;
  return false;
}

GuiObject* GuiWindow::objectAt(int x, int y) {
  HitInfo hit;
  if (hitTestLocal(x, y, hit)) {
    if (GuiObject* inner = hit.object->objectAt(x, y)) return inner;
  }
  return GuiObject::objectAt(x, y);
}

const char* GuiWindow::className() const { return "GuiWindow"; }

bool GuiWindow::locate(const GuiObject* obj, GuiLocation& out) {
  if (!obj) return false;
  SDL_Rect r{obj->mX, obj->mY, obj->mWidth, obj->mHeight};
  return locate(obj, r, out);
}

bool GuiWindow::locate(const GuiObject* obj, const SDL_Rect& rect, GuiLocation& out) {
  if (!obj) return false;
  SDL_Rect r = rect;
  if (r.w <= 0 || r.h <= 0) return false;
  const GuiObject* top = obj;
  while (top->mParent) {
    top = top->mParent;
    SDL_Rect a{top->mX, top->mY, top->mWidth, top->mHeight};
    SDL_Rect cut;
    if (!SDL_IntersectRect(&r, &a, &cut)) return false;
    r = cut;
  }
  if (top != this) return false;
  if (obj == this) {
    SDL_Rect a{mX, mY, mWidth, mHeight};
    SDL_Rect cut;
    if (!SDL_IntersectRect(&r, &a, &cut)) return false;
    r = cut;
  }
  const int cx = r.x + r.w / 2, cy = r.y + r.h / 2;
  const GuiObject* found = objectAt(cx, cy);
  bool visible = false;
  for (const GuiObject* o = found; o; o = o->mParent) {
    if (o == obj) {
      visible = true;
      break;
    }
  }
  if (!visible) return false;
  int wx = 0, wy = 0;
  if (mAppWindow && mAppWindow->window) SDL_GetWindowPosition(mAppWindow->window, &wx, &wy);
  out.rect = r;
  out.screen_rect = SDL_Rect{r.x + wx, r.y + wy, r.w, r.h};
  out.center = SDL_Point{cx, cy};
  return true;
}

// ---------------------------------------------------------------------------
// Tooltips

void GuiWindow::setTooltipVisible(bool visible) { mTooltipVisible = visible; }

void GuiWindow::update(Uint32 now) {
  for (size_t i = 0; i < mChildren.size(); ++i) mChildren[i]->update(now);
  updateTooltip(now);
}

void GuiWindow::updateTooltip(Uint32 now) {
  const bool was = mTooltipVisible;
  updateTooltipState(now);
  if (was != mTooltipVisible) GuiEngine::requestFrame();
}

void GuiWindow::updateTooltipState(Uint32 now) {
  if (!mHover || !mPopups.empty() || mActivePopup || mCapture) {
    mTooltipObject = nullptr;
    mTooltipSince = now;
    mTooltipVisible = false;
    return;
  }
  GuiObject* candidate = mHover->tooltipTarget();
  if (candidate != mTooltipObject) {
    mTooltipObject = candidate;
    mTooltipSince = now;
    mTooltipVisible = false;
    return;
  }
  if (!candidate || candidate->mTooltip.empty()) {
    mTooltipVisible = false;
    return;
  }
  if (now - mTooltipSince > 499) mTooltipVisible = true;
}

void GuiWindow::renderTooltip(SDL_Renderer* renderer) {
  if (!mTooltipVisible || !mTooltipObject || mTooltipObject->mTooltip.empty() || !GuiDefaultFont) return;
  const std::string& text = mTooltipObject->mTooltip;
  int tw = 0, th = 0;
  if (TTF_SizeUTF8(GuiDefaultFont, text.c_str(), &tw, &th) != 0) return;
  const int bw = tw + 12, bh = th + 6;
  int x = mMouseX + 14;
  if (x + bw > mWidth) x = mWidth - bw;
  int y = mMouseY + 18;
  if (mHeight < th + mMouseY + 24) y = mHeight - th - 6;
  x = std::max(0, x);
  y = std::max(0, y);
  SDL_Rect box{x, y, bw, bh};
  SDL_SetRenderDrawColor(renderer, 255, 255, 225, 255);
  SDL_RenderFillRect(renderer, &box);
  SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
  SDL_RenderDrawRect(renderer, &box);
  SDL_Color black{0, 0, 0, 255};
  SDL_Surface* s = TTF_RenderUTF8_Blended(GuiDefaultFont, text.c_str(), black);
  if (!s) return;
  SDL_Texture* t = SDL_CreateTextureFromSurface(renderer, s);
  if (t) {
    SDL_Rect dst{x + 6, y + 3, s->w, s->h};
    SDL_RenderCopy(renderer, t, nullptr, &dst);
    GuiRetireTexture(renderer, t);
  }
  SDL_FreeSurface(s);
}

// ---------------------------------------------------------------------------
// Rendering and resize

namespace {

bool textureHasSize(SDL_Texture* t, int w, int h) {
  int tw = 0, th = 0;
  if (SDL_QueryTexture(t, nullptr, nullptr, &tw, &th) != 0) return false;
  return tw == w && th == h;
}

}  // namespace

void GuiWindow::render(SDL_Renderer* renderer) {
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
  SDL_SetRenderDrawColor(renderer, mBackground.r, mBackground.g, mBackground.b, mBackground.a);
  SDL_RenderFillRect(renderer, nullptr);
  SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);

  if (!mCacheChecked) {
    mCacheChecked = true;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) == 0)
      mCacheSupported = !((info.flags & SDL_RENDERER_SOFTWARE) || (info.name && std::strcmp(info.name, "software") == 0));
    else
      mCacheSupported = true;
  }
  bool cacheOn = false;
  if (mCacheSupported && mCacheCooldown <= 0) {
    if (mScratchTexture && !textureHasSize(mScratchTexture, mWidth, mHeight)) {
      GuiRetireTexture(renderer, mScratchTexture);
      mScratchTexture = nullptr;
    }
    if (!mScratchTexture && mWidth > 0 && mHeight > 0) {
      mScratchTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA8888, SDL_TEXTUREACCESS_TARGET, mWidth, mHeight);
      if (mScratchTexture) SDL_SetTextureBlendMode(mScratchTexture, SDL_BLENDMODE_NONE);
    }
    cacheOn = mScratchTexture != nullptr;
  } else if (mCacheCooldown > 0) {
    --mCacheCooldown;
  }

  for (size_t i = 0; i < mChildren.size(); ++i) {
    GuiObject* c = mChildren[i];
    if (!cacheOn || !c->wantsRenderCache() || c->mWidth <= 0 || c->mHeight <= 0) {
      c->render(renderer);
      continue;
    }
    if (c->mCacheTexture && !textureHasSize(c->mCacheTexture, c->mWidth, c->mHeight)) {
      GuiRetireTexture(renderer, c->mCacheTexture);
      c->mCacheTexture = nullptr;
    }
    if (!c->mCacheTexture) {
      c->mCacheTexture =
          SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGBA8888, SDL_TEXTUREACCESS_TARGET, c->mWidth, c->mHeight);
      if (!c->mCacheTexture) {
        c->render(renderer);
        continue;
      }
      SDL_SetTextureBlendMode(c->mCacheTexture, SDL_BLENDMODE_BLEND);
      c->mDirty = true;
    }
    SDL_Rect cr{c->mX, c->mY, c->mWidth, c->mHeight};
    if (cr.x < 0 || cr.y < 0 || cr.x + cr.w > mWidth || cr.y + cr.h > mHeight) {
      c->render(renderer);
      continue;
    }
    if (c->mDirty) {
      SDL_SetRenderTarget(renderer, mScratchTexture);
      SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_NONE);
      SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0);
      SDL_RenderFillRect(renderer, &cr);
      SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
      c->render(renderer);
      SDL_SetRenderTarget(renderer, c->mCacheTexture);
      SDL_Rect dst{0, 0, cr.w, cr.h};
      SDL_RenderCopy(renderer, mScratchTexture, &cr, &dst);
      SDL_SetRenderTarget(renderer, nullptr);
      SDL_SetRenderDrawBlendMode(renderer, SDL_BLENDMODE_BLEND);
      c->mDirty = false;
    }
    SDL_RenderCopy(renderer, c->mCacheTexture, nullptr, &cr);
  }

  renderTooltip(renderer);
  if (mEngine && mEngine->mDemoRunner) mEngine->mDemoRunner->drawOverlay(mAppWindow, renderer);
}

void GuiWindow::resize(SDL_Renderer* renderer, int w, int h) {
  const int oldW = mWidth, oldH = mHeight;
  mWidth = w;
  mHeight = h;
  for (size_t i = 0; i < mChildren.size(); ++i) {
    GuiObject* c = mChildren[i];
    if (std::strcmp(c->className(), "GuiMenuBar") == 0) {
      c->refreshLayout();
    } else if (GuiStatusBar* bar = dynamic_cast<GuiStatusBar*>(c)) {
      bar->mY = h - bar->mHeight;
      bar->refreshLayout();
    } else if (GuiCairoPanel* panel = dynamic_cast<GuiCairoPanel*>(c)) {
      int nw = panel->mWidth, nh = panel->mHeight;
      if (panel->mFollowWidth) nw = std::max(1, panel->mWidth + w - oldW);
      if (panel->mFollowHeight) nh = std::max(1, panel->mHeight + h - oldH);
      if (nw != panel->mWidth || nh != panel->mHeight) panel->resize(renderer, nw, nh);
    }
  }
  mCacheCooldown = 15;
}
