#pragma once

#include <string>

//==============================================================================
/** Renders text as a QR code in a grey-scale PNG picture. */
class QrPicture
{
public:
    /** The PNG bytes, or an empty string when the text cannot be encoded. */
    static std::string pngFor (const std::string& text);

    static constexpr int pixelsPerModule = 8;
    static constexpr int quietZoneModules = 4;
};
