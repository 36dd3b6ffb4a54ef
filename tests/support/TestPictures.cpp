#include "TestPictures.h"

namespace
{
juce::uint32 crc32 (const juce::uint8* data, size_t size)
{
    juce::uint32 crc = 0xffffffff;

    for (size_t i = 0; i < size; ++i)
    {
        crc ^= data[i];

        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }

    return ~crc;
}

void putBigEndian (juce::uint8* at, juce::uint32 value, int numBytes)
{
    for (int i = numBytes; --i >= 0;)
    {
        at[i] = (juce::uint8) (value & 0xff);
        value >>= 8;
    }
}

void putLittleEndian16 (juce::uint8* at, int value)
{
    at[0] = (juce::uint8) (value & 0xff);
    at[1] = (juce::uint8) ((value >> 8) & 0xff);
}

juce::MemoryBlock written (juce::ImageFileFormat& format, int width, int height, juce::Colour colour)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    image.clear (image.getBounds(), colour);
    image.clear ({ 0, 0, juce::jmax (1, width / 2), juce::jmax (1, height / 2) }, juce::Colours::black);

    juce::MemoryOutputStream out;
    format.writeImageToStream (image, out);
    return out.getMemoryBlock();
}

/** Bits to bytes, least significant first, as GIF codes are packed. */
struct BitWriter
{
    void write (int code, int numBits)
    {
        for (int i = 0; i < numBits; ++i)
        {
            current |= ((code >> i) & 1) << used;

            if (++used == 8)
            {
                bytes.push_back ((juce::uint8) current);
                current = used = 0;
            }
        }
    }

    std::vector<juce::uint8> finish()
    {
        if (used > 0)
            bytes.push_back ((juce::uint8) current);

        return bytes;
    }

    std::vector<juce::uint8> bytes;
    int current = 0, used = 0;
};
} // namespace

//==============================================================================
juce::MemoryBlock TestPictures::png (int width, int height, juce::Colour colour)
{
    juce::PNGImageFormat format;
    return written (format, width, height, colour);
}

juce::MemoryBlock TestPictures::jpeg (int width, int height, juce::Colour colour)
{
    juce::JPEGImageFormat format;
    return written (format, width, height, colour);
}

juce::MemoryBlock TestPictures::gif (int width, int height)
{
    juce::MemoryOutputStream out;
    out.write ("GIF89a", 6);
    out.writeShort ((short) width);
    out.writeShort ((short) height);
    out.writeByte ((char) 0x81); // a global palette of four colours
    out.writeByte (0);
    out.writeByte (0);

    const juce::uint8 palette[] = { 0, 0, 0, 255, 255, 255, 255, 0, 0, 0, 0, 255 };
    out.write (palette, sizeof (palette));

    out.writeByte (0x2c);
    out.writeShort (0);
    out.writeShort (0);
    out.writeShort ((short) width);
    out.writeShort ((short) height);
    out.writeByte (0);

    // Code size 2: three-bit codes, kept so by a clear code before every
    // second pixel, so no code ever needs a fourth bit.
    constexpr int clearCode = 4, endCode = 5, bits = 3;
    out.writeByte (2);

    BitWriter codes;
    const auto numPixels = width * height;

    for (int i = 0; i < numPixels; ++i)
    {
        if (i % 2 == 0)
            codes.write (clearCode, bits);

        codes.write ((i / juce::jmax (1, width)) % 4, bits);
    }

    codes.write (endCode, bits);
    const auto data = codes.finish();

    for (size_t at = 0; at < data.size(); at += 255)
    {
        const auto count = juce::jmin ((size_t) 255, data.size() - at);
        out.writeByte ((char) count);
        out.write (data.data() + at, count);
    }

    out.writeByte (0);
    out.writeByte (0x3b);
    return out.getMemoryBlock();
}

juce::MemoryBlock TestPictures::withDeclaredSize (const juce::MemoryBlock& picture, int width, int height)
{
    auto copy = picture;
    auto* bytes = static_cast<juce::uint8*> (copy.getData());
    const auto size = copy.getSize();

    if (size > 33 && bytes[0] == 0x89 && bytes[1] == 'P')
    {
        putBigEndian (bytes + 16, (juce::uint32) width, 4);
        putBigEndian (bytes + 20, (juce::uint32) height, 4);
        putBigEndian (bytes + 29, crc32 (bytes + 12, 17), 4);
    }
    else if (size > 4 && bytes[0] == 0xff && bytes[1] == 0xd8)
    {
        for (size_t i = 2; i + 9 < size; ++i)
        {
            if (bytes[i] == 0xff && (bytes[i + 1] == 0xc0 || bytes[i + 1] == 0xc2))
            {
                putBigEndian (bytes + i + 5, (juce::uint32) height, 2);
                putBigEndian (bytes + i + 7, (juce::uint32) width, 2);
                break;
            }
        }
    }
    else if (size > 13 && bytes[0] == 'G')
    {
        putLittleEndian16 (bytes + 6, width);
        putLittleEndian16 (bytes + 8, height);

        const size_t paletteBytes = (bytes[10] & 0x80) != 0 ? 3u * (2u << (bytes[10] & 7)) : 0u;
        const auto descriptor = 13 + paletteBytes;

        if (descriptor + 9 < size && bytes[descriptor] == 0x2c)
        {
            putLittleEndian16 (bytes + descriptor + 5, width);
            putLittleEndian16 (bytes + descriptor + 7, height);
        }
    }

    return copy;
}

bool TestPictures::shows (const juce::Image& image, const juce::MemoryBlock& picture)
{
    const auto expected = juce::ImageFileFormat::loadFrom (picture.getData(), picture.getSize());

    if (! image.isValid() || ! expected.isValid() || image.getBounds() != expected.getBounds())
        return false;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (image.getPixelAt (x, y) != expected.getPixelAt (x, y))
                return false;

    return true;
}

juce::MemoryBlock TestPictures::truncated (const juce::MemoryBlock& picture, size_t numBytes)
{
    return { picture.getData(), juce::jmin (numBytes, picture.getSize()) };
}

std::vector<TestPictures::Hostile> TestPictures::hostileTable (juce::Point<int> largestAllowed)
{
    const auto smallPng = png (40, 30);
    const auto smallJpeg = jpeg (40, 30);
    const auto smallGif = gif (40, 30);

    juce::MemoryBlock garbage (3000);

    for (size_t i = 0; i < garbage.getSize(); ++i)
        garbage[i] = (char) ((i * 37 + 11) & 0xff);

    return {
        { "a PNG that declares 1,000,000 x 1,000,000", withDeclaredSize (smallPng, 1000000, 1000000) },
        { "a JPEG that declares 65,000 x 65,000", withDeclaredSize (smallJpeg, 65000, 65000) },
        { "a GIF that declares 65,535 x 65,535", withDeclaredSize (smallGif, 65535, 65535) },
        { "a complete PNG one pixel wider than allowed", png (largestAllowed.x + 1, 8) },
        { "a complete JPEG one pixel higher than allowed", jpeg (8, largestAllowed.y + 1) },
        { "a PNG cut short", truncated (smallPng, smallPng.getSize() - 30) },
        { "a JPEG cut short", truncated (smallJpeg, smallJpeg.getSize() / 2) },
        { "a GIF cut short", truncated (smallGif, smallGif.getSize() - 20) },
        { "garbage", garbage },
        { "a PNG whose header says more than its data holds", withDeclaredSize (smallPng, 80, 60) },
        { "a JPEG whose header says more than its data holds", withDeclaredSize (smallJpeg, 400, 300) },
    };
}
