// Expands a naming template with a chart's header values into a safe folder name.
#include "naming/folder_name.h"

#include "naming/bms_header.h"
#include "naming/reserved_chars.h"

namespace naming {

FolderName MakeFolderName(const std::filesystem::path& chart, std::string_view nameTemplate) {
    return MakeFolderName(chart, nameTemplate, ChartCheck::LookUp);
}

FolderName MakeFolderName(const std::filesystem::path& chart, std::string_view nameTemplate,
                          ChartCheck check) {
    TBmsHeader header;
    try {
        header = ScanBmsHeader(chart, check).header;
    } catch (const ReadFailure&) {
        return {std::string(), true};
    }
    std::string name;
    for (char code : nameTemplate) {
        switch (code) {
            case '1':
                name += header.Artist;
                break;
            case '2':
                name += header.Genre;
                break;
            case '3':
                name += header.Title;
                break;
            case '4':
                name += header.Level;
                break;
            case '5':
                name += header.LevelStars;
                break;
            case '0':
            case '6':
            case '7':
            case '8':
            case '9':
                // Digits always select a field; these select none, so a digit never shows.
                break;
            default:
                name += code;
                break;
        }
    }
    return {ReplaceReservedChars(name), false};
}

}  // namespace naming
