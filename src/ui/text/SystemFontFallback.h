#pragma once

#include <juce_core/juce_core.h>

#include <optional>

//==============================================================================
/** Asks the system which installed font draws a character: fontconfig on
    Linux, DirectWrite's font fallback on Windows (and, where that names no
    font, the system's font collection). Each question costs the system a
    search, so callers ask once per character and keep the answer
    (FallbackFaces).
*/
namespace SystemFontFallback
{
/** An installed font file and the face of it to use. */
struct FontLocation
{
    juce::File file;
    unsigned int index = 0;
};

/** True for a pictograph, written to be seen in colour: it is drawn with a
    colour face when one is installed. */
bool prefersColour (juce::juce_wchar character);

/** A font for the character at about the given weight (400 regular, 500
    medium), or nothing when the system knows of none. */
std::optional<FontLocation> findFontFor (juce::juce_wchar character, int weight);

/** Lets go of what the system's font lookup keeps (its configuration and
    caches), once nothing found through it is asked any more. */
void shutDown();
}
