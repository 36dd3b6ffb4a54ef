#include "service/PictureDecoder.h"
#include "service/PictureHeader.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

namespace
{
const juce::Point<int> qrCodeLimit = PictureDecoder::largestSizeFor ({ 75, 228, 172, 172 });

PictureHeader headerOf (const juce::MemoryBlock& bytes)
{
    return PictureHeader::read (bytes.getData(), bytes.getSize());
}
} // namespace

//==============================================================================
TEST (PictureDecoder, TheLimitIsTwiceTheBoxWithAMarginOfThree)
{
    EXPECT_EQ (qrCodeLimit, juce::Point<int> (1032, 1032));
    EXPECT_EQ (PictureDecoder::largestSizeFor ({ 169, 254, 202, 201 }), juce::Point<int> (1212, 1206));
}

TEST (PictureDecoder, WholePicturesOfEachFormatDecodeAtTheirSize)
{
    struct Case
    {
        const char* what;
        juce::MemoryBlock bytes;
        PictureHeader::Format format;
    };

    const std::vector<Case> cases {
        { "PNG", TestPictures::png (40, 30, juce::Colours::red), PictureHeader::Format::png },
        { "JPEG", TestPictures::jpeg (40, 30, juce::Colours::red), PictureHeader::Format::jpeg },
        { "PNG at the limit", TestPictures::png (qrCodeLimit.x, 4), PictureHeader::Format::png },
    };

    for (const auto& c : cases)
    {
        const auto header = headerOf (c.bytes);
        EXPECT_EQ (header.format, c.format) << c.what;

        const auto image = PictureDecoder::decode (c.bytes, qrCodeLimit);
        ASSERT_TRUE (image.isValid()) << c.what;
        EXPECT_EQ (image.getWidth(), header.width) << c.what;
        EXPECT_EQ (image.getHeight(), header.height) << c.what;
    }

    // The pixels are the picture's: black top left, red bottom right.
    const auto png = PictureDecoder::decode (TestPictures::png (40, 30, juce::Colours::red), qrCodeLimit);
    EXPECT_EQ (png.getPixelAt (2, 2), juce::Colours::black);
    EXPECT_EQ (png.getPixelAt (38, 28), juce::Colours::red);

    const auto jpeg = PictureDecoder::decode (TestPictures::jpeg (40, 30, juce::Colours::red), qrCodeLimit);
    EXPECT_GT (jpeg.getPixelAt (38, 28).getRed(), 200);
    EXPECT_LT (jpeg.getPixelAt (2, 2).getRed(), 60);
}

TEST (PictureDecoder, HostilePicturesAndGifsGiveNoImage)
{
    // The framework's GIF reader reads outside its buffer on every picture.
    const auto gif = TestPictures::gif (40, 30);
    EXPECT_EQ (headerOf (gif).format, PictureHeader::Format::gif);
    EXPECT_EQ (headerOf (gif).width, 40);
    EXPECT_FALSE (PictureDecoder::decode (gif, qrCodeLimit).isValid());

    for (const auto& hostile : TestPictures::hostileTable (qrCodeLimit))
        EXPECT_FALSE (PictureDecoder::decode (hostile.bytes, qrCodeLimit).isValid()) << hostile.what;

    // Formats the reader does not know, and nothing at all.
    const juce::String bitmap ("BM6\0\0\0\0\0\0\0", 10);
    EXPECT_FALSE (PictureDecoder::decode (bitmap.toRawUTF8(), 10, qrCodeLimit).isValid());
    EXPECT_FALSE (PictureDecoder::decode (nullptr, 0, qrCodeLimit).isValid());
    EXPECT_FALSE (PictureDecoder::decode (juce::MemoryBlock(), qrCodeLimit).isValid());
}

TEST (PictureHeader, ReadsTheSizeTheDecoderWouldAllocateAndRefusesDamagedStructure)
{
    const auto png = TestPictures::png (40, 30);
    const auto huge = headerOf (TestPictures::withDeclaredSize (png, 1000000, 1000000));
    EXPECT_EQ (huge.format, PictureHeader::Format::png);
    EXPECT_EQ (huge.width, 1000000);
    EXPECT_EQ (huge.height, 1000000);

    const auto gif = headerOf (TestPictures::withDeclaredSize (TestPictures::gif (40, 30), 65535, 700));
    EXPECT_EQ (gif.width, 65535);
    EXPECT_EQ (gif.height, 700);

    const auto jpeg = headerOf (TestPictures::withDeclaredSize (TestPictures::jpeg (40, 30), 65000, 64000));
    EXPECT_EQ (jpeg.width, 65000);
    EXPECT_EQ (jpeg.height, 64000);

    // Every cut of a picture is refused before its end-of-picture mark.
    for (const auto& whole : { png, TestPictures::jpeg (40, 30), TestPictures::gif (40, 30) })
        for (size_t keep = 0; keep < whole.getSize(); keep += 7)
            EXPECT_FALSE (headerOf (TestPictures::truncated (whole, keep)).isKnown()) << keep;

    // Compressed text beyond the allowance: its inflated size is not known.
    juce::MemoryOutputStream withText;
    withText.write (png.getData(), 33);

    for (int i = 0; i < 3; ++i)
    {
        const auto length = (int) PictureHeader::maxPngCompressedMetadataBytes / 2;
        withText.writeIntBigEndian (length);
        withText.write ("zTXt", 4);
        juce::MemoryBlock payload ((size_t) length, true);
        withText.write (payload.getData(), payload.getSize());
        withText.writeIntBigEndian (0);
    }

    withText.write (static_cast<const char*> (png.getData()) + 33, png.getSize() - 33);
    EXPECT_FALSE (headerOf (withText.getMemoryBlock()).isKnown());
}
