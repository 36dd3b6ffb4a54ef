#include "ImageValidator.h"

#include <zlib.h>

#include <cstring>

namespace
{
unsigned int readBigEndian16 (const std::string& bytes, size_t offset)
{
    return ((unsigned int) (unsigned char) bytes[offset] << 8) | (unsigned char) bytes[offset + 1];
}

unsigned long readBigEndian32 (const std::string& bytes, size_t offset)
{
    return ((unsigned long) readBigEndian16 (bytes, offset) << 16) | readBigEndian16 (bytes, offset + 2);
}

bool sensibleSize (unsigned long width, unsigned long height)
{
    return width > 0 && height > 0 && width <= ImageValidator::maxDimension && height <= ImageValidator::maxDimension;
}

std::optional<ImageValidator::ImageInfo> inspectPng (const std::string& bytes)
{
    static const char signature[] = "\x89PNG\r\n\x1a\n";
    static const char endChunk[] = "\0\0\0\0IEND\xae\x42\x60\x82";
    constexpr size_t headerChunkEnd = 8 + 4 + 4 + 13 + 4;

    if (bytes.size() < headerChunkEnd + sizeof (endChunk) - 1
        || bytes.compare (0, 8, signature, 8) != 0
        || readBigEndian32 (bytes, 8) != 13
        || bytes.compare (12, 4, "IHDR") != 0)
        return std::nullopt;

    const auto crc = crc32 (0L, reinterpret_cast<const Bytef*> (bytes.data() + 12), 17);

    if (crc != readBigEndian32 (bytes, 29))
        return std::nullopt;

    if (bytes.compare (bytes.size() - 12, 12, endChunk, 12) != 0)
        return std::nullopt;

    const auto width = readBigEndian32 (bytes, 16);
    const auto height = readBigEndian32 (bytes, 20);

    if (! sensibleSize (width, height))
        return std::nullopt;

    return ImageValidator::ImageInfo { "png", "image/png", (int) width, (int) height };
}

std::optional<ImageValidator::ImageInfo> inspectJpeg (const std::string& bytes)
{
    if (bytes.size() < 4 || (unsigned char) bytes[0] != 0xff || (unsigned char) bytes[1] != 0xd8 || (unsigned char) bytes[2] != 0xff)
        return std::nullopt;

    size_t position = 2;
    unsigned long width = 0, height = 0;

    while (position + 4 <= bytes.size())
    {
        if ((unsigned char) bytes[position] != 0xff)
            return std::nullopt;

        const auto marker = (unsigned char) bytes[position + 1];

        if (marker == 0xff) // fill byte
        {
            ++position;
            continue;
        }

        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7)) // markers without a length
        {
            position += 2;
            continue;
        }

        const auto length = readBigEndian16 (bytes, position + 2);

        if (length < 2 || position + 2 + length > bytes.size())
            return std::nullopt;

        const bool frameHeader = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;

        if (frameHeader)
        {
            if (length < 8)
                return std::nullopt;

            height = readBigEndian16 (bytes, position + 5);
            width = readBigEndian16 (bytes, position + 7);
        }

        if (marker == 0xda) // start of scan: image data follows
        {
            if (! sensibleSize (width, height) || position + 2 + length >= bytes.size())
                return std::nullopt;

            return ImageValidator::ImageInfo { "jpg", "image/jpeg", (int) width, (int) height };
        }

        if (marker == 0xd9)
            return std::nullopt;

        position += 2 + length;
    }

    return std::nullopt;
}
}

std::optional<ImageValidator::ImageInfo> ImageValidator::inspect (const std::string& bytes)
{
    if (auto png = inspectPng (bytes))
        return png;

    return inspectJpeg (bytes);
}
