#include "ui/StatusIcons.h"

#include <gtest/gtest.h>

namespace
{
// Points of the 24 x 24 box: on the disc away from any glyph, and inside
// each glyph's stroke.
const juce::Point<float> onDisc[] { { 4.0f, 12.0f }, { 20.0f, 12.0f }, { 12.0f, 2.0f }, { 12.0f, 22.5f } };
const juce::Point<float> inExclamation[] { { 12.0f, 5.0f }, { 12.0f, 9.0f }, { 12.0f, 13.0f }, { 12.0f, 18.0f } };
const juce::Point<float> inTick[] { { 8.5f, 13.5f }, { 9.5f, 15.0f }, { 11.0f, 16.5f }, { 13.75f, 11.75f }, { 16.0f, 7.5f } };
const juce::Point<float> outside[] { { 1.0f, 1.0f }, { 23.0f, 23.0f } };

void expectShape (const juce::Path& icon, const juce::Point<float>* glyph, size_t numGlyphPoints)
{
    EXPECT_TRUE (icon.isUsingNonZeroWinding());

    for (auto p : onDisc)
        EXPECT_TRUE (icon.contains (p)) << p.toString();

    for (size_t i = 0; i < numGlyphPoints; ++i)
        EXPECT_FALSE (icon.contains (glyph[i])) << glyph[i].toString();

    for (auto p : outside)
        EXPECT_FALSE (icon.contains (p)) << p.toString();
}
}

TEST (StatusIcons, TheGlyphIsCutOutOfTheDisc)
{
    expectShape (StatusIcons::makeErrorIcon(), inExclamation, std::size (inExclamation));
    expectShape (StatusIcons::makeValidIcon(), inTick, std::size (inTick));
}

TEST (StatusIcons, OrientationIsSetWhateverTheOutlineRanBefore)
{
    // Two squares running the same way fill their overlap under non-zero
    // winding; turned against each other they leave it open.
    juce::Path outer, inner;
    outer.addRectangle (0.0f, 0.0f, 10.0f, 10.0f);
    inner.addRectangle (3.0f, 3.0f, 4.0f, 4.0f);

    for (auto innerClockwise : { true, false })
    {
        auto shape = StatusIcons::withOrientation (outer, true);
        shape.addPath (StatusIcons::withOrientation (StatusIcons::withOrientation (inner, ! innerClockwise), innerClockwise));
        shape.setUsingNonZeroWinding (true);

        EXPECT_EQ (shape.contains (5.0f, 5.0f), innerClockwise);
        EXPECT_TRUE (shape.contains (1.0f, 1.0f));
    }
}

TEST (StatusIcons, FittingKeepsTheShapeInItsArea)
{
    const auto icon = StatusIcons::fittedInto (StatusIcons::makeErrorIcon(), { 440.0f, 340.0f, 24.0f, 24.0f });
    EXPECT_NEAR (icon.getBounds().getX(), 440.0f, 0.1f);
    EXPECT_NEAR (icon.getBounds().getY(), 340.0f, 0.1f);
    EXPECT_NEAR (icon.getBounds().getWidth(), 24.0f, 0.1f);
    EXPECT_NEAR (icon.getBounds().getHeight(), 24.0f, 0.1f);
    EXPECT_TRUE (icon.contains (444.0f, 352.0f));
    EXPECT_FALSE (icon.contains (452.0f, 349.0f));

    // A wider area keeps the proportions and centres the icon.
    const auto wide = StatusIcons::fittedInto (StatusIcons::makeValidIcon(), { 0.0f, 0.0f, 96.0f, 48.0f });
    EXPECT_NEAR (wide.getBounds().getWidth(), 48.0f, 0.1f);
    EXPECT_NEAR (wide.getBounds().getCentreX(), 48.0f, 0.1f);
}
