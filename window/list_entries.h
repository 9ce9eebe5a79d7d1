// How dropped paths become list entries: the code page 932 length limit, the list order and the
// native form handed to the file system.
#pragma once

#include <QString>
#include <cstddef>
#include <filesystem>
#include <vector>

class QCollator;
class QUrl;

namespace window {

// The longest path, in code page 932 bytes, that the list keeps.
inline constexpr int kMaxPathBytes = 254;

// A path as the list holds it; cut is set when it was shortened to the byte limit.
struct ListedPath {
    QString path;
    bool cut = false;
};

// The path cut to its first maxBytes code page 932 bytes, between whole characters. A character
// that code page 932 cannot spell counts as two bytes.
ListedPath LimitToCp932Bytes(const QString& path, int maxBytes = kMaxPathBytes);

// The positions of texts in ascending collator order; equal texts keep their relative order.
std::vector<std::size_t> SortedOrder(const std::vector<QString>& texts, const QCollator& collator);

// A listed path in the form the file system and the composition take.
std::filesystem::path ToNativePath(const QString& path);

// The local file a dropped URL names, in native form. On POSIX the file name's bytes are taken
// as they are, so a name that is no UTF-8 (a Shift_JIS name unpacked from an archive) still names
// its file, where QUrl::toLocalFile would have replaced its bytes.
std::filesystem::path NativePathOfUrl(const QUrl& url);

// A native path as the list shows it.
QString FromNativePath(const std::filesystem::path& path);

}  // namespace window
