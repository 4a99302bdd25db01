// The editor panel: view transform, frame drawing, shape tools, file loading,
// mouse and keyboard handling and the automation names of diagram objects.
#include "VelmarisPanel.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <locale>
#include <sstream>

#include "Connection.h"
#include "ConnectionNode.h"
#include "Diagnostics.h"
#include "EntryPoint.h"
#include "GuiEngine.h"
#include "GuiWindow.h"
#include "LCA_Interface.h"
#include "Map.h"
#include "MapLayer.h"
#include "Settings.h"
#include "Shape.h"
#include "ShapeCircle.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapeNode.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"
#include "corekitc.h"
#include "gfx.h"
#include "global.h"

double global_translate_x = 0.5;
double global_translate_y = 0.5;
double global_scale_x = 1.0;
double global_scale_y = 1.0;
bool GlobalMoveMap = false;
int GlobalMapX = 0;
int GlobalMapY = 0;
Shape* s1 = nullptr;
Shape* s2 = nullptr;

namespace {

// The id in a name "#<digits>", or -1.
long idOfName(const std::string& name) {
    if (name.size() <= 1 || name[0] != '#') return -1;
    const char* text = name.c_str() + 1;
    char* end = nullptr;
    errno = 0;
    long id = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || id < 0) return -1;
    return id;
}

// A decimal index read with strtol: at least one character, nothing left over,
// not negative.
bool parseIndex(const char* text, long& out) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || v < 0) return false;
    out = v;
    return true;
}

