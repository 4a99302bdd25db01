// VelmarisPanel: the editor widget that shows and edits the diagram. It draws
// the process-wide map with cairo into its own surface (GuiCairoPanel), owns
// the view transform (process-wide translation and scale), the shape tools,
// the mouse state machine with its drag actions and the key handling, and
// answers the automation queries that address diagram objects by name.
// Owned by the main window's root widget; the map is not owned.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <cairo.h>

#include "GuiCairoPanel.h"

class Map;
class Object;
class Node;
class Shape;
class Connection;
class ConnectionNode;
class ShapeNode;
class LCA_Interface;
class GuiInputDialog;

// Which handles the selected shapes offer.
enum ViewMode {
    VIEW_MODE_CONNECTION = 0,  // connection nodes; a press starts a new connection
    VIEW_MODE_SHAPE = 1,       // resize handles; a press resizes
    VIEW_MODE_LAST = 2,        // number of modes, never a state
};

// Kind of object found under the mouse.
enum object_type_enum {
    OBJECT_TYPE_SHAPE = 1,
    OBJECT_TYPE_SHAPE_NODE = 2,
    OBJECT_TYPE_CONNECTION_NODE = 3,
    OBJECT_TYPE_CONNECTION = 4,
};
typedef object_type_enum ObjectType;

// The view transform shared by the editor: panel pixel = (world + translate)
// * scale. The two scales are always changed together and stay equal.
extern double global_translate_x;
extern double global_translate_y;
extern double global_scale_x;
extern double global_scale_y;
// A pan with the middle mouse button is under way, and its last panel-pixel
// position.
extern bool GlobalMoveMap;
extern int GlobalMapX;
extern int GlobalMapY;
// The two sample rectangles of a fresh editor; null once a file was loaded.
extern Shape* s1;
extern Shape* s2;

class VelmarisPanel : public GuiCairoPanel {
public:
    enum class Tool {
        Select = 0,
        Rectangle = 1,
        Diamond = 2,
        Circle = 3,
        Triangle = 4,
        Polygon = 5,
        Image = 6,
    };

    // The diagram (GlobalMap at construction); not owned.
    Map* mMap;
    // Objects drawn with their hover preview; not owned.
    std::vector<Object*> mSelectionPreview;
    // World position (truncated) at which the preview was taken.
    int mSelectionPreviewX, mSelectionPreviewY;
    // A ViewMode.
    int mViewMode;
    bool mRedrawRequested;
    // Map revision of the last drawn frame.
    uint64_t mDrawnRevision;
    bool mCursorInside;
    // Last mouse position in world units.
    double mCursorX, mCursorY;
    // Offset from a grabbed node to the mouse.
    double mDragXDiff, mDragYDiff;
    // A connection drag action is running.
    bool mIsDragging;
    // Kind of object last grabbed: 1 shape, 2 shape node, 3 connection node.
    int mDraggingObject;
    // Rubber band corners in world units, and whether it is shown.
    double mEmptyDragStartX, mEmptyDragStartY, mEmptyDragEndX, mEmptyDragEndY;
    bool mIsEmptyDrag;
    // The running drag action; owned. Deleting it commits what it produced.
    LCA_Interface* mLca;
    // Called after every tool change and every view mode change (the main
    // window keeps its tool bar in step).
    std::function<void(Tool)> mOnToolChanged;
    std::function<void()> mOnViewModeChanged;
    // Open caption or name dialog (not owned), the object it edits and
    // whether it edits the name.
    GuiInputDialog* mEditDialog;
    Object* mEditObject;
    bool mEditName;
    Tool mTool;
    // Preview shape of the current shape tool and whether it is drawn.
    std::unique_ptr<Shape> mToolGhost;
    bool mToolGhostVisible;
    // The left button went down with a shape tool, and that press became a drag.
    bool mToolPressed;
    bool mToolDragging;
    // Press position in world units (on the grid) and in panel pixels.
    double mToolPressX, mToolPressY;
    int mToolPressPixelX, mToolPressPixelY;
    // Re-centre the diagram on every resize until the user acts.
    bool mCenterOnResize;

    // Adds the sample diagram of a fresh editor to the map (two rectangles,
    // one connection, the second rectangle selected).
    VelmarisPanel(GuiObject* parent, int id, int x, int y, int w, int h, SDL_Color background,
                  SDL_Renderer* renderer);
    // Deletes a running drag action (which commits against the still living
    // map) and releases the ghost; no map object is deleted.
    ~VelmarisPanel() override;

    // --- automation (names of diagram objects and their parts) ---
    // Window rectangle of a named part; false when the name does not resolve.
    bool partRect(const std::string& part, SDL_Rect& out) const override;
    // "mode", or the centre of a named part in world units as "x,y".
    bool getValueTextOf(const std::string& key, std::string& out) const override;
    // World rectangle of a named part: "@x,y", an object name or "#id", or
    // an object name with ".nodeN", ".connN" or ".arrowN".
    bool mapRectOf(const std::string& name, double& x, double& y, double& w, double& h) const;
    Shape* shapeByName(const std::string& name) const;
    Connection* connectionByName(const std::string& name) const;

