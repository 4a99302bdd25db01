#include "ShapeImage.h"

#include "ShapeDrawing.h"
#include "gfx.h"

#include <cstdio>
#include <cstring>

#include "corekit.h"
#include "res.h"

ShapeImage::ShapeImage(double x1, double y1, double, double)
    : mImage(nullptr), mPixelBuf(nullptr), mFontPixelBuf(nullptr), mWidth(0), mHeight(0)
{
    CK_TRACE();
    res_png_read_offset = 0;
    cairo_surface_t* image = cairo_image_surface_create_from_png_stream(res_png_read, nullptr);
    // Any decoding error leaves an unusable surface (of size 0), not only a
    // missing picture.
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
        std::printf("Shape-Image not found!");
        std::fflush(stdout);
        cairo_surface_destroy(image);
        throw corekit::Error("TODO");
    }
    mImage = image;
    mWidth = cairo_image_surface_get_width(mImage);
    mHeight = cairo_image_surface_get_height(mImage);
    CK_INFO("Image loaded: %d:%d Format: %d", mWidth, mHeight,
            static_cast<int>(cairo_image_surface_get_format(mImage)));
    addNode(x1, y1, 0);
    addNode(x1 + mWidth, y1, 1);
    addNode(x1 + mWidth, y1 + mHeight, 2);
    addNode(x1, y1 + mHeight, 3);
    for (int k = 0; k < 4; ++k)
        addConnectionNode(k, k, 50.0);
    mPixelBuf = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(mImage));
    recalcConnectionNodes();
}

ShapeImage::~ShapeImage()
{
    CK_TRACE();
    // The picture belongs to the shape.
    if (mImage)
        cairo_surface_destroy(mImage);
}

// The hover preview of the base.
void ShapeImage::drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode)
{
    Shape::drawSelectionPreview(cr, cursorX, cursorY, viewMode);
}

// The picture at its natural size with its top-left corner on vertex node 0,
// then the caption; no shadow and no outline.
void ShapeImage::draw(cairo_t* cr)
{
    if (mShapeNodes.size() < 3)
        return;
    const double x = mShapeNodes[0]->mX, y = mShapeNodes[0]->mY;
    if (mImage) {
        gfx_set_line_width_min_px(cr, mBorderWidth, 1);
        gfx_save(cr);
        gfx_set_source_surface(cr, mImage, x, y);
        gfx_paint(cr);
        gfx_restore(cr);
    }
    shape_draw_caption(cr, this, x, y, mShapeNodes[2]->mX, mShapeNodes[2]->mY);
    shape_draw_position_print(cr, this, x - 10, y - 10);
}

std::vector<ShapeNode*> ShapeImage::getResizeNodes() { return {}; }

void ShapeImage::recalcConnectionNodes() { Shape::recalcConnectionNodes(); }

void ShapeImage::moveNode(Node*, double, double) {}

void ShapeImage::clear()
{
    if (!mImage || !mPixelBuf)
        return;
    cairo_surface_flush(mImage);
    const int stride = cairo_image_surface_get_stride(mImage);
    unsigned char* data = cairo_image_surface_get_data(mImage);
    for (int row = 0; row < mHeight; ++row)
        std::memset(data + static_cast<size_t>(row) * stride, 0, static_cast<size_t>(mWidth) * 4);
    cairo_surface_mark_dirty(mImage);
}
