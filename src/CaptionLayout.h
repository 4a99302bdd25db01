// Caption layout of the shapes: parses the small caption mark-up (<b>, <i>,
// <br>), lays the words out with Pango, word-wrapped and centred in a box, and
// caches the finished line layouts so that an unchanged frame, or a pan of the
// view, does no layout work. Each shape owns one CaptionLayout; all of them
// share one Pango context. GUI thread only.
#pragma once

#include <cairo.h>
#include <pango/pangocairo.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// An 11-point font at 96 dots per inch, in pixels.
constexpr double CAPTION_FONT_PIXELS = 14.666666666666666;
// Captions that would be less high than this on the screen are not drawn.
constexpr double CAPTION_MIN_PIXELS = 4.0;

// A piece of a caption: a word followed by one blank, or "\n" for a line
// break, and the font it is set in. The font description is owned by the
// segment list and released with FreeSegments.
typedef std::pair<std::string, PangoFontDescription*> TextSegment;
typedef std::vector<TextSegment> TextSegmentList;

// The text itself when it is valid UTF-8; otherwise a copy with every invalid
// byte sequence replaced by U+FFFD and NUL bytes dropped. Captions come from
// diagram files, and Pango and Cairo's text calls take only valid UTF-8 (Cairo
// puts the context into a lasting error state on anything else).
std::string ValidUtf8Text(const std::string& text);

// Parses a caption into segments. Fonts do not nest: <b> and <i> select
// "Sans Bold 11" and "Sans Italic 11", each closing tag returns to "Sans 11".
// Unknown tags are dropped; a "<" without a closing ">" ends the text.
TextSegmentList ParseHtmlToTextSegments(const std::string& html);
// Splits plain text into word segments (and a line-break segment per line feed).
void AddTextSegments(const std::string& text, const std::string& font, TextSegmentList& segments);
bool IsLineBreak(const TextSegment& segment);
// Logical size of one segment in user units, measured on a scratch layout.
void SegmentSize(PangoLayout* layout, const TextSegment& segment, double& width, double& height);
void FreeSegments(TextSegmentList& segments);
// The process-wide Pango context, prepared for cr (reused while cr, its target
// surface and the linear part of its matrix stay the same). Never released.
PangoContext* CaptionContext(cairo_t* cr);
// A new layout of the chosen segments, each in its own font. Caller unrefs it.
PangoLayout* LineLayout(PangoContext* context, const TextSegmentList& segments,
                        const std::vector<std::size_t>& indices);

class CaptionLayout
{
public:
  struct Line
  {
    PangoLayout* layout = nullptr; // owned; null for an empty line
    double x = 0;                  // top-left corner of the line, relative to the box
    double y = 0;
  };

  CaptionLayout();
  // Copies start empty and rebuild on first use: Pango layouts are not shared.
  CaptionLayout(const CaptionLayout& other);
  CaptionLayout& operator=(const CaptionLayout& other);
  ~CaptionLayout();

  // Draws html centred in the box (x1,y1)-(x2,y2) with the current source
  // colour. Rebuilds the lines only when the text, the box size or the linear
  // part of the matrix changed since the last build.
  void drawCentered(cairo_t* cr, const std::string& html, double x1, double y1, double x2, double y2);
  // Rebuilds mLines for mHtml in a box of the given size.
  void layOut(cairo_t* cr, double width, double height);
  void clear();
  void clearSegments();

  // The polygon kind's caption: the words as plain text at the leftmost point,
  // as draw_text_along_leftmost_edge shows them, with the text layout kept
  // until the caption or the zoom changes.
  void drawAlongLeftmostEdge(cairo_t* cr, const std::string& html, const std::vector<std::pair<double, double>>& points);

  // Number of caption layouts built (layOut runs on a non-empty caption) in
  // this process; lets callers check that a frame did no layout work.
  static unsigned long buildCount();

  std::vector<Line> mLines;
  bool mValid = false;
  std::string mHtml;
  TextSegmentList mSegments;
  std::string mSegmentsHtml;
  bool mSegmentsValid = false;
  double mWidth = 0;
  double mHeight = 0;
  cairo_matrix_t mMatrix;

  // Cache of drawAlongLeftmostEdge: the plain-text layout (owned), the
  // caption and linear matrix it was built for, and its logical width.
  PangoLayout* mEdgeLayout = nullptr;
  std::string mEdgeHtml;
  cairo_matrix_t mEdgeMatrix;
  double mEdgeWidth = 0;

private:
  void clearEdge();
};

// Caption of the polygon kind: plain text at the leftmost vertex.
typedef std::vector<std::pair<double, double>> CaptionPoints;

// The words of the segments joined for the polygon's caption: each word
// segment followed by one more blank, line breaks skipped, the last character
// dropped.
std::string EdgeCaptionText(const TextSegmentList& segments);
// Index of the point with the smallest x (the first on ties); 0 for no points.
std::size_t find_leftmost_edge(const CaptionPoints& points);
double calculate_line_length(double x1, double y1, double x2, double y2);
// Joins the words of the segments and shows them at the leftmost point, if
// they are not longer than the edge from there to the next point.
void draw_text_along_leftmost_edge(cairo_t* cr, const TextSegmentList& segments, const CaptionPoints& points);
// Shows text with the layout's default font, top-left corner at (x1,y1), when
// it is not wider than the line (x1,y1)-(x2,y2); otherwise reports it on
// standard error and draws nothing.
void draw_text_along_line(cairo_t* cr, PangoLayout* layout, double x1, double y1, double x2, double y2,
                          const std::string& text);