    // --- widget operations ---
    void resize(SDL_Renderer* renderer, int w, int h) override;
    // The single entry point for the panel's events (raw SDL events only).
    void handleEvent(GuiEvent& event) override;
    void onMouseLeave() override;
    using GuiCairoPanel::render;

    // --- view ---
    void getRealTopLeftPosition(double& x, double& y) const;
    void getRealBottomRightPosition(double& x, double& y) const;
    // The mouse position from SDL's state, in world units.
    void getRealMousePosition(double& x, double& y) const;
    void getRealMiddlePosition(double& x, double& y) const;
    // Additive zoom step; each scale is kept at 0.1 or more.
    void scaleView(double dx, double dy);
    // Puts the world point at the panel centre and the mouse pointer there.
    void centerPosition(double x, double y);
    void centerMouse();
    // Puts the centre of the bounding box of all shapes at the panel centre.
    void centerOnShapes();
    // Bounding box of a shape's vertex nodes (a circle's bounding square);
    // false for a shape without vertex nodes.
    static bool shapeBox(const Shape* s, double& x1, double& y1, double& x2, double& y2);
    // Requests a redraw and gives the map the visible rectangle grown by 100.
    void resetBoundingBox();

    // --- redraw on demand ---
    void requestRedraw() { mRedrawRequested = true; }
    bool wantsRedraw() const;
    bool animationsRunning() const { return false; }
    // Draws one frame into the panel's surface.
    void render();

    // --- tools ---
    Tool getTool() const { return mTool; }
    void setTool(Tool t);
    // A default-size shape of the tool at the origin (100 x 50 rectangle,
    // 100 x 100 otherwise).
    Shape* createShape(Tool t) const;
    // A new shape of the tool for the box (x1, y1)-(x2, y2); not in the map.
    Shape* createShape(Tool t, double x1, double y1, double x2, double y2) const;
    // Centres the shape on (x, y) with its top-left corner on the grid.
    void moveShapeTo(Shape* s, double x, double y) const;
    // Box from the tool's press point to the grid point nearest (x, y), at
    // least one grid step wide and high (square for the circle tool).
    void toolDragRect(double x, double y, double& x1, double& y1, double& x2, double& y2) const;
    // Numbers the shape and puts it on top of the current layer.
    void addShape(Shape* s);

    // --- files ---
    // Replaces the diagram with the file's content and centres it; the result
    // of the loader.
    bool loadMapFile(const std::string& path);

    // --- mouse ---
    void mouseLeftDown(GuiEvent& event);
    void mouseLeftUp(GuiEvent& event);
    void mouseMoved(GuiEvent& event);
    void mouseWheel(GuiEvent& event);
    void mouseRightDown(GuiEvent& event);
    void mouseRightUp(GuiEvent& event);
    // The object at world point (x, y) by the editor's hit priority, and its
    // kind through `type` (which may be null); null when nothing is there.
    Object* getObjectUnderCursor(int x, int y, ObjectType* type);
    void selectShape(Shape* s, int x, int y);
    void selectConnection(Connection* c, int x, int y);
    void selectNode(Node* n, int x, int y);
    void updateSelectionPreview(double x, double y);
    void clearSelectionPreview();

    // --- operations the drag actions call ---
    void LCA_EmptyDrag(double& x, double& y);
    void LCA_SelectRectangle();
    void LCA_MoveShape(double& x, double& y);
    void LCA_MoveShapeNode(double& x, double& y);
    void LCA_MoveConnectionNode(double& x, double& y);
    void LCA_MoveConnectionArrow(double& x, double& y);

    // --- keyboard, view mode, editing ---
    void keyPressed(GuiEvent& event);
    void switchViewMode();
    // Takes the answer of the caption or name dialog; any dialog other than
    // the open edit dialog is ignored.
    void takeInput(GuiInputDialog* dialog);

    // --- arithmetic shared by the handlers (no window needed) ---
    // The nearest multiple of step (halves away from zero).
    static double snapToGrid(double v, double step);
    // Panel pixel to world unit as the mouse handlers do it: truncate after
    // the division by the scale and again after the translation.
    static int pixelToWorld(int p, double translate, double scale);
    // Grid cells crossed by a pan from panel pixel `from` to `to`.
    static int panCells(int from, int to, int step);

private:
    // The SDL window the panel lives in, or null before it was added.
    SDL_Window* sdlWindow() const;
    // Deletes the running drag action, which commits it.
    void endAction();
    // Grid spacing from the settings (10 by 10 without settings).
    static int rasterX();
    static int rasterY();
};
