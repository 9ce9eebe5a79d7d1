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

namespace cli_test {

namespace fs = std::filesystem;

// A temporary folder of its own, removed with everything in it (permissions restored first).
class TempTree {
  public:
    TempTree() {
        std::string pattern = (fs::temp_directory_path() / "bfr-cli-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary folder");
        root_ = pattern;
    }
    ~TempTree() {
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(root_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored)) {
            if (!it->is_symlink(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(root_, ignored);
    }
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    const fs::path& root() const { return root_; }

    // Writes bytes to the file at relative, making the folders on the way.
    fs::path Write(const fs::path& relative, std::string_view bytes) const {
        const fs::path file = root_ / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    fs::path Folder(const fs::path& relative) const {
        fs::create_directories(root_ / relative);
        return root_ / relative;
    }

  private:
    fs::path root_;
};

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
