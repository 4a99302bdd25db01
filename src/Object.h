// Object: base of everything in a diagram that can be addressed: shapes and
// connections (with map-unique ids from the map's IdMgr) and the nodes of a
// shape (with their index in the shape's node list as id).
// Objects are owned by whoever created them: the map's layers own shapes and
// connections, each shape owns its nodes.
#pragma once

#include <string>

#include <cairo.h>

class Object {
public:
    // The object's number; -1 means not assigned.
    long mId;
    // Free name; never contains a line break or a blank (see setName).
    std::string mName;
    // Always -1; only printed by the node text dump.
    long mType;

    explicit Object(long id);

    // Hover preview drawn by the editor for the object under the cursor.
    // cursorX/cursorY are the hover position in whole world units, viewMode
    // is the editor's view mode. Draws nothing here; shapes, nodes and
    // connections override it.
    virtual void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode);

    long getId() const { return mId; }
    // Overwrites the id. An object that is in a map's id index must be
    // renumbered through Map::setObjectId so that the index follows.
    void setId(long id) { mId = id; }

    // Stores the name (null counts as "") with every line feed, carriage
    // return and blank replaced by '_'.
    void setName(const char* name);
    std::string getName() const { return mName; }

protected:
    // Objects are never deleted through an Object pointer: Shape and
    // Connection have their own virtual destructors, nodes are deleted
    // through their own class.
    ~Object() = default;
    Object(const Object&) = default;
    Object& operator=(const Object&) = default;
};
