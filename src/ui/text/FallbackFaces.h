#pragma once

#include "FontFace.h"

#include <map>
#include <memory>
#include <vector>

//==============================================================================
/** The installed faces that draw what the embedded faces lack, each found by
    asking the system once and kept for the life of the program: a face is
    loaded only when a text first needs it, and a character's answer
    (including "no installed face has it") is asked for once.

    A face already loaded that has the character is taken before the system
    is asked again, so a name in one script costs one question. Message
    thread only.
*/
class FallbackFaces : public juce::DeletedAtShutdown
{
public:
    FallbackFaces() = default;
    ~FallbackFaces() override;

    /** The face that draws the character at about the given weight, or
        nullptr when none is installed or the lookup budget is spent. */
    const FontFace* faceFor (juce::juce_wchar character, int weight);

    /** Allows a number of new questions to the system; a layout calls it
        once, so that a pasted text of thousands of characters no installed
        face has cannot hold the window while the system searches for each. */
    void allowQuestions (int count) { questionsLeft = count; }

    /** How many times the system has been asked, for tests. */
    int questionsAsked() const noexcept { return asked; }

    JUCE_DECLARE_SINGLETON_SINGLETHREADED_MINIMAL (FallbackFaces)

private:
    //==============================================================================
    const FontFace* load (const juce::File& file, unsigned int index);

    std::map<std::pair<juce::juce_wchar, int>, const FontFace*> answers;
    std::map<juce::String, std::unique_ptr<FontFace>> loaded;
    std::vector<const FontFace*> loadOrder;
    int questionsLeft = 0;
    int asked = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FallbackFaces)
};