// "@X,Y" with numbers in the classic locale, blanks allowed before each
// number and the separator, only blanks after Y.
bool parsePoint(const std::string& name, double& x, double& y) {
    std::istringstream in(name.substr(1));
    in.imbue(std::locale::classic());
    double px = 0, py = 0;
    char sep = 0;
    if (!(in >> px)) return false;
    if (!(in >> sep) || sep != ',') return false;
    if (!(in >> py)) return false;
    in >> std::ws;
    if (!in.eof()) return false;
    x = px;
    y = py;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------
// Construction

VelmarisPanel::VelmarisPanel(GuiObject* parent, int id, int x, int y, int w, int h,
                             SDL_Color background, SDL_Renderer* renderer)
    : GuiCairoPanel(parent, id, x, y, w, h, background, renderer),
      mMap(GlobalMap),
      mSelectionPreviewX(0),
      mSelectionPreviewY(0),
      mViewMode(VIEW_MODE_CONNECTION),
      mRedrawRequested(true),
      mDrawnRevision(0),
      mCursorInside(false),
      mCursorX(0),
      mCursorY(0),
      mDragXDiff(0),
      mDragYDiff(0),
      mIsDragging(false),
      mDraggingObject(0),
      mEmptyDragStartX(0),
      mEmptyDragStartY(0),
      mEmptyDragEndX(0),
      mEmptyDragEndY(0),
      mIsEmptyDrag(false),
      mLca(nullptr),
      mEditDialog(nullptr),
      mEditObject(nullptr),
      mEditName(false),
      mTool(Tool::Select),
      mToolGhostVisible(false),
      mToolPressed(false),
      mToolDragging(false),
      mToolPressX(0),
      mToolPressY(0),
      mToolPressPixelX(0),
      mToolPressPixelY(0),
      mCenterOnResize(false) {
    assert(mMap && "the map must exist before the editor panel");
    if (mCairo) {
        cairo_translate(mCairo, 0.5, 0.5);
        cairo_set_antialias(mCairo, CAIRO_ANTIALIAS_GRAY);
    }

    // A fresh editor shows a small sample diagram.
    s1 = mMap->addRectangle(10, 10, 60, 60);
    s2 = mMap->addRectangle(180, 180, 240, 240);
    mMap->addConnection(s1, 0, s2, 0);
    mMap->clearShapeSelections();
    mMap->addSelection(s2);
    resetBoundingBox();
}

VelmarisPanel::~VelmarisPanel() {
    endAction();
    mSelectionPreview.clear();
    mToolGhost.reset();
    mOnToolChanged = nullptr;
    mOnViewModeChanged = nullptr;
}

// ---------------------------------------------------------------------------
// Small helpers

int VelmarisPanel::rasterX() {
    return (GlobalSettings && GlobalSettings->mRasterX > 0) ? GlobalSettings->mRasterX : 10;
}

int VelmarisPanel::rasterY() {
    return (GlobalSettings && GlobalSettings->mRasterY > 0) ? GlobalSettings->mRasterY : 10;
}

double VelmarisPanel::snapToGrid(double v, double step) {
    return std::round(v / step) * step;
}

int VelmarisPanel::pixelToWorld(int p, double translate, double scale) {
    int v = (int)(p / scale);
    return (int)(v - translate);
}

int VelmarisPanel::panCells(int from, int to, int step) {
    return std::abs(from / step - to / step);
}

SDL_Window* VelmarisPanel::sdlWindow() const {
    if (mWindow && mWindow->mAppWindow) return mWindow->mAppWindow->window;
    return nullptr;
}

void VelmarisPanel::endAction() {
    if (!mLca) return;
    LCA_Interface* action = mLca;
    mLca = nullptr;
    delete action;
}

// ---------------------------------------------------------------------------
// View

void VelmarisPanel::getRealTopLeftPosition(double& x, double& y) const {
    x = 0 / global_scale_x - global_translate_x;
    y = 0 / global_scale_y - global_translate_y;
}

void VelmarisPanel::getRealBottomRightPosition(double& x, double& y) const {
    x = mWidth / global_scale_x - global_translate_x;
    y = mHeight / global_scale_y - global_translate_y;
}

void VelmarisPanel::getRealMousePosition(double& x, double& y) const {
    int mx = 0, my = 0;
    SDL_GetMouseState(&mx, &my);
    x = (mx - mX) / global_scale_x - global_translate_x;
    y = (my - mY) / global_scale_y - global_translate_y;
}

void VelmarisPanel::getRealMiddlePosition(double& x, double& y) const {
    x = (mWidth / 2) / global_scale_x - global_translate_x;
    y = (mHeight / 2) / global_scale_y - global_translate_y;
    Logger(CK_DEBUG_INFO, "Window-size %d : %d", mWidth, mHeight);
    Logger(CK_DEBUG_INFO, "Middle position %lf : %lf", x, y);
}

void VelmarisPanel::scaleView(double dx, double dy) {
    global_scale_x += dx;
    global_scale_y += dy;
    if (global_scale_x < 0.1) global_scale_x = 0.1;
    if (global_scale_y < 0.1) global_scale_y = 0.1;
    resetBoundingBox();
}

void VelmarisPanel::centerPosition(double x, double y) {
    global_translate_x = -x + mWidth / global_scale_x / 2;
    global_translate_y = -y + mHeight / global_scale_y / 2;
    resetBoundingBox();
    centerMouse();
}

void VelmarisPanel::centerMouse() {
    SDL_Window* window = sdlWindow();
    if (window) SDL_WarpMouseInWindow(window, mX + mWidth / 2, mY + mHeight / 2);
}

bool VelmarisPanel::shapeBox(const Shape* s, double& x1, double& y1, double& x2, double& y2) {
    if (!s || s->mShapeNodes.empty()) return false;
    x1 = x2 = s->mShapeNodes[0]->mX;
    y1 = y2 = s->mShapeNodes[0]->mY;
    for (const ShapeNode* n : s->mShapeNodes) {
        x1 = std::min(x1, n->mX);
        y1 = std::min(y1, n->mY);
        x2 = std::max(x2, n->mX);
        y2 = std::max(y2, n->mY);
    }
    if (const ShapeCircle* c = dynamic_cast<const ShapeCircle*>(s)) {
        x2 = x1 + 2 * c->mRadius;
        y2 = y1 + 2 * c->mRadius;
    }
    return true;
}

void VelmarisPanel::centerOnShapes() {
    requestRedraw();
    bool any = false;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (MapLayer* layer : mMap->mMapLayer) {
        for (Shape* s : layer->mShapes) {
            double x1, y1, x2, y2;
            if (!shapeBox(s, x1, y1, x2, y2)) continue;
            if (!any) {
                minX = x1, minY = y1, maxX = x2, maxY = y2;
                any = true;
            } else {
                minX = std::min(minX, x1);
                minY = std::min(minY, y1);
                maxX = std::max(maxX, x2);
                maxY = std::max(maxY, y2);
            }
        }
    }
    if (!any) return;
    global_translate_x = mWidth / global_scale_x / 2 - (minX + maxX) / 2;
    global_translate_y = mHeight / global_scale_y / 2 - (minY + maxY) / 2;
}

void VelmarisPanel::resetBoundingBox() {
    requestRedraw();
    double x1, y1, x2, y2;
    getRealTopLeftPosition(x1, y1);
    getRealBottomRightPosition(x2, y2);
    mMap->mViewBoundingBox[0] = x1 - 100;
    mMap->mViewBoundingBox[1] = y1 - 100;
    mMap->mViewBoundingBox[2] = x2 + 100;
    mMap->mViewBoundingBox[3] = y2 + 100;
}

// ---------------------------------------------------------------------------
// Redraw and frame drawing

bool VelmarisPanel::wantsRedraw() const {
    return mRedrawRequested || mMap->revision() != mDrawnRevision || animationsRunning();
}

void VelmarisPanel::render() {
    Uint64 start = SDL_GetPerformanceCounter();
    cairo_t* cr = mCairo;
    if (!cr) return;

    gfx_save(cr);
    gfx_scale(cr, global_scale_x, global_scale_y);
    gfx_translate(cr, std::round(global_translate_x), std::round(global_translate_y));

    // Background.
    gfx_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    gfx_set_source_rgba(cr, 1, 1, 1, 1);
    gfx_paint(cr);
    gfx_restore(cr);

    // Grid, only at zoom levels where it helps.
    if (global_scale_x > 0.5 && global_scale_x < 5)
        draw_world_grid_fast(cr, mWidth, mHeight, 10.0, 10.0, 10, 0.9, 0.7);

    mMap->drawShapes(cr, mViewMode);

    if (mIsEmptyDrag) {
        gfx_set_line_width_px(cr, 1);
        gfx_set_source_rgb(cr, 1, 0, 0);
        gfx_pixel_rect_path(cr, mEmptyDragStartX, mEmptyDragStartY,
                            mEmptyDragEndX - mEmptyDragStartX, mEmptyDragEndY - mEmptyDragStartY);
        gfx_stroke(cr);
    }

    if (ConnectionNode* node = mMap->mSelectedConnectionNode) {
        gfx_set_line_width_px(cr, 0.25);
        gfx_pixel_rect_path(cr, node->mX - 6, node->mY - 6, 12, 12);
        gfx_set_source_rgb(cr, 1, 0.5, 0.5);
        gfx_fill_preserve(cr);
        gfx_set_source_rgb(cr, 0, 0, 0);
        gfx_stroke(cr);
    }

    if (mLca) mLca->draw(cr);

    mMap->drawConnections(cr);

    for (Object* o : mSelectionPreview)
        o->drawSelectionPreview(cr, mSelectionPreviewX, mSelectionPreviewY, mViewMode);

    if (mToolGhostVisible && mToolGhost) {
        cairo_push_group(cr);
        mToolGhost->draw(cr);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.4);
    }

    gfx_restore(cr);
    mRedrawRequested = false;
    mDrawnRevision = mMap->revision();
    contentChanged();

    if (PerfLog())
        std::fprintf(stderr, "PERF render %.1f scale %.2f\n", MsSince(start), global_scale_x);
}

