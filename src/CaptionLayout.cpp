// Caption mark-up parsing, layout and cache; see CaptionLayout.h.
#include "CaptionLayout.h"

#include "gfx.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

const char* const FONT_REGULAR = "Sans 11";
const char* const FONT_BOLD = "Sans Bold 11";
const char* const FONT_ITALIC = "Sans Italic 11";

unsigned long gBuildCount = 0;

// The shared Pango context and what it was last prepared for.
struct CaptionContextCache
{
  PangoContext* context = nullptr;
  cairo_t* context_cr = nullptr;
  cairo_surface_t* context_target = nullptr;
  cairo_matrix_t context_matrix{};
};

CaptionContextCache& captionContextCache()
{
  static CaptionContextCache cache;
  return cache;
}

bool sameLinearPart(const cairo_matrix_t& a, const cairo_matrix_t& b)
{
  return a.xx == b.xx && a.yx == b.yx && a.xy == b.xy && a.yy == b.yy;
}

} // namespace

std::string ValidUtf8Text(const std::string& text)
{
  if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
    return text;
  std::string noNul;
  for (char c : text)
    if (c != '\0')
      noNul += c;
  gchar* valid = g_utf8_make_valid(noNul.data(), static_cast<gssize>(noNul.size()));
  std::string result(valid);
  g_free(valid);
  return result;
}

namespace {

void pushSegment(TextSegmentList& segments, std::string text, const std::string& font)
{
  segments.emplace_back(ValidUtf8Text(text), pango_font_description_from_string(font.c_str()));
}

void logicalSize(PangoLayout* layout, double& width, double& height)
{
  PangoRectangle logical;
  pango_layout_get_extents(layout, nullptr, &logical);
  width = logical.width / static_cast<double>(PANGO_SCALE);
  height = logical.height / static_cast<double>(PANGO_SCALE);
}

} // namespace

void AddTextSegments(const std::string& text, const std::string& font, TextSegmentList& segments)
{
  std::string word;
  for (char c : text) {
    if (c == ' ' || c == '\r' || c == '\n') {
      if (!word.empty()) {
        pushSegment(segments, word + " ", font);
        word.clear();
      }
      if (c == '\n')
        pushSegment(segments, "\n", font);
    } else {
      word += c;
    }
  }
  if (!word.empty())
    pushSegment(segments, word + " ", font);
}

TextSegmentList ParseHtmlToTextSegments(const std::string& html)
{
  TextSegmentList segments;
  std::string font = FONT_REGULAR;
  std::size_t pos = 0;
  for (;;) {
    const std::size_t open = html.find('<', pos);
    if (open == std::string::npos) {
      AddTextSegments(html.substr(pos), font, segments);
      break;
    }
    AddTextSegments(html.substr(pos, open - pos), font, segments);
    const std::size_t close = html.find('>', open + 1);
    if (close == std::string::npos)
      break;
    const std::string tag = html.substr(open + 1, close - open - 1);
    if (tag == "b")
      font = FONT_BOLD;
    else if (tag == "i")
      font = FONT_ITALIC;
    else if (tag == "/b" || tag == "/i")
      font = FONT_REGULAR;
    else if (tag == "br" || tag == "br/" || tag == "br /")
      pushSegment(segments, "\n", font);
    pos = close + 1;
  }
  return segments;
}

bool IsLineBreak(const TextSegment& segment)
{
  return segment.first == "\n";
}

void SegmentSize(PangoLayout* layout, const TextSegment& segment, double& width, double& height)
{
  const bool lineBreak = IsLineBreak(segment);
  pango_layout_set_text(layout, lineBreak ? " " : segment.first.c_str(), -1);
  pango_layout_set_font_description(layout, segment.second);
  logicalSize(layout, width, height);
  if (lineBreak)
    width = 0;
}

void FreeSegments(TextSegmentList& segments)
{
  for (TextSegment& segment : segments)
    if (segment.second)
      pango_font_description_free(segment.second);
  segments.clear();
}

PangoContext* CaptionContext(cairo_t* cr)
{
  CaptionContextCache& cache = captionContextCache();
  cairo_matrix_t matrix;
  cairo_get_matrix(cr, &matrix);
  cairo_surface_t* target = cairo_get_target(cr);
  if (cache.context && cache.context_cr == cr && cache.context_target == target &&
      sameLinearPart(matrix, cache.context_matrix))
    return cache.context;
  if (cache.context)
    pango_cairo_update_context(cr, cache.context);
  else
    cache.context = pango_cairo_create_context(cr);
  cache.context_cr = cr;
  cache.context_target = target;
  cache.context_matrix = matrix;
  return cache.context;
}

