#include "UploadPages.h"

#include "AccountRecords.h"
#include "StandinConstants.h"

namespace
{
const char* const pageStyle = "body { margin: 0; font-family: sans-serif; background: #1d1d22; color: #ffffff; }\n"
                              "main { max-width: 32em; margin: 0 auto; padding: 1.5em; }\n"
                              "h1 { font-size: 1.5em; color: #b92036; }\n"
                              "p { line-height: 1.4; }\n"
                              "input[type=file] { display: block; width: 100%; margin: 1.5em 0; font-size: 1em; }\n"
                              "button { width: 100%; padding: 0.9em; font-size: 1.1em; border: 0; border-radius: 0.4em; "
                              "background: #b92036; color: #ffffff; }\n";

std::string page (const std::string& title, const std::string& body)
{
    std::string html = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n";
    html += "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    html += "<title>" + UploadPages::escape (title) + "</title>\n";
    html += std::string ("<style>\n") + pageStyle + "</style>\n</head>\n<body>\n<main>\n";
    html += body;
    html += "</main>\n</body>\n</html>\n";
    return html;
}

std::string sizeText (std::size_t bytes)
{
    constexpr std::size_t megabyte = 1024 * 1024;

    if (bytes >= megabyte)
        return std::to_string (bytes / megabyte) + " MB";

    return std::to_string (bytes / 1024) + " KB";
}
}

std::string UploadPages::escape (const std::string& text)
{
    std::string escaped;

    for (char c : text)
    {
        switch (c)
        {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            case '\'':
                escaped += "&#39;";
                break;
            default:
                escaped += c;
                break;
        }
    }

    return escaped;
}

std::string UploadPages::uploadForm (const std::string& formAddress, std::size_t maxUploadBytes)
{
    std::string body = "<h1>Upload your ear photo</h1>\n";
    body += "<p>Take a sharp photo of your right ear from the side, in good light, with nothing covering it. ";
    body += "JPEG or PNG, up to " + sizeText (maxUploadBytes) + ".</p>\n";
    body += "<form method=\"post\" action=\"" + escape (formAddress) + "\" enctype=\"multipart/form-data\">\n";
    body += std::string ("<input type=\"file\" name=\"") + StandinConstants::uploadFieldName + "\" accept=\"image/jpeg,image/png\" capture=\"environment\" required>\n";
    body += "<button type=\"submit\">Upload</button>\n</form>\n";
    return page ("Auralis ear photo", body);
}

std::string UploadPages::outcome (const std::string& outcomeWord, const std::string& title, const std::string& text)
{
    std::string body = "<h1>" + escape (title) + "</h1>\n";
    body += "<p id=\"outcome\" data-outcome=\"" + escape (outcomeWord) + "\">" + escape (text) + "</p>\n";
    return page (title, body);
}

std::string UploadPages::downloadPage (const SoftwareRelease& release)
{
    std::string body = "<h1>Auralis with VST Spherion " + escape (release.latestVersion) + "</h1>\n";

    if (! release.releaseNotes.empty())
        body += "<p>" + escape (release.releaseNotes) + "</p>\n";

    body += "<p>This stand-in service has no installer to offer; the address only shows where a download would be.</p>\n";
    return page ("Auralis download", body);
}
