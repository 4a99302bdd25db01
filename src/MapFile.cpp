// The diagram file: Map::loadMap and Map::saveMap on Mini-XML.
//
// A file is one Map element holding the shapes (with their vertex and
// connection nodes), then the connections (by shape id and connection node
// index), then the map's script text. Numbers are text; reals are written in
// the short six-digit form whenever that form reads back to the same value.
#include "Map.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <typeinfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <mxml.h>
#include <utf8.h>

#include "Connection.h"
#include "ConnectionNode.h"
#include "Shape.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"
#include "corekit.h"

// Whitespace written around the elements of a diagram file: tabs indent the
// shape and connection structure, everything else sits on its own lines.
// `where` is Mini-XML's position code (before open, after open, before
// close, after close).
const char* whitespace_cb(mxml_node_t* node, int where);

namespace {

const char* const kTrimChars = " \r\n\t";

// Coordinates and radii beyond this magnitude are refused when loading: the
// line walks of the connection routing step one unit at a time and keep
// their error term in 32 bits, so a diagram of absurd size would hang them.
const double kCoordinateLimit = 1.0e7;

// --- numbers ----------------------------------------------------------------

// A real as stored in the file. The six-digit form is kept whenever it reads
// back to the same value, so ordinary diagrams look as they always did; a
// whole number that the short form would put into exponent notation is
// written with all its digits (readers that take only the leading digits
// still get it right); anything else gets the shortest text that reads back
// exactly.
std::string realText(double value)
{
    const std::string shortForm = corekit::ToString(value, 0);
    const bool exact = corekit::ToDouble(shortForm) == value;
    if (exact && shortForm.find('e') == std::string::npos) {
        return shortForm;
    }
    if (std::isfinite(value) && std::trunc(value) == value && std::abs(value) < 1.0e15) {
        return corekit::ToString(static_cast<long>(value));
    }
    if (exact) {
        return shortForm;
    }
    char buffer[64];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc()) {
        return shortForm;
    }
    return std::string(buffer, result.ptr);
}

std::string intText(long value)
{
    return corekit::ToString(value);
}

// --- reading helpers --------------------------------------------------------

bool isElement(mxml_node_t* node, const char* name)
{
    if (node == nullptr || mxmlGetType(node) != MXML_ELEMENT) {
        return false;
    }
    const char* element = mxmlGetElement(node);
    return element != nullptr && std::strcmp(element, name) == 0;
}

// The first direct child element with this name, or null.
mxml_node_t* childElement(mxml_node_t* parent, const char* name)
{
    for (mxml_node_t* child = mxmlGetFirstChild(parent); child != nullptr;
         child = mxmlGetNextSibling(child)) {
        if (isElement(child, name)) {
            return child;
        }
    }
    return nullptr;
}

// The next sibling element with this name after `node`, or null.
mxml_node_t* nextElement(mxml_node_t* node, const char* name)
{
    for (mxml_node_t* sibling = mxmlGetNextSibling(node); sibling != nullptr;
         sibling = mxmlGetNextSibling(sibling)) {
        if (isElement(sibling, name)) {
            return sibling;
        }
    }
    return nullptr;
}

// Direct child elements named "Node" of `parent` (which may be null).
std::vector<mxml_node_t*> nodeElements(mxml_node_t* parent)
{
    std::vector<mxml_node_t*> nodes;
    if (parent == nullptr) {
        return nodes;
    }
    for (mxml_node_t* node = childElement(parent, "Node"); node != nullptr;
         node = nextElement(node, "Node")) {
        nodes.push_back(node);
    }
    return nodes;
}

// The character data of an element: the text before its first child
// element (comments are passed over). False when there is none.
bool characterData(mxml_node_t* element, std::string& text)
{
    for (mxml_node_t* child = mxmlGetFirstChild(element); child != nullptr;
         child = mxmlGetNextSibling(child)) {
        const mxml_type_t type = mxmlGetType(child);
        if (type == MXML_OPAQUE) {
            const char* opaque = mxmlGetOpaque(child);
            text = opaque != nullptr ? opaque : "";
            return true;
        }
        if (type == MXML_ELEMENT) {
            const char* name = mxmlGetElement(child);
            if (name != nullptr && std::strncmp(name, "!--", 3) == 0) {
                continue;
            }
            return false;
        }
    }
    return false;
}

