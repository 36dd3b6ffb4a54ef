#include "FontFace.h"

#include <hb-ot.h>
#include <hb.h>

#include <cstring>

namespace
{
//==============================================================================
/** Collects a glyph's outline from the shaping engine into a path. */
struct OutlineDrawing
{
    static hb_draw_funcs_t* functions()
    {
        static hb_draw_funcs_t* const funcs = []
        {
            auto* f = hb_draw_funcs_create();
            hb_draw_funcs_set_move_to_func (f, moveTo, nullptr, nullptr);
            hb_draw_funcs_set_line_to_func (f, lineTo, nullptr, nullptr);
            hb_draw_funcs_set_quadratic_to_func (f, quadraticTo, nullptr, nullptr);
            hb_draw_funcs_set_cubic_to_func (f, cubicTo, nullptr, nullptr);
            hb_draw_funcs_set_close_path_func (f, closePath, nullptr, nullptr);
            hb_draw_funcs_make_immutable (f);
            return f;
        }();

        return funcs;
    }

    // Font units grow upwards; the framework's y grows downwards.
    static void moveTo (hb_draw_funcs_t*, void* path, hb_draw_state_t*, float x, float y, void*)
    {
        static_cast<juce::Path*> (path)->startNewSubPath (x, -y);
    }

    static void lineTo (hb_draw_funcs_t*, void* path, hb_draw_state_t*, float x, float y, void*)
    {
        static_cast<juce::Path*> (path)->lineTo (x, -y);
    }

    static void quadraticTo (hb_draw_funcs_t*, void* path, hb_draw_state_t*, float cx, float cy, float x, float y, void*)
    {
        static_cast<juce::Path*> (path)->quadraticTo (cx, -cy, x, -y);
    }

    static void cubicTo (hb_draw_funcs_t*, void* path, hb_draw_state_t*, float c1x, float c1y, float c2x, float c2y, float x, float y, void*)
    {
        static_cast<juce::Path*> (path)->cubicTo (c1x, -c1y, c2x, -c2y, x, -y);
    }

    static void closePath (hb_draw_funcs_t*, void* path, hb_draw_state_t*, void*)
    {
        static_cast<juce::Path*> (path)->closeSubPath();
    }
};

juce::Path outlineOf (hb_font_t* font, unsigned int glyphId)
{
    juce::Path path;
    hb_font_get_glyph_shape (font, glyphId, OutlineDrawing::functions(), &path);
    return path;
}

/** A PNG's declared size, read from its header, or nothing when the bytes
    are no PNG. */
std::optional<juce::Point<int>> pngSize (const juce::uint8* data, size_t size)
{
    static constexpr juce::uint8 signature[] = { 0x89, 'P', 'N', 'G', 0x0d, 0x0a, 0x1a, 0x0a };

    if (size < 24 || std::memcmp (data, signature, sizeof (signature)) != 0 || std::memcmp (data + 12, "IHDR", 4) != 0)
        return {};

    const auto readBig = [data] (size_t offset)
    { return (juce::int64) ((juce::uint32) data[offset] << 24 | (juce::uint32) data[offset + 1] << 16
                            | (juce::uint32) data[offset + 2] << 8 | (juce::uint32) data[offset + 3]); };

    const auto width = readBig (16), height = readBig (20);

    if (width <= 0 || height <= 0 || width > FontFace::maximumPictureSide || height > FontFace::maximumPictureSide)
        return {};

    return juce::Point<int> ((int) width, (int) height);
}
}

//==============================================================================
std::unique_ptr<FontFace> FontFace::fromMemory (const void* data, size_t size)
{
    JUCE_ASSERT_MESSAGE_THREAD

    auto* blob = hb_blob_create (static_cast<const char*> (data), (unsigned int) size, HB_MEMORY_MODE_READONLY, nullptr, nullptr);
    return std::unique_ptr<FontFace> (new FontFace (blob, hb_face_create (blob, 0)));
}