// ---------------------------------------------------------------------------
// Tools

void VelmarisPanel::setTool(Tool t) {
    if (t == mTool) return;
    mTool = t;
    requestRedraw();
    mToolGhostVisible = false;
    mToolPressed = false;
    mToolDragging = false;
    if (t != Tool::Select) {
        mToolGhost.reset(createShape(t));
        mMap->clearAllSelections();
        clearSelectionPreview();
    } else {
        mToolGhost.reset();
    }
    if (mOnToolChanged) mOnToolChanged(t);
}

Shape* VelmarisPanel::createShape(Tool t) const {
    return createShape(t, 0, 0, 100, t == Tool::Rectangle ? 50 : 100);
}

Shape* VelmarisPanel::createShape(Tool t, double x1, double y1, double x2, double y2) const {
    double mx = (x1 + x2) / 2;
    double my = (y1 + y2) / 2;
    switch (t) {
        case Tool::Rectangle:
            return new ShapeRectangle(x1, y1, x2, y2, 0);
        case Tool::Diamond:
            return new ShapeDiamond(mx, y1, x2, my);
        case Tool::Circle:
            return new ShapeCircle(x1, y1, std::min(x2 - x1, y2 - y1) / 2);
        case Tool::Triangle:
            return new ShapeTriangle(mx, y1, x2, y2, x1, y2);
        case Tool::Polygon:
            return new ShapePolygon(x1, y1, x2, y2);
        case Tool::Image:
            return new ShapeImage(x1, y1, x1, y1);
        case Tool::Select:
            break;
    }
    assert(false && "createShape needs a shape tool");
    return nullptr;
}

void VelmarisPanel::moveShapeTo(Shape* s, double x, double y) const {
    double x1, y1, x2, y2;
    if (!shapeBox(s, x1, y1, x2, y2)) return;
    double left = snapToGrid(x - (x2 - x1) / 2, rasterX());
    double top = snapToGrid(y - (y2 - y1) / 2, rasterY());
    const ShapeNode* n = s->mShapeNodes[0];
    s->setPosition(n->mX + left - x1, n->mY + top - y1);
    s->recalcBorderNodes();
}