const char* attribute(mxml_node_t* element, const char* name)
{
    return mxmlElementGetAttr(element, name);
}

// Reads an optional real attribute into `target`.
void readReal(mxml_node_t* element, const char* name, double& target)
{
    if (const char* value = attribute(element, name)) {
        target = corekit::ToDouble(value);
    }
}

bool withinLimit(double value)
{
    return std::abs(value) <= kCoordinateLimit;
}

// --- shape kinds ------------------------------------------------------------

struct ShapeKind {
    const char* type;
    size_t vertexNodes;
    size_t connectionNodes;
};

const ShapeKind kShapeKinds[] = {
    {"Rectangle", 4, 4}, {"Triangle", 3, 3}, {"Polygon", 4, 4}, {"Image", 4, 4},
    {"Diamond", 4, 4},   {"Circle", 1, 1},   {"Link", 4, 1},
};

const ShapeKind* findKind(const char* type)
{
    for (const ShapeKind& kind : kShapeKinds) {
        if (std::strcmp(kind.type, type) == 0) {
            return &kind;
        }
    }
    return nullptr;
}

// The file type name of a shape's class.
const char* typeName(Shape* shape)
{
    if (dynamic_cast<ShapeRectangle*>(shape) != nullptr) return "Rectangle";
    if (dynamic_cast<ShapeTriangle*>(shape) != nullptr) return "Triangle";
    if (dynamic_cast<ShapePolygon*>(shape) != nullptr) return "Polygon";
    if (dynamic_cast<ShapeImage*>(shape) != nullptr) return "Image";
    if (dynamic_cast<ShapeDiamond*>(shape) != nullptr) return "Diamond";
    if (dynamic_cast<ShapeCircle*>(shape) != nullptr) return "Circle";
    if (dynamic_cast<ShapeConnector*>(shape) != nullptr) return "Link";
    if (typeid(*shape) == typeid(Shape)) return "Shape";
    return "Unknown";
}

// Checks what the loader needs of a Shape element of a known kind before
// anything is created: the radius of a circle, and node entries that name
// existing nodes and edges with sane coordinates. Returns "" when the element
// is usable, else what is wrong with it.
std::string checkShapeElement(mxml_node_t* element, const ShapeKind& kind)
{
    if (std::strcmp(kind.type, "Circle") == 0) {
        const char* radius = attribute(element, "Radius");
        if (radius == nullptr) {
            return "circle without Radius";
        }
        if (!withinLimit(corekit::ToDouble(radius))) {
            return "radius out of range";
        }
    }
    for (mxml_node_t* node : nodeElements(childElement(element, "Nodes"))) {
        const char* id = attribute(node, "Id");
        const char* x = attribute(node, "X");
        const char* y = attribute(node, "Y");
        if (id == nullptr || x == nullptr || y == nullptr) {
            return "vertex node without Id, X or Y";
        }
        const long index = corekit::ToLong(id);
        if (index < 0 || static_cast<unsigned long>(index) >= kind.vertexNodes) {
            return "vertex node index " + std::string(id) + " out of range";
        }
        if (!withinLimit(corekit::ToDouble(x)) || !withinLimit(corekit::ToDouble(y))) {
            return "vertex node coordinates out of range";
        }
    }
    for (mxml_node_t* node : nodeElements(childElement(element, "ConnectionNodes"))) {
        const char* id = attribute(node, "Id");
        const char* edge = attribute(node, "Edge");
        const char* percent = attribute(node, "Percent");
        if (id == nullptr || edge == nullptr || percent == nullptr) {
            return "connection node without Id, Edge or Percent";
        }
        const long index = corekit::ToLong(id);
        if (index < 0 || static_cast<unsigned long>(index) >= kind.connectionNodes) {
            return "connection node index " + std::string(id) + " out of range";
        }
        const long edgeIndex = corekit::ToLong(edge);
        if (edgeIndex < 0 || static_cast<unsigned long>(edgeIndex) >= kind.vertexNodes) {
            return "connection node edge " + std::string(edge) + " out of range";
        }
    }
    return "";
}

// --- well-formedness ----------------------------------------------------------

// Messages of the parser's error callback during one parse on this thread.
thread_local std::string* tParseErrors = nullptr;

