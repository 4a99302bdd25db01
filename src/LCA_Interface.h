// LCA_Interface: base of the editor's drag actions. The panel starts one
// action on a left-button press, hands it every mouse motion (call), lets it
// draw while it runs, and deletes it on the release; each action's destructor
// commits what the drag produced. Owned by the panel (VelmarisPanel::mLca),
// at most one at a time.
#pragma once

#include <cairo.h>

class VelmarisPanel;
class Connection;
class ConnectionNode;
class ShapeNode;

class LCA_Interface {
public:
    // The panel the action works on; null for a default-constructed action.
    VelmarisPanel* mVelmarisPanel;

    LCA_Interface();
    explicit LCA_Interface(VelmarisPanel* panel);
    virtual ~LCA_Interface();
    // A mouse motion to world position (x, y).
    virtual void call(double& x, double& y);
    // Extra drawing while the action runs, in world units.
    virtual void draw(cairo_t* cr);

    LCA_Interface(const LCA_Interface&) = delete;
    LCA_Interface& operator=(const LCA_Interface&) = delete;
};

// Rubber band on empty canvas; the release selects the shapes inside it.
class LCA_Empty_Drag : public LCA_Interface {
public:
    explicit LCA_Empty_Drag(VelmarisPanel* panel);
    ~LCA_Empty_Drag() override;
    void call(double& x, double& y) override;
};

// Moves the selected shapes on the grid; they show their position meanwhile.
class LCA_Move_Shape : public LCA_Interface {
public:
    explicit LCA_Move_Shape(VelmarisPanel* panel);
    ~LCA_Move_Shape() override;
    void call(double& x, double& y) override;
};

// Drags a resize handle on the grid.
class LCA_Move_Shape_Node : public LCA_Interface {
public:
    ShapeNode* mDestShapeNode;

    LCA_Move_Shape_Node(VelmarisPanel* panel, ShapeNode* node);
    ~LCA_Move_Shape_Node() override;
    void call(double& x, double& y) override;
};

// Draws a new connection out of a connection node; the release on a
// connection node of another shape adds it to the map.
class LCA_Move_Connection_Node : public LCA_Interface {
public:
    ConnectionNode* mSourceConnectionNode;
    double last_x, last_y;

    LCA_Move_Connection_Node(VelmarisPanel* panel, ConnectionNode* source);
    ~LCA_Move_Connection_Node() override;
    void call(double& x, double& y) override;
    void draw(cairo_t* cr) override;
};

// Moves one end of a connection; the release on a connection node re-attaches
// that end there.
class LCA_Move_Connection_Arrow : public LCA_Interface {
public:
    Connection* mConnection;
    // The other, fixed end.
    ConnectionNode* mBaseNode;
    // Index of the end being moved (0 or 1).
    int mNewConnectionNode;
    double last_x, last_y;

    LCA_Move_Connection_Arrow(VelmarisPanel* panel, Connection* connection, int end, double x,
                              double y);
    ~LCA_Move_Connection_Arrow() override;
    void call(double& x, double& y) override;
    void draw(cairo_t* cr) override;
};

// The temporary arrow of a connection drag: a black line from (fromX, fromY)
// to the tip with a filled head, drawn only when the two points are more than
// 10 units apart.
void LCA_DrawDragArrow(cairo_t* cr, double fromX, double fromY, double tipX, double tipY);
