#include "Picture.h"

Picture::Picture (juce::Image standardImage, juce::Image doubledImage)
    : standard (std::move (standardImage))
    , doubled (std::move (doubledImage))
{
}

Picture Picture::fromEmbedded (const void* standardData, int standardSize, const void* doubledData, int doubledSize)
{
    const auto decode = [] (const void* data, int size)
    { return data != nullptr && size > 0 ? juce::ImageFileFormat::loadFrom (data, (size_t) size) : juce::Image(); };

    return { decode (standardData, standardSize), decode (doubledData, doubledSize) };
}

const juce::Image& Picture::forScale (float displayPixelsPerPixel) const noexcept
{
    return displayPixelsPerPixel > 1.0f && doubled.isValid() ? doubled : standard;
}

const juce::Image& Picture::forContext (juce::Graphics& g) const
{
    return forScale (g.getInternalContext().getPhysicalPixelScaleFactor());
}
