// Feeds arbitrary bytes as a picture from the network to the header reader
// and the capped decode, as both picture workers do, and checks what they
// promise: the decode gives an image only for a picture whose header was
// accepted, of exactly the declared size and never larger than the cap, and
// a refused header never reaches a decoder. The sanitizers catch any read
// beyond the bytes, and the run's memory limit any allocation a declared
// size would have caused.

#include "FuzzSupport.h"
#include "service/PictureDecoder.h"
#include "service/PictureHeader.h"

#include <cstdint>

namespace
{
using fuzz::check;

// The two boxes the program draws pictures from the network in.
const juce::Rectangle<int> qrCodeBox { 0, 0, 172, 172 };
const juce::Rectangle<int> pluginPictureBox { 0, 0, 202, 201 };

void decodeWithin (const uint8_t* data, size_t size, const PictureHeader& header, juce::Rectangle<int> box)
{
    const auto largest = PictureDecoder::largestSizeFor (box);
    const auto image = PictureDecoder::decode (data, size, largest);

    if (! image.isValid())
        return;

    check (header.isKnown());
    check (image.getWidth() == header.width && image.getHeight() == header.height);
    check (image.getWidth() <= largest.x && image.getHeight() <= largest.y);
}
} // namespace

// No framework assertion may fire on a picture from the network.
void auralisFuzzFrameworkAssertion (const char*, int)
{
    __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput (const uint8_t* data, size_t size)
{
    const auto header = PictureHeader::read (data, size);

    check (header.isKnown() == (header.width > 0 && header.height > 0));

    decodeWithin (data, size, header, qrCodeBox);
    decodeWithin (data, size, header, pluginPictureBox);
    return 0;
}
