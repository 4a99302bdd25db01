// One 1004 x 588 frame of generated diagrams (mixed shape kinds with captions
// of two to five words, as many connections as shapes), drawn by the map and
// by a reference that draws the same picture with bare Cairo and Pango calls
// from plain arrays, its caption layouts built once.
//
//   BM_Map/<n>/<zoom%>          unchanged frame (captions cached)
//   BM_Reference/<n>/<zoom%>    the same picture, bare Cairo/Pango
//   BM_MapZoomed/<n>            frame right after a zoom change (captions rebuilt)
//   BM_ReferenceZoomed/<n>      reference re-laying out its captions
//   BM_MapCulled                small view into a 10,000-shape diagram
//   BM_MapVisibleOnly           the objects of that view alone
#include "Arrow.h"
#include "CaptionLayout.h"
#include "Connection.h"
#include "ConnectionNode.h"
#include "Map.h"
#include "ShapeCircle.h"
#include "ShapeConnector.h"
#include "ShapeDiamond.h"
#include "ShapeImage.h"
#include "ShapePolygon.h"
#include "ShapeRectangle.h"
#include "ShapeTriangle.h"
#include "VelmarisPanel.h"
#include "corekitc.h"
#include "global.h"

#include <benchmark/benchmark.h>
#include <cairo.h>
#include <pango/pangocairo.h>

#include <cmath>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int FRAME_W = 1004;
constexpr int FRAME_H = 588;

const char* const WORDS[] = {"Kunde", "Auftrag", "Lager", "Rechnung", "Versand", "Artikel", "Zahlung", "Prüfung",
                             "Eingang", "Ausgang", "Bestand", "Lieferant", "Mahnung", "Angebot", "Vertrag"};

std::string caption(std::mt19937& rng)
{
  const int n = 2 + static_cast<int>(rng() % 4);
  std::string text;
  for (int i = 0; i < n; ++i) {
    if (i)
      text += ' ';
    const std::string w = WORDS[rng() % (sizeof WORDS / sizeof WORDS[0])];
    text += (i == 0 && rng() % 3 == 0) ? "<b>" + w + "</b>" : w;
  }
  return text;
}

// ---------------------------------------------------------------------------
// Reference picture: plain arrays, no model.

struct RefShape
{
  enum Kind { Polygon, Closed, Rounded, Circle, Image, Connector, EdgeText } kind;
  std::vector<std::pair<double, double>> pts;
  double fill[3], border[3];
  double x = 0, y = 0, w = 0, h = 0, r = 0; // rounded: box and radius; circle: top-left and radius
  PangoLayout* layout = nullptr;            // caption, built once
  double lx = 0, ly = 0;                    // caption position
  std::string plain;                        // connector text
  bool freeConnector = false;
};

struct RefLine
{
  double x1, y1, x2, y2;
  bool head;
  double ax[3], ay[3];
  std::string caption;
  double captionWidth;
};

struct Reference
{
  std::vector<RefShape> shapes; // bottom to top
  std::vector<RefLine> lines;
  cairo_surface_t* image = nullptr;
  PangoContext* context = nullptr;
  ~Reference()
  {
    for (RefShape& s : shapes)
      if (s.layout)
        g_object_unref(s.layout);
    if (context)
      g_object_unref(context);
  }
};

// ---------------------------------------------------------------------------

struct Scene
{
  Map* map = nullptr;
  std::unique_ptr<Reference> ref;
  ~Scene()
  {
    map->clearAllSelections();
    map->clear();
    delete map;
  }
};

