// SPDX-License-Identifier: GPL-3.0-or-later

// The sample library's files as the sample server hands them out.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The URL path mapped into the root; no way out of it through "..".
std::optional<std::filesystem::path> resolve(const std::filesystem::path& root, const std::string& urlPath);

std::string contentType(const std::filesystem::path& file);

std::optional<std::string> readFile(const std::filesystem::path& file);

// A strong validator of the file as it is now: its size and modification
// time, quoted. It changes whenever the file does.
std::string entityTag(const std::filesystem::path& file);
