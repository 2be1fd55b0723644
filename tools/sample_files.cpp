// SPDX-License-Identifier: GPL-3.0-or-later

#include "sample_files.h"

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::optional<fs::path> resolve(const fs::path& root, const std::string& urlPath)
{
    if (urlPath.empty() || urlPath.front() != '/' || urlPath.find('\0') != std::string::npos)
        return std::nullopt;
    fs::path file = root;
    std::istringstream segments(urlPath);
    std::string segment;
    while (std::getline(segments, segment, '/')) {
        if (segment == "..")
            return std::nullopt;
        if (!segment.empty() && segment != ".")
            file /= segment;
    }
    std::error_code error;
    if (fs::is_directory(file, error))
        file /= "index.html";
    if (!fs::is_regular_file(file, error))
        return std::nullopt;
    return file;
}

std::string contentType(const fs::path& file)
{
    const std::string extension = file.extension().string();
    // The lists are read as raw GB2312 bytes: no charset may be claimed for them.
    if (extension == ".txt")
        return "text/plain";
    if (extension == ".html" || extension == ".htm")
        return "text/html";
    if (extension == ".wma")
        return "audio/x-ms-wma";
    if (extension == ".png")
        return "image/png";
    if (extension == ".ico")
        return "image/x-icon";
    return "application/octet-stream";  // the lecture lists (.zip) among them
}

std::optional<std::string> readFile(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(bytes).str();
}

std::string entityTag(const fs::path& file)
{
    std::error_code error;
    const auto size = fs::file_size(file, error);
    const auto modified = fs::last_write_time(file, error).time_since_epoch().count();
    std::ostringstream tag;
    tag << '"' << std::hex << size << '-' << modified << '"';
    return tag.str();
}
