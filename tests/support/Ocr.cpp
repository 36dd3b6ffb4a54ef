#include "Ocr.h"

#include <utf8proc.h>

namespace
{
juce::String run (const juce::StringArray& command)
{
    juce::ChildProcess process;

    if (! process.start (command, juce::ChildProcess::wantStdOut))
        return {};

    const auto output = process.readAllProcessOutput();
    process.waitForProcessToFinish (60000);
    return process.getExitCode() == 0 ? output : juce::String();
}
}

bool Ocr::isAvailable (const juce::String& language)
{
    return run ({ "tesseract", "--list-langs" }).contains ("\n" + language + "\n")
           && run ({ "convert", "-version" }).isNotEmpty();
}

juce::String Ocr::readLine (const juce::Image& crop, const juce::String& language, int enlargement)
{
    const juce::TemporaryFile original (".png"), prepared (".png");

    {
        juce::FileOutputStream out (original.getFile());
        juce::PNGImageFormat().writeImageToStream (crop, out);
    }

    run ({ "convert", original.getFile().getFullPathName(), "-background", "black", "-alpha", "remove", "-filter", "Lanczos", "-resize", juce::String (enlargement * 100) + "%", "-colorspace", "gray", "-negate", prepared.getFile().getFullPathName() });

    return run ({ "tesseract", prepared.getFile().getFullPathName(), "stdout", "-l", language, "--psm", "7" }).trim();
}

juce::String Ocr::comparable (const juce::String& text)
{
    auto* composed = utf8proc_NFC (reinterpret_cast<const utf8proc_uint8_t*> (text.toRawUTF8()));

    if (composed == nullptr)
        return text.removeCharacters (" ");

    const auto result = juce::String::fromUTF8 (reinterpret_cast<const char*> (composed)).removeCharacters (" \t\r\n");
    std::free (composed);
    return result;
}

bool Ocr::readsAs (const juce::Image& crop, const juce::String& language, const juce::String& expected)
{
    for (const auto enlargement : { 3, 4 })
        if (comparable (readLine (crop, language, enlargement)) == comparable (expected))
            return true;

    return false;
}
