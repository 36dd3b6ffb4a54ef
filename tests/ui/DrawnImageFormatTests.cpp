#include "ui/DrawnImageFormat.h"
#include "ui/Picture.h"

#include <AuralisBinaryData.h>

#include <gtest/gtest.h>

namespace
{
juce::MemoryBlock written (const juce::Image& image)
{
    juce::MemoryOutputStream out;
    EXPECT_TRUE (DrawnImageFormat::write (image, out));
    return out.getMemoryBlock();
}

juce::Image read (const juce::MemoryBlock& data)
{
    return DrawnImageFormat::read (data.getData(), data.getSize());
}
}

TEST (DrawnImageFormat, KeepsEveryPremultipliedPixelThatPngWouldNot)
{
    // Half-transparent white, as the edge of a scaled white line comes out:
    // premultiplied 200 of 200, which no unpremultiplied PNG colour gives
    // back once the framework premultiplies it again on loading.
    juce::Image image (juce::Image::ARGB, 3, 2, true);
    juce::Image::BitmapData bitmap (image, juce::Image::BitmapData::writeOnly);
    reinterpret_cast<juce::PixelARGB*> (bitmap.getPixelPointer (0, 0))->setARGB (200, 200, 200, 200);
    reinterpret_cast<juce::PixelARGB*> (bitmap.getPixelPointer (1, 0))->setARGB (255, 185, 32, 54);
    reinterpret_cast<juce::PixelARGB*> (bitmap.getPixelPointer (2, 1))->setARGB (1, 1, 0, 1);

    const auto copy = read (written (image));
    ASSERT_TRUE (copy.isValid());
    ASSERT_EQ (copy.getBounds(), image.getBounds());

    const juce::Image::BitmapData original (image, juce::Image::BitmapData::readOnly);
    const juce::Image::BitmapData kept (copy, juce::Image::BitmapData::readOnly);

    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ (reinterpret_cast<const juce::PixelARGB*> (kept.getPixelPointer (x, y))->getNativeARGB(),
                       reinterpret_cast<const juce::PixelARGB*> (original.getPixelPointer (x, y))->getNativeARGB())
                << x << ", " << y;

    juce::MemoryOutputStream png;
    juce::PNGImageFormat().writeImageToStream (image, png);
    const auto fromPng = juce::ImageFileFormat::loadFrom (png.getData(), png.getDataSize());
    EXPECT_NE (fromPng.getPixelAt (0, 0).getARGB(), image.getPixelAt (0, 0).getARGB()) << "PNG keeps it after all";
}

TEST (DrawnImageFormat, RefusesWhatIsNotAWholePictureWithinItsLimits)
{
    juce::Image image (juce::Image::ARGB, 4, 4, true);
    image.clear (image.getBounds(), juce::Colours::red);
    const auto good = written (image);
    ASSERT_TRUE (read (good).isValid());

    auto truncated = good;
    truncated.setSize (good.getSize() / 2);
    EXPECT_FALSE (read (truncated).isValid());

    auto longer = good;
    longer.append ("x", 1);
    EXPECT_TRUE (read (longer).isValid()) << "bytes after the compressed stream are not the stream's";

    auto wrongMagic = good;
    static_cast<char*> (wrongMagic.getData())[0] = 'X';
    EXPECT_FALSE (read (wrongMagic).isValid());

    // A header that promises more than the data holds, or more than the limit.
    for (const int side : { 5, 0, DrawnImageFormat::maximumSide + 1, 65535 })
    {
        auto lying = good;
        auto* bytes = static_cast<juce::uint8*> (lying.getData());
        bytes[4] = (juce::uint8) (side & 0xff);
        bytes[5] = (juce::uint8) (side >> 8);
        EXPECT_FALSE (read (lying).isValid()) << side;
    }

    EXPECT_FALSE (DrawnImageFormat::read (nullptr, 0).isValid());
    EXPECT_FALSE (DrawnImageFormat::read (good.getData(), 7).isValid());
}

TEST (DrawnImageFormat, EmbeddedPicturesAreDrawnOneToOneAndDoubledOnlyWhenAsked)
{
    const auto partner = Picture::fromDrawn (AuralisBinaryData::partnerlogo_apix,
                                             AuralisBinaryData::partnerlogo_apixSize,
                                             AuralisBinaryData::partnerlogo2x_apix,
                                             AuralisBinaryData::partnerlogo2x_apixSize);
    ASSERT_TRUE (partner.isValid());
    EXPECT_EQ (partner.getStandard().getBounds(), juce::Rectangle<int> (152, 34)) << "the size of its link button";
    EXPECT_EQ (&partner.forScale (1.0f), &partner.getStandard());

    const auto copy = partner;
    EXPECT_EQ (partner.forScale (2.0f).getBounds(), juce::Rectangle<int> (304, 68));
    EXPECT_EQ (copy.forScale (1.5f).getPixelData(), partner.forScale (2.0f).getPixelData()) << "decoded once, shared";
}