Shape* addShape(Map* map, int kind, double x, double y, std::mt19937& rng)
{
  Shape* s = nullptr;
  switch (kind) {
  case 0: s = map->addRectangle(x, y, x + 60, y + 30); break;
  case 1: {
    ShapeRectangle* r = map->addRectangle(x, y, x + 60, y + 30);
    r->setCurve(4);
    s = r;
    break;
  }
  case 2: s = map->addTriangle(x, y + 30, x + 60, y + 30, x + 30, y); break;
  case 3: s = map->addDiamond(x + 30, y, x + 60, y + 20); break;
  case 4: s = map->addCircle(x, y, 18); break;
  case 5: s = map->addPolygon(x, y, x + 70, y + 30); break;
  case 6: s = map->addConnectorLink(x + 20, y + 20); break;
  default: s = map->addImage(x, y, 0, 0); break;
  }
  s->setFillColor(0.6 + 0.4 * (rng() % 100) / 100.0, 0.8, 1.0, true);
  s->setCaption(caption(rng));
  return s;
}

int kindOf(int i)
{
  // mostly the common kinds; a picture now and then
  return i % 97 == 7 ? 7 : i % 7;
}

// Shapes at random places in the world rectangle (0,0)-(worldW,worldH),
// each joined to a random other shape.
Scene* buildScene(int n, double worldW, double worldH, unsigned seed, bool neighbours = false)
{
  std::mt19937 rng(seed);
  Scene* scene = new Scene;
  scene->map = new Map();
  GlobalMap = scene->map;
  std::vector<Shape*> shapes;
  const int cols = static_cast<int>(std::ceil(std::sqrt(n * worldW / worldH)));
  for (int i = 0; i < n; ++i) {
    double x, y;
    if (neighbours) {
      x = (i % cols) * (worldW / cols) + 10;
      y = (i / cols) * (worldH / std::ceil(double(n) / cols)) + 10;
    } else {
      x = 10 + (rng() % static_cast<unsigned>(worldW - 90));
      y = 10 + (rng() % static_cast<unsigned>(worldH - 60));
    }
    shapes.push_back(addShape(scene->map, kindOf(i), x, y, rng));
  }
  for (int i = 0; i < n; ++i) {
    Shape* from = shapes[i];
    // neighbours: the next shape in the row, or the one below at a row's end
    Shape* to = neighbours ? shapes[((i + 1) % cols != 0 && i + 1 < n) ? i + 1 : (i + cols) % n] : shapes[rng() % n];
    if (to == from)
      to = shapes[(i + 1) % n];
    const int fromNode = static_cast<int>(rng() % from->mConnectionNodes.size());
    const int toNode = static_cast<int>(rng() % to->mConnectionNodes.size());
    Connection* c = scene->map->addConnection(from, fromNode, to, toNode);
    c->setCaption(WORDS[rng() % (sizeof WORDS / sizeof WORDS[0])]);
  }
  scene->map->validate();
  return scene;
}

void setView(Map* map, cairo_t* cr)
{
  double x1 = 0, y1 = 0, x2 = FRAME_W, y2 = FRAME_H;
  cairo_device_to_user(cr, &x1, &y1);
  cairo_device_to_user(cr, &x2, &y2);
  map->mViewBoundingBox[0] = x1 - 100;
  map->mViewBoundingBox[1] = y1 - 100;
  map->mViewBoundingBox[2] = x2 + 100;
  map->mViewBoundingBox[3] = y2 + 100;
}

