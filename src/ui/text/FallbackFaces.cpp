#include "FallbackFaces.h"

#include "SystemFontFallback.h"

#include <utf8proc.h>

JUCE_IMPLEMENT_SINGLETON (FallbackFaces)

FallbackFaces::~FallbackFaces()
{
    clearSingletonInstance();

    if (asked > 0)
        SystemFontFallback::shutDown();
}

const FontFace* FallbackFaces::faceFor (juce::juce_wchar character, int weight)
{
    JUCE_ASSERT_MESSAGE_THREAD

    const auto key = std::make_pair (character, weight);

    if (const auto known = answers.find (key); known != answers.end())
        return known->second;

    const auto colour = SystemFontFallback::prefersColour (character);

    for (const auto* face : loadOrder)
        if (face->covers (character) && (face->hasColourGlyphs() || ! colour))
            return answers[key] = face;

    // Unassigned and private-use code points have no font worth a search.
    const auto category = utf8proc_category ((utf8proc_int32_t) character);

    if (category == UTF8PROC_CATEGORY_CN || category == UTF8PROC_CATEGORY_CO || category == UTF8PROC_CATEGORY_CS)
        return answers[key] = nullptr;

    if (questionsLeft <= 0)
        return nullptr; // not remembered: a later layout may ask

    --questionsLeft;
    ++asked;

    const FontFace* face = nullptr;

    if (const auto location = SystemFontFallback::findFontFor (character, weight))
        face = load (location->file, location->index);

    return answers[key] = (face != nullptr && face->covers (character) ? face : nullptr);
}

const FontFace* FallbackFaces::load (const juce::File& file, unsigned int index)
{
    const auto name = file.getFullPathName() + "#" + juce::String (index);

    if (const auto found = loaded.find (name); found != loaded.end())
        return found->second.get();

    auto face = FontFace::fromFile (file, index);
    const auto* result = face.get();
    loaded[name] = std::move (face); // a file that is no font is remembered too

    if (result != nullptr)
        loadOrder.push_back (result);

    return result;
}