void VelmarisPanel::toolDragRect(double x, double y, double& x1, double& y1, double& x2,
                                 double& y2) const {
    double rx = rasterX(), ry = rasterY();
    double ex = snapToGrid(x, rx);
    double ey = snapToGrid(y, ry);
    double w = std::max(std::fabs(ex - mToolPressX), rx);
    double h = std::max(std::fabs(ey - mToolPressY), ry);
    if (mTool == Tool::Circle) w = h = std::min(w, h);
    x1 = mToolPressX > ex ? mToolPressX - w : mToolPressX;
    y1 = mToolPressY > ey ? mToolPressY - h : mToolPressY;
    x2 = x1 + w;
    y2 = y1 + h;
}

void VelmarisPanel::addShape(Shape* s) {
    s->setId(mMap->mIdMgr->getFreeId());
    mMap->addShapeOnTop(s);
}

// ---------------------------------------------------------------------------
// Files

bool VelmarisPanel::loadMapFile(const std::string& path) {
    // A running drag commits against the old diagram before it goes away.
    endAction();
    clearSelectionPreview();
    mIsEmptyDrag = false;
    mIsDragging = false;
    mEditObject = nullptr;

    mMap->clear();
    mMap->clearAllSelections();
    s1 = nullptr;
    s2 = nullptr;

    Uint64 start = SDL_GetPerformanceCounter();
    bool ok = mMap->loadMap(path.c_str());
    mMap->validate();
    if (PerfLog()) std::fprintf(stderr, "PERF load %.1f\n", MsSince(start));

    centerOnShapes();
    resetBoundingBox();
    mCenterOnResize = true;
    return ok;
}

// ---------------------------------------------------------------------------
// Widget operations

void VelmarisPanel::resize(SDL_Renderer* renderer, int w, int h) {
    GuiCairoPanel::resize(renderer, w, h);
    if (mCenterOnResize) centerOnShapes();
    resetBoundingBox();
}

void VelmarisPanel::onMouseLeave() {
    mToolGhostVisible = false;
    mCursorInside = false;
    requestRedraw();
}

void VelmarisPanel::handleEvent(GuiEvent& event) {
    requestRedraw();
    if (event.type != GE_RawSDL || !event.raw) return;
    const SDL_Event& e = *event.raw;
    if (e.type == SDL_MOUSEBUTTONDOWN || e.type == SDL_KEYDOWN || e.type == SDL_MOUSEWHEEL)
        mCenterOnResize = false;

    switch (e.type) {
        case SDL_KEYDOWN:
            keyPressed(event);
            break;
        case SDL_MOUSEMOTION:
            mouseMoved(event);
            break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT) mouseLeftDown(event);
            else if (e.button.button == SDL_BUTTON_RIGHT) mouseRightDown(event);
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT) mouseLeftUp(event);
            else if (e.button.button == SDL_BUTTON_RIGHT) mouseRightUp(event);
            break;
        case SDL_MOUSEWHEEL:
            mouseWheel(event);
            break;
        default:
            break;
    }
}

// ---------------------------------------------------------------------------
// Mouse

Object* VelmarisPanel::getObjectUnderCursor(int x, int y, ObjectType* type) {
    Shape* shape = mMap->hitBorderTest(x, y);
    if (!shape) {
        Connection* c = mMap->hitConnectionTest(x, y);
        if (!c) return nullptr;
        CK_INFO("Cursor auf Connection");
        if (type) *type = OBJECT_TYPE_CONNECTION;
        return c;
    }
    CK_INFO("SHAPE (Hit at %d:%d)", x, y);

    if (mViewMode == VIEW_MODE_CONNECTION) {
        if (Connection* c = mMap->hitConnectionTest(x, y)) {
            CK_INFO("   |");
            CK_INFO("   +-- CONNECTION %s", c->mName.c_str());
            CK_INFO("          |");
            if (c->getNodeNearPosition(x, y)) {
                CK_INFO("          +-- CONNECTIONARROW");
                if (type) *type = OBJECT_TYPE_CONNECTION;
                return c;
            }
            CK_INFO("          +-- NULL");
        }
        if (ConnectionNode* n = shape->getConnectionNodeNearPosition(x, y)) {
            CK_INFO("   |");
            CK_INFO("   +-- CONNECTIONNODE");
            if (type) *type = OBJECT_TYPE_CONNECTION_NODE;
            return n;
        }
    } else if (mViewMode == VIEW_MODE_SHAPE) {
        if (ShapeNode* n = shape->getShapeNodeNearPosition(x, y)) {
            CK_INFO("   |");
            CK_INFO("   +-- SHAPENODE");
            if (type) *type = OBJECT_TYPE_SHAPE_NODE;
            return n;
        }
    }
    if (type) *type = OBJECT_TYPE_SHAPE;
    return shape;
}

void VelmarisPanel::selectShape(Shape* s, int x, int y) {
    CK_INFO("Selected shape: %p", (void*)s);
    if (!mMap->isSelected(s)) {
        mMap->clearShapeSelections();
        mMap->addSelection(s);
    }
    mDraggingObject = 1;
    mMap->setSelectedShapesDiffStartPosition(x, y);
}

