#include "EmbeddedTypeface.h"

#if JUCE_LINUX

    #include <ft2build.h>
    #include FT_FREETYPE_H
    #include FT_OUTLINE_H

namespace
{
//==============================================================================
/** Glyphs are loaded as the framework loads them: in font units, no hinting,
    no bitmaps, no transform. */
constexpr FT_Int32 glyphLoadFlags = FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM | FT_LOAD_NO_HINTING;

/** The outline as a path, each point scaled by `scale` and y upside down, its
    curves followed point by point as the framework follows them. False for
    an outline it cannot read. */
bool appendOutline (juce::Path& path, const FT_Outline& outline, float scale)
{
    const auto pointAt = [&] (int index)
    { return juce::Point<float> (scale * (float) outline.points[index].x, -scale * (float) outline.points[index].y); };

    const auto tagAt = [&] (int index)
    { return FT_CURVE_TAG (outline.tags[index]); };

    for (int contour = 0; contour < outline.n_contours; ++contour)
    {
        const int first = contour == 0 ? 0 : outline.contours[contour - 1] + 1;
        const int last = outline.contours[contour];

        for (int p = first; p <= last; ++p)
        {
            const auto point = pointAt (p);

            if (p == first)
            {
                // A contour that starts off its curve starts at the last
                // point, or halfway to it when that is off the curve too.
                auto start = point;

                if (tagAt (p) == FT_Curve_Tag_Conic)
                {
                    start = pointAt (last);

                    if (tagAt (last) != FT_Curve_Tag_On)
                        start = { (point.x + start.x) * 0.5f, (point.y + start.y) * 0.5f };
                }

                path.startNewSubPath (start);
            }

            if (tagAt (p) == FT_Curve_Tag_On)
            {
                if (p != first)
                    path.lineTo (point);
            }
            else if (tagAt (p) == FT_Curve_Tag_Conic)
            {
                const int next = p == last ? first : p + 1;
                auto end = pointAt (next);

                if (tagAt (next) == FT_Curve_Tag_Conic)
                    end = { (point.x + end.x) * 0.5f, (point.y + end.y) * 0.5f };
                else
                    ++p;

                path.quadraticTo (point, end);
            }
            else if (tagAt (p) == FT_Curve_Tag_Cubic)
            {
                const int second = p + 1;
                const int end = p == last - 1 ? first : p + 2;

                if (p >= last || tagAt (second) != FT_Curve_Tag_Cubic || tagAt (end) != FT_Curve_Tag_On)
                    return false;

                path.cubicTo (point, pointAt (second), pointAt (end));
                p += 2;
            }
        }

        path.closeSubPath();
    }

    return true;
}

//==============================================================================
class FreeTypeFace : public juce::CustomTypeface
{
public:
    FreeTypeFace (FT_Library libraryToOwn, FT_Face faceToOwn)
        : library (libraryToOwn)
        , face (faceToOwn)
    {
        setCharacteristics (face->family_name,
                            face->style_name,
                            (float) face->ascender / (float) (face->ascender - face->descender),
                            L' ');
    }

    ~FreeTypeFace() override
    {
        FT_Done_Face (face);
        FT_Done_FreeType (library);
    }

    bool loadGlyphIfPossible (juce::juce_wchar character) override
    {
        const auto glyphIndex = FT_Get_Char_Index (face, (FT_ULong) character);

        if (FT_Load_Glyph (face, glyphIndex, glyphLoadFlags) != 0 || face->glyph->format != FT_GLYPH_FORMAT_OUTLINE)
            return false;

        const auto scale = 1.0f / (float) (face->ascender - face->descender);
        juce::Path shape;

        if (! appendOutline (shape, face->glyph->outline, scale))
            return false;

        addGlyph (character, shape, (float) face->glyph->metrics.horiAdvance * scale);
        return true;
    }

private:
    FT_Library library;
    FT_Face face;

    JUCE_DECLARE_NON_COPYABLE (FreeTypeFace)
};
}

juce::Typeface::Ptr EmbeddedTypeface::make (const void* data, size_t size)
{
    JUCE_ASSERT_MESSAGE_THREAD

    FT_Library library = nullptr;
    FT_Face face = nullptr;

    if (FT_Init_FreeType (&library) == 0)
    {
        if (FT_New_Memory_Face (library, static_cast<const FT_Byte*> (data), (FT_Long) size, 0, &face) == 0)
        {
            if ((face->face_flags & FT_FACE_FLAG_KERNING) == 0 && (face->face_flags & FT_FACE_FLAG_SCALABLE) != 0)
                return new FreeTypeFace (library, face);

            FT_Done_Face (face);
        }

        FT_Done_FreeType (library);
    }

    return juce::Typeface::createSystemTypefaceFor (data, size);
}

#else

juce::Typeface::Ptr EmbeddedTypeface::make (const void* data, size_t size)
{
    JUCE_ASSERT_MESSAGE_THREAD
    return juce::Typeface::createSystemTypefaceFor (data, size);
}

#endif
