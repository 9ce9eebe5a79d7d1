// A fresh temporary folder for one test, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

class TempFolder {
  public:
    TempFolder() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            const std::filesystem::path candidate =
                std::filesystem::temp_directory_path() / ("bfr-test-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("no fresh temporary folder");
    }
    // Tests may take permissions away to make charts unreadable: they are given back first, so
    // that everything can be removed.
    ~TempFolder() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(path_, ignored);
             it != fs::recursive_directory_iterator(); it.increment(ignored)) {
            if (!it->is_symlink(ignored)) {
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
            }
        }
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const {
        return path_ / relative;
    }

    // Writes bytes, exactly as given, to the file at relative, making the folders on the way.
    std::filesystem::path Write(const std::filesystem::path& relative,
                                std::string_view bytes) const {
        const std::filesystem::path file = path_ / relative;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            throw std::runtime_error("cannot write " + file.string());
        }
        return file;
    }

    // Makes the folder at relative, with the folders on the way.
    std::filesystem::path MakeFolder(const std::filesystem::path& relative) const {
        const std::filesystem::path folder = path_ / relative;
        std::filesystem::create_directories(folder);
        return folder;
    }

  private:
    std::filesystem::path path_;
};
