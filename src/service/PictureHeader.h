#pragma once

#include <juce_core/juce_core.h>

//==============================================================================
/** What a picture's bytes say about it before anything is decoded: its format
    and the size a decoder would allocate for it.

    Pictures come from the network, and the framework's decoders believe
    whatever size a header declares. This reads the structure of a PNG, JPEG
    or GIF picture from its first byte to its last without decoding any
    pixel, and accepts only a picture that is whole and well-formed as far as
    the decoders will look: anything else (another format, a truncated or
    damaged structure, a PNG whose compressed text could swell far beyond
    its size) reads as Format::unknown.
*/
class PictureHeader
{
public:
    enum class Format
    {
        unknown,
        png,
        jpeg,
        gif
    };

    /** Reads the bytes' header and structure; a picture that is not accepted
        gives Format::unknown and a size of 0 x 0. */
    static PictureHeader read (const void* data, size_t numBytes);

    bool isKnown() const { return format != Format::unknown; }

    //==============================================================================
    /** Compressed text and colour-profile chunks of a PNG, together, may hold
        at most this many bytes: the decoder inflates each of them in full,
        up to a thousand times its size. */
    static constexpr size_t maxPngCompressedMetadataBytes = 16 * 1024;

    Format format = Format::unknown;

    /** The size of the image the decoder would make (for a GIF, its first
        frame's). */
    int width = 0, height = 0;
};
