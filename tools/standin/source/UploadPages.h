#pragma once

#include <string>

struct SoftwareRelease;

//==============================================================================
/** The small phone-friendly HTML pages of the stand-in: the ear-photo upload
    form a QR code leads to, its outcome pages and the program download page.

    Every outcome page carries its outcome in the data-outcome attribute of
    the element with id "outcome", so scripts can read it as well as people.
*/
class UploadPages
{
public:
    static std::string uploadForm (const std::string& formAddress, std::size_t maxUploadBytes);

    /** outcome: a short machine-readable word ("processed", "used" ...). */
    static std::string outcome (const std::string& outcome, const std::string& title, const std::string& text);

    static std::string downloadPage (const SoftwareRelease& release);

    /** Text made safe to place inside HTML elements and attribute values. */
    static std::string escape (const std::string& text);
};
