#include "StatusIcons.h"

#include <map>
#include <vector>

namespace
{
constexpr float iconSize = 24.0f;

//==============================================================================
/** One sub-path of a Path, kept as its start point and its segments so that it
    can be walked backwards. */
struct SubPath
{
    struct Segment
    {
        juce::Path::Iterator::PathElementType type;
        juce::Point<float> control1, control2, end;
    };

    juce::Point<float> start;
    std::vector<Segment> segments;
    bool closed = false;
};

std::vector<SubPath> splitIntoSubPaths (const juce::Path& path)
{
    std::vector<SubPath> subPaths;
    juce::Path::Iterator it (path);

    while (it.next())
    {
        using Type = juce::Path::Iterator::PathElementType;

        if (it.elementType == Type::startNewSubPath)
        {
            subPaths.push_back ({});
            subPaths.back().start = { it.x1, it.y1 };
            continue;
        }

        if (subPaths.empty())
            subPaths.push_back ({});

        auto& current = subPaths.back();

        switch (it.elementType)
        {
            case Type::lineTo:
                current.segments.push_back ({ it.elementType, {}, {}, { it.x1, it.y1 } });
                break;

            case Type::quadraticTo:
                current.segments.push_back ({ it.elementType, { it.x1, it.y1 }, {}, { it.x2, it.y2 } });
                break;

            case Type::cubicTo:
                current.segments.push_back ({ it.elementType, { it.x1, it.y1 }, { it.x2, it.y2 }, { it.x3, it.y3 } });
                break;

            case Type::closePath:
                current.closed = true;
                break;

            case Type::startNewSubPath:
                break;
        }
    }

    return subPaths;
}

void appendSubPath (juce::Path& out, const SubPath& subPath, bool backwards)
{
    using Type = juce::Path::Iterator::PathElementType;

    if (! backwards)
    {
        out.startNewSubPath (subPath.start);

        for (const auto& s : subPath.segments)
        {
            if (s.type == Type::lineTo)
                out.lineTo (s.end);
            else if (s.type == Type::quadraticTo)
                out.quadraticTo (s.control1, s.end);
            else
                out.cubicTo (s.control1, s.control2, s.end);
        }
    }
    else
    {
        const auto count = subPath.segments.size();
        out.startNewSubPath (count > 0 ? subPath.segments.back().end : subPath.start);

        for (size_t i = count; i-- > 0;)
        {
            const auto& s = subPath.segments[i];
            const auto previousEnd = i > 0 ? subPath.segments[i - 1].end : subPath.start;

            if (s.type == Type::lineTo)
                out.lineTo (previousEnd);
            else if (s.type == Type::quadraticTo)
                out.quadraticTo (s.control1, previousEnd);
            else
                out.cubicTo (s.control2, s.control1, previousEnd);
        }
    }

    if (subPath.closed)
        out.closeSubPath();
}

/** Twice the signed area of a sub-path, from its flattened outline: positive
    when it runs clockwise on screen (y pointing down). */
double signedArea (const SubPath& subPath)
{
    juce::Path single;
    appendSubPath (single, subPath, false);
    single.closeSubPath();

    double area = 0.0;
    juce::PathFlatteningIterator it (single, {}, 0.05f);

    while (it.next())
        area += (double) it.x1 * it.y2 - (double) it.x2 * it.y1;

    return area;
}
}

//==============================================================================
juce::Path StatusIcons::withOrientation (const juce::Path& path, bool clockwise)
{
    juce::Path out;
    out.setUsingNonZeroWinding (path.isUsingNonZeroWinding());

    for (const auto& subPath : splitIntoSubPaths (path))
        appendSubPath (out, subPath, (signedArea (subPath) > 0.0) != clockwise);

    return out;
}

juce::Path StatusIcons::cutOutOfDisc (const juce::Path& glyph)
{
    juce::Path disc;
    disc.addEllipse (0.0f, 0.0f, iconSize, iconSize);

    auto icon = withOrientation (disc, true);
    icon.addPath (withOrientation (glyph, false));
    icon.setUsingNonZeroWinding (true);
    return icon;
}

juce::Path StatusIcons::makeErrorIcon()
{
    // A bar 3 wide with rounded ends from y 4 to y 14, and a dot of radius 2.
    juce::Path glyph;
    glyph.addRoundedRectangle (10.5f, 4.0f, 3.0f, 10.0f, 1.5f);
    glyph.addEllipse (10.0f, 16.0f, 4.0f, 4.0f);
    return cutOutOfDisc (glyph);
}

juce::Path StatusIcons::makeValidIcon()
{
    // A tick 2 wide with rounded ends and joint.
    juce::Path centreLine;
    centreLine.startNewSubPath (8.0f, 13.0f);
    centreLine.lineTo (11.0f, 17.0f);
    centreLine.lineTo (16.5f, 6.5f);

    juce::Path glyph;
    juce::PathStrokeType (2.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded)
        .createStrokedPath (glyph, centreLine);

    return cutOutOfDisc (glyph);
}

juce::Path StatusIcons::fittedInto (juce::Path icon, juce::Rectangle<float> area)
{
    // Fit the icon's own box rather than its outline's bounds, which are the
    // disc's up to rounding.
    const juce::Rectangle<float> box (0.0f, 0.0f, iconSize, iconSize);
    icon.applyTransform (juce::RectanglePlacement (juce::RectanglePlacement::centred).getTransformToFit (box, area));
    return icon;
}