void parseErrorCallback(const char* message)
{
    if (tParseErrors == nullptr) {
        return;
    }
    if (!tParseErrors->empty()) {
        tParseErrors->append("; ");
    }
    tParseErrors->append(message != nullptr ? message : "?");
}

bool endsWith(const std::string& text, size_t end, const std::string& suffix)
{
    return end >= suffix.size() && text.compare(end - suffix.size(), suffix.size(), suffix) == 0;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The root element of a parsed document: the tree itself, or, when the
// document starts with the XML declaration (which Mini-XML makes the parent
// of everything that follows), its first child element that is neither a
// comment nor a processing instruction.
mxml_node_t* rootElement(mxml_node_t* tree)
{
    const char* name = mxmlGetElement(tree);
    if (name == nullptr) {
        return nullptr;
    }
    if (name[0] != '?' && name[0] != '!') {
        return tree;
    }
    for (mxml_node_t* child = mxmlGetFirstChild(tree); child != nullptr;
         child = mxmlGetNextSibling(child)) {
        if (mxmlGetType(child) != MXML_ELEMENT) {
            continue;
        }
        const char* childName = mxmlGetElement(child);
        if (childName != nullptr && childName[0] != '?' && childName[0] != '!') {
            return child;
        }
    }
    return nullptr;
}

// Mini-XML takes some broken documents without complaint: it drops invalid
// UTF-8 text and text after the root element, stops at a zero byte and
// accepts a root element that is never closed. These checks refuse such a
// document. Returns "" for a sound document, else the reason.
std::string checkDocument(const std::string& text, mxml_node_t* tree)
{
    if (text.find('\0') != std::string::npos) {
        return "zero byte in the file";
    }
    if (!utf8::is_valid(text.begin(), text.end())) {
        return "invalid UTF-8";
    }
    if (tree == nullptr) {
        return "no XML document";
    }
    mxml_node_t* root = rootElement(tree);
    if (root == nullptr) {
        return "no root element";
    }

    // The document must end with the root element's end (trailing comments
    // and whitespace aside).
    size_t end = text.size();
    for (;;) {
        while (end > 0 && isBlank(text[end - 1])) {
            --end;
        }
        if (!endsWith(text, end, "-->")) {
            break;
        }
        const size_t open = text.rfind("<!--", end - 3);
        if (open == std::string::npos) {
            break;
        }
        end = open;
    }
    const std::string name = mxmlGetElement(root);
    if (mxmlGetFirstChild(root) == nullptr && endsWith(text, end, "/>")) {
        return "";
    }
    if (end == 0 || text[end - 1] != '>') {
        return "text after the root element or root element not closed";
    }
    size_t pos = end - 1;
    while (pos > 0 && isBlank(text[pos - 1])) {
        --pos;
    }
    if (!endsWith(text, pos, "</" + name)) {
        return "root element <" + name + "> not closed";
    }
    return "";
}

bool readWholeFile(FILE* file, std::string& content)
{
    char buffer[65536];
    for (;;) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, file);
        content.append(buffer, got);
        if (got < sizeof buffer) {
            return std::ferror(file) == 0;
        }
    }
}

// --- safe saving ------------------------------------------------------------

std::string directoryOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return path.substr(0, slash);
}

std::string baseNameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A symbolic link is saved through: the file it names is replaced, the link stays.
std::string resolveTarget(const char* filename)
{
    struct stat linkInfo;
    if (lstat(filename, &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode)) {
        if (char* resolved = realpath(filename, nullptr)) {
            std::string target = resolved;
            std::free(resolved);
            return target;
        }
    }
    return filename;
}

