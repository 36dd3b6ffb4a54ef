#include "Picture.h"

#include "DrawnImageFormat.h"

Picture::Picture (juce::Image standardImage, juce::Image doubledImage)
    : standard (std::move (standardImage))
    , doubled (std::make_shared<Doubled>())
{
    doubled->decoded = true;
    doubled->image = std::move (doubledImage);
}

Picture::Picture (const Decoder& decode, const void* standardData, int standardSize, const void* doubledData, int doubledSize)
    : standard (decode (standardData, standardSize))
    , doubled (std::make_shared<Doubled>())
{
    doubled->decode = decode;
    doubled->data = doubledData;
    doubled->size = doubledSize;
}

Picture Picture::fromEmbedded (const void* standardData, int standardSize, const void* doubledData, int doubledSize)
{
    const auto decodePng = [] (const void* data, int size)
    { return data != nullptr && size > 0 ? juce::ImageFileFormat::loadFrom (data, (size_t) size) : juce::Image(); };

    return { decodePng, standardData, standardSize, doubledData, doubledSize };
}

Picture Picture::fromDrawn (const void* standardData, int standardSize, const void* doubledData, int doubledSize)
{
    const auto decodeDrawn = [] (const void* data, int size)
    { return data != nullptr && size > 0 ? DrawnImageFormat::read (data, (size_t) size) : juce::Image(); };

    return { decodeDrawn, standardData, standardSize, doubledData, doubledSize };
}

const juce::Image& Picture::forScale (float displayPixelsPerPixel) const
{
    if (displayPixelsPerPixel <= 1.0f || doubled == nullptr)
        return standard;

    // Pictures are drawn on the message thread only.
    if (! doubled->decoded)
    {
        doubled->decoded = true;

        if (doubled->decode)
            doubled->image = doubled->decode (doubled->data, doubled->size);
    }

    return doubled->image.isValid() ? doubled->image : standard;
}

const juce::Image& Picture::forContext (juce::Graphics& g) const
{
    return forScale (g.getInternalContext().getPhysicalPixelScaleFactor());
}