// Copies the scene into plain arrays and builds the reference's caption
// layouts (one wrapped, centred Pango layout per caption) under cr.
void buildReference(Scene* scene, cairo_t* cr)
{
  auto ref = std::make_unique<Reference>();
  ref->context = pango_cairo_create_context(cr);
  PangoFontDescription* font = pango_font_description_from_string("Sans 11");
  auto captionLayout = [&](const std::string& markup, double w) {
    PangoLayout* l = pango_layout_new(ref->context);
    pango_layout_set_font_description(l, font);
    pango_layout_set_markup(l, markup.c_str(), -1);
    pango_layout_set_width(l, static_cast<int>(w * PANGO_SCALE));
    pango_layout_set_wrap(l, PANGO_WRAP_WORD);
    pango_layout_set_alignment(l, PANGO_ALIGN_CENTER);
    return l;
  };
  for (MapLayer* layer : scene->map->mMapLayer)
    for (auto it = layer->mShapes.rbegin(); it != layer->mShapes.rend(); ++it) {
      Shape* s = *it;
      RefShape r;
      for (ShapeNode* n : s->mShapeNodes)
        r.pts.emplace_back(n->mX, n->mY);
      r.fill[0] = s->mFillRed, r.fill[1] = s->mFillGreen, r.fill[2] = s->mFillBlue;
      r.border[0] = s->mBorderRed, r.border[1] = s->mBorderGreen, r.border[2] = s->mBorderBlue;
      double bx1 = r.pts[0].first, by1 = r.pts[0].second, bx2 = bx1, by2 = by1;
      if (r.pts.size() > 2)
        bx2 = r.pts[2].first, by2 = r.pts[2].second;
      if (auto* rect = dynamic_cast<ShapeRectangle*>(s); rect && rect->mCurve > 0) {
        r.kind = RefShape::Rounded;
        r.x = bx1, r.y = by1, r.w = bx2 - bx1, r.h = by2 - by1, r.r = r.h / rect->mCurve;
      } else if (auto* circle = dynamic_cast<ShapeCircle*>(s)) {
        r.kind = RefShape::Circle;
        r.x = bx1, r.y = by1, r.r = circle->mRadius;
        const double h = r.r / std::sqrt(2.0);
        bx1 = r.x + r.r - h, by1 = r.y + r.r - h, bx2 = r.x + r.r + h, by2 = r.y + r.r + h;
      } else if (dynamic_cast<ShapeDiamond*>(s)) {
        r.kind = RefShape::Closed;
        const double mx = (r.pts[1].first + r.pts[3].first) / 2, my = (r.pts[0].second + r.pts[2].second) / 2;
        const double qw = (r.pts[1].first - r.pts[3].first) / 4, qh = (r.pts[2].second - r.pts[0].second) / 4;
        bx1 = mx - qw, by1 = my - qh, bx2 = mx + qw, by2 = my + qh;
      } else if (dynamic_cast<ShapeImage*>(s)) {
        r.kind = RefShape::Image;
        ref->image = static_cast<ShapeImage*>(s)->mImage;
      } else if (auto* link = dynamic_cast<ShapeConnector*>(s)) {
        r.kind = RefShape::Connector;
        r.plain = s->mCaption;
        r.freeConnector = link->mConnectionCount < 1;
      } else if (dynamic_cast<ShapePolygon*>(s)) {
        r.kind = RefShape::EdgeText;
      } else {
        r.kind = RefShape::Polygon;
      }
      if (r.kind == RefShape::EdgeText) {
        r.layout = pango_layout_new(ref->context);
        std::string text;
        TextSegmentList segs = ParseHtmlToTextSegments(s->mCaption);
        for (auto& seg : segs)
          text += seg.first + " ";
        FreeSegments(segs);
        text.pop_back();
        pango_layout_set_text(r.layout, text.c_str(), -1);
        r.lx = r.pts[0].first, r.ly = r.pts[0].second;
        int lw, lh;
        pango_layout_get_size(r.layout, &lw, &lh);
        const double edge = std::hypot(r.pts[1].first - r.pts[0].first, r.pts[1].second - r.pts[0].second);
        if (lw / double(PANGO_SCALE) > edge) {
          // too long for its edge: not shown
          g_object_unref(r.layout);
          r.layout = nullptr;
        }
      } else if (r.kind != RefShape::Connector) {
        r.layout = captionLayout(s->mCaption, bx2 - bx1);
        int lw, lh;
        pango_layout_get_size(r.layout, &lw, &lh);
        r.lx = bx1;
        r.ly = by1 + ((by2 - by1) - lh / double(PANGO_SCALE)) / 2;
      }
      ref->shapes.push_back(std::move(r));
    }
  for (MapLayer* layer : scene->map->mMapLayer)
    for (Connection* c : layer->mConnections) {
      if (!c->isValid() || c->mInvalidArrow1 || c->mInvalidArrow2)
        continue;
      RefLine l;
      l.x1 = c->mArrow1Style == 0 ? c->mConnectionNodes[0]->mX : (c->mArrow1X[1] + c->mArrow1X[2]) / 2;
      l.y1 = c->mArrow1Style == 0 ? c->mConnectionNodes[0]->mY : (c->mArrow1Y[1] + c->mArrow1Y[2]) / 2;
      l.x2 = c->mArrow2Style == 0 ? c->mConnectionNodes[1]->mX : (c->mArrow2X[1] + c->mArrow2X[2]) / 2;
      l.y2 = c->mArrow2Style == 0 ? c->mConnectionNodes[1]->mY : (c->mArrow2Y[1] + c->mArrow2Y[2]) / 2;
      l.head = c->mArrow2Style == 2;
      for (int k = 0; k < 3; ++k)
        l.ax[k] = c->mArrow2X[k], l.ay[k] = c->mArrow2Y[k];
      l.caption = c->mCaption;
      cairo_text_extents_t e;
      cairo_text_extents(cr, l.caption.c_str(), &e);
      l.captionWidth = e.width;
      ref->lines.push_back(l);
    }
  pango_font_description_free(font);
  scene->ref = std::move(ref);
}

