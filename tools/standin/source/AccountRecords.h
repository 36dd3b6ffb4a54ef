#pragma once

#include <cstdint>
#include <string>
#include <vector>

//==============================================================================
/** One device's account: the program's envelope names a device, not a
    profile, so every profile on one machine shares it. */
struct Account
{
    std::string deviceId;
    int hrtfAllowed = 0;
    int hrtfRequested = 0;
    int pullAllowed = 0;
    int pullRequested = 0;

    /** Sequence number of the newest data set when the device last pulled. */
    std::int64_t lastPulledSequence = 0;

    /** When not empty, every request of the device is refused with it. */
    std::string refusalMessage;

    /** Newer data sets are announced as not fetchable. */
    bool updatesHeld = false;

    std::string createdAt;
    std::string lastCheckedAt;
};

/** One personalised HRTF made from one processed ear photo. */
struct DataSet
{
    std::int64_t sequence = 0;
    std::string deviceId;
    int submission = 0;
    std::string hrtfId;
    std::string imgId;
    std::string auralisId;
    std::string createdAt;
};

/** An upload address handed out through a QR code. */
struct UploadCode
{
    std::string token;
    std::string deviceId;
    bool used = false;
};

/** What the service announces about newer versions of the program. An empty
    download address stands for the stand-in's own download page. */
struct SoftwareRelease
{
    std::string latestVersion;
    std::string downloadUrl;
    std::string releaseNotes;
    bool forced = false;

    /** Versions older than this are refused; empty when all are supported. */
    std::string oldestSupportedVersion;
};

/** Quotas given to accounts when they are created. */
struct Quotas
{
    int hrtfAllowed = 0;
    int pullAllowed = 0;
};
