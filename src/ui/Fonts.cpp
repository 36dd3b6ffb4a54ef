#include "Fonts.h"

#include "EmbeddedTypeface.h"
#include "text/FontFace.h"

#include <AuralisBinaryData.h>

#include <hb.h>

#include <cstring>
#include <optional>

namespace
{
//==============================================================================
/** Reads a big-endian 16-bit value of a TrueType table, or nothing when it
        lies outside the data. */
std::optional<int> readTableValue (const juce::uint8* data, size_t size, size_t offset, bool isSigned)
{
    if (offset + 2 > size)
        return {};

    const auto value = (int) ((data[offset] << 8) | data[offset + 1]);
    return isSigned && value >= 0x8000 ? value - 0x10000 : value;
}

/** Where a table starts in the font data, or nothing when it is absent. */
[[maybe_unused]] std::optional<size_t> findTable (const juce::uint8* data, size_t size, const char* tag)
{
    const auto numTables = readTableValue (data, size, 4, false);

    if (! numTables.has_value())
        return {};

    for (size_t i = 0; i < (size_t) *numTables; ++i)
    {
        const auto record = 12 + 16 * i;

        if (record + 16 > size)
            return {};

        if (std::memcmp (data + record, tag, 4) == 0)
            return (size_t) ((juce::uint32) data[record + 8] << 24 | (juce::uint32) data[record + 9] << 16
                             | (juce::uint32) data[record + 10] << 8 | (juce::uint32) data[record + 11]);
    }

    return {};
}

/** Windows sizes a face by its Windows line metrics (usWinAscent +
        usWinDescent), FreeType by its typographic or horizontal-header ones.
        The page layouts are made for the Windows size, so elsewhere the height
        is scaled by the ratio of the two. */
float heightScaleFor ([[maybe_unused]] const void* fontData, [[maybe_unused]] int fontSize)
{
#if JUCE_WINDOWS
    return 1.0f;
#else
    const auto* data = static_cast<const juce::uint8*> (fontData);
    const auto size = (size_t) fontSize;
    const auto os2 = findTable (data, size, "OS/2");
    const auto hhea = findTable (data, size, "hhea");

    if (! os2.has_value() || ! hhea.has_value())
        return 1.0f;

    const auto fsSelection = readTableValue (data, size, *os2 + 62, false);
    const auto useTypoMetrics = fsSelection.has_value() && (*fsSelection & 0x80) != 0;
    const auto ascender = useTypoMetrics ? readTableValue (data, size, *os2 + 68, true) : readTableValue (data, size, *hhea + 4, true);
    const auto descender = useTypoMetrics ? readTableValue (data, size, *os2 + 70, true) : readTableValue (data, size, *hhea + 6, true);
    const auto winAscent = readTableValue (data, size, *os2 + 74, false);
    const auto winDescent = readTableValue (data, size, *os2 + 76, false);

    if (! (ascender && descender && winAscent && winDescent))
        return 1.0f;

    const auto freeTypeHeight = *ascender - *descender;
    const auto windowsHeight = *winAscent + *winDescent;

    if (freeTypeHeight <= 0 || windowsHeight <= 0)
        return 1.0f;

    return (float) freeTypeHeight / (float) windowsHeight;
#endif
}

//==============================================================================
struct EmbeddedFace
{
    EmbeddedFace (const void* fontData, int fontSize, int fontWeight)
        : typeface (EmbeddedTypeface::make (fontData, (size_t) fontSize))
        , heightScale (heightScaleFor (fontData, fontSize))
        , data (fontData)
        , size (fontSize)
        , weight (fontWeight)
    {
    }

    /** The face as the shaping engine reads it, made when a text first needs
        it, and the em size of a font of height 1 as the framework draws it:
        measured from the framework's advance of a wide letter against the
        face's own, so that shaped text matches the framework's size on every
        platform. */
    const FontFace& shapingFace() const
    {
        if (shaping == nullptr)
        {
            shaping = FontFace::fromMemory (data, (size_t) size);

            const auto probe = (juce::juce_wchar) 'M';
            hb_position_t advance = 0;
            const auto frameworkWidth = juce::Font (typeface).withHeight (100.0f).getStringWidthFloat (juce::String::charToString (probe)) / 100.0f;

            if (const auto glyph = shaping->glyphFor (probe); glyph != 0)
                advance = hb_font_get_glyph_h_advance (shaping->shapingFont(), glyph);

            emPerHeight = advance > 0 ? frameworkWidth * (float) shaping->unitsPerEm() / (float) advance : 1.0f;
        }

        return *shaping;
    }

    juce::Font withHeight (float height) const
    {
        juce::Font font (typeface);

        if (height > 0.0f)
            font.setHeight (height * heightScale);

        return font;
    }

    juce::Typeface::Ptr typeface;
    float heightScale;
    const void* data;
    int size;
    int weight;
    mutable std::unique_ptr<FontFace> shaping;
    mutable float emPerHeight = 1.0f;
};

/** The two embedded faces, made on first use and released when the framework
    shuts down. A face caches the outlines of the glyphs it has drawn; held
    until the process's static objects go, they would outlive the framework
    and be reported as leaked. */
class EmbeddedFaces : public juce::DeletedAtShutdown
{
public:
    EmbeddedFaces() = default;
    ~EmbeddedFaces() override { clearSingletonInstance(); }

    const EmbeddedFace regular { AuralisBinaryData::AlegreyaSans_400Regular_ttf,
                                 AuralisBinaryData::AlegreyaSans_400Regular_ttfSize,
                                 400 };
    const EmbeddedFace medium { AuralisBinaryData::AlegreyaSans_500Medium_ttf,
                                AuralisBinaryData::AlegreyaSans_500Medium_ttfSize,
                                500 };

    JUCE_DECLARE_SINGLETON (EmbeddedFaces, false)
};

JUCE_IMPLEMENT_SINGLETON (EmbeddedFaces)

const EmbeddedFace& regularFace()
{
    return EmbeddedFaces::getInstance()->regular;
}

const EmbeddedFace& mediumFace()
{
    return EmbeddedFaces::getInstance()->medium;
}
}

//==============================================================================
juce::Font regularFont (float height)
{
    return regularFace().withHeight (height);
}

juce::Font mediumFont (float height)
{
    return mediumFace().withHeight (height);
}

float embeddedFontHeightScale()
{
    return regularFace().heightScale;
}

ShapingFace shapingFaceOf (const juce::Font& font)
{
    const auto& face = font.getTypefacePtr() == mediumFace().typeface ? mediumFace() : regularFace();
    const auto& shaping = face.shapingFace();

    return { &shaping, font.getHeight() * face.emPerHeight, face.weight };
}
