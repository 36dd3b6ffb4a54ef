#include "PictureDecoder.h"

#include "PictureHeader.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

namespace
{
//==============================================================================
juce::Image makeImage (const PictureHeader& header)
{
    return juce::Image (juce::Image::ARGB, header.width, header.height, false, juce::SoftwareImageType());
}

/** Writes non-premultiplied RGBA rows into the image, premultiplied as the
    framework keeps its pixels. */
void copyRgbaInto (juce::Image& image, const juce::uint8* rgba)
{
    const juce::Image::BitmapData bitmap (image, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < bitmap.height; ++y)
    {
        for (int x = 0; x < bitmap.width; ++x)
        {
            auto* pixel = reinterpret_cast<juce::PixelARGB*> (bitmap.getPixelPointer (x, y));
            pixel->setARGB (rgba[3], rgba[0], rgba[1], rgba[2]);
            pixel->premultiply();
            rgba += 4;
        }
    }
}

//==============================================================================
juce::Image decodePng (const void* data, size_t numBytes, const PictureHeader& header)
{
    png_image png;
    std::memset (&png, 0, sizeof (png));
    png.version = PNG_IMAGE_VERSION;

    if (! png_image_begin_read_from_memory (&png, data, numBytes))
        return {};

    if ((juce::int64) png.width != header.width || (juce::int64) png.height != header.height)
    {
        png_image_free (&png);
        return {};
    }

    png.format = PNG_FORMAT_RGBA;
    juce::HeapBlock<juce::uint8> rgba ((size_t) header.width * (size_t) header.height * 4);

    const auto finished = png_image_finish_read (&png, nullptr, rgba.get(), 0, nullptr) != 0;
    png_image_free (&png);

    if (! finished || (png.warning_or_error & PNG_IMAGE_ERROR) != 0)
        return {};

    auto image = makeImage (header);
    copyRgbaInto (image, rgba.get());
    return image;
}

//==============================================================================
/** libjpeg's error handling: an error leaves the decode through a long jump,
    a warning (damaged data the library would paper over) marks the picture
    as damaged, and too many scans count as an error. */
struct JpegErrors
{
    jpeg_error_mgr manager;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    bool damaged = false;

    static void onError (j_common_ptr info)
    {
        std::longjmp (reinterpret_cast<JpegErrors*> (info->err)->jump, 1);
    }

    static void onMessage (j_common_ptr info, int level)
    {
        if (level < 0)
            reinterpret_cast<JpegErrors*> (info->err)->damaged = true;
    }

    static void onOutput (j_common_ptr) {}

    static void onProgress (j_common_ptr info)
    {
        const auto* decompress = reinterpret_cast<j_decompress_ptr> (info);

        if (decompress->input_scan_number > PictureDecoder::maxJpegScans)
            onError (info);
    }
};

juce::Image decodeJpeg (const void* data, size_t numBytes, const PictureHeader& header)
{
    // Everything with a destructor exists before the jump point, so that a
    // long jump skips none.
    const auto width = (size_t) header.width;
    juce::HeapBlock<juce::uint8> rgba (width * (size_t) header.height * 4, true);
    juce::HeapBlock<JSAMPLE> row (width * 3);

    jpeg_decompress_struct info;
    std::memset (&info, 0, sizeof (info));
    JpegErrors errors;
    info.err = jpeg_std_error (&errors.manager);
    errors.manager.error_exit = JpegErrors::onError;
    errors.manager.emit_message = JpegErrors::onMessage;
    errors.manager.output_message = JpegErrors::onOutput;
    errors.progress.progress_monitor = JpegErrors::onProgress;

    if (setjmp (errors.jump) != 0)
    {
        jpeg_destroy_decompress (&info);
        return {};
    }

    jpeg_create_decompress (&info);
    info.progress = &errors.progress;
    jpeg_mem_src (&info, static_cast<const unsigned char*> (data), (unsigned long) numBytes);

    if (jpeg_read_header (&info, TRUE) != JPEG_HEADER_OK
        || (juce::int64) info.image_width != header.width
        || (juce::int64) info.image_height != header.height)
    {
        jpeg_destroy_decompress (&info);
        return {};
    }

    info.out_color_space = JCS_RGB;

    if (! jpeg_start_decompress (&info) || info.output_components != 3
        || (juce::int64) info.output_width != header.width
        || (juce::int64) info.output_height != header.height)
    {
        jpeg_destroy_decompress (&info);
        return {};
    }

    while (info.output_scanline < info.output_height)
    {
        const auto y = (size_t) info.output_scanline;
        JSAMPROW rows[] = { row.get() };

        if (jpeg_read_scanlines (&info, rows, 1) != 1)
            break;

        auto* out = rgba.get() + y * width * 4;

        for (size_t x = 0; x < width; ++x)
        {
            out[4 * x] = row[3 * x];
            out[4 * x + 1] = row[3 * x + 1];
            out[4 * x + 2] = row[3 * x + 2];
            out[4 * x + 3] = 0xff;
        }
    }

    const auto complete = info.output_scanline == info.output_height;

    if (complete)
        jpeg_finish_decompress (&info);

    jpeg_destroy_decompress (&info);

    if (! complete || errors.damaged)
        return {};

    auto image = makeImage (header);
    copyRgbaInto (image, rgba.get());
    return image;
}

} // namespace

//==============================================================================
juce::Point<int> PictureDecoder::largestSizeFor (juce::Rectangle<int> box)
{
    return { box.getWidth() * displayScale * sizeMargin, box.getHeight() * displayScale * sizeMargin };
}

juce::Image PictureDecoder::decode (const void* data, size_t numBytes, juce::Point<int> largestSize)
{
    if (data == nullptr || numBytes == 0 || (juce::int64) numBytes > maxPictureBytes)
        return {};

    const auto header = PictureHeader::read (data, numBytes);

    if (! header.isKnown() || header.width > largestSize.x || header.height > largestSize.y)
        return {};

    juce::Image image;

    switch (header.format)
    {
        case PictureHeader::Format::png:
            image = decodePng (data, numBytes, header);
            break;
        case PictureHeader::Format::jpeg:
            image = decodeJpeg (data, numBytes, header);
            break;
        // The framework's GIF reader reads before its buffer on every
        // picture (its first code block looks two bytes before the block
        // it fills), so a GIF, however well-formed, is not decoded: it
        // counts as a picture that could not be had.
        case PictureHeader::Format::gif:
        case PictureHeader::Format::unknown:
            break;
    }

    // What the decoder made must be what the header said.
    if (! image.isValid() || image.getWidth() != header.width || image.getHeight() != header.height)
        return {};

    return image;
}

juce::Image PictureDecoder::decode (const juce::MemoryBlock& bytes, juce::Point<int> largestSize)
{
    return decode (bytes.getData(), bytes.getSize(), largestSize);
}
