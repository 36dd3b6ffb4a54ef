#include "PictureHeader.h"

namespace
{
//==============================================================================
/** A cursor over the bytes that never reads beyond them. */
class ByteReader
{
public:
    ByteReader (const void* dataToRead, size_t sizeToRead)
        : data (static_cast<const juce::uint8*> (dataToRead))
        , size (dataToRead != nullptr ? sizeToRead : 0)
    {
    }

    bool has (size_t count) const { return count <= size - position; }
    size_t remaining() const { return size - position; }
    size_t getPosition() const { return position; }

    juce::uint8 peek (size_t offset = 0) const { return data[position + offset]; }

    juce::uint8 byte() { return data[position++]; }

    juce::uint32 bigEndian16() { return (juce::uint32) readBytes<2> (false); }
    juce::uint32 bigEndian32() { return (juce::uint32) readBytes<4> (false); }
    juce::uint32 littleEndian16() { return (juce::uint32) readBytes<2> (true); }

    void skip (size_t count) { position += count; }

    bool matches (const char* text, size_t count) const
    {
        return has (count) && memcmp (data + position, text, count) == 0;
    }

    bool endsWith (juce::uint8 a, juce::uint8 b) const
    {
        return size >= 2 && data[size - 2] == a && data[size - 1] == b;
    }

private:
    template <int numBytes>
    juce::uint64 readBytes (bool littleEndian)
    {
        juce::uint64 value = 0;

        for (int i = 0; i < numBytes; ++i)
        {
            const auto b = (juce::uint64) data[position + (size_t) i];
            value = littleEndian ? (value | (b << (8 * i))) : ((value << 8) | b);
        }

        position += numBytes;
        return value;
    }

