#pragma once

#include <optional>
#include <string>

//==============================================================================
/** Decides from the bytes alone whether an upload is a JPEG or PNG picture;
    file names and declared content types are not trusted. */
class ImageValidator
{
public:
    struct ImageInfo
    {
        std::string extension; // "jpg" or "png"
        std::string mimeType;
        int width = 0;
        int height = 0;
    };

    /** The picture's kind and size, or nothing when the bytes are not a
        complete PNG (signature, checked header chunk, end chunk) or a JPEG
        (start marker, a frame header with a size, then image data). */
    static std::optional<ImageInfo> inspect (const std::string& bytes);

    static constexpr int maxDimension = 20000;
};
