#include "DrawnImageFormat.h"

namespace
{
const char magic[4] = { 'A', 'P', 'I', 'X' };
constexpr size_t headerSize = 8;
constexpr int bytesPerPixel = 4;
}

juce::Image DrawnImageFormat::read (const void* data, size_t size)
{
    if (data == nullptr || size < headerSize || std::memcmp (data, magic, sizeof (magic)) != 0)
        return {};

    const auto* bytes = static_cast<const juce::uint8*> (data);
    const auto width = (int) juce::ByteOrder::littleEndianShort (bytes + 4);
    const auto height = (int) juce::ByteOrder::littleEndianShort (bytes + 6);

    if (width <= 0 || height <= 0 || width > maximumSide || height > maximumSide)
        return {};

    juce::MemoryInputStream compressed (bytes + headerSize, size - headerSize, false);
    juce::GZIPDecompressorInputStream pixels (&compressed, false, juce::GZIPDecompressorInputStream::zlibFormat);

    juce::Image image (juce::Image::ARGB, width, height, false);
    juce::Image::BitmapData bitmap (image, juce::Image::BitmapData::writeOnly);
    juce::HeapBlock<juce::uint8> row ((size_t) (width * bytesPerPixel));

    for (int y = 0; y < height; ++y)
    {
        if (pixels.read (row, width * bytesPerPixel) != width * bytesPerPixel)
            return {};

        for (int x = 0; x < width; ++x)
        {
            const auto* p = row + x * bytesPerPixel;
            reinterpret_cast<juce::PixelARGB*> (bitmap.getPixelPointer (x, y))->setARGB (p[0], p[1], p[2], p[3]);
        }
    }

    // Nothing may follow the last row.
    juce::uint8 extra;
    return pixels.read (&extra, 1) == 0 ? image : juce::Image();
}

bool DrawnImageFormat::write (const juce::Image& image, juce::OutputStream& out)
{
    if (! image.isValid() || image.getWidth() > maximumSide || image.getHeight() > maximumSide)
        return false;

    const auto argb = image.convertedToFormat (juce::Image::ARGB);
    const juce::Image::BitmapData bitmap (argb, juce::Image::BitmapData::readOnly);

    juce::MemoryOutputStream pixels;

    {
        juce::GZIPCompressorOutputStream zipped (pixels, 9); // zlib format

        for (int y = 0; y < argb.getHeight(); ++y)
        {
            for (int x = 0; x < argb.getWidth(); ++x)
            {
                const auto* p = reinterpret_cast<const juce::PixelARGB*> (bitmap.getPixelPointer (x, y));
                const juce::uint8 components[] = { p->getAlpha(), p->getRed(), p->getGreen(), p->getBlue() };

                if (! zipped.write (components, sizeof (components)))
                    return false;
            }
        }

        zipped.flush();
    }

    return out.write (magic, sizeof (magic))
           && out.writeShort ((short) argb.getWidth())
           && out.writeShort ((short) argb.getHeight())
           && out.write (pixels.getData(), pixels.getDataSize());
}