void VelmarisPanel::selectConnection(Connection* c, int, int) {
    mMap->clearConnectionSelections();
    mMap->addSelection(c);
}

void VelmarisPanel::selectNode(Node* n, int x, int y) {
    if (ConnectionNode* cn = dynamic_cast<ConnectionNode*>(n)) {
        mMap->mSelectedConnectionNode = cn;
        mMap->changed();
        CK_INFO("ConnectionNode %d was selected (X: %f Y: %f)", (int)cn->getId(), cn->mX, cn->mY);
        mDragXDiff = x - cn->mX;
        mDragYDiff = y - cn->mY;
        mDraggingObject = 3;
    } else if (dynamic_cast<ShapeNode*>(n)) {
        if (mMap->mSelectedShapeNodes.empty()) return;
        ShapeNode* sn = mMap->mSelectedShapeNodes[0];
        CK_INFO("Node %d was selected (X: %f Y: %f)", (int)sn->getId(), sn->mX, sn->mY);
        mDragXDiff = x - sn->mX;
        mDragYDiff = y - sn->mY;
        mDraggingObject = 2;
    }
}

void VelmarisPanel::clearSelectionPreview() {
    for (Object* o : mSelectionPreview)
        if (Connection* c = dynamic_cast<Connection*>(o)) c->mSelectedArrow = -1;
    mSelectionPreview.clear();
}

void VelmarisPanel::updateSelectionPreview(double x, double y) {
    clearSelectionPreview();
    ObjectType type = OBJECT_TYPE_SHAPE;
    Object* o = getObjectUnderCursor((int)x, (int)y, &type);
    if (!o) return;
    mSelectionPreview.push_back(o);
    mSelectionPreviewX = (int)x;
    mSelectionPreviewY = (int)y;
    if (type == OBJECT_TYPE_CONNECTION) {
        Connection* c = static_cast<Connection*>(o);
        c->mSelectedArrow = c->hitConnectionNode(x, y);
    }
}

void VelmarisPanel::mouseLeftDown(GuiEvent& event) {
    CK_INFO("mouseLeftDown");
    int px = event.x, py = event.y;
    event.x = pixelToWorld(event.x, global_translate_x, global_scale_x);
    event.y = pixelToWorld(event.y, global_translate_y, global_scale_y);
    int x = event.x, y = event.y;

    if (mTool == Tool::Image) {
        Shape* s = createShape(Tool::Image);
        moveShapeTo(s, x, y);
        addShape(s);
        return;
    }
    if (mTool != Tool::Select) {
        mToolPressed = true;
        mToolDragging = false;
        mToolPressX = snapToGrid(x, rasterX());
        mToolPressY = snapToGrid(y, rasterY());
        mToolPressPixelX = px;
        mToolPressPixelY = py;
        return;
    }

    // An action left from an earlier press commits before anything of the
    // new press changes the selection or the band it works with.
    endAction();

    ObjectType type = OBJECT_TYPE_SHAPE;
    Object* o = getObjectUnderCursor(x, y, &type);
    if (!o) {
        mMap->clearAllSelections();
        mEmptyDragStartX = mEmptyDragEndX = x;
        mEmptyDragStartY = mEmptyDragEndY = y;
        mIsEmptyDrag = true;
        mLca = new LCA_Empty_Drag(this);
        return;
    }
    switch (type) {
        case OBJECT_TYPE_SHAPE:
            CK_INFO("SHAPE selected");
            selectShape(static_cast<Shape*>(o), x, y);
            mLca = new LCA_Move_Shape(this);
            break;
        case OBJECT_TYPE_SHAPE_NODE: {
            CK_INFO("SHAPE_NODE selected");
            ShapeNode* n = static_cast<ShapeNode*>(static_cast<Node*>(o));
            mDragXDiff = x - n->mX;
            mDragYDiff = y - n->mY;
            mLca = new LCA_Move_Shape_Node(this, n);
            break;
        }
        case OBJECT_TYPE_CONNECTION_NODE: {
            ConnectionNode* n = static_cast<ConnectionNode*>(static_cast<Node*>(o));
            selectNode(n, x, y);
            CK_INFO("TODO CONNECTION NODE");
            mLca = new LCA_Move_Connection_Node(this, n);
            break;
        }
        case OBJECT_TYPE_CONNECTION: {
            CK_INFO("TODO CONNECTION");
            Connection* c = static_cast<Connection*>(o);
            int end = c->hitConnectionNode(x, y);
            if (end < 0) {
                selectConnection(c, x, y);
            } else {
                CK_INFO("CONNECTION NODE: %d", end);
                mLca = new LCA_Move_Connection_Arrow(this, c, end, x, y);
            }
            break;
        }
    }
}

