#include "Object.h"

Object::Object(long id) : mId(id), mName(""), mType(-1) {}

void Object::drawSelectionPreview(cairo_t*, int, int, int) {}

void Object::setName(const char* name)
{
    mName = name ? name : "";
    for (char& c : mName) {
        if (c == '\n' || c == '\r' || c == ' ')
            c = '_';
    }
}