// Permissions for the new file: those of the file it replaces, or the usual
// ones for a new file under the process's umask.
mode_t newFileMode(const std::string& target)
{
    struct stat info;
    if (stat(target.c_str(), &info) == 0) {
        return info.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

void syncDirectory(const std::string& directory)
{
    const int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) {
        return;
    }
    if (fsync(fd) != 0) {
        CK_WARN("Could not sync directory %s: %s", directory.c_str(), std::strerror(errno));
    }
    close(fd);
}

// Writes the tree to a temporary file beside the target, syncs it and
// renames it over the target. On any failure the temporary file is removed
// and the target is left as it was.
bool writeAtomically(mxml_node_t* tree, const char* filename)
{
    const std::string target = resolveTarget(filename);
    const std::string directory = directoryOf(target);
    std::string temporary = directory + "/." + baseNameOf(target) + ".XXXXXX";

    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        CK_ERROR("Cannot create a temporary file beside %s: %s", target.c_str(), std::strerror(errno));
        return false;
    }
    if (fchmod(fd, newFileMode(target)) != 0) {
        CK_WARN("Cannot set the permissions of %s: %s", temporary.c_str(), std::strerror(errno));
    }
    FILE* file = fdopen(fd, "w");
    if (file == nullptr) {
        CK_ERROR("Cannot write %s: %s", temporary.c_str(), std::strerror(errno));
        close(fd);
        unlink(temporary.c_str());
        return false;
    }

    bool ok = mxmlSaveFile(tree, file, whitespace_cb) == 0;
    ok = std::fflush(file) == 0 && ok;
    ok = std::ferror(file) == 0 && ok;
    ok = fsync(fileno(file)) == 0 && ok;
    const int savedErrno = errno;
    ok = std::fclose(file) == 0 && ok;
    if (!ok) {
        CK_ERROR("Writing %s failed: %s", temporary.c_str(), std::strerror(savedErrno));
        unlink(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        CK_ERROR("Cannot replace %s: %s", target.c_str(), std::strerror(errno));
        unlink(temporary.c_str());
        return false;
    }
    syncDirectory(directory);
    return true;
}

// Owns a Mini-XML tree.
struct TreeHolder {
    mxml_node_t* tree;
    explicit TreeHolder(mxml_node_t* node) : tree(node) {}
    ~TreeHolder()
    {
        if (tree != nullptr) {
            mxmlDelete(tree);
        }
    }
    TreeHolder(const TreeHolder&) = delete;
    TreeHolder& operator=(const TreeHolder&) = delete;
};

}  // namespace

const char* whitespace_cb(mxml_node_t* node, int where)
{
    const char* name = mxmlGetElement(node);
    if (name == nullptr || where < MXML_WS_BEFORE_OPEN || where > MXML_WS_AFTER_CLOSE) {
        return nullptr;
    }
    if (std::strncmp(name, "?xml", 4) == 0) {
        return nullptr;
    }
    static const char* const shapeSpace[] = {"\t", "\n", "\n\t", "\n"};
    static const char* const listSpace[] = {"\t\t", "\n", "\n\t\t", "\n"};
    static const char* const nodeSpace[] = {"\t\t\t", "\n", "\n\t\t\t", "\n"};
    if (std::strcmp(name, "Shape") == 0 || std::strcmp(name, "Connection") == 0) {
        return shapeSpace[where];
    }
    if (std::strcmp(name, "Nodes") == 0 || std::strcmp(name, "ConnectionNodes") == 0) {
        return listSpace[where];
    }
    if (std::strcmp(name, "Node") == 0) {
        return nodeSpace[where];
    }
    return "\n";
}

