// Arrow head tables and geometry. The draw functions are called by
// Connection::draw with the current source colour already set.
#include "Arrow.h"

#include "gfx.h"

#include <cmath>

#include "ConnectionNode.h"
#include "Shape.h"

ArrowCalcFunc ArrowsCalc0[ARROW_STYLE_COUNT];
ArrowCalcFunc ArrowsCalc1[ARROW_STYLE_COUNT];
ArrowDrawFunc ArrowsDraw0[ARROW_STYLE_COUNT];
ArrowDrawFunc ArrowsDraw1[ARROW_STYLE_COUNT];

const double arrow_length = 12.0;
const double arrow_degrees = 0.5;

void InitArrows()
{
    ArrowsCalc0[0] = Arrow0NullCalc;
    ArrowsCalc0[1] = Arrow0NoLengthCalc;
    ArrowsCalc0[2] = Arrow0StandardCalc;
    ArrowsCalc0[3] = Arrow0StandardCalc;

    ArrowsCalc1[0] = Arrow1NullCalc;
    ArrowsCalc1[1] = Arrow1NoLengthCalc;
    ArrowsCalc1[2] = Arrow1StandardCalc;
    ArrowsCalc1[3] = Arrow1StandardCalc;

    ArrowsDraw0[0] = Arrow0NullDraw;
    ArrowsDraw0[1] = Arrow0NullDraw;
    ArrowsDraw0[2] = Arrow0DrawFilledArrow;
    ArrowsDraw0[3] = Arrow0DrawOutlineArrow;

    ArrowsDraw1[0] = Arrow1NullDraw;
    ArrowsDraw1[1] = Arrow1NullDraw;
    ArrowsDraw1[2] = Arrow1DrawFilledArrow;
    ArrowsDraw1[3] = Arrow1DrawOutlineArrow;
}

void CalcArrowVertexes(double fromX, double fromY, double tipX, double tipY,
                       double* x1, double* y1, double* x2, double* y2)
{
    // The head opens backwards, towards where the shaft comes from.
    const double angle = std::atan2(tipY - fromY, tipX - fromX) + M_PI;
    *x1 = tipX + arrow_length * std::cos(angle - arrow_degrees);
    *y1 = tipY + arrow_length * std::sin(angle - arrow_degrees);
    *x2 = tipX + arrow_length * std::cos(angle + arrow_degrees);
    *y2 = tipY + arrow_length * std::sin(angle + arrow_degrees);
}

namespace {

// Back corners of a head at the tip (x[0], y[0]) whose shaft comes from the
// node `far`: the shaft point is the first whole-unit point on the line
// towards the far node that lies more than arrow_length away from the tip.
void standardCalc(double* x, double* y, const ConnectionNode* far)
{
    // When tip and far node are less than one unit apart the walk finds no
    // point; the far node itself then gives the direction, so the head still
    // points away from it (and a far node exactly on the tip gives a fixed,
    // finite head instead of an undefined one).
    double mx = far->mX;
    double my = far->mY;
    myBresenhamLineLength(x[0], y[0], far->mX, far->mY, static_cast<int>(arrow_length), mx, my);
    CalcArrowVertexes(mx, my, x[0], y[0], &x[1], &y[1], &x[2], &y[2]);
}

void noLengthCalc(double* x, double* y)
{
    x[1] = x[0];
    y[1] = y[0];
    x[2] = x[0];
    y[2] = y[0];
}

}  // namespace

void Arrow0NullCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes)
{
    standardCalc(x, y, nodes[1]);
}

void Arrow1NullCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes)
{
    standardCalc(x, y, nodes[0]);
}

void Arrow0NoLengthCalc(double* x, double* y, std::vector<ConnectionNode*>&)
{
    noLengthCalc(x, y);
}

void Arrow1NoLengthCalc(double* x, double* y, std::vector<ConnectionNode*>&)
{
    noLengthCalc(x, y);
}

void Arrow0StandardCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes)
{
    standardCalc(x, y, nodes[1]);
}

void Arrow1StandardCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes)
{
    standardCalc(x, y, nodes[0]);
}

// --- drawing --------------------------------------------------------------
// Styles 0 and 1 draw nothing. The filled and outlined heads are drawn by the
// rendering code through the gfx_ entry table.

namespace {

// The triangle corner 1, corner 2, tip, closed on corner 1, with its first
// side drawn a second time so the mitre join at corner 1 is complete.
void headPath(cairo_t* cr, const double* x, const double* y)
{
    gfx_move_to(cr, x[1], y[1]);
    gfx_line_to(cr, x[2], y[2]);
    gfx_line_to(cr, x[0], y[0]);
    gfx_line_to(cr, x[1], y[1]);
    gfx_line_to(cr, x[2], y[2]);
}

// Debug numbering of the heads: "0" at corner 1 of the start head, "1" at
// corner 2 of the end head.
void drawArrowId(cairo_t* cr, const char* label, double x, double y)
{
    if (!global_draw_ids)
        return;
    gfx_move_to(cr, x, y);
    gfx_show_text(cr, label);
}

} // namespace

void Arrow0NullDraw(cairo_t* cr, double* x, double* y)
{
    drawArrowId(cr, "0", x[1], y[1]);
}

void Arrow1NullDraw(cairo_t* cr, double* x, double* y)
{
    drawArrowId(cr, "1", x[2], y[2]);
}

void Arrow0DrawFilledArrow(cairo_t* cr, double* x, double* y)
{
    headPath(cr, x, y);
    gfx_fill_preserve(cr);
    gfx_stroke(cr);
    drawArrowId(cr, "0", x[1], y[1]);
}

void Arrow1DrawFilledArrow(cairo_t* cr, double* x, double* y)
{
    headPath(cr, x, y);
    gfx_fill_preserve(cr);
    gfx_stroke(cr);
    drawArrowId(cr, "1", x[2], y[2]);
}

void Arrow0DrawOutlineArrow(cairo_t* cr, double* x, double* y)
{
    headPath(cr, x, y);
    gfx_stroke(cr);
    drawArrowId(cr, "0", x[1], y[1]);
}

void Arrow1DrawOutlineArrow(cairo_t* cr, double* x, double* y)
{
    headPath(cr, x, y);
    gfx_stroke(cr);
    drawArrowId(cr, "1", x[2], y[2]);
}
