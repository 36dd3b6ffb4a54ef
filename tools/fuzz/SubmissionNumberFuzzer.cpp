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

/** False for text holding over-long or otherwise non-shortest UTF-8
    sequences, which the framework accepts but decodes as other characters
    (0xc0 0xb5 reads as "5" to some of its functions and as no digit to
    others); only the number's own reading is checked for those. */
bool isShortestUtf8 (const juce::String& text)
{
    juce::String rebuilt;

    for (auto p = text.getCharPointer(); ! p.isEmpty();)
        rebuilt += juce::String::charToString (p.getAndAdvance());

    return std::strcmp (rebuilt.toRawUTF8(), text.toRawUTF8()) == 0;
}
} // namespace

void auralisFuzzFrameworkAssertion (const char*, int)
{
    __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // Ids reach the program as JSON strings: UTF-8, any byte sequence the
    // framework accepts. A zero after the bytes keeps the framework's
    // conversion inside the buffer (it reads one byte past a lone byte-order
    // mark).
    std::vector<char> text (data, data + size);
    text.push_back (0);
    const auto imgId = juce::String::createStringFromData (text.data(), (int) size);
    const auto number = SubmissionNumber::fromImageId (imgId);

    if (number != 0 && isShortestUtf8 (imgId))
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
