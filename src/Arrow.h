// Arrow heads: four process-wide dispatch tables indexed by the arrow style
// (0 none at a connector, 1 no head, 2 filled, 3 outlined). The compute
// tables fill the back corners of a head whose tip is already set; the draw
// tables draw it. Filled by InitArrows() from the Map constructor.
#pragma once

#include <vector>

#include <cairo.h>

class ConnectionNode;

// Compute: x and y are the arrow's three points (index 0 tip, set by the
// caller), nodes the connection's two end nodes.
typedef void (*ArrowCalcFunc)(double* x, double* y, std::vector<ConnectionNode*>& nodes);
typedef void (*ArrowDrawFunc)(cairo_t* cr, double* x, double* y);

constexpr int ARROW_STYLE_COUNT = 4;

extern ArrowCalcFunc ArrowsCalc0[ARROW_STYLE_COUNT];
extern ArrowCalcFunc ArrowsCalc1[ARROW_STYLE_COUNT];
extern ArrowDrawFunc ArrowsDraw0[ARROW_STYLE_COUNT];
extern ArrowDrawFunc ArrowsDraw1[ARROW_STYLE_COUNT];

// Distance from the tip to each back corner, in world units.
extern const double arrow_length;
// Half the opening angle, in radians.
extern const double arrow_degrees;

// Fills the four tables; calling it again is harmless.
void InitArrows();

// Back corners of a head whose shaft comes from (fromX, fromY) and ends at
// the tip (tipX, tipY).
void CalcArrowVertexes(double fromX, double fromY, double tipX, double tipY,
                       double* x1, double* y1, double* x2, double* y2);

// Compute functions; the start variants aim at node 1, the end variants at node 0.
void Arrow0NullCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes);
void Arrow1NullCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes);
void Arrow0NoLengthCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes);
void Arrow1NoLengthCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes);
void Arrow0StandardCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes);
void Arrow1StandardCalc(double* x, double* y, std::vector<ConnectionNode*>& nodes);

// Draw functions.
void Arrow0NullDraw(cairo_t* cr, double* x, double* y);
void Arrow1NullDraw(cairo_t* cr, double* x, double* y);
void Arrow0DrawFilledArrow(cairo_t* cr, double* x, double* y);
void Arrow1DrawFilledArrow(cairo_t* cr, double* x, double* y);
void Arrow0DrawOutlineArrow(cairo_t* cr, double* x, double* y);
void Arrow1DrawOutlineArrow(cairo_t* cr, double* x, double* y);