bool Map::loadMap(const char* filename)
{
    changed();
    bool idProblem = false;

    if (filename == nullptr) {
        return false;
    }
    FILE* file = std::fopen(filename, "r");
    if (file == nullptr) {
        return false;
    }
    std::string content;
    const bool readOk = readWholeFile(file, content);
    std::fclose(file);
    if (!readOk) {
        CK_ERROR("Cannot read %s", filename);
        return false;
    }

    mIdMgr->reset();

    std::string parseErrors;
    tParseErrors = &parseErrors;
    mxmlSetErrorCallback(parseErrorCallback);
    TreeHolder holder(mxmlLoadString(nullptr, content.c_str(), MXML_OPAQUE_CALLBACK));
    mxmlSetErrorCallback(nullptr);
    tParseErrors = nullptr;

    std::string problem = parseErrors.empty() ? checkDocument(content, holder.tree) : parseErrors;
    if (!problem.empty()) {
        CK_ERROR("%s is not well-formed: %s", filename, problem.c_str());
        std::printf("ERROR\n");
        std::fflush(stdout);
        return false;
    }

    mxml_node_t* mapElement = mxmlFindElement(holder.tree, holder.tree, "Map", nullptr, nullptr, MXML_DESCEND);
    if (mapElement != nullptr) {
        // Shapes, in file order: the first one is the topmost.
        for (mxml_node_t* element = childElement(mapElement, "Shape"); element != nullptr;
             element = nextElement(element, "Shape")) {
            const char* idText = attribute(element, "Id");
            if (idText == nullptr || corekit::ToLong(idText) <= 0) {
                std::printf("UNGÜLTIGE ID. ABBRUCH!\n");
                std::fflush(stdout);
                idProblem = true;
                continue;
            }
            const long id = corekit::ToLong(idText);
            if (mIdMgr->isExistingId(id)) {
                std::printf("ID EXISTIERT. ABBRUCH!\n");
                std::fflush(stdout);
                idProblem = true;
                continue;
            }
            const char* type = attribute(element, "Type");
            if (type == nullptr) {
                CK_ERROR("Shape %ld has no Type and is left out", id);
                idProblem = true;
                continue;
            }
            const ShapeKind* kind = findKind(type);
            if (kind == nullptr) {
                std::printf("DEBUG: UNKNOWN CLASS !!!\n");
                std::fflush(stdout);
                continue;
            }
            const std::string fault = checkShapeElement(element, *kind);
            if (!fault.empty()) {
                CK_ERROR("Shape %ld is left out: %s", id, fault.c_str());
                idProblem = true;
                continue;
            }

            Shape* shape = nullptr;
            if (std::strcmp(type, "Rectangle") == 0) {
                ShapeRectangle* rectangle = addRectangle(40, 40, 120, 80);
                if (const char* curve = attribute(element, "Curve")) {
                    rectangle->setCurve(corekit::ToDouble(curve));
                }
                shape = rectangle;
            } else if (std::strcmp(type, "Triangle") == 0) {
                shape = addTriangle(40, 40, 120, 80, 80, 120);
            } else if (std::strcmp(type, "Polygon") == 0) {
                shape = addPolygon(40, 40, 120, 80);
            } else if (std::strcmp(type, "Diamond") == 0) {
                shape = addDiamond(40, 40, 120, 80);
            } else if (std::strcmp(type, "Circle") == 0) {
                ShapeCircle* circle = addCircle(40, 40, 10);
                circle->mRadius = corekit::ToDouble(attribute(element, "Radius"));
                shape = circle;
            } else if (std::strcmp(type, "Link") == 0) {
                shape = addConnectorLink(40, 40);
            } else {
                shape = addImage(40, 40, 120, 80);
            }

            setObjectId(shape, id);
            shape->setName(attribute(element, "Name"));

            std::string text;
            if (characterData(element, text)) {
                shape->setCaption(corekit::Trim(text, kTrimChars));
            }
            if (const char* tooltip = attribute(element, "Tooltip")) {
                shape->setTooltip(corekit::Trim(tooltip, kTrimChars).c_str());
            }
            if (const char* script = attribute(element, "ValidationScript")) {
                shape->setValidationScript(corekit::Trim(script, kTrimChars).c_str());
            }
            if (const char* show = attribute(element, "ShowPosition")) {
                shape->setShowPosition(corekit::ToLong(show) != 0);
            }
            readReal(element, "FlowValue", shape->mFlowValue);
            if (const char* flowType = attribute(element, "FlowType")) {
                shape->mFlowType = corekit::ToInt(flowType);
            }
            readReal(element, "FontRed", shape->mFontRed);
            readReal(element, "FontGreen", shape->mFontGreen);
            readReal(element, "FontBlue", shape->mFontBlue);
            readReal(element, "FillRed", shape->mFillRed);
            readReal(element, "FillGreen", shape->mFillGreen);
            readReal(element, "FillBlue", shape->mFillBlue);

            // The default geometry is replaced node by node; the indices were
            // checked against the kind above.
            for (mxml_node_t* node : nodeElements(childElement(element, "Nodes"))) {
                ShapeNode* vertex = shape->mShapeNodes.at(corekit::ToLong(attribute(node, "Id")));
                vertex->mX = corekit::ToDouble(attribute(node, "X"));
                vertex->mY = corekit::ToDouble(attribute(node, "Y"));
            }
            for (mxml_node_t* node : nodeElements(childElement(element, "ConnectionNodes"))) {
                ConnectionNode* point =
                    shape->mConnectionNodes.at(corekit::ToLong(attribute(node, "Id")));
                if (const char* name = attribute(node, "Name")) {
                    point->mName = name;
                }
                point->mEdge = static_cast<int>(corekit::ToLong(attribute(node, "Edge")));
                point->mPercent = corekit::ToDouble(attribute(node, "Percent"));
            }
            shape->recalcConnectionNodes();
        }

        // Connections refer to shapes by id and to their connection nodes by index.
        for (mxml_node_t* element = childElement(mapElement, "Connection"); element != nullptr;
             element = nextElement(element, "Connection")) {
            const char* idText = attribute(element, "Id");
            std::string caption;
            if (idText == nullptr || !characterData(element, caption)) {
                CK_ERROR("Connection %s without Id or character data is left out",
                         idText != nullptr ? idText : "?");
                idProblem = true;
                continue;
            }
            const std::vector<mxml_node_t*> ends = nodeElements(childElement(element, "ConnectionNodes"));
            if (ends.size() < 2) {
                continue;
            }
            const char* startShapeId = attribute(ends[0], "ShapeId");
            const char* startIndexText = attribute(ends[0], "Id");
            const char* endShapeId = attribute(ends[1], "ShapeId");
            const char* endIndexText = attribute(ends[1], "Id");
            if (startShapeId == nullptr || startIndexText == nullptr || endShapeId == nullptr ||
                endIndexText == nullptr) {
                CK_ERROR("Connection %s has an end without ShapeId or Id and is left out", idText);
                idProblem = true;
                continue;
            }
            Shape* start = getShapeById(corekit::ToLong(startShapeId));
            Shape* end = getShapeById(corekit::ToLong(endShapeId));
            if (start == nullptr || end == nullptr) {
                continue;
            }
            const long startIndex = corekit::ToLong(startIndexText);
            const long endIndex = corekit::ToLong(endIndexText);
            if (startIndex < 0 || static_cast<size_t>(startIndex) >= start->mConnectionNodes.size() ||
                endIndex < 0 || static_cast<size_t>(endIndex) >= end->mConnectionNodes.size()) {
                CK_ERROR("Connection %s names a connection node that does not exist and is left out",
                         idText);
                idProblem = true;
                continue;
            }

            Connection* connection =
                addConnection(start, static_cast<int>(startIndex), end, static_cast<int>(endIndex));
            if (connection == nullptr) {
                idProblem = true;
                continue;
            }
            connection->setCaption(corekit::Trim(caption, kTrimChars).c_str());
            // The file id is kept unless another object already has it; then
            // the connection keeps its fresh id, so that it stays in the index
            // and ids stay unique (nothing in the file refers to connection ids).
            const long id = corekit::ToLong(idText);
            Object* holderOfId = getObjectById(id);
            if (id > 0 && (holderOfId == nullptr || holderOfId == connection)) {
                setObjectId(connection, id);
            } else {
                CK_INFO("Connection id %s is taken or invalid; the connection gets id %ld", idText,
                        connection->getId());
            }
            connection->setName(attribute(element, "Name"));
            readReal(element, "BorderRed", connection->mBorderRed);
            readReal(element, "BorderGreen", connection->mBorderGreen);
            readReal(element, "BorderBlue", connection->mBorderBlue);
        }

        if (mxml_node_t* script = childElement(mapElement, "MapInitScript")) {
            CK_INFO("Found script!");
            std::string text;
            if (characterData(script, text)) {
                mMapInitScript = corekit::Trim(text, kTrimChars);
            } else {
                CK_ERROR("MapInitScript without character data is ignored");
                idProblem = true;
            }
        }
    }

    mFilename = filename;
    mModified = false;
    return !idProblem;
}

