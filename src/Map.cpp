#include "Map.h"

#include <algorithm>
#include <iostream>
#include <typeinfo>
#include <unordered_set>

#include "Arrow.h"
#include "Connection.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"
#include "corekitc.h"

namespace {

template <class T> void removeFirst(std::vector<T*>& list, const void* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

template <class T> bool contains(const std::vector<T*>& list, const void* item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Debug name of a shape's kind in the map dump.
const char* dumpTypeName(Shape* shape)
{
    if (!shape)
        return "Unknown Shape";
    const std::type_info& type = typeid(*shape);
    if (type == typeid(ShapeRectangle))
        return "Rectangle";
    if (type == typeid(ShapePolygon))
        return "Polygon";
    if (type == typeid(ShapeDiamond))
        return "Diamond";
    if (type == typeid(ShapeCircle))
        return "Circle";
    if (type == typeid(ShapeConnector))
        return "Link";
    if (type == typeid(ShapeImage))
        return "Image";
    return "Shape";
}

}  // namespace

Map::Map()
    : mModified(false),
      mRevision(0),
      mIdMgr(nullptr),
      mSelectedConnectionNode(nullptr),
      mFilename(""),
      mCurrentMapLayer(0),
      mMapInitScript(""),
      mMapName(""),
      mViewBoundingBox{0, 0, 0, 0}
{
    mIdMgr = new IdMgr(this);
    mMapLayer.push_back(new MapLayer(this));
    // The arrow tables must be filled before the first connection exists.
    InitArrows();
}

Map::~Map()
{
    CK_INFO("Destroying map");
    for (size_t i = 0; i < mMapLayer.size(); ++i)
        CK_INFO("Iterate through layers");
    // The map owns its diagram: shapes and connections go with it.
    deleteAllObjects();
    delete mIdMgr;
}

void Map::deleteAllObjects()
{
    // Connections first: they refer to the shapes' connection nodes.
    for (MapLayer* layer : mMapLayer) {
        for (Connection* connection : layer->mConnections)
            delete connection;
        layer->mConnections.clear();
    }
    for (MapLayer* layer : mMapLayer) {
        for (Shape* shape : layer->mShapes)
            delete shape;
        layer->mShapes.clear();
    }
    for (MapLayer* layer : mMapLayer)
        delete layer;
    mMapLayer.clear();
    mObjectsById.clear();
    mSelectedConnectionNode = nullptr;
    mSelectedShapeNodes.clear();
    mSelectedShapes.clear();
    mSelectedConnections.clear();
}

void Map::setModified(bool modified)
{
    changed();
    mModified = modified;
}

// ---------------------------------------------------------------------------
// Factories

ShapeRectangle* Map::addRectangle(double x1, double y1, double x2, double y2)
{
    changed();
    ShapeRectangle* shape = currentLayer()->addRectangle(x1, y1, x2, y2, 0);
    mModified = true;
    return shape;
}

ShapeTriangle* Map::addTriangle(double x1, double y1, double x2, double y2, double x3, double y3)
{
    changed();
    ShapeTriangle* shape = currentLayer()->addTriangle(x1, y1, x2, y2, x3, y3);
    mModified = true;
    return shape;
}

ShapeImage* Map::addImage(double x1, double y1, double x2, double y2)
{
    changed();
    ShapeImage* shape = currentLayer()->addImage(x1, y1, x2, y2);
    mModified = true;
    return shape;
}

ShapeDiamond* Map::addDiamond(double x1, double y1, double x2, double y2)
{
    changed();
    ShapeDiamond* shape = currentLayer()->addDiamond(x1, y1, x2, y2);
    mModified = true;
    return shape;
}

ShapeCircle* Map::addCircle(double x, double y, double radius)
{
    changed();
    ShapeCircle* shape = currentLayer()->addCircle(x, y, radius);
    mModified = true;
    return shape;
}

ShapePolygon* Map::addPolygon(double x1, double y1, double x2, double y2)
{
    changed();
    ShapePolygon* shape = currentLayer()->addPolygon(x1, y1, x2, y2);
    mModified = true;
    return shape;
}

ShapeConnector* Map::addConnectorLink(double x, double y)
{
    changed();
    ShapeConnector* shape = currentLayer()->addConnectorLink(x, y);
    mModified = true;
    return shape;
}

Connection* Map::addConnection(Shape* from, int fromNode, Shape* to, int toNode)
{
    // A connection needs two shapes and existing connection nodes on both.
    auto validNode = [](Shape* shape, int index) {
        return shape && index >= 0 && static_cast<size_t>(index) < shape->mConnectionNodes.size();
    };
    if (!validNode(from, fromNode) || !validNode(to, toNode)) {
        CK_ERROR("Refusing a connection to a missing shape or connection node (%d, %d)", fromNode, toNode);
        return nullptr;
    }
    changed();
    Connection* connection = currentLayer()->addConnection(from, fromNode, to, toNode);
    mModified = true;
    return connection;
}

void Map::addShapeOnTop(Shape* shape)
{
    changed();
    MapLayer* layer = currentLayer();
    layer->mShapes.insert(layer->mShapes.begin(), shape);
    indexObject(shape);
    mModified = true;
}

// ---------------------------------------------------------------------------
// Deletion

bool Map::deleteShape(Shape* shape)
{
    changed();
    mModified = true;
    if (mSelectedConnectionNode && mSelectedConnectionNode->mParentShape == shape)
        mSelectedConnectionNode = nullptr;
    MapLayer* layer = currentLayer();
    if (!contains(layer->mShapes, shape))
        return false;
    // Connections left on the shape would keep pointers to its nodes, and
    // selection entries would point to freed memory: remove both first.
    std::vector<Connection*> attached;
    getConnectionsOfShape(shape, attached);
    if (!attached.empty())
        deleteConnectionsOfShape(shape);
    removeFirst(mSelectedShapes, shape);
    mSelectedShapeNodes.erase(std::remove_if(mSelectedShapeNodes.begin(), mSelectedShapeNodes.end(),
                                             [shape](ShapeNode* n) { return n->mParentShape == shape; }),
                              mSelectedShapeNodes.end());
    return layer->deleteShape(shape);
}

bool Map::deleteConnection(Connection* connection)
{
    changed();
    mModified = true;
    MapLayer* layer = currentLayer();
    if (!contains(layer->mConnections, connection))
        return false;
    removeFirst(mSelectedConnections, connection);
    return layer->deleteConnection(connection);
}

bool Map::deleteConnectionsOfShape(Shape* shape)
{
    changed();
    for (MapLayer* layer : mMapLayer) {
        CK_INFO("Iterate through layers");
        auto& list = layer->mConnections;
        for (size_t i = 0; i < list.size();) {
            Connection* connection = list[i];
            CK_INFO("Iterate through connections (current connection id %ld)", connection->getId());
            bool dependent = false;
            CK_INFO("Iterate through connection-nodes");
            for (ConnectionNode* node : connection->mConnectionNodes) {
                if (!node) {
                    CK_ERROR("Connection %ld with at least one NULL-node was hit", connection->getId());
                    continue;
                }
                CK_INFO("Comparing with shapes");
                if (node->mParentShape == shape) {
                    CK_INFO("Found connection %ld/%ld which depends on a removed shape %ld",
                            connection->getId(), node->getId(), shape ? shape->getId() : -1L);
                    dependent = true;
                }
            }
            if (!dependent) {
                CK_INFO("Iterate through connection - Next");
                ++i;
                continue;
            }
            CK_INFO("Removing connection %ld", connection->getId());
            for (size_t k = 0; k < 2 && k < connection->mConnectionNodes.size(); ++k) {
                ConnectionNode* node = connection->mConnectionNodes[k];
                if (node && node->mParentShape)
                    node->mParentShape->mConnectionCount--;
            }
            unindexObject(connection);
            // A deleted connection must not stay selected.
            mSelectedConnections.erase(
                std::remove(mSelectedConnections.begin(), mSelectedConnections.end(), connection),
                mSelectedConnections.end());
            list.erase(list.begin() + static_cast<long>(i));
            delete connection;
        }
    }
    CK_INFO("FINISHED");
    mModified = true;
    return true;
}

// ---------------------------------------------------------------------------
// Queries

bool Map::getConnectionsOfShape(Shape* shape, std::vector<Connection*>& out)
{
    out.clear();
    for (MapLayer* layer : mMapLayer)
        for (Connection* connection : layer->mConnections)
            for (ConnectionNode* node : connection->mConnectionNodes) {
                if (!node) {
                    CK_ERROR("Connection %ld with at least one NULL-node was hit", connection->getId());
                    continue;
                }
                if (node->mParentShape == shape)
                    out.push_back(connection);
            }
    return true;
}

bool Map::recalcConnectionsOfShape(Shape* shape)
{
    changed();
    for (MapLayer* layer : mMapLayer)
        for (Connection* connection : layer->mConnections)
            for (size_t i = 0; i < connection->mConnectionNodes.size(); ++i) {
                ConnectionNode* node = connection->mConnectionNodes[i];
                if (!node) {
                    CK_ERROR("Connection %ld with at least one NULL-node was hit", connection->getId());
                    continue;
                }
                if (node->mParentShape == shape)
                    connection->recalcPositions();
            }
    return true;
}

bool Map::recalcConnectionsOfShapes(const std::vector<Shape*>& shapes)
{
    if (shapes.size() == 1)
        return recalcConnectionsOfShape(shapes.front());
    changed();
    if (shapes.empty())
        return true;
    // One walk over the connections for the whole set instead of one walk per
    // shape: moving a large selection stays linear in the size of the map.
    const std::unordered_set<const Shape*> moved(shapes.begin(), shapes.end());
    for (MapLayer* layer : mMapLayer)
        for (Connection* connection : layer->mConnections) {
            bool touches = false;
            for (ConnectionNode* node : connection->mConnectionNodes) {
                if (!node) {
                    CK_ERROR("Connection %ld with at least one NULL-node was hit", connection->getId());
                    continue;
                }
                if (moved.count(node->mParentShape))
                    touches = true;
            }
            if (touches)
                connection->recalcPositions();
        }
    return true;
}

bool Map::isAvailable(Connection* connection)
{
    for (MapLayer* layer : mMapLayer)
        if (contains(layer->mConnections, connection))
            return true;
    return false;
}

Object* Map::getObjectById(long id)
{
    auto it = mObjectsById.find(id);
    return it == mObjectsById.end() ? nullptr : it->second;
}

Shape* Map::getShapeById(long id) { return dynamic_cast<Shape*>(getObjectById(id)); }

Connection* Map::getConnectionById(long id) { return dynamic_cast<Connection*>(getObjectById(id)); }

// ---------------------------------------------------------------------------
// Hit tests

Shape* Map::hitTest(double x, double y)
{
    for (MapLayer* layer : mMapLayer)
        for (Shape* shape : layer->mShapes)
            if (shape->hitTest(x, y) != 0)
                return shape;
    return nullptr;
}

Shape* Map::hitBorderTest(double x, double y)
{
    for (MapLayer* layer : mMapLayer)
        for (Shape* shape : layer->mShapes)
            if (shape->hitBorderTest(x, y) != 0)
                return shape;
    return nullptr;
}

Connection* Map::hitConnectionNodeTest(double x, double y, ConnectionNode** node)
{
    for (MapLayer* layer : mMapLayer)
        for (Connection* connection : layer->mConnections) {
            ConnectionNode* hit = nullptr;
            if (connection->hitTest(x, y, &hit) != -1) {
                if (node)
                    *node = hit;
                return connection;
            }
        }
    return nullptr;
}

Connection* Map::hitConnectionTest(double x, double y)
{
    for (MapLayer* layer : mMapLayer)
        for (Connection* connection : layer->mConnections)
            if (connection->isBetween(x, y))
                return connection;
    return nullptr;
}

// ---------------------------------------------------------------------------
// Selection. A list never holds the same object twice: selecting a selected
// object again changes nothing, so one removal always deselects it and a
// moved selection moves every shape once.

void Map::addSelection(ShapeNode* node)
{
    changed();
    if (!contains(mSelectedShapeNodes, node))
        mSelectedShapeNodes.push_back(node);
}

void Map::addSelection(Shape* shape)
{
    changed();
    if (!contains(mSelectedShapes, shape))
        mSelectedShapes.push_back(shape);
    mSelectedConnections.clear();
}

void Map::addSelection(Connection* connection)
{
    changed();
    if (!contains(mSelectedConnections, connection))
        mSelectedConnections.push_back(connection);
    mSelectedShapes.clear();
}

void Map::removeSelection(ShapeNode* node)
{
    changed();
    removeFirst(mSelectedShapeNodes, node);
}

void Map::removeSelection(Shape* shape)
{
    changed();
    removeFirst(mSelectedShapes, shape);
}

void Map::removeSelection(Connection* connection)
{
    changed();
    removeFirst(mSelectedConnections, connection);
}

void Map::clearNodeSelections()
{
    changed();
    mSelectedShapeNodes.clear();
}

void Map::clearShapeSelections()
{
    changed();
    mSelectedShapes.clear();
}

void Map::clearConnectionSelections()
{
    changed();
    mSelectedConnections.clear();
}

void Map::clearAllSelections()
{
    changed();
    mSelectedConnectionNode = nullptr;
    mSelectedShapeNodes.clear();
    mSelectedShapes.clear();
    mSelectedConnections.clear();
}

bool Map::isSelected(Node* node) { return contains(mSelectedShapeNodes, node); }

bool Map::isSelected(Shape* shape) { return contains(mSelectedShapes, shape); }

bool Map::isSelected(Connection* connection) { return contains(mSelectedConnections, connection); }

bool Map::changeSelectionMaster(Shape* shape)
{
    changed();
    if (mSelectedShapes.empty())
        return false;
    if (mSelectedShapes.front() == shape)
        return true;
    auto it = std::find(mSelectedShapes.begin(), mSelectedShapes.end(), shape);
    if (it == mSelectedShapes.end())
        return false;
    mSelectedShapes.erase(it);
    mSelectedShapes.insert(mSelectedShapes.begin(), shape);
    return true;
}

void Map::selectShapesInsideRect(double x1, double y1, double x2, double y2)
{
    changed();
    for (MapLayer* layer : mMapLayer)
        for (Shape* shape : layer->mShapes)
            if (shape->isInside(x1, y1, x2, y2)) {
                CK_INFO("Found shapes for selection");
                addSelection(shape);
            }
}

// ---------------------------------------------------------------------------
// Moving the selection

void Map::setSelectedShapesDiffStartPosition(double x, double y)
{
    for (Shape* shape : mSelectedShapes)
        shape->setDiffStartPosition(x, y);
}

void Map::setSelectedShapesDiffPosition(double x, double y)
{
    changed();
    if (!mSelectedShapes.empty()) {
        double stepX = 0, stepY = 0;
        if (mSelectedShapes.front()->testDiffPosition(x, y, stepX, stepY)) {
            for (Shape* shape : mSelectedShapes) {
                shape->setStepPosition(stepX, stepY);
                shape->recalcBorderNodes();
            }
            recalcConnectionsOfShapes(mSelectedShapes);
        }
    }
    mModified = true;
}

void Map::moveSelectedShapesByStep(double stepsX, double stepsY)
{
    changed();
    for (Shape* shape : mSelectedShapes)
        shape->move(stepsX, stepsY);
    recalcConnectionsOfShapes(mSelectedShapes);
    mModified = true;
}

// ---------------------------------------------------------------------------
// Id index

void Map::indexObject(Object* object)
{
    if (object)
        mObjectsById.emplace(object->getId(), object);
}

void Map::unindexObject(Object* object)
{
    if (!object)
        return;
    auto it = mObjectsById.find(object->getId());
    if (it != mObjectsById.end() && it->second == object)
        mObjectsById.erase(it);
}

void Map::setObjectId(Object* object, long id)
{
    unindexObject(object);
    object->setId(id);
    indexObject(object);
}

// ---------------------------------------------------------------------------
// Whole diagram

void Map::clear()
{
    changed();
    deleteAllObjects();
    mMapLayer.push_back(new MapLayer(this));
    mCurrentMapLayer = 0;
    mModified = false;
}

void Map::newMap()
{
    changed();
    mFilename = "";
    mMapInitScript = "";
    mMapName = "";
    clear();
}

void Map::validate()
{
    for (MapLayer* layer : mMapLayer)
        for (Connection* connection : layer->mConnections) {
            const auto& nodes = connection->mConnectionNodes;
            if (nodes.size() < 2 || !nodes[0] || !nodes[1]) {
                connection->mValid = false;
                continue;
            }
            connection->mValid = !(nodes[0]->mX == nodes[1]->mX && nodes[0]->mY == nodes[1]->mY);
        }
}

// ---------------------------------------------------------------------------
// Drawing entry points

bool Map::insideViewBox(double x, double y) const
{
    return mViewBoundingBox[0] < x && x < mViewBoundingBox[2] && mViewBoundingBox[1] < y &&
           y < mViewBoundingBox[3];
}

namespace {

// World units added around an object's outline when it is tested against the
// view: covers drop shadows, the position print above the border outline,
// captions overflowing their box and connection captions above the line.
constexpr double CULL_MARGIN = 30.0;

// Whether the rectangle (x1,y1)-(x2,y2), grown by the margin, overlaps the
// view box. An empty view box (not yet set by the editor) shows nothing.
bool overlapsView(const double* view, double x1, double y1, double x2, double y2)
{
    if (!(view[2] > view[0]) || !(view[3] > view[1]))
        return false;
    return x1 - CULL_MARGIN < view[2] && x2 + CULL_MARGIN > view[0] && y1 - CULL_MARGIN < view[3] &&
           y2 + CULL_MARGIN > view[1];
}

// A shape is drawn when its border outline (which encloses the shape of every
// kind, 10 units out) overlaps the view, so a shape stays visible while any
// part of it is on the screen. Vertex node 0 is taken in as well, which keeps
// a shape right while its border outline has not yet followed a move.
bool shapeInView(const double* view, Shape* shape)
{
    if (shape->mShapeNodes.empty())
        return false;
    double x1 = shape->mShapeNodes[0]->mX, y1 = shape->mShapeNodes[0]->mY;
    double x2 = x1, y2 = y1;
    for (const ShapeNode* node : shape->mBorderNodes) {
        x1 = std::min(x1, node->mX);
        y1 = std::min(y1, node->mY);
        x2 = std::max(x2, node->mX);
        y2 = std::max(y2, node->mY);
    }
    return overlapsView(view, x1, y1, x2, y2);
}

// A connection is drawn when the rectangle spanned by its two end nodes
// overlaps the view, so a line crossing the screen with both ends off it
// is still drawn.
bool connectionInView(const double* view, Connection* connection)
{
    const auto& nodes = connection->mConnectionNodes;
    if (nodes.size() < 2 || !nodes[0] || !nodes[1])
        return false;
    return overlapsView(view, std::min(nodes[0]->mX, nodes[1]->mX), std::min(nodes[0]->mY, nodes[1]->mY),
                        std::max(nodes[0]->mX, nodes[1]->mX), std::max(nodes[0]->mY, nodes[1]->mY));
}

} // namespace

void Map::drawConnections(cairo_t* cr)
{
    for (MapLayer* layer : mMapLayer)
        for (Connection* connection : layer->mConnections)
            if (connectionInView(mViewBoundingBox, connection))
                connection->draw(cr);
    for (Connection* connection : mSelectedConnections)
        if (connectionInView(mViewBoundingBox, connection))
            connection->drawSelection(cr);
}

void Map::drawShapes(cairo_t* cr, int viewMode)
{
    for (MapLayer* layer : mMapLayer)
        for (auto it = layer->mShapes.rbegin(); it != layer->mShapes.rend(); ++it)
            if (shapeInView(mViewBoundingBox, *it))
                (*it)->draw(cr);
    for (Shape* shape : mSelectedShapes)
        if (shapeInView(mViewBoundingBox, shape))
            shape->drawSelection(cr, viewMode);
}

// ---------------------------------------------------------------------------
// Diagnostics

void Map::dump()
{
    std::ostream& out = std::cout;
    for (MapLayer* layer : mMapLayer) {
        for (Shape* shape : layer->mShapes) {
            out << "Shape-Id: " << shape->getId() << "\n";
            out << "Type: " << dumpTypeName(shape) << "\n";
            out << "\"" << shape->getCaption() << "\"\n";
            out.flush();
            shape->dump();
        }
        for (Connection* connection : layer->mConnections) {
            out << "Connection-Id: " << connection->getId() << "\n";
            out << "\"" << connection->getCaption() << "\"\n";
            out.flush();
            connection->dump();
        }
    }
    out.flush();
}

void Map::status()
{
    for (MapLayer* layer : mMapLayer) {
        CK_INFO("Iterate through layers");
        for (Connection* connection : layer->mConnections) {
            CK_INFO("Iterate through connections (current connection id %ld)", connection->getId());
            CK_INFO("Iterate through connection-nodes");
            for (ConnectionNode* node : connection->mConnectionNodes) {
                if (!node) {
                    CK_ERROR("Connection %ld with at least one NULL-node was hit", connection->getId());
                    continue;
                }
                CK_INFO("Comparing with shapes");
            }
            CK_INFO("Iterate through connections - Next");
        }
    }
    CK_INFO("FINISHED");
}
