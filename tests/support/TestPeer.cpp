#include "TestPeer.h"

namespace
{
// Where the window lies on the screen: far outside any screen, so that the
// real pointer, wherever it is on the shared display, is never over it.
const juce::Point<float> screenOrigin { -30000.0f, -30000.0f };
}

TestPeer::TestPeer (juce::Component& c, int flags)
    : juce::ComponentPeer (c, flags)
    , bounds (c.getBounds())
{
}

void TestPeer::setBounds (const juce::Rectangle<int>& newBounds, bool)
{
    bounds = newBounds;
}

juce::Point<float> TestPeer::localToGlobal (juce::Point<float> relativePosition)
{
    return relativePosition + screenOrigin;
}

juce::Point<float> TestPeer::globalToLocal (juce::Point<float> screenPosition)
{
    return screenPosition - screenOrigin;
}

bool TestPeer::contains (juce::Point<int> localPosition, bool) const
{
    return takesThePointer && bounds.withZeroOrigin().contains (localPosition);
}
