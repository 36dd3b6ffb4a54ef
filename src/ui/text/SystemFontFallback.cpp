#include "SystemFontFallback.h"

#include <utf8proc.h>

#if JUCE_LINUX
    #include <fontconfig/fontconfig.h>
#elif JUCE_WINDOWS
    #include <windows.h>
    #include <dwrite_2.h>
#endif

namespace SystemFontFallback
{
bool prefersColour (juce::juce_wchar character)
{
    return utf8proc_get_property ((utf8proc_int32_t) character)->boundclass == UTF8PROC_BOUNDCLASS_EXTENDED_PICTOGRAPHIC;
}

#if JUCE_LINUX
//==============================================================================
std::optional<FontLocation> findFontFor (juce::juce_wchar character, int weight)
{
    // The character map decides before the family does, so the best match
    // has the character if any installed font has it; a sans-serif face of
    // the weight asked for is preferred among those.
    auto* pattern = FcPatternCreate();
    auto* characters = FcCharSetCreate();
    FcCharSetAddChar (characters, (FcChar32) character);
    FcPatternAddCharSet (pattern, FC_CHARSET, characters);
    FcPatternAddBool (pattern, FC_SCALABLE, FcTrue);
    FcPatternAddString (pattern, FC_FAMILY, reinterpret_cast<const FcChar8*> ("sans-serif"));
    FcPatternAddInteger (pattern, FC_WEIGHT, FcWeightFromOpenType (weight));
    FcCharSetDestroy (characters);

    if (prefersColour (character))
        FcPatternAddBool (pattern, FC_COLOR, FcTrue);

    FcConfigSubstitute (nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute (pattern);

    FcResult result = FcResultNoMatch;
    auto* match = FcFontMatch (nullptr, pattern, &result);
    FcPatternDestroy (pattern);

    if (match == nullptr)
        return {};

    std::optional<FontLocation> location;
    FcCharSet* matchedCharacters = nullptr;
    FcChar8* file = nullptr;
    int index = 0;

    if (FcPatternGetCharSet (match, FC_CHARSET, 0, &matchedCharacters) == FcResultMatch
        && FcCharSetHasChar (matchedCharacters, (FcChar32) character)
        && FcPatternGetString (match, FC_FILE, 0, &file) == FcResultMatch)
    {
        FcPatternGetInteger (match, FC_INDEX, 0, &index);
        location = FontLocation { juce::File (juce::CharPointer_UTF8 (reinterpret_cast<const char*> (file))),
                                  (unsigned int) juce::jmax (0, index & 0xffff) };
    }

    FcPatternDestroy (match);
    return location;
}

void shutDown()
{
    FcFini();
}

#elif JUCE_WINDOWS
//==============================================================================
namespace
{
    /** Releases a COM interface when it goes. */
    template <typename Interface>
    struct Com
    {
        Com() = default;
        ~Com()
        {
            if (p != nullptr)
                p->Release();
        }
        Com (const Com&) = delete;
        Com& operator= (const Com&) = delete;

        Interface* operator->() const { return p; }
        Interface** operator&() { return &p; }
        explicit operator bool() const { return p != nullptr; }

        Interface* p = nullptr;
    };

    /** The one character DirectWrite's fallback is asked about. */
    class OneCharacterSource : public IDWriteTextAnalysisSource
    {
    public:
        explicit OneCharacterSource (juce::juce_wchar character)
        {
            const auto text = juce::String::charToString (character);
            const auto wide = text.toWideCharPointer();
            length = (UINT32) juce::jmin ((size_t) 2, std::wcslen (wide));
            std::copy (wide, wide + length, utf16);
        }

        UINT32 size() const { return length; }

        HRESULT STDMETHODCALLTYPE QueryInterface (REFIID id, void** object) override
        {
            if (id == __uuidof(IUnknown) || id == __uuidof(IDWriteTextAnalysisSource))
            {
                *object = static_cast<IDWriteTextAnalysisSource*> (this);
                return S_OK;
            }

            *object = nullptr;
            return E_NOINTERFACE;
        }

        // Lives on the caller's stack for the one call.
        ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
        ULONG STDMETHODCALLTYPE Release() override { return 1; }

        HRESULT STDMETHODCALLTYPE GetTextAtPosition (UINT32 position, const WCHAR** text, UINT32* textLength) override
        {
            *text = position < length ? utf16 + position : nullptr;
            *textLength = position < length ? length - position : 0;
            return S_OK;
        }

        HRESULT STDMETHODCALLTYPE GetTextBeforePosition (UINT32 position, const WCHAR** text, UINT32* textLength) override
        {
            *text = position > 0 && position <= length ? utf16 : nullptr;
            *textLength = position <= length ? position : 0;
            return S_OK;
        }

        DWRITE_READING_DIRECTION STDMETHODCALLTYPE GetParagraphReadingDirection() override { return DWRITE_READING_DIRECTION_LEFT_TO_RIGHT; }

        HRESULT STDMETHODCALLTYPE GetLocaleName (UINT32, UINT32* textLength, const WCHAR** localeName) override
        {
            *localeName = L"";
            *textLength = length;
            return S_OK;
        }

        HRESULT STDMETHODCALLTYPE GetNumberSubstitution (UINT32, UINT32* textLength, IDWriteNumberSubstitution** substitution) override
        {
            *substitution = nullptr;
            *textLength = length;
            return S_OK;
        }

    private:
        WCHAR utf16[2] {};
        UINT32 length = 0;
    };

    /** Where a DirectWrite font lives on disk, when it is a local file. */
    std::optional<FontLocation> locationOf (IDWriteFont* font, juce::juce_wchar character)
    {
        BOOL has = FALSE;

        if (font == nullptr || FAILED (font->HasCharacter ((UINT32) character, &has)) || ! has)
            return {};

        Com<IDWriteFontFace> face;
        UINT32 fileCount = 1;
        Com<IDWriteFontFile> file;

        if (FAILED (font->CreateFontFace (&face)) || FAILED (face->GetFiles (&fileCount, &file)) || ! file)
            return {};

        const void* key = nullptr;
        UINT32 keySize = 0;
        Com<IDWriteFontFileLoader> loader;
        Com<IDWriteLocalFontFileLoader> localLoader;

        if (FAILED (file->GetReferenceKey (&key, &keySize)) || FAILED (file->GetLoader (&loader))
            || FAILED (loader->QueryInterface (__uuidof(IDWriteLocalFontFileLoader), reinterpret_cast<void**> (&localLoader))))
            return {};

        UINT32 pathLength = 0;

        if (FAILED (localLoader->GetFilePathLengthFromKey (key, keySize, &pathLength)))
            return {};

        juce::HeapBlock<WCHAR> path (pathLength + 1, true);

        if (FAILED (localLoader->GetFilePathFromKey (key, keySize, path, pathLength + 1)))
            return {};

        return FontLocation { juce::File (juce::String (path.get())), face->GetIndex() };
    }

    /** The system's own fallback, asked for the character. */
    std::optional<FontLocation> askFallback (IDWriteFactory* factory, juce::juce_wchar character, int weight)
    {
        Com<IDWriteFactory2> factory2;
        Com<IDWriteFontFallback> fallback;

        if (FAILED (factory->QueryInterface (__uuidof(IDWriteFactory2), reinterpret_cast<void**> (&factory2)))
            || FAILED (factory2->GetSystemFontFallback (&fallback)))
            return {};

        OneCharacterSource source (character);
        UINT32 mappedLength = 0;
        Com<IDWriteFont> mapped;
        FLOAT scale = 1.0f;

        if (FAILED (fallback->MapCharacters (&source, 0, source.size(), nullptr, L"Segoe UI", (DWRITE_FONT_WEIGHT) weight, DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL, &mappedLength, &mapped, &scale)))
            return {};

        return locationOf (mapped.p, character);
    }

    /** The first font of the system's collection that has the character,
        for systems whose fallback names none. */
    std::optional<FontLocation> searchCollection (IDWriteFactory* factory, juce::juce_wchar character, int weight)
    {
        Com<IDWriteFontCollection> collection;

        if (FAILED (factory->GetSystemFontCollection (&collection, FALSE)))
            return {};

        for (UINT32 i = 0; i < collection->GetFontFamilyCount(); ++i)
        {
            Com<IDWriteFontFamily> family;
            Com<IDWriteFont> font;

            if (SUCCEEDED (collection->GetFontFamily (i, &family))
                && SUCCEEDED (family->GetFirstMatchingFont ((DWRITE_FONT_WEIGHT) weight, DWRITE_FONT_STRETCH_NORMAL, DWRITE_FONT_STYLE_NORMAL, &font)))
                if (auto location = locationOf (font.p, character))
                    return location;
        }

        return {};
    }
}

std::optional<FontLocation> findFontFor (juce::juce_wchar character, int weight)
{
    Com<IDWriteFactory> factory;

    if (FAILED (DWriteCreateFactory (DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory), reinterpret_cast<IUnknown**> (&factory))))
        return {};

    if (auto location = askFallback (factory.p, character, weight))
        return location;

    return searchCollection (factory.p, character, weight);
}

#else
//==============================================================================
std::optional<FontLocation> findFontFor (juce::juce_wchar, int)
{
    return {};
}
#endif

#if ! JUCE_LINUX
void shutDown()
{
}
#endif
}
