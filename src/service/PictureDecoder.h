#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** Decodes a picture from the network into an image, within bounds.

    Its header is read first (PictureHeader): only a whole, well-formed PNG
    or JPEG picture no larger than the size given is decoded, so a picture
    that declares a huge size never gets its memory. They are decoded here
    on their libraries with every error handled, and whatever the decoder
    makes must have the size the header declared. GIF pictures are read and
    measured but not decoded: the framework's GIF reader reads outside its
    buffer on every picture. Anything refused, truncated,
    damaged or undecodable gives an invalid image. Safe on any thread; the
    image it gives is a software image that may be handed to the message
    thread.
*/
class PictureDecoder
{
public:
    /** Pictures are worth decoding up to this many pixels per point of the
        box they are drawn in: the scale of the sharpest displays... */
    static constexpr int displayScale = 2;

    /** ...times this margin, for pictures made larger than needed. */
    static constexpr int sizeMargin = 3;

    /** Picture downloads larger than this fail: no picture that fits the
        sizes above needs more. */
    static constexpr juce::int64 maxPictureBytes = 8 * 1024 * 1024;

    /** A progressive JPEG with more scans than this is refused: each scan
        costs a pass over the whole picture. */
    static constexpr int maxJpegScans = 100;

    //==============================================================================
    /** The largest picture worth decoding for a box of this size on the page. */
    static juce::Point<int> largestSizeFor (juce::Rectangle<int> box);

    /** The decoded picture, or an invalid image (see above). */
    static juce::Image decode (const void* data, size_t numBytes, juce::Point<int> largestSize);
    static juce::Image decode (const juce::MemoryBlock& bytes, juce::Point<int> largestSize);
};
