#include "window/list_entries.h"

#include <QCollator>
#include <QCollatorSortKey>
#include <QDir>
#include <QFile>
#include <QStringView>
#include <QUrl>
#include <algorithm>
#include <numeric>

#include "host/cp932.h"

namespace window {

namespace {

// Bytes of one code point in code page 932, with the common cases answered without a lookup.
int CharBytes(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xFF61 && codePoint <= 0xFF9F)) {
        return 1;
    }
    return host::Cp932CharWidth(codePoint);
}

}  // namespace

ListedPath LimitToCp932Bytes(const QString& path, int maxBytes) {
    // No code point takes more than two bytes, so short paths need no counting.
    if (path.size() * 2 <= maxBytes) {
        return {path, false};
    }
    int bytes = 0;
    qsizetype i = 0;
    while (i < path.size()) {
        const QChar c = path.at(i);
        char32_t codePoint = c.unicode();
        qsizetype units = 1;
        if (c.isHighSurrogate() && i + 1 < path.size() && path.at(i + 1).isLowSurrogate()) {
            codePoint = QChar::surrogateToUcs4(c, path.at(i + 1));
            units = 2;
        }
        const int width = CharBytes(codePoint);
        if (bytes + width > maxBytes) {
            return {path.left(i), true};
        }
        bytes += width;
        i += units;
    }
    return {path, false};
}

std::vector<std::size_t> SortedOrder(const std::vector<QString>& texts, const QCollator& collator) {
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    // The C locale (no LANG set) collates by raw code units and takes no notice of the case
    // setting; letter case is still ignored there, by comparing case-folded texts.
    if (collator.locale().language() == QLocale::C) {
        std::vector<QString> folded;
        folded.reserve(texts.size());
        for (const QString& text : texts) {
            folded.push_back(text.toCaseFolded());
        }
        std::stable_sort(order.begin(), order.end(),
                         [&folded](std::size_t a, std::size_t b) { return folded[a] < folded[b]; });
        return order;
    }
    // Keys are made once per text; comparing two keys is then a plain byte comparison.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(texts.size());
    for (const QString& text : texts) {
        keys.push_back(collator.sortKey(text));
    }
    std::stable_sort(order.begin(), order.end(), [&keys](std::size_t a, std::size_t b) {
        return keys[a].compare(keys[b]) < 0;
    });
    return order;
}

std::filesystem::path ToNativePath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

std::filesystem::path NativePathOfUrl(const QUrl& url) {
#ifdef _WIN32
    return ToNativePath(QDir::toNativeSeparators(url.toLocalFile()));
#else
    // A URL with a host names a file on another machine's share: Qt's own form ("//host/path").
    if (!url.host().isEmpty()) {
        return ToNativePath(url.toLocalFile());
    }
    const QByteArray bytes =
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
    return std::filesystem::path(bytes.toStdString());
#endif
}

QString FromNativePath(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

}  // namespace window
