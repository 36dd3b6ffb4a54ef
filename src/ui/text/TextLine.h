#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

class FontFace;

//==============================================================================
/** One line of text laid out as its writer wrote it, in any script: each
    character drawn with the embedded face when it has it, otherwise with an
    installed face that has (FallbackFaces); shaped by the shaping engine
    (joined Arabic, Devanagari and Thai clusters, marks in place); runs in
    their direction by the Unicode bidirectional algorithm, the line's own
    direction taken from its first strong character, so that a line laid out
    on its own is isolated from the text around it.

    The framework draws text letter by letter, left to right, and a character
    its font lacks as nothing. Widgets keep its drawing for text it draws as
    written (frameworkDrawsAsWritten), so that such text looks exactly as it
    always has, and use a TextLine for the rest.

    Positions are in pixels from the line's start (its left edge) and its
    baseline. Indexes count characters (code points), as juce::String does;
    the caret stops only between grapheme clusters. Control characters (tab,
    line breaks) are laid out as blanks. Message thread only.
*/
class TextLine
{
public:
    /** An empty line. */
    TextLine() = default;

    /** Lays out text in a font of one of the embedded faces. */
    TextLine (const juce::String& text, const juce::Font& font);

    /** True when the framework draws the text in this font as it is written:
        every character in the font's face, nothing to shape, nothing right to
        left, no controls. */
    static bool frameworkDrawsAsWritten (const juce::String& text, const juce::Font& font);

    //==============================================================================
    const juce::String& getText() const noexcept { return text; }
    int length() const noexcept { return numCharacters; }
    float getWidth() const noexcept { return width; }
    float getAscent() const noexcept { return ascent; }
    float getHeight() const noexcept { return height; }

    /** The line's own direction, from its first strong character. */
    bool isRightToLeft() const noexcept { return rightToLeft; }

    //==============================================================================
    /** Where the caret stands at a character index (clamped to the text). */
    float caretX (int index) const;

    /** The caret stop nearest to a horizontal position. */
    int indexAt (float x) const;

    /** The caret stop next to an index on screen, to the right or to the
        left, or the index itself at the line's edge. */
    int visualNeighbour (int index, bool rightwards) const;

    /** The grapheme cluster boundary before (or after) an index: what
        Backspace (or Delete) removes. */
    int clusterStartBefore (int index) const;
    int clusterEndAfter (int index) const;

    /** The horizontal spans that a range of characters covers, left to right. */
    std::vector<juce::Range<float>> spansOf (juce::Range<int> characters) const;

    //==============================================================================
    /** Draws the line with its start at x and its baseline at y, in the
        colour given (colour glyphs keep their own colours, at its opacity).
        Glyphs outside the graphics context's clip are skipped. */
    void draw (juce::Graphics&, float x, float baselineY, juce::Colour) const;

    /** Draws the line inside an area as the framework fits one line of text
        into it: placed by the justification, squashed horizontally when it
        is wider than the area (down to minimumHorizontalScale), and clipped
        to the area. */
    void drawFitted (juce::Graphics&,
                     juce::Rectangle<float> area,
                     juce::Justification,
                     juce::Colour,
                     float minimumHorizontalScale = 0.7f) const;

private:
    //==============================================================================
    struct PlacedGlyph
    {
        const FontFace* face;
        unsigned int id;
        float x, y, advance;
    };

    struct Cluster
    {
        int start, end; // characters
        float x0, x1; // pixels
        bool rightToLeft;
    };

    juce::String text;
    int numCharacters = 0;
    float width = 0.0f, ascent = 0.0f, height = 0.0f, emSize = 0.0f;
    bool rightToLeft = false;
    std::vector<PlacedGlyph> glyphs; // in visual order
    std::vector<Cluster> clusters; // in logical order
    std::vector<int> boundaries; // caret stops, ascending

    JUCE_LEAK_DETECTOR (TextLine)
};
