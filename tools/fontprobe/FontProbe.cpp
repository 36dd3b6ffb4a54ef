// Renders sample text in the two embedded faces and in the platform's default
// sans-serif face into a PNG, so that a person can see which faces the
// platform's text rendering really uses (on Windows built with MinGW, JUCE
// draws text through GDI). Exits with 1 when an embedded face renders exactly
// like another face, or, on Windows, when GDI would select a different face
// for an embedded face's name.
//
// Usage: auralis_font_probe OUTPUT.png

#ifdef _WIN32
    #define NOMINMAX
    #define WIN32_LEAN_AND_MEAN
    #include <windows.h>
#endif

#include "ui/Fonts.h"

#include <juce_events/juce_events.h>
#include <juce_graphics/juce_graphics.h>

#include <iostream>

namespace
{
const juce::String sampleText { "Personalise your audio - Hamburgefonstiv 0123" };
constexpr int imageWidth = 540;
constexpr int lineHeight = 44;
constexpr float textHeight = 26.0f;

juce::Image renderLine (const juce::Font& font)
{
    juce::Image image (juce::Image::RGB, imageWidth, lineHeight, true);
    juce::Graphics g (image);
    g.fillAll (juce::Colours::white);
    g.setColour (juce::Colours::black);
    g.setFont (font);
    g.drawText (sampleText, 10, 0, imageWidth - 20, lineHeight, juce::Justification::centredLeft, false);
    return image;
}

bool samePixels (const juce::Image& a, const juce::Image& b)
{
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
            if (a.getPixelAt (x, y) != b.getPixelAt (x, y))
                return false;

    return true;
}

/** The face GDI selects for a name, as JUCE asks for it; empty elsewhere. */
juce::String faceSelectedFor (const juce::String& name)
{
#ifdef _WIN32
    auto* dc = CreateCompatibleDC (nullptr);
    auto* font = CreateFontW (-64, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name.toWideCharPointer());
    auto* previous = SelectObject (dc, font);
    WCHAR face[LF_FACESIZE] = {};
    GetTextFaceW (dc, LF_FACESIZE, face);
    SelectObject (dc, previous);
    DeleteObject (font);
    DeleteDC (dc);
    return juce::String (face);
#else
    juce::ignoreUnused (name);
    return {};
#endif
}
}

int main (int argc, char* argv[])
{
    if (argc != 2)
    {
        std::cerr << "usage: auralis_font_probe OUTPUT.png" << std::endl;
        return 2;
    }

    juce::ScopedJuceInitialiser_GUI juceInitialiser;

    const auto regular = regularFont (textHeight);
    const auto medium = mediumFont (textHeight);
    const juce::Font fallback (juce::Font::getDefaultSansSerifFontName(), textHeight, juce::Font::plain);

    const auto regularLine = renderLine (regular);
    const auto mediumLine = renderLine (medium);
    const auto fallbackLine = renderLine (fallback);

    juce::Image sheet (juce::Image::RGB, imageWidth, 3 * lineHeight, true);
    {
        juce::Graphics g (sheet);
        g.drawImageAt (regularLine, 0, 0);
        g.drawImageAt (mediumLine, 0, lineHeight);
        g.drawImageAt (fallbackLine, 0, 2 * lineHeight);
    }

    const juce::File output (juce::File::getCurrentWorkingDirectory().getChildFile (juce::String (argv[1])));
    output.deleteFile();
    juce::FileOutputStream stream (output);
    juce::PNGImageFormat png;

    if (! stream.openedOk() || ! png.writeImageToStream (sheet, stream))
    {
        std::cerr << "font-probe: could not write " << output.getFullPathName() << std::endl;
        return 2;
    }

    auto ok = true;

    for (const auto& [label, font] : { std::pair { "regular", regular }, std::pair { "medium", medium } })
    {
        const auto name = font.getTypefacePtr()->getName();
        const auto selected = faceSelectedFor (name);
        std::cout << "font-probe: " << label << " face \"" << name << "\"";

        if (selected.isNotEmpty())
        {
            std::cout << ", GDI selects \"" << selected << "\"";
            ok = ok && selected.startsWith ("Alegreya Sans");
        }

        std::cout << std::endl;
    }

    const auto regularDiffers = ! samePixels (regularLine, fallbackLine);
    const auto mediumDiffers = ! samePixels (mediumLine, regularLine) && ! samePixels (mediumLine, fallbackLine);
    std::cout << "font-probe: regular differs from the default face: " << (regularDiffers ? "yes" : "no") << std::endl;
    std::cout << "font-probe: medium differs from regular and the default face: " << (mediumDiffers ? "yes" : "no") << std::endl;
    std::cout << "font-probe: wrote " << output.getFullPathName() << std::endl;

    return ok && regularDiffers && mediumDiffers ? 0 : 1;
}
