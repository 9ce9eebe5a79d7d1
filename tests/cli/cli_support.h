// Test helpers for the command line: a fresh folder tree per test, a full listing of a tree, and
// the command line run in-process or as the real program.
#pragma once

#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/cli.h"
#include "tests/support/temp_folder.h"

namespace cli_test {

namespace fs = std::filesystem;

// The tree of one test: a fresh temporary folder.
using TempTree = ::TempFolder;

// A chart whose only header is its title, lines ending in CR LF.
inline std::string Chart(std::string_view title) {
    return "#TITLE " + std::string(title) + "\r\n#BPM 120\r\n";
}

// Every entry under root, one line each: its relative path, its kind, and a file's bytes or a
// link's target; sorted, so two listings compare equal exactly when the trees are the same.
inline std::string Listing(const fs::path& root) {
    std::vector<std::string> lines;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        std::string line = entry.path().lexically_relative(root).string();
        const fs::file_status status = entry.symlink_status();
        if (fs::is_symlink(status)) {
            line += " -> " + fs::read_symlink(entry.path()).string();
        } else if (fs::is_directory(status)) {
            line += "/";
        } else if (fs::is_regular_file(status)) {
            std::ifstream file(entry.path(), std::ios::binary);
            line += " = " + std::string(std::istreambuf_iterator<char>(file), {});
        } else {
            line += " (special)";
        }
        lines.push_back(std::move(line));
    }
    std::sort(lines.begin(), lines.end());
    std::string listing;
    for (const std::string& line : lines)
        listing += line + "\n";
    return listing;
}

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// The command line run in this process.
inline Result RunInProcess(const std::vector<std::string>& arguments,
                           const std::string& input = {}) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    Result result;
    result.status = cli::Run(arguments, cli::Streams{in, out, err, false});
    result.out = out.str();
    result.err = err.str();
    return result;
}

inline std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A text quoted for the shell.
inline std::string Quoted(std::string_view text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The real program run from folder with input on its standard input; scratch holds the files
// that carry the streams.
inline Result RunProgram(const std::vector<std::string>& arguments, const std::string& input,
                         const fs::path& folder, const fs::path& scratch) {
    fs::create_directories(scratch);
    std::ofstream(scratch / "in", std::ios::binary) << input;
    std::string command = "cd " + Quoted(folder.string()) + " && " + Quoted(BFR_CLI_PROGRAM);
    for (const std::string& argument : arguments)
        command += " " + Quoted(argument);
    command += " <" + Quoted((scratch / "in").string()) + " >" +
               Quoted((scratch / "out").string()) + " 2>" + Quoted((scratch / "err").string());
    const int raw = std::system(command.c_str());
    Result result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadAll(scratch / "out");
    result.err = ReadAll(scratch / "err");
    return result;
}

// Every occurrence of "@" replaced by the root's path.
inline std::string At(std::string_view text, const fs::path& root) {
    std::string out;
    for (char c : text)
        out += c == '@' ? root.string() : std::string(1, c);
    return out;
}

}  // namespace cli_test