PangoLayout* LineLayout(PangoContext* context, const TextSegmentList& segments,
                        const std::vector<std::size_t>& indices)
{
  PangoLayout* layout = pango_layout_new(context);
  std::string text;
  PangoAttrList* attrs = pango_attr_list_new();
  for (std::size_t index : indices) {
    const TextSegment& segment = segments[index];
    PangoAttribute* attr = pango_attr_font_desc_new(segment.second);
    attr->start_index = static_cast<guint>(text.size());
    text += segment.first;
    attr->end_index = static_cast<guint>(text.size());
    pango_attr_list_insert(attrs, attr);
  }
  pango_layout_set_text(layout, text.c_str(), static_cast<int>(text.size()));
  pango_layout_set_attributes(layout, attrs);
  pango_attr_list_unref(attrs);
  return layout;
}

CaptionLayout::CaptionLayout()
{
  cairo_matrix_init_identity(&mMatrix);
  cairo_matrix_init_identity(&mEdgeMatrix);
}

CaptionLayout::CaptionLayout(const CaptionLayout&) : CaptionLayout() {}

CaptionLayout& CaptionLayout::operator=(const CaptionLayout& other)
{
  if (this != &other) {
    clear();
    clearSegments();
    clearEdge();
  }
  return *this;
}

CaptionLayout::~CaptionLayout()
{
  clear();
  clearSegments();
  clearEdge();
}

void CaptionLayout::clearEdge()
{
  if (mEdgeLayout)
    g_object_unref(mEdgeLayout);
  mEdgeLayout = nullptr;
  mEdgeHtml.clear();
}

void CaptionLayout::clear()
{
  for (Line& line : mLines)
    if (line.layout)
      g_object_unref(line.layout);
  mLines.clear();
  mValid = false;
}

void CaptionLayout::clearSegments()
{
  FreeSegments(mSegments);
  mSegmentsValid = false;
}

unsigned long CaptionLayout::buildCount()
{
  return gBuildCount;
}

void CaptionLayout::layOut(cairo_t* cr, double width, double height)
{
  clear();
  mWidth = width;
  mHeight = height;
  mValid = true;
  if (mHtml.empty())
    return;
  ++gBuildCount;

  if (!mSegmentsValid || mSegmentsHtml != mHtml) {
    clearSegments();
    mSegments = ParseHtmlToTextSegments(mHtml);
    mSegmentsHtml = mHtml;
    mSegmentsValid = true;
  }
  if (mSegments.empty())
    return;

  PangoContext* context = CaptionContext(cr);

  bool anyBreak = false;
  for (const TextSegment& segment : mSegments)
    anyBreak = anyBreak || IsLineBreak(segment);

  if (!anyBreak) {
    std::vector<std::size_t> all(mSegments.size());
    for (std::size_t i = 0; i < all.size(); ++i)
      all[i] = i;
    PangoLayout* single = LineLayout(context, mSegments, all);
    double textWidth, textHeight;
    logicalSize(single, textWidth, textHeight);
    if (textWidth <= width) {
      mLines.push_back(Line{single, (width - textWidth) / 2, (height - textHeight) / 2});
      return;
    }
    g_object_unref(single);
  }

  struct PendingLine
  {
    std::vector<std::size_t> words;
    double width = 0;
    double height = 0;
  };
  std::vector<PendingLine> pending(1);
  PangoLayout* scratch = pango_layout_new(context);
  for (std::size_t i = 0; i < mSegments.size(); ++i) {
    double w, h;
    SegmentSize(scratch, mSegments[i], w, h);
    if (IsLineBreak(mSegments[i])) {
      if (pending.back().words.empty())
        pending.back().height = h;
      pending.emplace_back();
      continue;
    }
    if (!pending.back().words.empty() && pending.back().width + w > width)
      pending.emplace_back();
    PendingLine& line = pending.back();
    line.words.push_back(i);
    line.width += w;
    line.height = std::max(line.height, h);
  }
  g_object_unref(scratch);

  double total = 0;
  for (const PendingLine& line : pending)
    total += line.height;
  double y = (height - total) / 2;
  for (const PendingLine& line : pending) {
    Line out;
    out.x = (width - line.width) / 2;
    out.y = y;
    if (!line.words.empty())
      out.layout = LineLayout(context, mSegments, line.words);
    mLines.push_back(out);
    y += line.height;
  }
}

