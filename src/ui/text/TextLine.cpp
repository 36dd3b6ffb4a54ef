#include "TextLine.h"

#include "ui/Fonts.h"
#include "FallbackFaces.h"
#include "FontFace.h"

#include <fribidi.h>
#include <hb.h>
#include <utf8proc.h>

#include <algorithm>

namespace
{
//==============================================================================
/** New questions to the system that one layout may ask (FallbackFaces). */
constexpr int questionsPerLayout = 16;

/** How far around a run the shaper looks (joining, contextual forms): a
    long line costs shaping in proportion to its length, not its square. */
constexpr int shapingContext = 64;

bool isControl (utf8proc_category_t category)
{
    return category == UTF8PROC_CATEGORY_CC || category == UTF8PROC_CATEGORY_ZL || category == UTF8PROC_CATEGORY_ZP;
}

/** Characters that draw nothing of their own: joiners, bidirectional
    marks, variation selectors and the like; they take the face of the
    cluster they are in. */
bool isDefaultIgnorable (juce::juce_wchar c)
{
    return utf8proc_get_property ((utf8proc_int32_t) c)->ignorable;
}

std::vector<juce::juce_wchar> codePointsOf (const juce::String& text)
{
    std::vector<juce::juce_wchar> result;
    result.reserve ((size_t) text.length());

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        result.push_back (p.getAndAdvance());

    return result;
}

/** The clusters' starts: the boundaries of extended grapheme clusters. */
std::vector<int> graphemeStarts (const std::vector<juce::juce_wchar>& characters)
{
    std::vector<int> starts;
    utf8proc_int32_t state = 0;

    for (size_t i = 0; i < characters.size(); ++i)
        if (i == 0 || utf8proc_grapheme_break_stateful ((utf8proc_int32_t) characters[i - 1], (utf8proc_int32_t) characters[i], &state))
            starts.push_back ((int) i);

    return starts;
}

/** A run of characters shaped together: one face, one direction, one
    script. */
struct Run
{
    int start, end;
    const FontFace* face;
    FriBidiLevel level;
    hb_script_t script;
    int visualPosition = 0;
};
}

//==============================================================================
bool TextLine::frameworkDrawsAsWritten (const juce::String& text, const juce::Font& font)
{
    JUCE_ASSERT_MESSAGE_THREAD

    const auto* face = shapingFaceOf (font).face;

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();

        if (c < 0x20 || c == 0x7f)
            return false;

        if (c < 0x7f)
            continue; // letters, digits and signs of ASCII, all in the embedded faces

        const auto category = utf8proc_category ((utf8proc_int32_t) c);

        if (category == UTF8PROC_CATEGORY_MN || category == UTF8PROC_CATEGORY_MC || category == UTF8PROC_CATEGORY_ME
            || category == UTF8PROC_CATEGORY_CF || category == UTF8PROC_CATEGORY_CO || category == UTF8PROC_CATEGORY_CN
            || category == UTF8PROC_CATEGORY_CS || isControl (category) || isDefaultIgnorable (c))
            return false;

        const auto type = fribidi_get_bidi_type ((FriBidiChar) c);

        if (FRIBIDI_IS_RTL (type) || FRIBIDI_IS_EXPLICIT_OR_ISOLATE_OR_BN_OR_NSM (type) || type == FRIBIDI_TYPE_AN)
            return false;

        if (face == nullptr || ! face->covers (c))
            return false;
    }

    return true;
}