void drawReference(cairo_t* cr, Reference& ref, bool relayout)
{
  double ux = 1, uy = 0;
  cairo_device_to_user_distance(cr, &ux, &uy);
  const double onePx = std::hypot(ux, uy);
  const double outline = std::max(1.0, onePx);
  cairo_matrix_t m;
  cairo_get_matrix(cr, &m);
  const bool readable = std::sqrt(std::fabs(m.xx * m.yy - m.xy * m.yx)) * 14.666666666666666 >= 4.0;
  if (relayout)
    pango_cairo_update_context(cr, ref.context);
  for (RefShape& s : ref.shapes) {
    cairo_set_line_width(cr, outline);
    switch (s.kind) {
    case RefShape::Polygon:
    case RefShape::Closed:
    case RefShape::EdgeText:
      cairo_move_to(cr, s.pts[0].first + 2, s.pts[0].second + 2);
      for (auto& p : s.pts)
        cairo_line_to(cr, p.first + 2, p.second + 2);
      cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
      cairo_fill_preserve(cr);
      cairo_stroke(cr);
      cairo_move_to(cr, s.pts[0].first, s.pts[0].second);
      for (auto& p : s.pts)
        cairo_line_to(cr, p.first, p.second);
      cairo_line_to(cr, s.pts[0].first, s.pts[0].second - 0.5);
      cairo_set_source_rgb(cr, s.fill[0], s.fill[1], s.fill[2]);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, s.border[0], s.border[1], s.border[2]);
      cairo_stroke(cr);
      break;
    case RefShape::Rounded:
      for (int pass = 0; pass < 2; ++pass) {
        const double o = pass == 0 ? 2 : 0;
        cairo_new_sub_path(cr);
        cairo_arc(cr, s.x + o + s.w - s.r, s.y + o + s.r, s.r, -M_PI / 2, 0);
        cairo_arc(cr, s.x + o + s.w - s.r, s.y + o + s.h - s.r, s.r, 0, M_PI / 2);
        cairo_arc(cr, s.x + o + s.r, s.y + o + s.h - s.r, s.r, M_PI / 2, M_PI);
        cairo_arc(cr, s.x + o + s.r, s.y + o + s.r, s.r, M_PI, 1.5 * M_PI);
        cairo_close_path(cr);
        if (pass == 0)
          cairo_set_source_rgb(cr, 0.8, 0.8, 0.8);
        else
          cairo_set_source_rgb(cr, s.fill[0], s.fill[1], s.fill[2]);
        cairo_fill_preserve(cr);
        if (pass == 1)
          cairo_set_source_rgb(cr, s.border[0], s.border[1], s.border[2]);
        cairo_stroke(cr);
      }
      break;
    case RefShape::Circle:
      cairo_new_sub_path(cr);
      cairo_arc(cr, s.x + s.r, s.y + s.r, s.r, 0, 2 * M_PI);
      cairo_set_source_rgb(cr, s.fill[0], s.fill[1], s.fill[2]);
      cairo_fill_preserve(cr);
      cairo_set_source_rgb(cr, s.border[0], s.border[1], s.border[2]);
      cairo_stroke(cr);
      break;
    case RefShape::Image:
      cairo_save(cr);
      cairo_set_source_surface(cr, ref.image, s.pts[0].first, s.pts[0].second);
      cairo_paint(cr);
      cairo_restore(cr);
      break;
    case RefShape::Connector: {
      if (s.freeConnector) {
        static const double dash[] = {1.0, 3.0};
        cairo_set_line_width(cr, 3.0);
        cairo_set_dash(cr, dash, 2, 0);
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_rectangle(cr, s.pts[0].first, s.pts[0].second, 40, 40);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
      }
      cairo_set_source_rgb(cr, 0, 0, 0);
      cairo_move_to(cr, s.pts[0].first, s.pts[0].second + 20);
      cairo_show_text(cr, s.plain.c_str());
      break;
    }
    }
    if (s.layout && readable) {
      cairo_set_source_rgb(cr, 0, 0, 0);
      if (relayout)
        pango_layout_context_changed(s.layout);
      cairo_move_to(cr, s.lx, s.ly);
      pango_cairo_show_layout(cr, s.layout);
    }
  }
  cairo_set_line_width(cr, 1.0);
  cairo_set_source_rgb(cr, 0, 0, 0);
  for (RefLine& l : ref.lines) {
    if (l.head) {
      cairo_move_to(cr, l.ax[1], l.ay[1]);
      cairo_line_to(cr, l.ax[2], l.ay[2]);
      cairo_line_to(cr, l.ax[0], l.ay[0]);
      cairo_line_to(cr, l.ax[1], l.ay[1]);
      cairo_line_to(cr, l.ax[2], l.ay[2]);
      cairo_fill_preserve(cr);
      cairo_stroke(cr);
    }
    cairo_move_to(cr, l.x1, l.y1);
    cairo_line_to(cr, l.x2, l.y2);
    cairo_stroke(cr);
    cairo_save(cr);
    const double a = std::atan2(l.y2 - l.y1, l.x2 - l.x1);
    const bool right = std::fabs(a) < M_PI / 2;
    const double fx = right ? l.x1 : l.x2, fy = right ? l.y1 : l.y2;
    const double mx = (l.x1 + l.x2) / 2, my = (l.y1 + l.y2) / 2;
    const double len = std::hypot(mx - fx, my - fy);
    const double t = len > 0 ? std::max(0.0, (len - l.captionWidth / 2) / len) : 0;
    cairo_move_to(cr, fx + (mx - fx) * t, fy + (my - fy) * t - 5);
    cairo_rotate(cr, right ? a : a + M_PI);
    cairo_show_text(cr, l.caption.c_str());
    cairo_restore(cr);
  }
}

