#include "Fonts.h"

#include <AuralisBinaryData.h>

namespace
{
    juce::Typeface::Ptr makeTypeface (const void* data, int size)
    {
        return juce::Typeface::createSystemTypefaceFor (data, (size_t) size);
    }

    juce::Font fontOf (const juce::Typeface::Ptr& typeface, float height)
    {
        juce::Font font (typeface);

        if (height > 0.0f)
            font.setHeight (height);

        return font;
    }
}

juce::Font regularFont (float height)
{
    static const auto typeface = makeTypeface (AuralisBinaryData::AlegreyaSans_400Regular_ttf,
                                               AuralisBinaryData::AlegreyaSans_400Regular_ttfSize);
    return fontOf (typeface, height);
}

juce::Font mediumFont (float height)
{
    static const auto typeface = makeTypeface (AuralisBinaryData::AlegreyaSans_500Medium_ttf,
                                               AuralisBinaryData::AlegreyaSans_500Medium_ttfSize);
    return fontOf (typeface, height);
}
