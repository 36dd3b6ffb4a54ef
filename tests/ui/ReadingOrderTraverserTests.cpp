#include "ui/ReadingOrderTraverser.h"

#include <gtest/gtest.h>

namespace
{
//==============================================================================
struct Layout
{
    const char* what;
    std::vector<juce::Rectangle<int>> bounds; // in the order they are added
    std::vector<int> expectedOrder; // indices into bounds
};

std::vector<int> readingOrderOf (const std::vector<juce::Rectangle<int>>& bounds)
{
    std::vector<std::unique_ptr<juce::Component>> owned;
    std::vector<juce::Component*> components;

    for (auto& b : bounds)
    {
        owned.push_back (std::make_unique<juce::Component>());
        owned.back()->setBounds (b);
        components.push_back (owned.back().get());
    }

    std::vector<int> order;

    for (auto* c : ReadingOrderTraverser::inReadingOrder (components))
        order.push_back ((int) std::distance (components.begin(), std::find (components.begin(), components.end(), c)));

    return order;
}
} // namespace

//==============================================================================
TEST (ReadingOrderTraverser, EndsForEveryGeometryAndKeepsEachComponentOnce)
{
    const std::vector<Layout> layouts {
        { "one component of no height", { { 10, 10, 50, 0 } }, { 0 } },
        { "one component one pixel high", { { 10, 10, 50, 1 } }, { 0 } },
        // Nothing reaches above the middle of a component without height, so
        // each is a line of its own, in the order they came.
        { "zero-sized components on one row", { { 30, 5, 0, 0 }, { 10, 5, 0, 0 }, { 20, 5, 0, 0 } }, { 0, 1, 2 } },
        { "a one-pixel line above a taller one", { { 10, 40, 80, 30 }, { 10, 10, 80, 1 }, { 100, 45, 20, 20 } }, { 1, 0, 2 } },
        { "a flat first component then one below it", { { 10, 10, 200, 1 }, { 10, 11, 200, 1 }, { 50, 10, 20, 0 } }, { 0, 2, 1 } },
        { "a small control beside a taller caption", { { 60, 100, 300, 40 }, { 20, 110, 24, 24 } }, { 1, 0 } },
        { "stacked one-pixel rules", { { 0, 3, 10, 1 }, { 0, 2, 10, 1 }, { 0, 1, 10, 1 }, { 0, 0, 10, 1 } }, { 3, 2, 1, 0 } },
        { "nothing at all", {}, {} },
    };

    for (const auto& layout : layouts)
        EXPECT_EQ (readingOrderOf (layout.bounds), layout.expectedOrder) << layout.what;
}
