#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** Reads one line of text off a picture with the OCR engine (tesseract), as a
    reader would: the crop enlarged (three times unless told, Lanczos), turned
    grey and inverted (light text on the pages' dark ground), read as a single
    line.
    Returns the text with blanks at both ends removed, or an empty string
    when nothing was read; whether the engine and the script's language data
    are installed is told by isAvailable. */
namespace Ocr
{
bool isAvailable (const juce::String& language);

juce::String readLine (const juce::Image& crop, const juce::String& language, int enlargement = 3);

/** True when the crop reads back as the text expected (compared as
    comparable() says), enlarged three times or, failing that, four: the
    engine reads dense Han glyphs at four times what it reads Kana at. */
bool readsAs (const juce::Image& crop, const juce::String& language, const juce::String& expected);

/** The same text in composed form, and without blanks, so that a name read
    back can be compared with the name written whatever the engine makes of
    combining marks and of the gaps between glyphs. */
juce::String comparable (const juce::String& text);
}
