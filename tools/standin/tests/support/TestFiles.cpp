#include "TestFiles.h"

#include "StandinConstants.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace TestFiles
{
std::string read (const std::filesystem::path& file)
{
    std::ifstream stream (file, std::ios::binary);
    std::ostringstream contents;
    contents << stream.rdbuf();
    return contents.str();
}

std::pair<int, int> pngSize (const std::string& bytes)
{
    if (bytes.size() < 24 || bytes.compare (0, 8, "\x89PNG\r\n\x1a\n", 8) != 0 || bytes.compare (12, 4, "IHDR") != 0)
        return { 0, 0 };

    auto number = [&bytes] (size_t offset)
    {
        int value = 0;

        for (size_t i = 0; i < 4; ++i)
            value = (value << 8) | (unsigned char) bytes[offset + i];

        return value;
    };

    return { number (16), number (20) };
}

std::string minimalJpeg (int width, int height)
{
    std::string jpeg ("\xff\xd8", 2);
    jpeg += std::string ("\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00", 18);

    // Frame header: precision 8, height, width, one component.
    jpeg += std::string ("\xff\xc0\x00\x0b\x08", 5);
    jpeg += (char) (height >> 8);
    jpeg += (char) (height & 255);
    jpeg += (char) (width >> 8);
    jpeg += (char) (width & 255);
    jpeg += std::string ("\x01\x01\x11\x00", 4);

    // Scan header, a few bytes of data, end of image.
    jpeg += std::string ("\xff\xda\x00\x08\x01\x01\x00\x00\x3f\x00", 10);
    jpeg += std::string ("\x12\x34\x56\x78", 4);
    jpeg += std::string ("\xff\xd9", 2);
    return jpeg;
}

std::string shellQuoted (const std::string& text)
{
    std::string quoted = "'";

    for (char c : text)
        quoted += c == '\'' ? std::string ("'\\''") : std::string (1, c);

    return quoted + "'";
}

std::pair<int, std::string> runProgram (const std::string& command)
{
    std::string output;
    auto* pipe = popen (command.c_str(), "r");

    if (pipe == nullptr)
        return { -1, {} };

    std::array<char, 4096> buffer;

    while (auto count = std::fread (buffer.data(), 1, buffer.size(), pipe))
        output.append (buffer.data(), count);

    const int status = pclose (pipe);
    return { WIFEXITED (status) ? WEXITSTATUS (status) : -1, output };
}

std::string decodeQrCode (const std::string& pngBytes)
{
    char name[] = "/tmp/auralis-standin-qr-XXXXXX";
    const int descriptor = mkstemp (name);

    if (descriptor < 0)
        return {};

    const bool written = ::write (descriptor, pngBytes.data(), pngBytes.size()) == (ssize_t) pngBytes.size();
    ::close (descriptor);

    std::string text;

    if (written)
    {
        text = runProgram ("zbarimg --quiet --raw " + shellQuoted (name) + " 2>/dev/null").second;

        while (! text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
    }

    ::unlink (name);
    return text;
}

httplib::Result uploadPhoto (httplib::SSLClient& client, const std::string& path, const std::string& bytes, const std::string& fileName, const std::string& contentType)
{
    httplib::MultipartFormDataItems items { { StandinConstants::uploadFieldName, bytes, fileName, contentType } };
    return client.Post (path.c_str(), items);
}
}