bool Map::saveMap(const char* filename)
{
    if (filename == nullptr || filename[0] == '\0') {
        return false;
    }

    TreeHolder holder(mxmlNewXML("1.0"));
    mxml_node_t* mapElement = mxmlNewElement(holder.tree, "Map");

    for (MapLayer* layer : mMapLayer) {
        for (Shape* shape : layer->mShapes) {
            mxml_node_t* element = mxmlNewElement(mapElement, "Shape");
            mxmlElementSetAttr(element, "Id", intText(shape->getId()).c_str());
            mxmlElementSetAttr(element, "Name", shape->mName.c_str());
            mxmlElementSetAttr(element, "Type", typeName(shape));
            if (ShapeRectangle* rectangle = dynamic_cast<ShapeRectangle*>(shape)) {
                mxmlElementSetAttr(element, "Curve", realText(rectangle->mCurve).c_str());
            }
            if (ShapeCircle* circle = dynamic_cast<ShapeCircle*>(shape)) {
                mxmlElementSetAttr(element, "Radius", realText(circle->mRadius).c_str());
            }
            mxmlElementSetAttr(element, "FillRed", realText(shape->mFillRed).c_str());
            mxmlElementSetAttr(element, "FillGreen", realText(shape->mFillGreen).c_str());
            mxmlElementSetAttr(element, "FillBlue", realText(shape->mFillBlue).c_str());
            mxmlElementSetAttr(element, "FontRed", realText(shape->mFontRed).c_str());
            mxmlElementSetAttr(element, "FontGreen", realText(shape->mFontGreen).c_str());
            mxmlElementSetAttr(element, "FontBlue", realText(shape->mFontBlue).c_str());
            mxmlElementSetAttr(element, "Layer", "0");
            mxmlElementSetAttr(element, "Tooltip", shape->mTooltip.c_str());
            mxmlElementSetAttr(element, "ValidationScript", shape->mValidationScript.c_str());
            mxmlElementSetAttr(element, "ShowPosition", intText(shape->mShowPosition).c_str());
            mxmlElementSetAttr(element, "FlowValue", realText(shape->mFlowValue).c_str());
            mxmlElementSetAttr(element, "FlowType", intText(shape->mFlowType).c_str());
            mxmlNewText(element, 0, shape->mCaption != nullptr ? shape->mCaption : "");

            mxml_node_t* nodes = mxmlNewElement(element, "Nodes");
            for (ShapeNode* vertex : shape->mShapeNodes) {
                mxml_node_t* node = mxmlNewElement(nodes, "Node");
                mxmlElementSetAttr(node, "Id", intText(vertex->getId()).c_str());
                mxmlElementSetAttr(node, "X", realText(vertex->mX).c_str());
                mxmlElementSetAttr(node, "Y", realText(vertex->mY).c_str());
            }
            mxml_node_t* points = mxmlNewElement(element, "ConnectionNodes");
            for (ConnectionNode* point : shape->mConnectionNodes) {
                mxml_node_t* node = mxmlNewElement(points, "Node");
                mxmlElementSetAttr(node, "Id", intText(point->getId()).c_str());
                mxmlElementSetAttr(node, "Name", point->mName.c_str());
                mxmlElementSetAttr(node, "Edge", intText(point->mEdge).c_str());
                mxmlElementSetAttr(node, "Percent", realText(point->mPercent).c_str());
            }
        }
    }

    for (MapLayer* layer : mMapLayer) {
        for (Connection* connection : layer->mConnections) {
            mxml_node_t* element = mxmlNewElement(mapElement, "Connection");
            mxmlElementSetAttr(element, "Id", intText(connection->getId()).c_str());
            mxmlElementSetAttr(element, "Name", connection->mName.c_str());
            mxmlElementSetAttr(element, "BorderRed", realText(connection->mBorderRed).c_str());
            mxmlElementSetAttr(element, "BorderGreen", realText(connection->mBorderGreen).c_str());
            mxmlElementSetAttr(element, "BorderBlue", realText(connection->mBorderBlue).c_str());
            mxmlElementSetAttr(element, "Layer", "0");
            mxmlNewText(element, 0, connection->getCaption());

            mxml_node_t* ends = mxmlNewElement(element, "ConnectionNodes");
            for (ConnectionNode* point : connection->mConnectionNodes) {
                mxml_node_t* node = mxmlNewElement(ends, "Node");
                const long shapeId = point->mParentShape != nullptr ? point->mParentShape->getId() : -1;
                mxmlElementSetAttr(node, "ShapeId", intText(shapeId).c_str());
                mxmlElementSetAttr(node, "Id", intText(point->getId()).c_str());
            }
        }
    }

    mxml_node_t* script = mxmlNewElement(mapElement, "MapInitScript");
    mxmlNewText(script, 0, mMapInitScript.c_str());

    // Long start tags are broken between attributes at column 72.
    mxmlSetWrapMargin(72);
    if (!writeAtomically(holder.tree, filename)) {
        return false;
    }
    mFilename = filename;
    mModified = false;
    return true;
}