// A frame surface with its context, the matrix of the given zoom around the
// origin of the generated world.
struct Frame
{
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, FRAME_W, FRAME_H);
  cairo_t* cr = cairo_create(surface);
  ~Frame()
  {
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
  }
  void setMatrix(double scale, double tx = 0, double ty = 0)
  {
    cairo_identity_matrix(cr);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, tx, ty);
  }
  void clear()
  {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_restore(cr);
  }
};

void drawMapFrame(Frame& f, Map* map)
{
  f.clear();
  map->drawShapes(f.cr, VIEW_MODE_CONNECTION);
  map->drawConnections(f.cr);
}

// The generated world is the frame at zoom 1, so everything is visible at
// both zoom levels.
std::map<int, Scene*>& scenes()
{
  static std::map<int, Scene*> all;
  return all;
}

Scene* sceneOf(int n)
{
  ckSetDebugFilter(0); // the benchmarks measure drawing, not the debug log
  auto& all = scenes();
  if (!all.count(n))
    all[n] = buildScene(n, FRAME_W, FRAME_H, 1234 + n);
  GlobalMap = all[n]->map;
  return all[n];
}

void BM_Map(benchmark::State& state)
{
  Scene* scene = sceneOf(static_cast<int>(state.range(0)));
  Frame f;
  f.setMatrix(state.range(1) / 100.0);
  setView(scene->map, f.cr);
  drawMapFrame(f, scene->map); // captions laid out once
  for (auto _ : state)
    drawMapFrame(f, scene->map);
}

