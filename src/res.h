// Embedded images of the application and the stream reader through which
// Cairo decodes them. The data is generated at build time and lives for the
// whole process.
#pragma once

#include <cairo.h>

// The picture of the image shape: a PNG of 150 x 145 RGBA pixels (a yellow
// five-pointed star with a green rim and a soft shadow).
extern const unsigned char res_star_png[];
extern const unsigned int res_star_png_size;

// Read position of res_png_read in res_star_png. Process-wide: pictures are
// decoded one at a time, on the GUI thread; reset it to 0 before a decode.
extern unsigned int res_png_read_offset;

// Cairo read function over res_star_png: copies `length` bytes from the read
// position and advances it. Past the last byte it prints
// "ERROR: Buffer limit reached" and fails with CAIRO_STATUS_FILE_NOT_FOUND; a
// request that would run past the end fails with CAIRO_STATUS_READ_ERROR and
// copies nothing.
cairo_status_t res_png_read(void* closure, unsigned char* data, unsigned int length);