void CaptionLayout::drawCentered(cairo_t* cr, const std::string& html, double x1, double y1, double x2,
                                 double y2)
{
  cairo_matrix_t matrix;
  cairo_get_matrix(cr, &matrix);
  const double s = std::sqrt(std::fabs(matrix.yy * matrix.xx - matrix.yx * matrix.xy));
  if (s * CAPTION_FONT_PIXELS < CAPTION_MIN_PIXELS)
    return;

  const double width = x2 - x1;
  const double height = y2 - y1;
  if (!mValid || html != mHtml || width != mWidth || height != mHeight || !sameLinearPart(matrix, mMatrix)) {
    mHtml = html;
    mMatrix = matrix;
    layOut(cr, width, height);
  }
  for (const Line& line : mLines) {
    if (!line.layout)
      continue;
    gfx_move_to(cr, x1 + line.x, y1 + line.y);
    pango_cairo_show_layout(cr, line.layout);
  }
}

std::size_t find_leftmost_edge(const CaptionPoints& points)
{
  std::size_t best = 0;
  for (std::size_t i = 1; i < points.size(); ++i)
    if (points[i].first < points[best].first)
      best = i;
  return best;
}

double calculate_line_length(double x1, double y1, double x2, double y2)
{
  return std::hypot(x2 - x1, y2 - y1);
}

std::string EdgeCaptionText(const TextSegmentList& segments)
{
  std::string text;
  for (const TextSegment& segment : segments) {
    if (IsLineBreak(segment))
      continue;
    text += segment.first;
    text += ' ';
  }
  if (!text.empty())
    text.pop_back();
  return text;
}

void CaptionLayout::drawAlongLeftmostEdge(cairo_t* cr, const std::string& html, const CaptionPoints& points)
{
  cairo_matrix_t matrix;
  cairo_get_matrix(cr, &matrix);
  if (!mEdgeLayout || html != mEdgeHtml || !sameLinearPart(matrix, mEdgeMatrix)) {
    clearEdge();
    if (!mSegmentsValid || mSegmentsHtml != html) {
      clearSegments();
      mSegments = ParseHtmlToTextSegments(html);
      mSegmentsHtml = html;
      mSegmentsValid = true;
    }
    const std::string text = ValidUtf8Text(EdgeCaptionText(mSegments));
    mEdgeLayout = pango_layout_new(CaptionContext(cr));
    pango_layout_set_text(mEdgeLayout, text.c_str(), static_cast<int>(text.size()));
    double height;
    logicalSize(mEdgeLayout, mEdgeWidth, height);
    mEdgeHtml = html;
    mEdgeMatrix = matrix;
    ++gBuildCount;
  }
  if (points.empty())
    return;
  const std::size_t a = find_leftmost_edge(points);
  const std::size_t b = (a + 1) % points.size();
  if (mEdgeWidth > calculate_line_length(points[a].first, points[a].second, points[b].first, points[b].second)) {
    std::fprintf(stderr, "Text is too long to fit on the line\n");
    return;
  }
  gfx_move_to(cr, points[a].first, points[a].second);
  pango_cairo_show_layout(cr, mEdgeLayout);
}

void draw_text_along_leftmost_edge(cairo_t* cr, const TextSegmentList& segments, const CaptionPoints& points)
{
  if (points.empty())
    return;
  const std::string text = EdgeCaptionText(segments);
  const std::size_t a = find_leftmost_edge(points);
  const std::size_t b = (a + 1) % points.size();
  PangoLayout* layout = pango_layout_new(CaptionContext(cr));
  draw_text_along_line(cr, layout, points[a].first, points[a].second, points[b].first, points[b].second, text);
  g_object_unref(layout);
}

void draw_text_along_line(cairo_t* cr, PangoLayout* layout, double x1, double y1, double x2, double y2,
                          const std::string& text)
{
  const std::string valid = ValidUtf8Text(text);
  pango_layout_set_text(layout, valid.c_str(), static_cast<int>(valid.size()));
  double width, height;
  logicalSize(layout, width, height);
  if (width > calculate_line_length(x1, y1, x2, y2)) {
    std::fprintf(stderr, "Text is too long to fit on the line\n");
    return;
  }
  gfx_move_to(cr, x1, y1);
  pango_cairo_show_layout(cr, layout);
}
