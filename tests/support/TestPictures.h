#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** Pictures as a service would send them, and hostile ones made from them:
    another declared size, a cut end. */
namespace TestPictures
{
juce::MemoryBlock png (int width, int height, juce::Colour colour = juce::Colours::orange);
juce::MemoryBlock jpeg (int width, int height, juce::Colour colour = juce::Colours::orange);

/** A GIF of a four-colour palette, coded without compression. */
juce::MemoryBlock gif (int width, int height);

/** The picture with its header declaring another size: a PNG's IHDR (with
    its checksum), a JPEG's frame header, a GIF's screen and first frame. */
juce::MemoryBlock withDeclaredSize (const juce::MemoryBlock& picture, int width, int height);

/** True when the image holds the picture's pixels at its size. */
bool shows (const juce::Image& image, const juce::MemoryBlock& picture);

/** The first `numBytes` bytes. */
juce::MemoryBlock truncated (const juce::MemoryBlock& picture, size_t numBytes);

/** A hostile picture for the table tests, with what it is. */
struct Hostile
{
    juce::String what;
    juce::MemoryBlock bytes;
};

/** Huge declared sizes in each format, a complete picture larger than the
    largest a box of `boxSize` allows, cut and garbage bytes, and headers that
    disagree with their data. */
std::vector<Hostile> hostileTable (juce::Point<int> largestAllowed);
} // namespace TestPictures
