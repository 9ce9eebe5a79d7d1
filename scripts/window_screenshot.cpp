// Shows the real window with a few sample charts dropped on it and one selected, and saves a
// picture of it: window_screenshot <output.png>. Runs on any platform plugin (xcb under Xvfb).
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <cstdio>
#include <string>

#include "host/cp932.h"
#include "window/Unit1.h"

namespace {

struct SampleChart {
    const char* folder;
    const char* artist;
    const char* genre;
    const char* title;
    const char* level;
};

// Writes one chart in code page 932, as charts are written, and gives its file URL.
QUrl WriteChart(const QString& root, const SampleChart& sample) {
    const QString folder = root + QLatin1Char('/') + QString::fromUtf8(sample.folder);
    QDir().mkpath(folder);
    const QString path = folder + QStringLiteral("/chart.bms");
    const std::string text = std::string("#PLAYER 1\r\n#ARTIST ") + sample.artist + "\r\n#GENRE " +
                             sample.genre + "\r\n#TITLE " + sample.title + "\r\n#PLAYLEVEL " +
                             sample.level + "\r\n#BPM 150\r\n";
    const std::string bytes = host::Utf8ToCp932(text);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    return QUrl::fromLocalFile(path);
}

// Drops urls on target the way a file manager's drag ends there.
void Drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint where = target->rect().center();
    QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDragMoveEvent move(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
    QDropEvent drop(QPointF(where), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("usage: window_screenshot <output.png>\n", stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/bms-XXXXXX"));
    if (!dir.isValid()) {
        std::fputs("window_screenshot: no temporary folder\n", stderr);
        return 1;
    }
    const QString root = dir.path() + QStringLiteral("/BMS");
    const SampleChart samples[] = {
        {"song01", "山田太郎", "ピアノ", "春の雨", "7"},
        {"song02", "さくら", "ロック", "夜明け/R", "4"},
        {"song03", "Foo", "Bar", "Baz", "3"},
        {"曲フォルダ", "青空楽団", "ジャズ", "星降る夜に", "5"},
    };
    QList<QUrl> urls;
    for (const SampleChart& sample : samples) {
        urls.append(WriteChart(root, sample));
    }

    TForm1 form;
    form.SetSortLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    form.show();
    Drop(form.LB->viewport(), urls.mid(0, 2));
    Drop(form.Panel3, urls.mid(2));
    form.LB->setCurrentRow(1);

    int status = 1;
    QTimer::singleShot(500, &form, [&form, &output, &status] {
        status = form.grab().save(output) ? 0 : 1;
        if (status != 0) {
            std::fputs("window_screenshot: could not save the picture\n", stderr);
        }
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