void VelmarisPanel::mouseLeftUp(GuiEvent& event) {
    CK_INFO("mouseLeftUp");
    if (mToolPressed) {
        mToolPressed = false;
        event.x = pixelToWorld(event.x, global_translate_x, global_scale_x);
        event.y = pixelToWorld(event.y, global_translate_y, global_scale_y);
        double x = event.x, y = event.y;
        Shape* s = nullptr;
        if (mToolDragging) {
            double x1, y1, x2, y2;
            toolDragRect(x, y, x1, y1, x2, y2);
            s = createShape(mTool, x1, y1, x2, y2);
        } else {
            s = createShape(mTool);
            moveShapeTo(s, x, y);
        }
        addShape(s);
        mToolDragging = false;
        Shape* ghost = createShape(mTool);
        moveShapeTo(ghost, x, y);
        mToolGhost.reset(ghost);
        return;
    }
    mIsEmptyDrag = false;
    endAction();
}

void VelmarisPanel::mouseMoved(GuiEvent& event) {
    const SDL_Event* raw = event.raw;
    // The held buttons come from the event itself: injected motion carries
    // them as real motion does, while SDL's own state only follows real input.
    Uint32 buttons = raw && raw->type == SDL_MOUSEMOTION ? raw->motion.state : 0;
    if (buttons & SDL_BUTTON_MMASK) {
        int rx = rasterX(), ry = rasterY();
        int px = event.x, py = event.y;
        if (GlobalMoveMap) {
            int cellsX = panCells(GlobalMapX, px, rx);
            int cellsY = panCells(GlobalMapY, py, ry);
            if (px < GlobalMapX) global_translate_x -= rx * cellsX / global_scale_x;
            else if (px > GlobalMapX) global_translate_x += rx * cellsX / global_scale_x;
            if (py < GlobalMapY) global_translate_y -= ry * cellsY / global_scale_y;
            else if (py > GlobalMapY) global_translate_y += ry * cellsY / global_scale_y;
        }
        GlobalMapX = px;
        GlobalMapY = py;
        GlobalMoveMap = true;
        resetBoundingBox();
        return;
    }

    GlobalMoveMap = false;
    int px = event.x, py = event.y;
    event.x = pixelToWorld(event.x, global_translate_x, global_scale_x);
    event.y = pixelToWorld(event.y, global_translate_y, global_scale_y);
    double x = event.x, y = event.y;
    mCursorInside = true;
    mCursorX = x;
    mCursorY = y;

    if (mTool != Tool::Select) {
        if (mToolPressed && !mToolDragging &&
            (std::abs(px - mToolPressPixelX) > 4 || std::abs(py - mToolPressPixelY) > 4))
            mToolDragging = true;
        if (mToolDragging) {
            double x1, y1, x2, y2;
            toolDragRect(x, y, x1, y1, x2, y2);
            mToolGhost.reset(createShape(mTool, x1, y1, x2, y2));
        } else {
            if (!mToolGhost) mToolGhost.reset(createShape(mTool));
            moveShapeTo(mToolGhost.get(), x, y);
        }
        mToolGhostVisible = true;
        return;
    }

    updateSelectionPreview(x, y);
    if (mLca) mLca->call(x, y);
}

void VelmarisPanel::mouseWheel(GuiEvent& event) {
    const SDL_Event* raw = event.raw;
    double cx, cy;
    if (SDL_GetModState() & KMOD_SHIFT) {
        // The wheel event carries the pointer position (window coordinates);
        // it is the same as SDL's state for real input and also right for
        // injected events.
        int mx = raw ? raw->wheel.mouseX : 0, my = raw ? raw->wheel.mouseY : 0;
        cx = (mx - mX) / global_scale_x - global_translate_x;
        cy = (my - mY) / global_scale_y - global_translate_y;
    } else {
        getRealMiddlePosition(cx, cy);
    }
    int amount = raw ? raw->wheel.y : 0;
    if (amount > 0) scaleView(0.2, 0.2);
    else scaleView(-0.2, -0.2);
    centerPosition(cx, cy);
}

void VelmarisPanel::mouseRightDown(GuiEvent&) {
    CK_INFO("mouseRightDown");
}

void VelmarisPanel::mouseRightUp(GuiEvent&) {
    CK_INFO("mouseRightUp");
}

// ---------------------------------------------------------------------------
// Operations of the drag actions

