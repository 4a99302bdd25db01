// Caption mark-up, line layout, the layout cache and the polygon's edge caption.
#include "CaptionLayout.h"

#include "RenderFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<std::pair<std::string, std::string>> SegmentView;

// Text and font name of every segment; frees the segments.
SegmentView view(TextSegmentList segments)
{
  SegmentView out;
  for (const TextSegment& s : segments) {
    char* font = pango_font_description_to_string(s.second);
    out.emplace_back(s.first, font);
    g_free(font);
  }
  FreeSegments(segments);
  return out;
}

const std::string R = "Sans 11";
const std::string B = "Sans Bold 11";
const std::string I = "Sans Italic 11";

TEST(CaptionMarkup, ParsesWordsFontsAndBreaks)
{
  struct Case
  {
    const char* html;
    SegmentView expected;
  };
  const Case cases[] = {
      {"eins <b>zwei</b> drei", {{"eins ", R}, {"zwei ", B}, {"drei ", R}}},
      {"<b><i>wort", {{"wort ", I}}},
      {"<b>a <i>b</i> c", {{"a ", B}, {"b ", I}, {"c ", R}}},
      {"<i>a</b>b", {{"a ", I}, {"b ", R}}},
      {"a<u>b", {{"a ", R}, {"b ", R}}},
      {"a <B> b", {{"a ", R}, {"b ", R}}},
      {"a <b c", {{"a ", R}}},
      {"a<br>b", {{"a ", R}, {"\n", R}, {"b ", R}}},
      {"a<br/>b", {{"a ", R}, {"\n", R}, {"b ", R}}},
      {"<b>a<br />b", {{"a ", B}, {"\n", B}, {"b ", B}}},
      {"a\nb", {{"a ", R}, {"\n", R}, {"b ", R}}},
      {"a\n\nb", {{"a ", R}, {"\n", R}, {"\n", R}, {"b ", R}}},
      {"  a\tb  c\r\nd ", {{"a\tb ", R}, {"c ", R}, {"\n", R}, {"d ", R}}},
      {"Größe &amp; Maß", {{"Größe ", R}, {"&amp; ", R}, {"Maß ", R}}},
      {"a\xff b", {{"a\xef\xbf\xbd ", R}, {"b ", R}}},
      {"", {}},
      {"<b></b>", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(view(ParseHtmlToTextSegments(c.html)), c.expected) << c.html;
}

TEST(CaptionMarkup, LineLayoutGivesEachSegmentItsFont)
{
  TextSegmentList segments = ParseHtmlToTextSegments("ab <b>cd</b> e");
  Canvas canvas(10, 10);
  PangoLayout* layout = LineLayout(CaptionContext(canvas.cr()), segments, {0, 1});
  EXPECT_STREQ(pango_layout_get_text(layout), "ab cd ");
  std::vector<std::pair<std::pair<int, int>, std::string>> ranges;
  PangoAttrIterator* it = pango_attr_list_get_iterator(pango_layout_get_attributes(layout));
  do {
    PangoAttribute* a = pango_attr_iterator_get(it, PANGO_ATTR_FONT_DESC);
    if (a) {
      char* font = pango_font_description_to_string(reinterpret_cast<PangoAttrFontDesc*>(a)->desc);
      ranges.push_back({{static_cast<int>(a->start_index), static_cast<int>(a->end_index)}, font});
      g_free(font);
    }
  } while (pango_attr_iterator_next(it));
  pango_attr_iterator_destroy(it);
  g_object_unref(layout);
  FreeSegments(segments);
  EXPECT_EQ(ranges, (std::vector<std::pair<std::pair<int, int>, std::string>>{{{0, 3}, R}, {{3, 6}, B}}));
}

double textWidth(cairo_t* cr, const std::string& text)
{
  PangoLayout* layout = pango_layout_new(CaptionContext(cr));
  PangoFontDescription* font = pango_font_description_from_string("Sans 11");
  pango_layout_set_font_description(layout, font);
  pango_layout_set_text(layout, text.c_str(), -1);
  PangoRectangle r;
  pango_layout_get_extents(layout, nullptr, &r);
  pango_font_description_free(font);
  g_object_unref(layout);
  return r.width / static_cast<double>(PANGO_SCALE);
}

// Lays html out in a box and returns the layout for inspection.
void layOut(CaptionLayout& cl, cairo_t* cr, const std::string& html, double w, double h)
{
  cl.mHtml = html;
  cl.layOut(cr, w, h);
}

TEST(CaptionLayoutLines, EveryLineBreakFormGivesTwoLines)
{
  Canvas canvas(10, 10);
  for (const char* html : {"eins<br>zwei", "eins<br/>zwei", "eins<br />zwei", "eins\nzwei"}) {
    CaptionLayout cl;
    layOut(cl, canvas.cr(), html, 300, 100);
    ASSERT_EQ(cl.mLines.size(), 2u) << html;
    EXPECT_STREQ(pango_layout_get_text(cl.mLines[0].layout), "eins ") << html;
    EXPECT_STREQ(pango_layout_get_text(cl.mLines[1].layout), "zwei ") << html;
    EXPECT_GT(cl.mLines[1].y, cl.mLines[0].y) << html;
    // the block is centred vertically: as far above the middle as below it
    const double lineH = cl.mLines[1].y - cl.mLines[0].y;
    EXPECT_NEAR(cl.mLines[0].y, 50 - lineH, 1e-6) << html;
  }
}

TEST(CaptionLayoutLines, FittingTextIsOneCentredLineEvenInALowBox)
{
  Canvas canvas(10, 10);
  CaptionLayout cl;
  layOut(cl, canvas.cr(), "Hallo Welt", 200, 6);
  ASSERT_EQ(cl.mLines.size(), 1u);
  const double w = textWidth(canvas.cr(), "Hallo Welt ");
  EXPECT_NEAR(cl.mLines[0].x, (200 - w) / 2, 1e-6);
  EXPECT_LT(cl.mLines[0].y, 0); // extends above and below the box
  int lw, lh;
  pango_layout_get_size(cl.mLines[0].layout, &lw, &lh);
  EXPECT_NEAR(cl.mLines[0].y, (6 - lh / 1024.0) / 2, 1e-6);
}

TEST(CaptionLayoutLines, WrapsWordsToTheBoxWidth)
{
  Canvas canvas(10, 10);
  const double wEins = textWidth(canvas.cr(), "eins ");
  const double wZwei = textWidth(canvas.cr(), "zwei ");
  // Room for two short words per line, not three.
  const double boxW = wEins + wZwei + 1;
  CaptionLayout cl;
  layOut(cl, canvas.cr(), "eins zwei eins zwei eins", boxW, 20);
  ASSERT_EQ(cl.mLines.size(), 3u);
  EXPECT_STREQ(pango_layout_get_text(cl.mLines[0].layout), "eins zwei ");
  EXPECT_STREQ(pango_layout_get_text(cl.mLines[1].layout), "eins zwei ");
  EXPECT_STREQ(pango_layout_get_text(cl.mLines[2].layout), "eins ");
  EXPECT_NEAR(cl.mLines[0].x, (boxW - wEins - wZwei) / 2, 1e-6);
  EXPECT_NEAR(cl.mLines[2].x, (boxW - wEins) / 2, 1e-6);
  // three lines in a 20-unit box: the block overflows evenly at both ends
  EXPECT_LT(cl.mLines[0].y, 0);
  const double lineH = cl.mLines[1].y - cl.mLines[0].y;
  EXPECT_NEAR(cl.mLines[0].y, (20 - 3 * lineH) / 2, 1e-6);
}

TEST(CaptionLayoutLines, AWordWiderThanTheBoxGetsItsOwnLine)
{
  Canvas canvas(10, 10);
  CaptionLayout cl;
  layOut(cl, canvas.cr(), "a Donaudampfschifffahrt b", 40, 40);
  ASSERT_EQ(cl.mLines.size(), 3u);
  EXPECT_STREQ(pango_layout_get_text(cl.mLines[1].layout), "Donaudampfschifffahrt ");
  EXPECT_LT(cl.mLines[1].x, 0);
}

TEST(CaptionLayoutLines, EmptyLinesKeepTheirHeight)
{
  Canvas canvas(10, 10);
  CaptionLayout cl;
  layOut(cl, canvas.cr(), "a<br><br>b", 200, 100);
  ASSERT_EQ(cl.mLines.size(), 3u);
  EXPECT_EQ(cl.mLines[1].layout, nullptr);
  const double step1 = cl.mLines[1].y - cl.mLines[0].y;
  const double step2 = cl.mLines[2].y - cl.mLines[1].y;
  EXPECT_GT(step2, 10);
  EXPECT_NEAR(step1, step2, 0.5);
}

TEST(CaptionLayoutLines, EmptyOrTagOnlyCaptionBuildsNoLines)
{
  Canvas canvas(100, 100);
  for (const char* html : {"", "<b></b>", "   "}) {
    CaptionLayout cl;
    cairo_set_source_rgb(canvas.cr(), 0, 0, 0);
    cl.drawCentered(canvas.cr(), html, 0, 0, 100, 100);
    EXPECT_TRUE(cl.mLines.empty()) << html;
    EXPECT_EQ(canvas.ink(), 0) << html;
  }
}

TEST(CaptionDrawing, DrawsInTheCurrentColourInsideTheBox)
{
  Canvas canvas(200, 100);
  cairo_set_source_rgb(canvas.cr(), 0, 0, 1);
  CaptionLayout cl;
  cl.drawCentered(canvas.cr(), "<b>Kunde</b>", 50, 25, 150, 75);
  int blue = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      const Rgb p = canvas.at(x, y);
      if (!p.isWhite(8)) {
        EXPECT_GE(p.b, p.r) << x << "," << y;
        EXPECT_TRUE(x >= 50 && x < 150 && y >= 25 && y < 75) << "ink outside the box at " << x << "," << y;
        ++blue;
      }
    }
  EXPECT_GT(blue, 30);
}

TEST(CaptionDrawing, BrokenTextFromAFileIsDrawnWithoutHarm)
{
  // Captions come from diagram files: invalid UTF-8, control bytes, stray
  // angle brackets and very long words must neither crash nor hang.
  const std::string cases[] = {
      std::string("\xff\xfe Kunde <b>\xc3</b>\x01\x02 x"),
      std::string("a\0b", 3),
      std::string(">>><<<>"),
      std::string("<br><br><br><br>"),
      std::string(5000, 'W'),
      std::string("\t\t\r\r\n\n"),
  };
  for (const std::string& html : cases) {
    Canvas canvas(200, 100);
    cairo_set_source_rgb(canvas.cr(), 0, 0, 0);
    CaptionLayout cl;
    cl.drawCentered(canvas.cr(), html, 10, 10, 190, 90);
    cl.drawCentered(canvas.cr(), html, 10, 10, 190, 90);
    EXPECT_EQ(cairo_status(canvas.cr()), CAIRO_STATUS_SUCCESS);
    for (const TextSegment& segment : cl.mSegments)
      EXPECT_TRUE(g_utf8_validate(segment.first.c_str(), -1, nullptr)) << segment.first;
  }
}

TEST(CaptionDrawing, TooSmallOnScreenDrawsNothingAndBuildsNothing)
{
  struct Case
  {
    double scale;
    bool drawn;
  };
  for (const Case c : {Case{0.27, false}, Case{0.28, true}, Case{1.0, true}}) {
    Canvas canvas(300, 100);
    cairo_scale(canvas.cr(), c.scale, c.scale);
    cairo_set_source_rgb(canvas.cr(), 0, 0, 0);
    CaptionLayout cl;
    const unsigned long before = CaptionLayout::buildCount();
    cl.drawCentered(canvas.cr(), "WWWW WWWW", 0, 0, 300 / c.scale, 100 / c.scale);
    EXPECT_EQ(CaptionLayout::buildCount() - before, c.drawn ? 1u : 0u) << c.scale;
    EXPECT_EQ(canvas.ink() > 0, c.drawn) << c.scale;
  }
}

TEST(CaptionCache, RebuildsOnlyOnTextBoxOrZoomChanges)
{
  Canvas canvas(400, 400);
  CaptionLayout a, b;
  auto frame = [&](double tx, double ty, double s, const char* textA, double boxA) {
    cairo_identity_matrix(canvas.cr());
    cairo_translate(canvas.cr(), tx, ty);
    cairo_scale(canvas.cr(), s, s);
    const unsigned long before = CaptionLayout::buildCount();
    a.drawCentered(canvas.cr(), textA, 10, 10, 10 + boxA, 60);
    b.drawCentered(canvas.cr(), "zweite Beschriftung", 100, 100, 200, 150);
    return CaptionLayout::buildCount() - before;
  };
  EXPECT_EQ(frame(0, 0, 1, "erste", 100), 2u);        // first frame builds both
  EXPECT_EQ(frame(0, 0, 1, "erste", 100), 0u);        // unchanged frame
  EXPECT_EQ(frame(37.5, -12, 1, "erste", 100), 0u);   // pan
  EXPECT_EQ(frame(37.5, -12, 1.5, "erste", 100), 2u); // zoom: once per caption
  EXPECT_EQ(frame(-5, 3, 1.5, "erste", 100), 0u);
  EXPECT_EQ(frame(-5, 3, 1.5, "andere", 100), 1u); // caption text changed
  EXPECT_EQ(frame(-5, 3, 1.5, "andere", 120), 1u); // box resized
  EXPECT_EQ(frame(-5, 3, 1.5, "andere", 120), 0u);
}

TEST(CaptionCache, SegmentsAreReparsedOnlyForNewText)
{
  Canvas canvas(100, 100);
  CaptionLayout cl;
  cl.drawCentered(canvas.cr(), "<b>fett</b>", 0, 0, 100, 50);
  ASSERT_EQ(cl.mSegments.size(), 1u);
  PangoFontDescription* font = cl.mSegments[0].second;
  cl.drawCentered(canvas.cr(), "<b>fett</b>", 0, 0, 80, 50); // only the box changes
  EXPECT_EQ(cl.mSegments[0].second, font);
  cl.drawCentered(canvas.cr(), "<i>schräg</i>", 0, 0, 80, 50);
  EXPECT_EQ(cl.mSegmentsHtml, "<i>schräg</i>");
  EXPECT_EQ(view(std::move(cl.mSegments)), (SegmentView{{"schräg ", I}}));
  cl.mSegments.clear();
}

TEST(CaptionCache, CopyAssignmentLeavesAnEmptyLayoutThatRebuilds)
{
  Canvas canvas(100, 100);
  CaptionLayout source, target;
  source.drawCentered(canvas.cr(), "Quelle", 0, 0, 100, 50);
  target.drawCentered(canvas.cr(), "Ziel", 0, 0, 100, 50);
  target = source;
  EXPECT_TRUE(target.mLines.empty());
  EXPECT_TRUE(target.mSegments.empty());
  EXPECT_FALSE(target.mValid);
  EXPECT_EQ(source.mLines.size(), 1u); // the source keeps its own layouts
  const unsigned long before = CaptionLayout::buildCount();
  target.drawCentered(canvas.cr(), "Ziel", 0, 0, 100, 50);
  EXPECT_EQ(CaptionLayout::buildCount() - before, 1u);
  CaptionLayout copy(source);
  EXPECT_TRUE(copy.mLines.empty());
}

TEST(EdgeCaption, LeftmostPointTakesTheFirstOnTies)
{
  EXPECT_EQ(find_leftmost_edge({{5, 0}, {1, 3}, {1, 9}, {4, 4}}), 1u);
  EXPECT_EQ(find_leftmost_edge({{0, 0}}), 0u);
  EXPECT_DOUBLE_EQ(calculate_line_length(1, 2, 4, 6), 5);
}

TEST(EdgeCaption, TextThatFitsStartsAtTheLeftmostPoint)
{
  Canvas canvas(300, 300);
  cairo_set_source_rgb(canvas.cr(), 0, 0, 0);
  TextSegmentList segments = ParseHtmlToTextSegments("Hi<br>du");
  // leftmost point (50, 100); its next edge runs 200 units to (50, 300)
  draw_text_along_leftmost_edge(canvas.cr(), segments, {{250, 100}, {250, 300}, {60, 300}, {50, 100}});
  FreeSegments(segments);
  EXPECT_GT(canvas.inkIn(50, 100, 120, 125), 10);
  EXPECT_EQ(canvas.inkIn(0, 0, 300, 100), 0);
  EXPECT_EQ(canvas.inkIn(0, 0, 49, 300), 0);
}

TEST(EdgeCaption, TextLongerThanTheEdgeIsReportedAndNotDrawn)
{
  Canvas canvas(300, 300);
  cairo_set_source_rgb(canvas.cr(), 0, 0, 0);
  TextSegmentList segments = ParseHtmlToTextSegments("eine recht lange Beschriftung");
  testing::internal::CaptureStderr();
  draw_text_along_leftmost_edge(canvas.cr(), segments, {{10, 10}, {40, 10}, {40, 40}, {10, 40}});
  const std::string err = testing::internal::GetCapturedStderr();
  FreeSegments(segments);
  EXPECT_EQ(err, "Text is too long to fit on the line\n");
  EXPECT_EQ(canvas.ink(), 0);
}

} // namespace
