#include "Identifiers.h"

#include <openssl/rand.h>

#include <ctime>
#include <stdexcept>
#include <vector>

namespace Identifiers
{
std::string randomHex (int numBytes)
{
    std::vector<unsigned char> bytes ((size_t) numBytes);

    if (RAND_bytes (bytes.data(), numBytes) != 1)
        throw std::runtime_error ("no random bytes available");

    static constexpr char digits[] = "0123456789abcdef";
    std::string text;

    for (auto byte : bytes)
    {
        text += digits[byte >> 4];
        text += digits[byte & 15];
    }

    return text;
}

std::string utcNow()
{
    const auto now = std::time (nullptr);
    std::tm parts {};
    gmtime_r (&now, &parts);

    char text[32];
    std::strftime (text, sizeof (text), "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}
}
