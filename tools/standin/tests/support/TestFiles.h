#pragma once

#include <httplib.h>

#include <filesystem>
#include <string>
#include <utility>

//==============================================================================
/** Files, pictures and programs the stand-in's tests use. */
namespace TestFiles
{
std::string read (const std::filesystem::path& file);

/** Width and height from a PNG header; (0, 0) when it is not one. */
std::pair<int, int> pngSize (const std::string& bytes);

/** A structurally complete baseline JPEG of the given size (frame header,
        scan header, a little entropy-coded data, end marker). */
std::string minimalJpeg (int width, int height);

/** Runs a shell command; returns its exit status and standard output. */
std::pair<int, std::string> runProgram (const std::string& command);

/** Decodes a QR code picture with zbarimg; empty when nothing is found. */
std::string decodeQrCode (const std::string& pngBytes);

/** Uploads bytes as the upload form's photo field. */
httplib::Result uploadPhoto (httplib::SSLClient& client, const std::string& path, const std::string& bytes, const std::string& fileName, const std::string& contentType);

std::string shellQuoted (const std::string& text);
}
