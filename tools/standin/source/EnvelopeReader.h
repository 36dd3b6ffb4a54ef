#pragma once

#include <string>

//==============================================================================
/** The parts of a request envelope the stand-in acts on. */
struct Envelope
{
    std::string productName;
    std::string productVersion;

    /** Empty when the envelope has no "device_info" section. */
    std::string deviceId;
    bool hasUpdateInfo = false;

    bool auralisUpdateCheck = false;
    bool softwareUpdateCheck = false;
    bool userHrtfInfoFetch = false;
    std::string currentImgId;
    std::string currentAuralisId;
    std::string currentHrtfId;
};

/** A refused request: the codes and text of the reply. */
struct ServiceError
{
    int statusCode = 400;
    int returnCode = 0;
    std::string message;
};

//==============================================================================
/** Reads and checks a request envelope from a request body.

    The body is refused before it is parsed when it is larger or nested more
    deeply than any envelope the program sends, so hostile bodies cost little.
    Then the client key, the product section and the sections the endpoint
    needs are checked.
*/
class EnvelopeReader
{
public:
    enum class Needs
    {
        nothingMore, // the QR-code request: no optional section
        deviceInfo, // status checks
        deviceAndUpdateInfo // pulls
    };

    /** Fills envelope, or error when the body is refused. */
    static bool read (const std::string& body, Needs needs, Envelope& envelope, ServiceError& error);

    /** True when no array or object in the JSON text is nested deeper than
        maxDepth; strings are skipped, so brackets inside them do not count. */
    static bool nestingWithin (const std::string& text, int maxDepth);
};
