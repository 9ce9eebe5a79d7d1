// Turns a chart and a naming template into a folder name.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace naming {

// The composed, substituted name (code page 932 bytes); empty with readFailed when the chart
// could not be read.
struct FolderName {
    std::string name;
    bool readFailed = false;
};

FolderName MakeFolderName(const std::filesystem::path& chart, std::string_view nameTemplate);

}  // namespace naming
