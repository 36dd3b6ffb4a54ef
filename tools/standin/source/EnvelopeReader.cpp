#include "EnvelopeReader.h"

#include "StandinConstants.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace
{
using nlohmann::json;
namespace Key = StandinConstants::Request;
namespace Code = StandinConstants::Code;

ServiceError badRequest (int returnCode, const std::string& message)
{
    return { 400, returnCode, message };
}

ServiceError missing (const char* section)
{
    return badRequest (Code::missingSection, std::string ("The request lacks \"") + section + "\".");
}

ServiceError malformed (const char* member)
{
    return badRequest (Code::badRequest, std::string ("The member \"") + member + "\" is not valid.");
}

/** Reads a string member; false when present but not a short string. */
bool readString (const json& object, const char* key, std::string& out, bool& present)
{
    present = false;
    const auto found = object.find (key);

    if (found == object.end())
        return true;

    if (! found->is_string() || found->get_ref<const std::string&>().size() > StandinConstants::maxStringMemberBytes)
        return false;

    present = true;
    out = found->get<std::string>();
    return true;
}

/** Device ids are shown to the operator, so terminal controls are refused. */
bool hasControlCharacters (const std::string& text)
{
    return std::any_of (text.begin(), text.end(), [] (char c)
                        { return (unsigned char) c < 0x20 || c == 0x7f; });
}

/** An optional section that the program switches on with "enable": 1. */
bool readSwitch (const json& body, const char* section, bool& enabled, ServiceError& error)
{
    enabled = false;
    const auto found = body.find (section);

    if (found == body.end())
        return true;

    if (! found->is_object())
    {
        error = malformed (section);
        return false;
    }

    const auto enable = found->find (Key::enable);
    enabled = enable != found->end()
              && ((enable->is_number_integer() && enable->get<long long>() == 1)
                  || (enable->is_boolean() && enable->get<bool>()));
    return true;
}
}

//==============================================================================
bool EnvelopeReader::nestingWithin (const std::string& text, int maxDepth)
{
    int depth = 0;
    bool inString = false;
    bool escaped = false;

    for (char c : text)
    {
        if (inString)
        {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;

            continue;
        }

        if (c == '"')
            inString = true;
        else if (c == '[' || c == '{')
        {
            if (++depth > maxDepth)
                return false;
        }
        else if (c == ']' || c == '}')
            --depth;
    }

    return true;
}

bool EnvelopeReader::read (const std::string& body, Needs needs, Envelope& envelope, ServiceError& error)
{
    if (body.size() > StandinConstants::maxJsonBodyBytes)
    {
        error = { 413, Code::tooLarge, StandinConstants::Text::tooLarge };
        return false;
    }

    if (! nestingWithin (body, StandinConstants::maxJsonDepth))
    {
        error = badRequest (Code::tooDeep, StandinConstants::Text::tooDeep);
        return false;
    }

    const auto parsed = json::parse (body, nullptr, false);

    if (parsed.is_discarded() || ! parsed.is_object())
    {
        error = badRequest (Code::notJson, StandinConstants::Text::notJson);
        return false;
    }

    const auto key = parsed.find (Key::clientKey);

    if (key == parsed.end())
    {
        error = missing (Key::clientKey);
        return false;
    }

    if (! key->is_string() || key->get_ref<const std::string&>() != StandinConstants::clientKey)
    {
        error = { 401, Code::wrongClientKey, StandinConstants::Text::wrongClientKey };
        return false;
    }

    const auto product = parsed.find (Key::productInfo);

    if (product == parsed.end() || ! product->is_object())
    {
        error = missing (Key::productInfo);
        return false;
    }

    bool present = false;

    if (! readString (*product, Key::productName, envelope.productName, present) || ! present)
    {
        error = malformed (Key::productName);
        return false;
    }

    if (! readString (*product, Key::productVersion, envelope.productVersion, present) || ! present)
    {
        error = malformed (Key::productVersion);
        return false;
    }

    if (const auto device = parsed.find (Key::deviceInfo); device != parsed.end())
    {
        if (! device->is_object() || ! readString (*device, Key::deviceId, envelope.deviceId, present) || ! present
            || envelope.deviceId.empty() || hasControlCharacters (envelope.deviceId))
        {
            error = malformed (Key::deviceId);
            return false;
        }
    }
    else if (needs != Needs::nothingMore)
    {
        error = missing (Key::deviceInfo);
        return false;
    }

    if (const auto update = parsed.find (Key::updateInfo); update != parsed.end())
    {
        if (! update->is_object())
        {
            error = malformed (Key::updateInfo);
            return false;
        }

        envelope.hasUpdateInfo = true;
    }
    else if (needs == Needs::deviceAndUpdateInfo)
    {
        error = missing (Key::updateInfo);
        return false;
    }

    if (! readSwitch (parsed, Key::auralisUpdateCheck, envelope.auralisUpdateCheck, error)
        || ! readSwitch (parsed, Key::softwareUpdateCheck, envelope.softwareUpdateCheck, error)
        || ! readSwitch (parsed, Key::userHrtfInfoFetch, envelope.userHrtfInfoFetch, error))
        return false;

    if (envelope.auralisUpdateCheck)
    {
        const auto& section = parsed[Key::auralisUpdateCheck];
        const auto params = section.find (Key::params);

        if (params != section.end())
        {
            if (! params->is_object()
                || ! readString (*params, Key::currentImgId, envelope.currentImgId, present)
                || ! readString (*params, Key::currentAuralisId, envelope.currentAuralisId, present)
                || ! readString (*params, Key::currentHrtfId, envelope.currentHrtfId, present))
            {
                error = malformed (Key::params);
                return false;
            }
        }
    }

    return true;
}