void VelmarisPanel::LCA_EmptyDrag(double& x, double& y) {
    if (!mMap->mSelectedShapes.empty() || !mMap->mSelectedShapeNodes.empty() ||
        !mMap->mSelectedConnections.empty())
        return;
    mEmptyDragEndX = x;
    mEmptyDragEndY = y;
    double x1 = std::min(mEmptyDragStartX, mEmptyDragEndX);
    double x2 = std::max(mEmptyDragStartX, mEmptyDragEndX);
    double y1 = std::min(mEmptyDragStartY, mEmptyDragEndY);
    double y2 = std::max(mEmptyDragStartY, mEmptyDragEndY);
    clearSelectionPreview();
    for (MapLayer* layer : mMap->mMapLayer)
        for (Shape* s : layer->mShapes)
            if (s->isInside(x1, y1, x2, y2)) mSelectionPreview.push_back(s);
}

void VelmarisPanel::LCA_SelectRectangle() {
    if (mEmptyDragStartX > mEmptyDragEndX) std::swap(mEmptyDragStartX, mEmptyDragEndX);
    if (mEmptyDragStartY > mEmptyDragEndY) std::swap(mEmptyDragStartY, mEmptyDragEndY);
    Logger(CK_DEBUG_INFO,
           "mEmptyDragStartX: %.2f mEmptyDragStartY: %.2f mEmptyDragEndX: %.2f mEmptyDragEndY: %.2f",
           mEmptyDragStartX, mEmptyDragStartY, mEmptyDragEndX, mEmptyDragEndY);
    mMap->selectShapesInsideRect(mEmptyDragStartX, mEmptyDragStartY, mEmptyDragEndX,
                                 mEmptyDragEndY);
    mIsEmptyDrag = false;
}

void VelmarisPanel::LCA_MoveShape(double& x, double& y) {
    mMap->setSelectedShapesDiffPosition(x, y);
}

void VelmarisPanel::LCA_MoveShapeNode(double&, double&) {
    mMap->setModified(true);
}

void VelmarisPanel::LCA_MoveConnectionNode(double&, double&) {}

void VelmarisPanel::LCA_MoveConnectionArrow(double&, double&) {
    mMap->setModified(true);
}

// ---------------------------------------------------------------------------
// Keyboard, view mode, editing

void VelmarisPanel::keyPressed(GuiEvent& event) {
    if (!event.raw || event.raw->type != SDL_KEYDOWN) return;
    switch (event.raw->key.keysym.sym) {
        case SDLK_ESCAPE:
            if (mTool != Tool::Select) setTool(Tool::Select);
            else if (GlobalGuiEngine) GlobalGuiEngine->shutdown();
            break;
        case SDLK_PLUS:
        case SDLK_KP_PLUS:
            scaleView(0.01, 0.01);
            break;
        case SDLK_MINUS:
        case SDLK_KP_MINUS:
            scaleView(-0.01, -0.01);
            break;
        case SDLK_a:
            global_translate_x -= 10;
            resetBoundingBox();
            break;
        case SDLK_d:
            global_translate_x += 10;
            resetBoundingBox();
            break;
        case SDLK_w:
            global_translate_y -= 10;
            resetBoundingBox();
            break;
        case SDLK_s:
            global_translate_y += 10;
            resetBoundingBox();
            break;
        case SDLK_F1:
            for (Shape* s : mMap->mSelectedShapes) s->dump();
            break;
        case SDLK_F2:
            // Caption (F2) and name (Shift+F2) editing open an input box;
            // it is not available in this build, so the key does nothing.
            break;
        case SDLK_F5:
            switchViewMode();
            break;
        case SDLK_RIGHT:
            mMap->moveSelectedShapesByStep(1, 0);
            break;
        case SDLK_LEFT:
            mMap->moveSelectedShapesByStep(-1, 0);
            break;
        case SDLK_DOWN:
            mMap->moveSelectedShapesByStep(0, 1);
            break;
        case SDLK_UP:
            mMap->moveSelectedShapesByStep(0, -1);
            break;
        default:
            break;
    }
}

void VelmarisPanel::switchViewMode() {
    mViewMode = mViewMode == VIEW_MODE_CONNECTION ? VIEW_MODE_SHAPE : VIEW_MODE_CONNECTION;
    clearSelectionPreview();
    if (mCursorInside && mTool == Tool::Select && !mLca) updateSelectionPreview(mCursorX, mCursorY);
    requestRedraw();
    if (mOnViewModeChanged) mOnViewModeChanged();
}

void VelmarisPanel::takeInput(GuiInputDialog* dialog) {
    if (!dialog || dialog != mEditDialog) return;
    mEditDialog = nullptr;
}

// ---------------------------------------------------------------------------
// Automation names

Shape* VelmarisPanel::shapeByName(const std::string& name) const {
    if (name.empty()) return nullptr;
    if (name[0] == '#') {
        long id = idOfName(name);
        return id >= 0 ? mMap->getShapeById(id) : nullptr;
    }
    for (MapLayer* layer : mMap->mMapLayer)
        for (Shape* s : layer->mShapes)
            if (s->mName == name) return s;
    return nullptr;
}

