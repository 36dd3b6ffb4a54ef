#pragma once

#include <juce_graphics/juce_graphics.h>

#include <map>
#include <memory>
#include <optional>

struct hb_blob_t;
struct hb_face_t;
struct hb_font_t;

//==============================================================================
/** One font face as the shaping engine reads it: its character map, its
    glyphs' outlines and colour layers, for laying out and drawing text that
    the framework cannot draw itself (scripts the embedded faces lack, text
    that needs shaping or runs right to left).

    Glyph outlines are read once per glyph and kept, in font units with y
    growing downwards. Message thread only: the text is laid out and drawn
    there.
*/
class FontFace
{
public:
    /** A face from font data the program carries (the data must outlive the
        face). */
    static std::unique_ptr<FontFace> fromMemory (const void* data, size_t size);

    /** A face from an installed font file; index picks the face of a
        collection. Nothing when the file is no font the engine can read. */
    static std::unique_ptr<FontFace> fromFile (const juce::File& file, unsigned int index);

    ~FontFace();

    //==============================================================================
    /** The glyph the face maps the character to, or 0 when it has none. */
    unsigned int glyphFor (juce::juce_wchar character) const;
    bool covers (juce::juce_wchar character) const { return glyphFor (character) != 0; }

    int unitsPerEm() const noexcept { return upem; }
    hb_font_t* shapingFont() const noexcept { return font; }

    /** True when the face draws glyphs in colour (layers or pictures). */
    bool hasColourGlyphs() const noexcept { return hasColourLayers || hasPictures; }

    //==============================================================================
    /** How a glyph is drawn: an outline filled in the text's colour, layers
        of outlines in colours of their own, or a picture. */
    struct Glyph
    {
        juce::Path outline;
        std::vector<std::pair<juce::Path, std::optional<juce::Colour>>> colourLayers; // no colour: the text's
        juce::Image picture;
        juce::Rectangle<float> pictureArea; // font units, y down
    };

    /** The glyph's drawing, read on first use and kept; the reference holds
        until the next call. */
    const Glyph& glyph (unsigned int glyphId) const;

    /** Colour glyph pictures larger than this on a side are not drawn: they
        come from installed files that anybody may have put there. */
    static constexpr int maximumPictureSide = 512;

private:
    //==============================================================================
    FontFace (hb_blob_t*, hb_face_t*);

    hb_blob_t* blob = nullptr;
    hb_face_t* face = nullptr;
    hb_font_t* font = nullptr;
    int upem = 1000;
    bool hasColourLayers = false;
    bool hasPictures = false;

    mutable std::map<unsigned int, Glyph> glyphs;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FontFace)
};