    const juce::uint8* data;
    size_t size;
    size_t position = 0;
};

PictureHeader sized (PictureHeader::Format format, juce::uint32 width, juce::uint32 height)
{
    // Sizes beyond an int are none the framework could hold.
    constexpr juce::uint32 largest = (juce::uint32) std::numeric_limits<int>::max();

    PictureHeader header;

    if (width == 0 || height == 0 || width > largest || height > largest)
        return header;

    header.format = format;
    header.width = (int) width;
    header.height = (int) height;
    return header;
}

//==============================================================================
bool isValidPngDepth (juce::uint8 colourType, juce::uint8 bitDepth)
{
    switch (colourType)
    {
        case 0:
            return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 || bitDepth == 16;
        case 3:
            return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
        case 2:
        case 4:
        case 6:
            return bitDepth == 8 || bitDepth == 16;
        default:
            return false;
    }
}

/** Signature, IHDR first, every chunk whole, at least one IDAT, IEND. */
PictureHeader readPng (ByteReader in)
{
    constexpr juce::uint32 largestChunk = 0x7fffffff;

    in.skip (8);

    juce::uint32 width = 0, height = 0;
    size_t compressedMetadata = 0;
    bool seenHeader = false, seenData = false;

    for (;;)
    {
        if (! in.has (8))
            return {};

        const auto length = in.bigEndian32();
        juce::uint8 type[4];

        for (auto& c : type)
            c = in.byte();

        // Chunk types are four ASCII letters.
        for (auto c : type)
            if (! juce::CharacterFunctions::isLetter ((char) c))
                return {};

        if (length > largestChunk || ! in.has ((size_t) length + 4))
            return {};

        const auto is = [&type] (const char* name)
        { return memcmp (type, name, 4) == 0; };

        if (! seenHeader)
        {
            if (! is ("IHDR") || length != 13)
                return {};

            width = in.bigEndian32();
            height = in.bigEndian32();
            const auto bitDepth = in.byte();
            const auto colourType = in.byte();
            const auto compression = in.byte();
            const auto filter = in.byte();
            const auto interlace = in.byte();

            if (! isValidPngDepth (colourType, bitDepth) || compression != 0 || filter != 0 || interlace > 1)
                return {};

            seenHeader = true;
            in.skip (4);
            continue;
        }

        if (is ("IHDR"))
            return {};

        if (is ("zTXt") || is ("iTXt") || is ("iCCP"))
        {
            compressedMetadata += length;

            if (compressedMetadata > PictureHeader::maxPngCompressedMetadataBytes)
                return {};
        }

        seenData = seenData || is ("IDAT");
        in.skip ((size_t) length + 4);

        if (is ("IEND"))
            return seenData ? sized (PictureHeader::Format::png, width, height) : PictureHeader();
    }
}

//==============================================================================
/** From the start-of-image marker to the end-of-image marker that ends the
    bytes: segments whole, quantisation tables defined before the first scan
    for every component, and one frame of a kind the decoder reads (baseline,
    extended or progressive, 8 bits). */
PictureHeader readJpeg (ByteReader in)
{
    if (! in.endsWith (0xff, 0xd9))
        return {};

    in.skip (2);

    juce::uint32 width = 0, height = 0;
    bool seenFrame = false;
    int definedTables = 0; // one bit per quantisation table
    juce::Array<int> frameTables;

    for (;;)
    {
        if (! in.has (2) || in.byte() != 0xff)
            return {};

        // Fill bytes before a marker.
        while (in.has (1) && in.peek() == 0xff)
            in.skip (1);

        if (! in.has (1))
            return {};

        const auto marker = in.byte();

        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
            continue;

        if (marker == 0x00 || marker == 0xd8 || marker == 0xd9)
            return {};

        if (! in.has (2))
            return {};

        const auto length = in.bigEndian16();

        if (length < 2 || ! in.has (length - 2))
            return {};

        const auto segmentEnd = in.getPosition() + length - 2;

        if (marker == 0xdb)
        {
            while (in.getPosition() < segmentEnd)
            {
                const auto precisionAndTable = in.byte();
                const auto tableBytes = (precisionAndTable >> 4) == 0 ? 64u : 128u;

                if ((precisionAndTable >> 4) > 1 || (precisionAndTable & 15) > 3 || segmentEnd - in.getPosition() < tableBytes)
                    return {};

                definedTables |= 1 << (precisionAndTable & 15);
                in.skip (tableBytes);
            }

            continue;
        }

        const auto isFrame = marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;

        if (isFrame)
        {
            // Lossless, hierarchical and arithmetic-coded frames are refused,
            // and so is a second frame.
            if (seenFrame || marker > 0xc2 || length < 8)
                return {};

            const auto precision = in.byte();
            height = in.bigEndian16();
            width = in.bigEndian16();
            const auto numComponents = in.byte();

            if (precision != 8 || (numComponents != 1 && numComponents != 3) || length != 8u + 3u * numComponents)
                return {};

            for (int i = 0; i < numComponents; ++i)
            {
                in.skip (1);
                const auto sampling = in.byte();
                const auto table = in.byte();

                if ((sampling >> 4) < 1 || (sampling >> 4) > 4 || (sampling & 15) < 1 || (sampling & 15) > 4 || table > 3)
                    return {};

                frameTables.add (table);
            }

            seenFrame = true;
            continue;
        }

        if (marker == 0xda)
        {
            // The first scan: from here on the bytes are coded image data,
            // which ends with the end-of-image marker checked above.
            if (! seenFrame)
                return {};

            for (auto table : frameTables)
                if ((definedTables & (1 << table)) == 0)
                    return {};

            return sized (PictureHeader::Format::jpeg, width, height);
        }

        in.skip (length - 2);
    }
}

//==============================================================================
bool skipSubBlocks (ByteReader& in)
{
    for (;;)
    {
        if (! in.has (1))
            return false;

        const auto count = in.byte();

        if (count == 0)
            return true;

        if (! in.has (count))
            return false;

        in.skip (count);
    }
}

/** Header, screen descriptor, blocks up to the trailer: the first image
    descriptor's size is the one the decoder allocates. */
PictureHeader readGif (ByteReader in)
{
    in.skip (6);

    if (! in.has (7))
        return {};

    const auto screenWidth = in.littleEndian16();
    const auto screenHeight = in.littleEndian16();
    const auto flags = in.byte();
    in.skip (2);

    if (screenWidth == 0 || screenHeight == 0)
        return {};

    if ((flags & 0x80) != 0)
    {
        const size_t paletteBytes = 3u * (2u << (flags & 7));

        if (! in.has (paletteBytes))
            return {};

        in.skip (paletteBytes);
    }

    juce::uint32 width = 0, height = 0;
    bool seenImage = false;

    for (;;)
    {
        if (! in.has (1))
            return {};

        const auto block = in.byte();

        if (block == 0x3b)
            return seenImage ? sized (PictureHeader::Format::gif, width, height) : PictureHeader();

        if (block == 0x21)
        {
            if (! in.has (1))
                return {};

            // A graphic control extension has one block of four bytes,
            // which the decoder reads as such.
            if (in.byte() == 0xf9 && ! (in.has (1) && in.peek() == 4))
                return {};

            if (! skipSubBlocks (in))
                return {};

            continue;
        }

        if (block != 0x2c || ! in.has (9))
            return {};

        in.skip (4);
        const auto frameWidth = in.littleEndian16();
        const auto frameHeight = in.littleEndian16();
        const auto frameFlags = in.byte();

        if (! seenImage)
        {
            width = frameWidth;
            height = frameHeight;
            seenImage = true;

            if (width == 0 || height == 0)
                return {};
        }

        if ((frameFlags & 0x80) != 0)
        {
            const size_t paletteBytes = 3u * (2u << (frameFlags & 7));

            if (! in.has (paletteBytes))
                return {};

            in.skip (paletteBytes);
        }

        // The smallest code size, then the coded image in sub-blocks.
        if (! in.has (1))
            return {};

        const auto codeSize = in.byte();

        if (codeSize < 2 || codeSize > 8 || ! skipSubBlocks (in))
            return {};
    }
}
} // namespace

//==============================================================================
PictureHeader PictureHeader::read (const void* data, size_t numBytes)
{
    const ByteReader in (data, numBytes);

    if (in.matches ("\x89PNG\r\n\x1a\n", 8))
        return readPng (in);

    if (in.has (3) && in.peek (0) == 0xff && in.peek (1) == 0xd8 && in.peek (2) == 0xff)
        return readJpeg (in);

    if (in.matches ("GIF87a", 6) || in.matches ("GIF89a", 6))
        return readGif (in);

    return {};
}