Connection* VelmarisPanel::connectionByName(const std::string& name) const {
    if (name.empty()) return nullptr;
    if (name[0] == '#') {
        long id = idOfName(name);
        return id >= 0 ? mMap->getConnectionById(id) : nullptr;
    }
    for (MapLayer* layer : mMap->mMapLayer)
        for (Connection* c : layer->mConnections)
            if (c->mName == name) return c;
    return nullptr;
}

bool VelmarisPanel::mapRectOf(const std::string& name, double& x, double& y, double& w,
                              double& h) const {
    w = 0;
    h = 0;
    if (!name.empty() && name[0] == '@') return parsePoint(name, x, y);

    size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        if (Shape* s = shapeByName(name)) {
            double x1, y1, x2, y2;
            if (!shapeBox(s, x1, y1, x2, y2)) return false;
            x = x1;
            y = y1;
            w = x2 - x1;
            h = y2 - y1;
            return true;
        }
        Connection* c = connectionByName(name);
        if (!c || !c->isValid() || c->mConnectionNodes.size() < 2 || !c->mConnectionNodes[0] ||
            !c->mConnectionNodes[1])
            return false;
        x = (c->mConnectionNodes[0]->mX + c->mConnectionNodes[1]->mX) / 2;
        y = (c->mConnectionNodes[0]->mY + c->mConnectionNodes[1]->mY) / 2;
        return true;
    }

    std::string object = name.substr(0, dot);
    std::string part = name.substr(dot + 1);
    long index = -1;
    if (part.compare(0, 4, "node") == 0) {
        Shape* s = shapeByName(object);
        if (!s || !parseIndex(part.c_str() + 4, index) || index >= (long)s->mShapeNodes.size())
            return false;
        x = s->mShapeNodes[index]->mX;
        y = s->mShapeNodes[index]->mY;
        return true;
    }
    if (part.compare(0, 4, "conn") == 0) {
        Shape* s = shapeByName(object);
        if (!s || !parseIndex(part.c_str() + 4, index) ||
            index >= (long)s->mConnectionNodes.size())
            return false;
        x = s->mConnectionNodes[index]->mX;
        y = s->mConnectionNodes[index]->mY;
        return true;
    }
    if (part.compare(0, 5, "arrow") == 0) {
        Connection* c = connectionByName(object);
        if (!c || !parseIndex(part.c_str() + 5, index) || index > 1) return false;
        if (index == 0) {
            if (c->mInvalidArrow1) return false;
            x = c->mArrow1X[0];
            y = c->mArrow1Y[0];
        } else {
            if (c->mInvalidArrow2) return false;
            x = c->mArrow2X[0];
            y = c->mArrow2Y[0];
        }
        return true;
    }
    return false;
}

bool VelmarisPanel::partRect(const std::string& part, SDL_Rect& out) const {
    double x, y, w, h;
    if (!mapRectOf(part, x, y, w, h)) return false;
    // A point far outside any window resolves to no rectangle rather than
    // to an overflowing one.
    const double limit = 1e9;
    double dx1 = (x + global_translate_x) * global_scale_x;
    double dy1 = (y + global_translate_y) * global_scale_y;
    double dx2 = (x + w + global_translate_x) * global_scale_x;
    double dy2 = (y + h + global_translate_y) * global_scale_y;
    if (!(std::fabs(dx1) < limit && std::fabs(dy1) < limit && std::fabs(dx2) < limit &&
          std::fabs(dy2) < limit))
        return false;
    long x1 = std::lround((x + global_translate_x) * global_scale_x);
    long y1 = std::lround((y + global_translate_y) * global_scale_y);
    long x2 = std::lround((x + w + global_translate_x) * global_scale_x);
    long y2 = std::lround((y + h + global_translate_y) * global_scale_y);
    out.x = mX + (int)x1;
    out.y = mY + (int)y1;
    out.w = (int)std::max(1L, x2 - x1);
    out.h = (int)std::max(1L, y2 - y1);
    return true;
}

bool VelmarisPanel::getValueTextOf(const std::string& key, std::string& out) const {
    if (key == "mode") {
        out = mViewMode == VIEW_MODE_SHAPE ? "shape" : "connection";
        return true;
    }
    double x, y, w, h;
    if (!mapRectOf(key, x, y, w, h)) return false;
    double cx = x + w / 2, cy = y + h / 2;
    if (!(std::fabs(cx) < 1e15 && std::fabs(cy) < 1e15)) return false;
    out = std::to_string(std::lround(cx)) + "," + std::to_string(std::lround(cy));
    return true;
}
