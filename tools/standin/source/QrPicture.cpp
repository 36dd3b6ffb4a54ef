#include "QrPicture.h"

#include <png.h>
#include <qrencode.h>

#include <algorithm>
#include <csetjmp>
#include <memory>
#include <vector>

namespace
{
void appendToString (png_structp png, png_bytep data, png_size_t length)
{
    static_cast<std::string*> (png_get_io_ptr (png))->append (reinterpret_cast<const char*> (data), length);
}

void flushNothing (png_structp) {}

/** Writes rows of 8-bit grey pixels; kept free of C++ objects with
        destructors because libpng reports errors with longjmp. */
bool writeGreyPng (std::string* out, const unsigned char* pixels, int size)
{
    png_structp png = png_create_write_struct (PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct (png) : nullptr;

    if (info == nullptr)
    {
        png_destroy_write_struct (&png, nullptr);
        return false;
    }

    if (setjmp (png_jmpbuf (png)))
    {
        png_destroy_write_struct (&png, &info);
        return false;
    }

    png_set_write_fn (png, out, appendToString, flushNothing);
    png_set_IHDR (png, info, (png_uint_32) size, (png_uint_32) size, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info (png, info);

    for (int y = 0; y < size; ++y)
        png_write_row (png, const_cast<png_bytep> (pixels + (size_t) y * (size_t) size));

    png_write_end (png, nullptr);
    png_destroy_write_struct (&png, &info);
    return true;
}
}

std::string QrPicture::pngFor (const std::string& text)
{
    std::unique_ptr<QRcode, decltype (&QRcode_free)> code (QRcode_encodeString (text.c_str(), 0, QR_ECLEVEL_M, QR_MODE_8, 1), QRcode_free);

    if (code == nullptr)
        return {};

    const int modules = code->width + 2 * quietZoneModules;
    const int size = modules * pixelsPerModule;
    std::vector<unsigned char> pixels ((size_t) size * (size_t) size, 255);

    for (int y = 0; y < code->width; ++y)
    {
        for (int x = 0; x < code->width; ++x)
        {
            if ((code->data[y * code->width + x] & 1) == 0)
                continue;

            for (int dy = 0; dy < pixelsPerModule; ++dy)
            {
                auto* row = pixels.data() + (size_t) ((y + quietZoneModules) * pixelsPerModule + dy) * (size_t) size;
                std::fill_n (row + (x + quietZoneModules) * pixelsPerModule, pixelsPerModule, (unsigned char) 0);
            }
        }
    }

    std::string png;

    if (! writeGreyPng (&png, pixels.data(), size))
        return {};

    return png;
}
