#include "ShapeConnector.h"

#include "CaptionLayout.h"
#include "ShapeDrawing.h"
#include "gfx.h"
#include <string>
#include <vector>

#include "corekitc.h"

ShapeConnector::ShapeConnector(double x, double y)
{
    CK_TRACE();
    addNode(x - 20, y - 20, 0);
    addNode(x + 20, y - 20, 1);
    addNode(x + 20, y + 20, 2);
    addNode(x - 20, y + 20, 3);
    addConnectionNode(x, y, 0);
    recalcConnectionNodes();
}

ShapeConnector::~ShapeConnector() { CK_TRACE(); }

namespace {

// Dashed square from (x, y), drawn clockwise back to its start.
void draw_dashed_rectangle(cairo_t* cr, double x, double y, double w, double h)
{
    static const double dash[] = {1.0, 3.0};
    gfx_set_dash(cr, dash, 2, 0);
    gfx_move_to(cr, x, y);
    gfx_line_to(cr, x + w, y);
    gfx_line_to(cr, x + w, y + h);
    gfx_line_to(cr, x, y + h);
    gfx_line_to(cr, x, y);
    gfx_stroke(cr);
    gfx_set_dash(cr, nullptr, 0, 0);
}

} // namespace

// The 40 x 40 square as a red frame, then the connection node markers in the
// connection view.
void ShapeConnector::drawSelectionPreview(cairo_t* cr, int, int, int viewMode)
{
    if (mShapeNodes.empty())
        return;
    gfx_set_line_width_px(cr, 2);
    gfx_pixel_rect_path_even(cr, mShapeNodes[0]->mX, mShapeNodes[0]->mY, 40, 40);
    gfx_set_source_rgb(cr, 1, 0, 0);
    gfx_stroke(cr);
    if (viewMode == shape_connection_view_mode())
        drawConnectionNodes(cr);
}

// A red dashed square while nothing is attached, and the caption as plain
// text lines in the font colour, centred on the square (no mark-up).
void ShapeConnector::draw(cairo_t* cr)
{
    if (mShapeNodes.size() < 3)
        return;
    const double x = mShapeNodes[0]->mX, y = mShapeNodes[0]->mY;
    if (mConnectionCount < 1) {
        gfx_set_line_width(cr, 3.0);
        gfx_set_source_rgb(cr, 1, 0, 0);
        draw_dashed_rectangle(cr, x, y, 40, 40);
    }

    // Text read from a file may hold bytes that are not UTF-8; Cairo would
    // put the context into a lasting error state on them.
    const std::string text = ValidUtf8Text(mCaption ? mCaption : "");
    std::vector<std::string> lines;
    std::string line;
    for (const char* p = text.c_str(); *p; ++p) {
        if (*p == '\n') {
            if (!line.empty())
                lines.push_back(line);
            line.clear();
        } else {
            line += *p;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    if (lines.empty())
        return;

    gfx_set_source_rgb(cr, mFontRed, mFontGreen, mFontBlue);
    std::vector<cairo_text_extents_t> extents(lines.size());
    for (size_t i = 0; i < lines.size(); ++i)
        gfx_text_extents(cr, lines[i].c_str(), &extents[i]);
    const int n = static_cast<int>(lines.size());
    const int total = static_cast<int>((3 + extents.back().height) * (n - 1)) - 3;
    const double xMid = (mShapeNodes[0]->mX + mShapeNodes[1]->mX) / 2;
    const double yMid = (mShapeNodes[0]->mY + mShapeNodes[2]->mY) / 2;
    double baseline = yMid - total / 2;
    for (size_t i = 0; i < lines.size(); ++i) {
        gfx_move_to(cr, xMid - extents[i].width / 2, baseline);
        gfx_show_text(cr, lines[i].c_str());
        baseline += 3 + extents[i].height;
    }
}

// A connector shows no selection mark.
void ShapeConnector::drawSelection(cairo_t*, int) {}

void ShapeConnector::recalcConnectionNodes()
{
    Shape::recalcConnectionNodes();
    if (!mConnectionNodes.empty()) {
        mConnectionNodes[0]->mX = mShapeNodes[0]->mX + 20;
        mConnectionNodes[0]->mY = mShapeNodes[0]->mY + 20;
    }
}
