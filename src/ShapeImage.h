// ShapeImage: shows the built-in picture at its natural size. Its size is the
// picture's; it has no resize handles.
#pragma once

#include <cstdint>

#include "Shape.h"

class ShapeImage : public Shape {
public:
    // The decoded picture; owned.
    cairo_surface_t* mImage;
    // Pixel data of mImage.
    uint32_t* mPixelBuf;
    // Unused.
    uint32_t* mFontPixelBuf;
    int mWidth, mHeight;

    // Placed with its top-left corner at (x1, y1); x2 and y2 are ignored.
    // Throws corekit::Error when the picture cannot be decoded.
    ShapeImage(double x1, double y1, double x2, double y2);
    virtual ~ShapeImage();

    void drawSelectionPreview(cairo_t* cr, int cursorX, int cursorY, int viewMode) override;
    void draw(cairo_t* cr) override;
    // None: an image keeps the picture's size.
    std::vector<ShapeNode*> getResizeNodes() override;
    void recalcConnectionNodes() override;
    void moveNode(Node* node, double x, double y) override;

    // Sets every pixel of the picture to transparent black.
    void clear();
};
