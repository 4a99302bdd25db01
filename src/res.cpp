#include "res.h"

#include <cstdio>
#include <cstring>

unsigned int res_png_read_offset = 0;

cairo_status_t res_png_read(void*, unsigned char* data, unsigned int length)
{
    if (res_png_read_offset > res_star_png_size - 1) {
        std::printf("ERROR: Buffer limit reached\n");
        std::fflush(stdout);
        return CAIRO_STATUS_FILE_NOT_FOUND;
    }
    if (length > res_star_png_size - res_png_read_offset)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, res_star_png + res_png_read_offset, length);
    res_png_read_offset += length;
    return CAIRO_STATUS_SUCCESS;
}