void BM_Reference(benchmark::State& state)
{
  Scene* scene = sceneOf(static_cast<int>(state.range(0)));
  Frame f;
  f.setMatrix(state.range(1) / 100.0);
  buildReference(scene, f.cr);
  for (auto _ : state) {
    f.clear();
    drawReference(f.cr, *scene->ref, false);
  }
}

void BM_MapZoomed(benchmark::State& state)
{
  Scene* scene = sceneOf(static_cast<int>(state.range(0)));
  Frame f;
  f.setMatrix(1.0);
  setView(scene->map, f.cr);
  drawMapFrame(f, scene->map);
  bool odd = false;
  for (auto _ : state) {
    odd = !odd;
    f.setMatrix(odd ? 1.001 : 1.0);
    drawMapFrame(f, scene->map);
  }
}

void BM_ReferenceZoomed(benchmark::State& state)
{
  Scene* scene = sceneOf(static_cast<int>(state.range(0)));
  Frame f;
  f.setMatrix(1.0);
  buildReference(scene, f.cr);
  bool odd = false;
  for (auto _ : state) {
    odd = !odd;
    f.setMatrix(odd ? 1.001 : 1.0);
    f.clear();
    drawReference(f.cr, *scene->ref, true);
  }
}

// 10,000 shapes on a regular grid over a 20,000 x 12,000 world, each joined
// to its neighbour; the view shows 1004 x 588 units in the middle of it.
constexpr double BIG_W = 20000, BIG_H = 12000;
constexpr double VIEW_X = 9500, VIEW_Y = 5500;

void BM_MapCulled(benchmark::State& state)
{
  ckSetDebugFilter(0);
  std::unique_ptr<Scene> scene(buildScene(10000, BIG_W, BIG_H, 99, true));
  Frame f;
  f.setMatrix(1.0, -VIEW_X, -VIEW_Y);
  setView(scene->map, f.cr);
  drawMapFrame(f, scene->map);
  for (auto _ : state)
    drawMapFrame(f, scene->map);
}

// Only the shapes of the same view (and the connections among them).
void BM_MapVisibleOnly(benchmark::State& state)
{
  ckSetDebugFilter(0);
  std::unique_ptr<Scene> scene(buildScene(10000, BIG_W, BIG_H, 99, true));
  Frame f;
  f.setMatrix(1.0, -VIEW_X, -VIEW_Y);
  setView(scene->map, f.cr);
  const double* v = scene->map->mViewBoundingBox;
  // Delete every shape whose outline is away from the view; their
  // connections go with them.
  std::vector<Shape*> away;
  for (Shape* s : scene->map->mMapLayer[0]->mShapes) {
    const double x = s->mShapeNodes[0]->mX, y = s->mShapeNodes[0]->mY;
    if (x + 200 < v[0] || x - 100 > v[2] || y + 200 < v[1] || y - 100 > v[3])
      away.push_back(s);
  }
  for (Shape* s : away) {
    scene->map->deleteConnectionsOfShape(s);
    scene->map->deleteShape(s);
  }
  state.counters["shapes"] = static_cast<double>(scene->map->mMapLayer[0]->mShapes.size());
  drawMapFrame(f, scene->map);
  for (auto _ : state)
    drawMapFrame(f, scene->map);
}

} // namespace

BENCHMARK(BM_Map)->ArgsProduct({{100, 1000, 10000}, {100, 25}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Reference)->ArgsProduct({{100, 1000, 10000}, {100, 25}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapZoomed)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReferenceZoomed)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapCulled)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MapVisibleOnly)->Unit(benchmark::kMillisecond);