std::unique_ptr<FontFace> FontFace::fromFile (const juce::File& file, unsigned int index)
{
    JUCE_ASSERT_MESSAGE_THREAD

    // The engine maps the file rather than reading it, so a large collection
    // costs memory only for the tables that are used.
    auto* blob = hb_blob_create_from_file_or_fail (file.getFullPathName().toRawUTF8());

    if (blob == nullptr)
        return {};

    auto* face = hb_face_create (blob, index);

    if (hb_face_get_glyph_count (face) == 0)
    {
        hb_face_destroy (face);
        hb_blob_destroy (blob);
        return {};
    }

    return std::unique_ptr<FontFace> (new FontFace (blob, face));
}

FontFace::FontFace (hb_blob_t* blobToUse, hb_face_t* faceToUse)
    : blob (blobToUse)
    , face (faceToUse)
    , font (hb_font_create (faceToUse))
    , upem ((int) juce::jmax (1u, hb_face_get_upem (faceToUse)))
    , hasColourLayers (hb_ot_color_has_layers (faceToUse) != 0)
    , hasPictures (hb_ot_color_has_png (faceToUse) != 0)
{
    // Positions and outlines in font units.
    hb_font_set_scale (font, upem, upem);
}

FontFace::~FontFace()
{
    hb_font_destroy (font);
    hb_face_destroy (face);
    hb_blob_destroy (blob);
}

//==============================================================================
unsigned int FontFace::glyphFor (juce::juce_wchar character) const
{
    hb_codepoint_t glyphId = 0;
    return hb_font_get_nominal_glyph (font, (hb_codepoint_t) character, &glyphId) ? glyphId : 0;
}

const FontFace::Glyph& FontFace::glyph (unsigned int glyphId) const
{
    if (auto found = glyphs.find (glyphId); found != glyphs.end())
        return found->second;

    // A long pasted text in a script of thousands of glyphs must not grow
    // the cache without end; the glyphs of names drawn again come back
    // quickly.
    if (glyphs.size() >= 4096)
        glyphs.clear();

    Glyph result;

    if (hasPictures)
    {
        if (auto* png = hb_ot_color_glyph_reference_png (font, glyphId))
        {
            unsigned int length = 0;
            const auto* bytes = reinterpret_cast<const juce::uint8*> (hb_blob_get_data (png, &length));

            if (const auto size = pngSize (bytes, length))
            {
                result.picture = juce::PNGImageFormat::loadFrom (bytes, length);
                hb_glyph_extents_t extents {};

                if (hb_font_get_glyph_extents (font, glyphId, &extents) && extents.width != 0 && extents.height != 0)
                {
                    result.pictureArea = { (float) extents.x_bearing,
                                           (float) -extents.y_bearing,
                                           (float) extents.width,
                                           (float) -extents.height };
                }
                else
                {
                    // Bitmap strikes often give no extents: the picture fills
                    // the glyph's advance, standing on the baseline's descent
                    // as emoji do.
                    const auto advance = (float) hb_font_get_glyph_h_advance (font, glyphId);
                    const auto pictureHeight = advance * (float) size->y / (float) size->x;
                    result.pictureArea = { 0.0f, -pictureHeight * 0.88f, advance, pictureHeight };
                }
            }

            hb_blob_destroy (png);
        }
    }

    if (! result.picture.isValid() && hasColourLayers)
    {
        hb_ot_color_layer_t layers[64];
        auto count = (unsigned int) juce::numElementsInArray (layers);
        hb_ot_color_glyph_get_layers (face, glyphId, 0, &count, layers);

        if (count > 0)
        {
            hb_color_t palette[256];
            auto paletteSize = (unsigned int) juce::numElementsInArray (palette);
            hb_ot_color_palette_get_colors (face, 0, 0, &paletteSize, palette);

            for (unsigned int i = 0; i < count; ++i)
            {
                const auto index = layers[i].color_index;
                const auto colour = index < paletteSize
                                        ? juce::Colour ((juce::uint8) hb_color_get_red (palette[index]),
                                                        (juce::uint8) hb_color_get_green (palette[index]),
                                                        (juce::uint8) hb_color_get_blue (palette[index]),
                                                        (juce::uint8) hb_color_get_alpha (palette[index]))
                                        : std::optional<juce::Colour>(); // the text's own colour

                result.colourLayers.emplace_back (outlineOf (font, layers[i].glyph), colour);
            }
        }
    }

    if (! result.picture.isValid() && result.colourLayers.empty())
        result.outline = outlineOf (font, glyphId);

    return glyphs.emplace (glyphId, std::move (result)).first->second;
}
