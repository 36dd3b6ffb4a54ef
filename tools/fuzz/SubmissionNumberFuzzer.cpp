// Feeds arbitrary bytes, read as an image id, to the submission-number
// reading and checks its result against the id's text: a non-zero number is
// exactly what the text after the last underscore spells (blanks, a sign,
// leading zeros, digits, then no further digit), and a number the service
// writes after an underscore always reads back as itself.

#include "FuzzSupport.h"
#include "store/SubmissionNumber.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
using fuzz::check;

/** True when `text` is blanks, an optional sign, any zeros, the decimal
    digits of `number`, then anything but a digit. */
bool spells (juce::String text, int number)
{
    text = text.trimStart();
    const bool negative = text.startsWithChar ('-');

    if (negative || text.startsWithChar ('+'))
        text = text.substring (1);

    if (negative != (number < 0))
        return false;

    const auto digits = juce::String (number).trimCharactersAtStart ("-");
    text = text.trimCharactersAtStart ("0");

    return text.startsWith (digits) && ! juce::CharacterFunctions::isDigit (text[digits.length()]);
}

/** The id as the program receives it: the service's JSON parser decodes a
    string character by character, ends it at a decoded zero and writes it
    out again as shortest-form UTF-8 (the bank's reader refuses anything
    else). The framework's string functions overrun their buffers on text
    such as an over-long zero (0xc0 0x80), which neither source delivers. */
juce::String receivedImageId (const std::uint8_t* data, std::size_t size)
{
    // A zero after the bytes keeps the framework's conversion inside the
    // buffer (it reads one byte past a lone byte-order mark).
    std::vector<char> bytes (data, data + size);
    bytes.push_back (0);
    const auto raw = juce::String::createStringFromData (bytes.data(), (int) size);

    juce::MemoryOutputStream text;

    for (auto p = raw.getCharPointer(); ! p.isEmpty();)
    {
        const auto c = p.getAndAdvance();

        if (c == 0)
            break;

        text.appendUTF8Char (c);
    }

    return text.toUTF8();
}
} // namespace

void auralisFuzzFrameworkAssertion (const char*, int)
{
    __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    const auto imgId = receivedImageId (data, size);
    const auto number = SubmissionNumber::fromImageId (imgId);

    if (number != 0)
        check (spells (imgId.fromLastOccurrenceOf ("_", false, false), number));

    // Any int written after the id's last underscore reads back unchanged.
    if (size >= sizeof (int))
    {
        int written = 0;
        std::memcpy (&written, data, sizeof (int));
        check (SubmissionNumber::fromImageId (imgId + "_" + juce::String (written)) == written);
    }

    return 0;
}
