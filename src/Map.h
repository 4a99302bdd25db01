// Map: the diagram document in memory. Owns its layers (which own the shapes
// and connections) and the id allocator; keeps the id index, the selection,
// the change counter and the modified flag. The program has one map at a
// time, GlobalMap, owned by the main window.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include <cairo.h>

#include "IdMgr.h"
#include "MapLayer.h"

class Object;
class Node;
class ShapeNode;
class ConnectionNode;
class Shape;
class ShapeRectangle;
class ShapeTriangle;
class ShapeImage;
class ShapeDiamond;
class ShapeCircle;
class ShapePolygon;
class ShapeConnector;
class Connection;

class Map {
public:
    // The diagram differs from the file it was loaded from or saved to.
    bool mModified;
    // Change counter: incremented by every operation that may change what is
    // drawn; the editor redraws when it differs from the one it drew last.
    uint64_t mRevision;
    // All shapes and connections by id (nodes are never indexed).
    std::unordered_map<long, Object*> mObjectsById;
    // Owned.
    IdMgr* mIdMgr;
    // Connection node the editor currently drags or highlights, or null.
    ConnectionNode* mSelectedConnectionNode;
    std::vector<ShapeNode*> mSelectedShapeNodes;
    // In selection order; the first entry is the selection master.
    std::vector<Shape*> mSelectedShapes;
    std::vector<Connection*> mSelectedConnections;
    // Path of the file last loaded or saved, "" for a new diagram.
    std::string mFilename;
    // Layer that new objects go to; always 0.
    int mCurrentMapLayer;
    // Free text stored with the diagram.
    std::string mMapInitScript;
    std::string mMapName;
    // Owned; there is always at least one.
    std::vector<MapLayer*> mMapLayer;
    // Visible world rectangle (min x, min y, max x, max y), written by the
    // editor panel; used for culling.
    double mViewBoundingBox[4];

    Map();
    // Deletes every shape and connection, the layers and the id manager.
    ~Map();

    void changed() { ++mRevision; }
    uint64_t revision() const { return mRevision; }
    bool isModified() const { return mModified; }
    void setModified(bool modified);

    // --- factories: new object in the current layer, fresh id, indexed,
    // bottom of the stack; marks the map modified ---
    ShapeRectangle* addRectangle(double x1, double y1, double x2, double y2);
    ShapeTriangle* addTriangle(double x1, double y1, double x2, double y2, double x3, double y3);
    ShapeImage* addImage(double x1, double y1, double x2, double y2);
    ShapeDiamond* addDiamond(double x1, double y1, double x2, double y2);
    ShapeCircle* addCircle(double x, double y, double radius);
    ShapePolygon* addPolygon(double x1, double y1, double x2, double y2);
    ShapeConnector* addConnectorLink(double x, double y);
    Connection* addConnection(Shape* from, int fromNode, Shape* to, int toNode);
    // Puts an already numbered shape on top of the current layer and indexes
    // it under its id. The caller assigns the id (mIdMgr->getFreeId()).
    void addShapeOnTop(Shape* shape);

    // --- deletion; callers take the object out of the selection first ---
    bool deleteShape(Shape* shape);
    bool deleteConnection(Connection* connection);
    // Deletes every connection with an end on `shape` (not the shape).
    bool deleteConnectionsOfShape(Shape* shape);

    // --- queries over all layers ---
    // Every connection once per end on `shape` (twice when both ends are).
    bool getConnectionsOfShape(Shape* shape, std::vector<Connection*>& out);
    // Re-routes every connection with an end on `shape` (once per end).
    bool recalcConnectionsOfShape(Shape* shape);
    // Re-routes every connection with an end on any of the shapes, each once.
    // The end state is that of recalcConnectionsOfShape for every shape, at
    // the cost of one walk over the connections.
    bool recalcConnectionsOfShapes(const std::vector<Shape*>& shapes);
    bool isAvailable(Connection* connection);
    Object* getObjectById(long id);
    Shape* getShapeById(long id);
    Connection* getConnectionById(long id);

    // --- hit tests in world coordinates; the first hit in stacking order ---
    Shape* hitTest(double x, double y);
    Shape* hitBorderTest(double x, double y);
    // The hit end node is stored through `node` when not null.
    Connection* hitConnectionNodeTest(double x, double y, ConnectionNode** node);
    Connection* hitConnectionTest(double x, double y);

    // --- selection ---
    void addSelection(ShapeNode* node);
    // Selecting a shape drops the connection selection, and the reverse.
    void addSelection(Shape* shape);
    void addSelection(Connection* connection);
    void removeSelection(ShapeNode* node);
    void removeSelection(Shape* shape);
    void removeSelection(Connection* connection);
    void clearNodeSelections();
    void clearShapeSelections();
    void clearConnectionSelections();
    void clearAllSelections();
    bool isSelected(Node* node);
    bool isSelected(Shape* shape);
    bool isSelected(Connection* connection);
    // Moves a selected shape to the front of the selection.
    bool changeSelectionMaster(Shape* shape);
    void selectShapesInsideRect(double x1, double y1, double x2, double y2);

    // --- moving the selection ---
    void setSelectedShapesDiffStartPosition(double x, double y);
    void setSelectedShapesDiffPosition(double x, double y);
    void moveSelectedShapesByStep(double stepsX, double stepsY);

    // --- id index ---
    // Keeps an existing entry under the same id.
    void indexObject(Object* object);
    // Removes the entry under the object's id only if it is this object.
    void unindexObject(Object* object);
    void setObjectId(Object* object, long id);

    // --- whole diagram ---
    // Deletes everything and leaves one empty layer; keeps the file name,
    // the script and the id counter.
    void clear();
    void newMap();
    // Marks connections whose two end nodes coincide as invalid.
    void validate();
    // Diagram file reader and writer (defined with the file format code).
    bool loadMap(const char* filename);
    bool saveMap(const char* filename);

    // --- drawing entry points (culled against mViewBoundingBox) ---
    void drawConnections(cairo_t* cr);
    void drawShapes(cairo_t* cr, int viewMode);

    // --- diagnostics ---
    void dump();
    void status();

    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;

private:
    MapLayer* currentLayer() { return mMapLayer[mCurrentMapLayer]; }
    // Deletes every connection, then every shape, then the layers.
    void deleteAllObjects();
    bool insideViewBox(double x, double y) const;
};
