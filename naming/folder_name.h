// Turns a chart and a naming template into a folder name.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "naming/bms_header.h"

namespace naming {

// The composed, substituted name (code page 932 bytes); empty with readFailed when the chart
// could not be read.
struct FolderName {
    std::string name;
    bool readFailed = false;
};

FolderName MakeFolderName(const std::filesystem::path& chart, std::string_view nameTemplate);

// MakeFolderName for a chart the caller has just found to be a regular file: the scan opens it
// without looking its path up again.
FolderName MakeFolderName(const std::filesystem::path& chart, std::string_view nameTemplate,
                          ChartCheck check);

}  // namespace naming
