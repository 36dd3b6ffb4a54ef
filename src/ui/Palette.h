#pragma once

#include <juce_graphics/juce_graphics.h>

//==============================================================================
/** The product's palette, as 8-digit ARGB strings converted where used. */
namespace Palette
{
inline juce::Colour colour (const char* argb) { return juce::Colour::fromString (argb); }

inline constexpr const char* white = "FFFFFFFF";
inline constexpr const char* darkSurface = "FF2F2D2D";
inline constexpr const char* raisedSurface = "FF3C3A3A";
inline constexpr const char* redAccent = "FFB92036";
inline constexpr const char* greyBorder = "FF4C4C4C";
inline constexpr const char* alternateFill = "FF696969";
inline constexpr const char* alternateActiveFill = "FF5E5E5E";
inline constexpr const char* transparentFill = "00464242";
inline constexpr const char* entryFill = "FF191919";
inline constexpr const char* entryFrame = "FF575757";
inline constexpr const char* entryFramePointed = "FF8A8A8A";
inline constexpr const char* entryFrameChanged = "FFCCCCCC";
inline constexpr const char* entryText = "FFFDFDFF";
inline constexpr const char* greyText = "FFBFBFBF";
inline constexpr const char* gradientTop = "FF7A8585";
inline constexpr const char* gradientBottom = "FF292929";
inline constexpr const char* overlayBox = "FFD2DFE1";
inline constexpr const char* headerBand = "FF282828";
inline constexpr const char* black = "FF000000";
inline constexpr const char* badgeRed = "FFFF0000";
inline constexpr const char* dotOutline = "FF979797";
inline constexpr const char* greenMark = "FF00D676";
inline constexpr const char* redMark = "FFFF4242";
inline constexpr const char* secondaryCaption = "FFC1C1C1";

/** Caption of a disabled text button: white at a quarter opacity. */
inline constexpr const char* disabledButtonText = "40FFFFFF";
}
