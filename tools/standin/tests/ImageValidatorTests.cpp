#include "support/TestFiles.h"

#include "ImageValidator.h"

#include <gtest/gtest.h>

TEST (ImageValidator, AcceptsCompletePicturesAndRefusesLookalikes)
{
    const auto png = TestFiles::read (AURALIS_STANDIN_SCREENSHOT_FILE);
    const auto pngInfo = ImageValidator::inspect (png);
    ASSERT_TRUE (pngInfo);
    EXPECT_EQ (pngInfo->extension, "png");
    EXPECT_EQ (pngInfo->width, 554);
    EXPECT_EQ (pngInfo->height, 563);

    const auto jpegInfo = ImageValidator::inspect (TestFiles::minimalJpeg (3024, 4032));
    ASSERT_TRUE (jpegInfo);
    EXPECT_EQ (jpegInfo->extension, "jpg");
    EXPECT_EQ (jpegInfo->width, 3024);
    EXPECT_EQ (jpegInfo->height, 4032);

    auto wrongLength = TestFiles::minimalJpeg (10, 10);
    wrongLength[23] = '\x7f'; // the frame header claims to run past the end

    const std::vector<std::pair<std::string, std::string>> refused {
        { "empty", "" },
        { "PNG signature only", png.substr (0, 8) },
        { "PNG without its end", png.substr (0, png.size() - 12) },
        { "PNG with a damaged header", [&png]
          {
              auto copy = png;
              copy[16] = copy[17] = copy[18] = copy[19] = 0;
              return copy;
          }() },
        { "JPEG start marker only", std::string ("\xff\xd8\xff", 3) },
        { "JPEG frame length past the end", wrongLength },
        { "JPEG wider than any photo", TestFiles::minimalJpeg (65000, 10) },
        { "GIF", "GIF89a\x01\x00\x01\x00" },
    };

    for (const auto& [what, bytes] : refused)
        EXPECT_FALSE (ImageValidator::inspect (bytes)) << what;
}