//==============================================================================
TextLine::TextLine (const juce::String& textToLayOut, const juce::Font& font)
    : text (textToLayOut)
    , ascent (font.getAscent())
    , height (font.getHeight())
{
    JUCE_ASSERT_MESSAGE_THREAD

    JUCE_ASSERT_MESSAGE_THREAD

    const auto base = shapingFaceOf (font);
    emSize = base.emSize;

    auto characters = codePointsOf (text);
    numCharacters = (int) characters.size();

    if (characters.empty() || base.face == nullptr)
    {
        boundaries = { 0 };
        return;
    }

    const auto n = characters.size();

    // Controls would end the paragraph or the run: lay them out as blanks.
    for (auto& c : characters)
        if (isControl (utf8proc_category ((utf8proc_int32_t) c)))
            c = ' ';

    //==============================================================================
    // Faces, one per grapheme cluster: the embedded face when it has every
    // visible character of the cluster, otherwise the first installed face
    // that has them all, otherwise the one that has its first character.
    const auto starts = graphemeStarts (characters);
    std::vector<const FontFace*> faceOf (n, base.face);
    auto& fallbacks = *FallbackFaces::getInstance();
    fallbacks.allowQuestions (questionsPerLayout);

    for (size_t g = 0; g < starts.size(); ++g)
    {
        const auto first = (size_t) starts[g];
        const auto last = g + 1 < starts.size() ? (size_t) starts[g + 1] : n;

        const auto coversCluster = [&] (const FontFace* face)
        {
            for (auto i = first; i < last; ++i)
                if (! isDefaultIgnorable (characters[i]) && ! face->covers (characters[i]))
                    return false;

            return true;
        };

        const FontFace* chosen = nullptr;

        if (coversCluster (base.face))
        {
            chosen = base.face;
        }
        else
        {
            const FontFace* firstCharacterFace = nullptr;

            for (auto i = first; i < last && chosen == nullptr; ++i)
            {
                if (isDefaultIgnorable (characters[i]) || base.face->covers (characters[i]))
                    continue;

                if (const auto* candidate = fallbacks.faceFor (characters[i], base.weight))
                {
                    if (firstCharacterFace == nullptr)
                        firstCharacterFace = candidate;

                    if (coversCluster (candidate))
                        chosen = candidate;
                }
            }

            if (chosen == nullptr)
                chosen = firstCharacterFace != nullptr ? firstCharacterFace : base.face;
        }

        std::fill (faceOf.begin() + (std::ptrdiff_t) first, faceOf.begin() + (std::ptrdiff_t) last, chosen);
    }

    //==============================================================================
    // Directions: the bidirectional algorithm over the whole line, its own
    // direction from its first strong character.
    std::vector<FriBidiChar> logical (characters.begin(), characters.end());
    std::vector<FriBidiCharType> types (n);
    std::vector<FriBidiBracketType> brackets (n);
    std::vector<FriBidiLevel> levels (n);
    std::vector<FriBidiStrIndex> visualToLogical (n);

    fribidi_get_bidi_types (logical.data(), (FriBidiStrIndex) n, types.data());
    fribidi_get_bracket_types (logical.data(), (FriBidiStrIndex) n, types.data(), brackets.data());

    FriBidiParType direction = FRIBIDI_PAR_ON;

    if (fribidi_get_par_embedding_levels_ex (types.data(), brackets.data(), (FriBidiStrIndex) n, &direction, levels.data()) == 0)
        std::fill (levels.begin(), levels.end(), (FriBidiLevel) 0);

    rightToLeft = FRIBIDI_IS_RTL (direction);

    for (size_t i = 0; i < n; ++i)
        visualToLogical[i] = (FriBidiStrIndex) i;

    if (fribidi_reorder_line (FRIBIDI_FLAGS_DEFAULT & ~FRIBIDI_FLAG_REORDER_NSM, types.data(), (FriBidiStrIndex) n, 0, direction, levels.data(), nullptr, visualToLogical.data()) == 0)
        for (size_t i = 0; i < n; ++i)
            visualToLogical[i] = (FriBidiStrIndex) i;

    std::vector<int> visualPositionOf (n);

    for (size_t v = 0; v < n; ++v)
        visualPositionOf[(size_t) visualToLogical[v]] = (int) v;

    //==============================================================================
    // Runs: one face, one level and one script each, split only between
    // grapheme clusters. Characters common to all scripts join the run they
    // are in.
    auto* unicode = hb_unicode_funcs_get_default();
    std::vector<Run> runs;

    for (size_t g = 0; g < starts.size(); ++g)
    {
        const auto first = starts[g];
        const auto last = g + 1 < starts.size() ? starts[g + 1] : (int) n;
        auto script = hb_unicode_script (unicode, (hb_codepoint_t) characters[(size_t) first]);
        const auto face = faceOf[(size_t) first];
        const auto level = levels[(size_t) first];
        const auto neutralScript = script == HB_SCRIPT_COMMON || script == HB_SCRIPT_INHERITED || script == HB_SCRIPT_UNKNOWN;

        if (! runs.empty() && runs.back().face == face && runs.back().level == level
            && (neutralScript || runs.back().script == script || runs.back().script == HB_SCRIPT_COMMON))
        {
            if (runs.back().script == HB_SCRIPT_COMMON && ! neutralScript)
                runs.back().script = script;

            runs.back().end = last;
            continue;
        }

        runs.push_back ({ first, last, face, level, neutralScript ? HB_SCRIPT_COMMON : script });
    }

    for (auto& run : runs)
    {
        run.visualPosition = std::numeric_limits<int>::max();

        for (auto i = run.start; i < run.end; ++i)
            run.visualPosition = std::min (run.visualPosition, visualPositionOf[(size_t) i]);
    }

    auto visualRuns = runs;
    std::sort (visualRuns.begin(), visualRuns.end(), [] (const Run& a, const Run& b)
               { return a.visualPosition < b.visualPosition; });

    //==============================================================================
    // Shaping, run by run in visual order, with the text around each run as
    // context.
    auto* buffer = hb_buffer_create();
    float penX = 0.0f;

    for (const auto& run : visualRuns)
    {
        const auto runIsRightToLeft = (run.level & 1) != 0;
        const auto pixelsPerUnit = emSize / (float) run.face->unitsPerEm();

        const auto contextStart = std::max (0, run.start - shapingContext);
        const auto contextEnd = std::min ((int) n, run.end + shapingContext);

        hb_buffer_clear_contents (buffer);
        hb_buffer_add_codepoints (buffer,
                                  reinterpret_cast<const hb_codepoint_t*> (logical.data() + contextStart),
                                  contextEnd - contextStart,
                                  (unsigned int) (run.start - contextStart),
                                  run.end - run.start);
        hb_buffer_set_direction (buffer, runIsRightToLeft ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
        hb_buffer_set_script (buffer, run.script == HB_SCRIPT_COMMON ? HB_SCRIPT_LATIN : run.script);
        hb_buffer_set_cluster_level (buffer, HB_BUFFER_CLUSTER_LEVEL_MONOTONE_GRAPHEMES);
        hb_buffer_set_flags (buffer, (hb_buffer_flags_t) ((run.start == 0 ? HB_BUFFER_FLAG_BOT : 0) | (run.end == (int) n ? HB_BUFFER_FLAG_EOT : 0)));
        hb_shape (run.face->shapingFont(), buffer, nullptr, 0);

        unsigned int count = 0;
        const auto* info = hb_buffer_get_glyph_infos (buffer, &count);
        const auto* position = hb_buffer_get_glyph_positions (buffer, &count);

        // The glyphs come in visual order; a cluster's glyphs lie together.
        std::vector<Cluster> runClusters;

        for (unsigned int i = 0; i < count; ++i)
        {
            const auto advance = (float) position[i].x_advance * pixelsPerUnit;
            const auto cluster = (int) info[i].cluster + contextStart;

            glyphs.push_back ({ run.face,
                                info[i].codepoint,
                                penX + (float) position[i].x_offset * pixelsPerUnit,
                                -(float) position[i].y_offset * pixelsPerUnit,
                                advance });

            if (runClusters.empty() || runClusters.back().start != cluster)
                runClusters.push_back ({ cluster, cluster, penX, penX, runIsRightToLeft });

            penX += advance;
            runClusters.back().x1 = penX;
        }

        // Each cluster ends where the logically next one starts.
        std::vector<int> clusterStarts;

        for (const auto& c : runClusters)
            clusterStarts.push_back (c.start);

        std::sort (clusterStarts.begin(), clusterStarts.end());

        for (auto& c : runClusters)
        {
            const auto next = std::upper_bound (clusterStarts.begin(), clusterStarts.end(), c.start);
            c.end = next != clusterStarts.end() ? *next : run.end;

            // A cluster the shaper formed of several grapheme clusters (a
            // ligature, a syllable) is shared out evenly among them, so the
            // caret can stop between them.
            std::vector<int> inside (std::lower_bound (starts.begin(), starts.end(), c.start),
                                     std::lower_bound (starts.begin(), starts.end(), c.end));

            if (inside.empty())
                inside.push_back (c.start);

            const auto share = (c.x1 - c.x0) / (float) inside.size();

            for (size_t k = 0; k < inside.size(); ++k)
            {
                const auto end = k + 1 < inside.size() ? inside[k + 1] : c.end;
                const auto slot = runIsRightToLeft ? inside.size() - 1 - k : k;
                clusters.push_back ({ inside[k], end, c.x0 + share * (float) slot, c.x0 + share * (float) (slot + 1), runIsRightToLeft });
            }
        }
    }

    hb_buffer_destroy (buffer);
    width = penX;

    std::sort (clusters.begin(), clusters.end(), [] (const Cluster& a, const Cluster& b)
               { return a.start < b.start; });

    for (const auto& c : clusters)
        boundaries.push_back (c.start);

    boundaries.push_back (numCharacters);
    boundaries.erase (std::unique (boundaries.begin(), boundaries.end()), boundaries.end());
}

//==============================================================================
float TextLine::caretX (int index) const
{
    if (clusters.empty())
        return 0.0f;

    index = juce::jlimit (0, numCharacters, index);

    // Before the cluster that starts at the index, or after the last one.
    const auto next = std::lower_bound (clusters.begin(), clusters.end(), index, [] (const Cluster& c, int i)
                                        { return c.start < i; });

    if (next == clusters.end())
    {
        const auto& last = clusters.back();
        return last.rightToLeft ? last.x0 : last.x1;
    }

    if (next->start != index && next != clusters.begin())
    {
        const auto& inside = *std::prev (next); // the index lies inside a cluster
        return inside.rightToLeft ? inside.x0 : inside.x1;
    }

    return next->rightToLeft ? next->x1 : next->x0;
}

int TextLine::indexAt (float x) const
{
    auto best = 0;
    auto bestDistance = std::numeric_limits<float>::max();

    for (const auto b : boundaries)
    {
        const auto distance = std::abs (caretX (b) - x);

        if (distance < bestDistance)
        {
            best = b;
            bestDistance = distance;
        }
    }

    return best;
}

int TextLine::visualNeighbour (int index, bool rightwards) const
{
    index = juce::jlimit (0, numCharacters, index);
    const auto here = caretX (index);
    auto best = index;
    auto bestX = rightwards ? std::numeric_limits<float>::max() : std::numeric_limits<float>::lowest();
    constexpr auto same = 0.01f;

    for (const auto b : boundaries)
    {
        const auto x = caretX (b);

        if (rightwards ? (x > here + same && x < bestX) : (x < here - same && x > bestX))
        {
            best = b;
            bestX = x;
        }
    }

    return best;
}

int TextLine::clusterStartBefore (int index) const
{
    const auto previous = std::lower_bound (boundaries.begin(), boundaries.end(), index);
    return previous == boundaries.begin() ? 0 : *std::prev (previous);
}

int TextLine::clusterEndAfter (int index) const
{
    const auto next = std::upper_bound (boundaries.begin(), boundaries.end(), index);
    return next == boundaries.end() ? numCharacters : *next;
}

std::vector<juce::Range<float>> TextLine::spansOf (juce::Range<int> characters) const
{
    std::vector<juce::Range<float>> spans;

    for (const auto& c : clusters)
        if (c.start < characters.getEnd() && c.end > characters.getStart())
            spans.emplace_back (c.x0, c.x1);

    std::sort (spans.begin(), spans.end(), [] (auto a, auto b)
               { return a.getStart() < b.getStart(); });

    std::vector<juce::Range<float>> merged;

    for (const auto& s : spans)
    {
        if (! merged.empty() && s.getStart() <= merged.back().getEnd() + 0.01f)
            merged.back() = merged.back().getUnionWith (s);
        else
            merged.push_back (s);
    }

    return merged;
}

//==============================================================================
void TextLine::draw (juce::Graphics& g, float x, float baselineY, juce::Colour colour) const
{
    JUCE_ASSERT_MESSAGE_THREAD

    const auto clip = g.getClipBounds().toFloat();

    for (const auto& placed : glyphs)
    {
        const auto left = x + placed.x;

        // Glyphs may reach beyond their advance (marks, swashes): keep a
        // margin of an em either side.
        if (left + placed.advance + emSize < clip.getX() || left - emSize > clip.getRight())
            continue;

        const auto& glyph = placed.face->glyph (placed.id);
        const auto pixelsPerUnit = emSize / (float) placed.face->unitsPerEm();
        const auto transform = juce::AffineTransform::scale (pixelsPerUnit).translated (left, baselineY + placed.y);

        if (glyph.picture.isValid())
        {
            g.setColour (juce::Colours::black.withAlpha (colour.getFloatAlpha()));
            g.drawImage (glyph.picture, glyph.pictureArea.transformedBy (transform));
        }
        else if (! glyph.colourLayers.empty())
        {
            for (const auto& [outline, layerColour] : glyph.colourLayers)
            {
                g.setColour (layerColour.has_value() ? layerColour->withMultipliedAlpha (colour.getFloatAlpha()) : colour);
                g.fillPath (outline, transform);
            }
        }
        else
        {
            g.setColour (colour);
            g.fillPath (glyph.outline, transform);
        }
    }
}

void TextLine::drawFitted (juce::Graphics& g,
                           juce::Rectangle<float> area,
                           juce::Justification justification,
                           juce::Colour colour,
                           float minimumHorizontalScale) const
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (area.isEmpty() || glyphs.empty())
        return;

    juce::Graphics::ScopedSaveState state (g);
    g.reduceClipRegion (area.getSmallestIntegerContainer());

    if (minimumHorizontalScale <= 0.0f)
        minimumHorizontalScale = juce::Font::getDefaultMinimumHorizontalScaleFactor();

    const auto scale = width > area.getWidth() ? juce::jmax (minimumHorizontalScale, area.getWidth() / width) : 1.0f;
    const auto shown = width * scale;
    auto x = area.getX();

    if (justification.testFlags (juce::Justification::horizontallyCentred))
        x += (area.getWidth() - shown) * 0.5f;
    else if (justification.testFlags (juce::Justification::right))
        x += area.getWidth() - shown;

    auto top = area.getY();

    if (justification.testFlags (juce::Justification::verticallyCentred))
        top += (area.getHeight() - height) * 0.5f;
    else if (justification.testFlags (juce::Justification::bottom))
        top += area.getHeight() - height;

    // A squashed line keeps its left edge where the justification puts it.
    if (scale < 1.0f)
        g.addTransform (juce::AffineTransform::scale (scale, 1.0f, x, 0.0f));

    draw (g, x, top + ascent, colour);
}
