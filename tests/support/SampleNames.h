#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

//==============================================================================
/** Profile names as their owners write them, one per script, with the OCR
    language that reads the script back. None of the right-to-left names
    reads the same backwards. */
namespace SampleNames
{
struct Sample
{
    juce::String name;
    juce::String language; // OCR language data; empty: checked by colour, not read
    const char* script;
};

inline std::vector<Sample> all()
{
    return {
        { juce::String::fromUTF8 ("Людмила"), "rus", "Cyrillic" },
        { juce::String::fromUTF8 ("李雷"), "chi_sim", "Han" },
        { juce::String::fromUTF8 ("김민준"), "kor", "Hangul" },
        { juce::String::fromUTF8 ("さくら"), "jpn", "Kana" },
        { juce::String::fromUTF8 ("محمد"), "ara", "Arabic" },
        { juce::String::fromUTF8 ("שרה"), "heb", "Hebrew" },
        { juce::String::fromUTF8 ("अर्जुन"), "hin", "Devanagari" },
        { juce::String::fromUTF8 ("สมชาย"), "tha", "Thai" },
        { juce::String::fromUTF8 ("Rene\xcc\x81"
                                  "e"),
          "eng",
          "Latin with a combining accent" },
        { juce::String::fromUTF8 ("Mia \xf0\x9f\x8c\xbb"), {}, "emoji" },
    };
}

/** True when a picture holds pixels of a clear colour (neither grey nor
    near black or white): what a colour emoji draws and grey text does not. */
inline bool hasColouredPixels (const juce::Image& image)
{
    int coloured = 0;

    for (int y = 0; y < image.getHeight(); ++y)
        for (int x = 0; x < image.getWidth(); ++x)
            if (const auto c = image.getPixelAt (x, y); c.getSaturation() > 0.5f && c.getBrightness() > 0.3f)
                ++coloured;

    return coloured > 20;
}
}
