// Test helpers: a fresh temporary folder per test, chart files written byte for byte, and byte
// strings shown in hex so that failures show every byte.
#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace naming_test {

// A temporary folder of its own, removed with everything in it when the object goes.
class TempFolder {
  public:
    TempFolder() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::filesystem::path candidate =
                std::filesystem::temp_directory_path() / ("bfr-naming-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate;
                return;
            }
        }
        throw std::runtime_error("no fresh temporary folder");
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }

    // Writes bytes, exactly as given, to a file of that name in the folder.
    std::filesystem::path Write(const std::filesystem::path& name, std::string_view bytes) const {
        std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            throw std::runtime_error("cannot write " + file.string());
        }
        return file;
    }

  private:
    std::filesystem::path path_;
};

// The bytes as two-digit hex numbers separated by blanks, e.g. "41 81 9A".
inline std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 3);
    for (char c : bytes) {
        unsigned char byte = static_cast<unsigned char>(c);
        if (!hex.empty()) {
            hex += ' ';
        }
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

// count copies of text.
inline std::string Repeat(std::string_view text, std::size_t count) {
    std::string repeated;
    repeated.reserve(text.size() * count);
    for (std::size_t i = 0; i < count; ++i) {
        repeated += text;
    }
    return repeated;
}

inline const std::string kBlack = "\x81\x9A";  // ★
inline const std::string kWhite = "\x81\x99";  // ☆

// n black stars followed by m white ones.
inline std::string Stars(std::size_t black, std::size_t white) {
    return Repeat(kBlack, black) + Repeat(kWhite, white);
}

}  // namespace naming_test
