// Speed of the window's two hot paths: a large drop, listed in order, and a keystroke in the
// template box recomputing the preview of a local chart.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <algorithm>
#include <random>
#include <string>

#include "host/cp932.h"
#include "window/Unit1.h"

namespace {

// Paths as a library of charts gives them: mixed case, Latin and Japanese folder names, in the
// order a file manager hands them over (not sorted).
QList<QUrl> LibraryUrls(int count) {
    static const char* const kWords[] = {"Alpha",  "beta",   "Gamma", "delta",   "曲",
                                         "さくら", "夜明け", "Remix", "ANOTHER", "hyper"};
    std::mt19937 random(20240101);
    std::uniform_int_distribution<int> word(0, 9);
    QList<QUrl> urls;
    urls.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString folder = QString::fromUtf8(kWords[word(random)]) + QLatin1Char(' ') +
                               QString::fromUtf8(kWords[word(random)]) +
                               QStringLiteral(" %1").arg(i);
        urls.append(QUrl::fromLocalFile(QStringLiteral("/home/user/BMS/") + folder +
                                        QStringLiteral("/chart_%1.bms").arg(i % 7)));
    }
    std::shuffle(urls.begin(), urls.end(), random);
    return urls;
}

void DropOn(QWidget* target, const QMimeData& mime) {
    const QPoint where = target->rect().center();
    QDragEnterEvent enter(where, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPointF(where), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
}

// A drop of range(0) paths on an empty list, until the list is laid out for showing.
void BM_DropPaths(benchmark::State& state) {
    TForm1 form;
    form.SetSortLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    form.show();
    QApplication::processEvents();
    QMimeData mime;
    mime.setUrls(LibraryUrls(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        DropOn(form.LB->viewport(), mime);
        QApplication::processEvents();
        state.PauseTiming();
        if (form.LB->count() != state.range(0)) {
            state.SkipWithError("the drop did not list every path");
        }
        form.Button2Click();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_DropPaths)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

// One keystroke in the template box with a local chart selected: the chart is read again and
// the preview set.
void BM_TemplateKeystroke(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("song/chart.bms"));
    QDir().mkpath(QFileInfo(path).path());
    std::string text = "#PLAYER 1\r\n#ARTIST 山田太郎\r\n#GENRE ピアノ\r\n#TITLE 春の雨\r\n";
    for (int i = 0; i < 40; ++i) {
        text += "#WAV" + std::to_string(10 + i) + " sound" + std::to_string(i) + ".wav\r\n";
    }
    text += "#PLAYLEVEL 7\r\n";
    for (int i = 0; i < 2000; ++i) {
        text += "#00" + std::to_string(100 + i % 900) + "11:01020304\r\n";
    }
    const std::string bytes = host::Utf8ToCp932(text);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        state.SkipWithError("cannot write the chart");
        return;
    }
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    file.close();

    TForm1 form;
    form.show();
    QApplication::processEvents();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    DropOn(form.LB->viewport(), mime);
    form.LB->setCurrentRow(0);
    form.Edit1->setFocus();
    form.Edit1->end(false);

    bool typeDigit = true;
    for (auto _ : state) {
        // Typing a "4", then taking it back: every keystroke is an edit of the template.
        QKeyEvent key(QEvent::KeyPress, typeDigit ? Qt::Key_4 : Qt::Key_Backspace, Qt::NoModifier,
                      typeDigit ? QStringLiteral("4") : QString());
        QApplication::sendEvent(form.Edit1, &key);
        typeDigit = !typeDigit;
    }
    if (form.Panel3->text().isEmpty()) {
        state.SkipWithError("no preview was made");
    }
}
BENCHMARK(BM_TemplateKeystroke)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    benchmark::Initialize(&argc, argv);
    QApplication application(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
