// The main window under the offscreen platform: layout, drops, the list order, the preview, the
// keyboard, clearing and the batch rename through the window, with its completion message.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>
#include <filesystem>
#include <memory>
#include <string>

#include "host/cp932.h"
#include "renaming/batch_rename.h"
#include "window/Unit1.h"
#include "window/completion_message.h"
#include "window/list_entries.h"

using namespace Qt::StringLiterals;

namespace {

const QString kDone = u"フォルダ名の変更を終了しました"_s;
const QString kFooName = u"Foo [Bar] Baz - ★★★☆☆☆"_s;

// Closes every completion message that appears while it lives and keeps what each one said.
class MessageCloser : public QObject {
  public:
    // How the message is closed: a click on its button, Enter, or Escape.
    enum class Close { Click, Enter, Escape };

    explicit MessageCloser(Close how = Close::Click) : how_(how) {
        connect(&timer_, &QTimer::timeout, this, &MessageCloser::Poll);
        timer_.start(10);
    }

    QStringList texts;
    QStringList titles;
    QList<QMessageBox::Icon> icons;
    QStringList buttons;
    bool enterAndEscapeClose = true;

  private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr || !box->isVisible()) {
            return;
        }
        texts.append(box->text());
        titles.append(box->windowTitle());
        icons.append(box->icon());
        for (QAbstractButton* button : box->buttons()) {
            buttons.append(button->text());
        }
        if (box->defaultButton() == nullptr || box->escapeButton() != box->defaultButton()) {
            enterAndEscapeClose = false;
        }
        switch (how_) {
            case Close::Click:
                box->buttons().constFirst()->click();
                break;
            case Close::Enter:
                QTest::keyClick(box, Qt::Key_Return);
                break;
            case Close::Escape:
                QTest::keyClick(box, Qt::Key_Escape);
                break;
        }
    }

    Close how_;
    QTimer timer_;
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<TForm1> form_;

    // Writes a chart in code page 932 at the relative path and gives its native path.
    QString WriteChart(const QString& relative, const std::string& artist = "Foo",
                       const std::string& genre = "Bar", const std::string& title = "Baz",
                       const std::string& level = "3") {
        const QString path = dir_->filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        const std::string text = "#ARTIST " + artist + "\r\n#GENRE " + genre + "\r\n#TITLE " +
                                 title + "\r\n#PLAYLEVEL " + level + "\r\n";
        const std::string bytes = host::Utf8ToCp932(text);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size())) {
            qFatal("cannot write a chart");
        }
        return QDir::toNativeSeparators(path);
    }

    QString PathOf(const QString& relative) const {
        return QDir::toNativeSeparators(dir_->filePath(relative));
    }

    // Sends a whole drag, enter, move and drop, to target; true when the drop was taken.
    static bool Drop(QWidget* target, const QList<QUrl>& urls) {
        QMimeData mime;
        mime.setUrls(urls);
        const QPoint where = target->rect().center();
        QDragEnterEvent enter(where, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDragMoveEvent move(where, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(where), Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
    }

    bool DropPaths(const QStringList& paths, QWidget* target = nullptr) {
        QList<QUrl> urls;
        for (const QString& path : paths) {
            urls.append(QUrl::fromLocalFile(path));
        }
        return Drop(target != nullptr ? target : form_->LB->viewport(), urls);
    }

    QStringList Rows() const {
        QStringList rows;
        for (int row = 0; row < form_->LB->count(); ++row) {
            rows.append(form_->LB->item(row)->text());
        }
        return rows;
    }

    QString Selected() const {
        const QList<QListWidgetItem*> items = form_->LB->selectedItems();
        return items.isEmpty() ? QString() : items.first()->text();
    }

    // Selects a row the way the user does, with a mouse click.
    void ClickRow(int row) {
        QListWidget* list = form_->LB;
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rect.center());
    }

    QWidget* Child(const QString& name) const {
        if (name == u"LB viewport"_s) {
            return form_->LB->viewport();
        }
        if (name == u"Form1"_s) {
            return form_.get();
        }
        return form_->findChild<QWidget*>(name);
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        QVERIFY(dir_->isValid());
        form_ = std::make_unique<TForm1>();
        form_->SetSortLocale(QLocale(QLocale::English, QLocale::UnitedStates));
        form_->show();
        QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }

    void cleanup() {
        form_.reset();
        dir_.reset();
    }

    void startsAsDrawn() {
        QCOMPARE(Form1, form_.get());
        QCOMPARE(form_->windowTitle(), u"ZEM'S BMSフォルダ名変更ユーティリティ"_s);
        QCOMPARE(form_->size(), QSize(418, 231));
        QCOMPARE(form_->LB->count(), 0);
        QCOMPARE(form_->Panel3->text(), QString());
        QCOMPARE(form_->Edit1->text(), u"1 [2] 3 - 5"_s);
        QCOMPARE(QApplication::focusWidget(), form_->Edit1);
        QCOMPARE(form_->Edit1->selectedText(), u"1 [2] 3 - 5"_s);

        const Qt::WindowFlags flags = form_->windowFlags();
        QVERIFY(flags & Qt::WindowMinimizeButtonHint);
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));

        QCOMPARE(form_->font().family(), u"ＭＳ Ｐゴシック"_s);
        QCOMPARE(form_->font().pixelSize(), 12);
        if (QFontDatabase::hasFamily(u"IPAPGothic"_s)) {
            QCOMPARE(QFontInfo(form_->font()).family(), u"IPAPGothic"_s);
        }

        // Tab walks the template box, the list and the two buttons, in that order.
        QWidget* next = form_->Edit1;
        for (QWidget* expected :
             {static_cast<QWidget*>(form_->LB), static_cast<QWidget*>(form_->Button1),
              static_cast<QWidget*>(form_->Button2)}) {
            next = next->nextInFocusChain();
            while (next->focusPolicy() == Qt::NoFocus) {
                next = next->nextInFocusChain();
            }
            QCOMPARE(next, expected);
        }
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("windowSize");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");

        const QSize start(418, 231);
        const QSize large(640, 480);
        QTest::newRow("Panel1") << u"Panel1"_s << start << QRect(0, 0, 113, 202) << QString();
        QTest::newRow("LB") << u"LB"_s << start << QRect(113, 0, 305, 202) << QString();
        QTest::newRow("Panel2") << u"Panel2"_s << start << QRect(0, 202, 418, 29) << QString();
        QTest::newRow("Panel4") << u"Panel4"_s << start << QRect(263, 2, 153, 25) << QString();
        QTest::newRow("Panel3") << u"Panel3"_s << start << QRect(2, 2, 261, 25) << QString();
        QTest::newRow("Button1") << u"Button1"_s << start << QRect(80, 0, 73, 25) << u"変更開始"_s;
        QTest::newRow("Button2") << u"Button2"_s << start << QRect(4, 0, 73, 25)
                                 << u"リストクリア"_s;
        QTest::newRow("Edit1") << u"Edit1"_s << start << QRect(0, 120, 105, 20) << u"1 [2] 3 - 5"_s;
        QTest::newRow("Label8") << u"Label8"_s << start << QRect(0, 189, 113, 13)
                                << u"変更後イメージ"_s;

        QTest::newRow("LB grown") << u"LB"_s << large << QRect(113, 0, 527, 451) << QString();
        QTest::newRow("Panel2 grown")
            << u"Panel2"_s << large << QRect(0, 451, 640, 29) << QString();
        QTest::newRow("Panel4 grown")
            << u"Panel4"_s << large << QRect(485, 2, 153, 25) << QString();
        QTest::newRow("Panel3 grown") << u"Panel3"_s << large << QRect(2, 2, 483, 25) << QString();
        QTest::newRow("Edit1 stays")
            << u"Edit1"_s << large << QRect(0, 120, 105, 20) << u"1 [2] 3 - 5"_s;
        QTest::newRow("Label8 at the foot")
            << u"Label8"_s << large << QRect(0, 438, 113, 13) << u"変更後イメージ"_s;
    }

    void layout() {
        QFETCH(QString, name);
        QFETCH(QSize, windowSize);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        form_->resize(windowSize);
        QWidget* widget = Child(name);
        QVERIFY(widget != nullptr);
        // The line height of the substitute font may add a pixel to the label at the foot.
        if (name == u"Label8"_s) {
            const int height = widget->height();
            QVERIFY(height >= 12 && height <= 13);
            geometry.setTop(geometry.bottom() + 1 - height);
        }
        QCOMPARE(widget->geometry(), geometry);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            QCOMPARE(label->text(), text);
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            QCOMPARE(button->text(), text);
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            QCOMPARE(edit->text(), text);
        }
    }

    void fixedLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("Label1") << u"Label1"_s << QPoint(4, 4) << u"フォルダ名の付け方"_s;
        QTest::newRow("Label2") << u"Label2"_s << QPoint(0, 20) << u"1:アーティスト名"_s;
        QTest::newRow("Label3") << u"Label3"_s << QPoint(0, 36) << u"2:ジャンル"_s;
        QTest::newRow("Label4") << u"Label4"_s << QPoint(0, 52) << u"3:曲名"_s;
        QTest::newRow("Label5") << u"Label5"_s << QPoint(0, 68) << u"4:難易度（数字）"_s;
        QTest::newRow("Label6") << u"Label6"_s << QPoint(0, 84) << u"5:難易度（★）"_s;
        QTest::newRow("Label7") << u"Label7"_s << QPoint(0, 104) << u"書式"_s;
        QTest::newRow("Label9") << u"Label9"_s << QPoint(4, 152) << QString();
        QTest::newRow("Label10") << u"Label10"_s << QPoint(4, 164) << QString();
    }

    // Labels keep their place whatever the window's size, and their text fits the left panel.
    void fixedLabels() {
        QFETCH(QString, name);
        QFETCH(QPoint, position);
        QFETCH(QString, text);
        for (const QSize size : {QSize(418, 231), QSize(800, 600), QSize(150, 100)}) {
            form_->resize(size);
            auto* label = form_->findChild<QLabel*>(name);
            QVERIFY(label != nullptr);
            QCOMPARE(label->pos(), position);
            if (!text.isEmpty()) {
                QCOMPARE(label->text(), text);
            }
            QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
            QVERIFY(label->x() + label->width() <= 113);
        }
    }

    void dropOrder_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QList<QStringList>>("drops");
        QTest::addColumn<QStringList>("expected");
        const QLocale english(QLocale::English, QLocale::UnitedStates);
        QTest::newRow("letter case ignored")
            << english << QList<QStringList>{{u"x/b.bms"_s}, {u"x/A.bms"_s}}
            << QStringList{u"x/A.bms"_s, u"x/b.bms"_s};
        QTest::newRow("old and new entries sorted together")
            << english << QList<QStringList>{{u"c/1.bms"_s, u"a/1.bms"_s}, {u"B/1.bms"_s}}
            << QStringList{u"a/1.bms"_s, u"B/1.bms"_s, u"c/1.bms"_s};
        QTest::newRow("same file twice, side by side")
            << english << QList<QStringList>{{u"m/a.bms"_s, u"z/a.bms"_s}, {u"m/a.bms"_s}}
            << QStringList{u"m/a.bms"_s, u"m/a.bms"_s, u"z/a.bms"_s};
        QTest::newRow("names equal but for case keep their order")
            << english << QList<QStringList>{{u"x/b.bms"_s, u"x/B.bms"_s}, {u"x/a.bms"_s}}
            << QStringList{u"x/a.bms"_s, u"x/b.bms"_s, u"x/B.bms"_s};
        QTest::newRow("Japanese names after Latin ones")
            << english << QList<QStringList>{{u"曲/a.bms"_s, u"Song/a.bms"_s, u"うた/a.bms"_s}}
            << QStringList{u"Song/a.bms"_s, u"うた/a.bms"_s, u"曲/a.bms"_s};
        // A desktop started without LANG: letter case is still ignored.
        QTest::newRow("C locale ignores letter case")
            << QLocale::c() << QList<QStringList>{{u"Song02/b.bms"_s}, {u"song01/a.bms"_s}}
            << QStringList{u"song01/a.bms"_s, u"Song02/b.bms"_s};
        QTest::newRow("C locale keeps names equal but for case in order")
            << QLocale::c() << QList<QStringList>{{u"x/b.bms"_s, u"x/B.bms"_s, u"x/A.bms"_s}}
            << QStringList{u"x/A.bms"_s, u"x/b.bms"_s, u"x/B.bms"_s};
    }

    void dropOrder() {
        QFETCH(QLocale, locale);
        QFETCH(QList<QStringList>, drops);
        QFETCH(QStringList, expected);
        form_->SetSortLocale(locale);
        for (const QStringList& names : drops) {
            QStringList paths;
            for (const QString& name : names) {
                paths.append(PathOf(name));
            }
            QVERIFY(DropPaths(paths));
        }
        QStringList expectedPaths;
        for (const QString& name : expected) {
            expectedPaths.append(PathOf(name));
        }
        QCOMPARE(Rows(), expectedPaths);
        QCOMPARE(form_->Panel3->text(), QString());
    }

    void dropTargets_data() {
        QTest::addColumn<QString>("target");
        for (const char* name : {"LB viewport", "LB", "Edit1", "Panel3", "Label1", "Label8",
                                 "Panel1", "Button1", "Form1"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    // Files dropped on any part of the window are listed, and nothing else takes them.
    void dropTargets() {
        QFETCH(QString, target);
        QWidget* widget = Child(target);
        QVERIFY(widget != nullptr);
        const QString path = WriteChart(u"song/chart.bms"_s);
        QVERIFY(DropPaths({path}, widget));
        QCOMPARE(Rows(), QStringList{path});
        QCOMPARE(form_->Edit1->text(), u"1 [2] 3 - 5"_s);
        QCOMPARE(form_->Panel3->text(), QString());
    }

    void otherUrlsIgnored() {
        const QString path = PathOf(u"a.bms"_s);
        QVERIFY(!Drop(form_->LB->viewport(), {QUrl(u"https://example.org/a.bms"_s)}));
        QCOMPARE(form_->LB->count(), 0);
        QVERIFY(Drop(form_->LB->viewport(),
                     {QUrl(u"https://example.org/b.bms"_s), QUrl::fromLocalFile(path)}));
        QCOMPARE(Rows(), QStringList{path});
    }

    void selectionAndPreviewKeptAcrossDrop() {
        const QString b = WriteChart(u"b/chart.bms"_s);
        QVERIFY(DropPaths({b}));
        ClickRow(0);
        QCOMPARE(form_->Panel3->text(), kFooName);

        // The chart changes on disk; the preview only follows when asked again.
        WriteChart(u"b/chart.bms"_s, "Other");
        const QString a = WriteChart(u"a/chart.bms"_s, "First");
        QVERIFY(DropPaths({a, b}));
        QCOMPARE(Rows(), (QStringList{a, b, b}));
        QCOMPARE(form_->LB->currentRow(), 1);
        QCOMPARE(Selected(), b);
        QCOMPARE(form_->Panel3->text(), kFooName);
    }

    void keyboardSelection() {
        const QString a = WriteChart(u"a/chart.bms"_s, "Alpha");
        const QString b = WriteChart(u"b/chart.bms"_s, "Beta");
        QVERIFY(DropPaths({b, a}));
        // Nothing is selected yet: the first arrow key selects the first entry.
        form_->LB->setFocus();
        QTest::keyClick(form_->LB, Qt::Key_Down);
        QCOMPARE(Selected(), a);
        QCOMPARE(form_->Panel3->text(), u"Alpha [Bar] Baz - ★★★☆☆☆"_s);
        QTest::keyClick(form_->LB, Qt::Key_Down);
        QCOMPARE(Selected(), b);
        QCOMPARE(form_->Panel3->text(), u"Beta [Bar] Baz - ★★★☆☆☆"_s);
        QTest::keyClick(form_->LB, Qt::Key_Up);
        QCOMPARE(Selected(), a);
        QCOMPARE(form_->Panel3->text(), u"Alpha [Bar] Baz - ★★★☆☆☆"_s);
    }

    void templateEdits_data() {
        QTest::addColumn<bool>("select");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no selection: preview untouched") << false << u"4"_s << QString();
        QTest::newRow("each keystroke previews") << true << u"3/1"_s << u"Baz／Foo"_s;
        QTest::newRow("double-byte template") << true << u"曲"_s << u"曲"_s;
        QTest::newRow("fields only 0 and 6-9") << true << u"0"_s << QString();
    }

    void templateEdits() {
        QFETCH(bool, select);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        const QString path = WriteChart(u"song/chart.bms"_s);
        QVERIFY(DropPaths({path}));
        if (select) {
            ClickRow(0);
            QCOMPARE(form_->Panel3->text(), kFooName);
        }
        // Typing over the whole template, one character at a time as an input method commits it.
        form_->Edit1->setFocus();
        form_->Edit1->selectAll();
        for (const QChar c : typed) {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(form_->Edit1, &commit);
        }
        QCOMPARE(form_->Edit1->text(), typed);
        QCOMPARE(form_->Panel3->text(), expected);
        QCOMPARE(form_->windowTitle(), u"ZEM'S BMSフォルダ名変更ユーティリティ"_s);
    }

    void keys_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<bool>("clears");
        const int none = Qt::NoModifier;
        QTest::newRow("Enter in the template box")
            << u"Edit1"_s << int(Qt::Key_Return) << none << true << false;
        QTest::newRow("keypad Enter in the template box")
            << u"Edit1"_s << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << true << false;
        QTest::newRow("Enter in the list")
            << u"LB"_s << int(Qt::Key_Return) << none << true << false;
        QTest::newRow("Enter on the start button")
            << u"Button1"_s << int(Qt::Key_Return) << none << true << false;
        QTest::newRow("Enter on the clear button")
            << u"Button2"_s << int(Qt::Key_Return) << none << false << true;
        QTest::newRow("Shift+Enter")
            << u"Edit1"_s << int(Qt::Key_Return) << int(Qt::ShiftModifier) << false << false;
        QTest::newRow("Ctrl+Enter")
            << u"LB"_s << int(Qt::Key_Return) << int(Qt::ControlModifier) << false << false;
        QTest::newRow("Alt+Enter")
            << u"Button1"_s << int(Qt::Key_Return) << int(Qt::AltModifier) << false << false;
        QTest::newRow("Shift+Enter on the clear button")
            << u"Button2"_s << int(Qt::Key_Return) << int(Qt::ShiftModifier) << false << false;
        QTest::newRow("Escape in the template box")
            << u"Edit1"_s << int(Qt::Key_Escape) << none << false << false;
        QTest::newRow("Escape on a button")
            << u"Button1"_s << int(Qt::Key_Escape) << none << false << false;
    }

    void keys() {
        QFETCH(QString, focus);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, starts);
        QFETCH(bool, clears);
        // A listed path that names nothing: a start skips it and changes nothing.
        const QString missing = PathOf(u"gone/chart.bms"_s);
        QVERIFY(DropPaths({missing}));
        QWidget* widget = Child(focus);
        widget->setFocus();
        const QString templateBefore = form_->Edit1->text();

        MessageCloser closer;
        QTest::keyClick(widget, static_cast<Qt::Key>(key),
                        static_cast<Qt::KeyboardModifiers>(modifiers));
        QCOMPARE(closer.texts, starts ? QStringList{kDone} : QStringList{});
        QCOMPARE(form_->LB->count(), clears ? 0 : 1);
        QCOMPARE(form_->Edit1->text(), templateBefore);
        QVERIFY(form_->isVisible());
    }

    void clearing() {
        const QString path = WriteChart(u"song/chart.bms"_s);
        QVERIFY(DropPaths({path}));
        ClickRow(0);
        QCOMPARE(form_->Panel3->text(), kFooName);
        QTest::mouseClick(form_->Button2, Qt::LeftButton);
        QCOMPARE(form_->LB->count(), 0);
        QCOMPARE(form_->Panel3->text(), kFooName);

        MessageCloser closer;
        QTest::mouseClick(form_->Button1, Qt::LeftButton);
        QCOMPARE(closer.texts, QStringList{kDone});
        QVERIFY(QFileInfo::exists(path));
    }

    void readFailureTitle_data() {
        QTest::addColumn<bool>("folder");
        QTest::newRow("missing file") << false;
        QTest::newRow("a folder") << true;
    }

    void readFailureTitle() {
        QFETCH(bool, folder);
        const QString good = WriteChart(u"good/chart.bms"_s);
        const QString bad = PathOf(u"bad"_s);
        if (folder) {
            QVERIFY(QDir().mkpath(bad));
        }
        QVERIFY(DropPaths({good, bad}));
        QCOMPARE(Rows(), (QStringList{bad, good}));
        ClickRow(1);
        QCOMPARE(form_->Panel3->text(), kFooName);
        ClickRow(0);
        QCOMPARE(form_->windowTitle(), u"変換エラー"_s);
        QCOMPARE(form_->Panel3->text(), QString());
        // The title stays, also once a good chart is shown again.
        ClickRow(1);
        QCOMPARE(form_->Panel3->text(), kFooName);
        QCOMPARE(form_->windowTitle(), u"変換エラー"_s);
    }

    void cutPath() {
        // A real chart whose path is longer than the list keeps.
        QString relative;
        while (PathOf(relative).size() < 300) {
            relative += u"folder-with-a-long-name-%1/"_s.arg(relative.size());
        }
        const QString chart = WriteChart(relative + u"chart.bms"_s);
        const QString folder = QFileInfo(chart).path();
        QVERIFY(DropPaths({chart}));

        QCOMPARE(Rows(), QStringList{chart.left(254)});
        QVERIFY(form_->IsCutEntry(0));
        QCOMPARE(form_->LB->horizontalScrollBar()->maximum(), 0);

        ClickRow(0);
        QCOMPARE(form_->windowTitle(), u"変換エラー"_s);
        QCOMPARE(form_->Panel3->text(), QString());

        MessageCloser closer;
        QTest::mouseClick(form_->Button1, Qt::LeftButton);
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY(closer.texts.first().startsWith(kDone + u"\n\n"_s));
        QVERIFY(closer.texts.first().contains(u"パスが長すぎます"_s));
        QVERIFY(QFileInfo::exists(chart));
        QVERIFY(QFileInfo(folder).isDir());
    }

#ifndef Q_OS_WIN
    // A folder unpacked from a Japanese archive keeps its Shift_JIS bytes, which are no UTF-8:
    // the entry shows them replaced but still previews and renames that very folder.
    void dropFolderNamedInShiftJis() {
        const QByteArray root = QFile::encodeName(dir_->path());
        const std::string folder = root.toStdString() + "/\x8B\xC8";  // 曲 in code page 932
        const std::string chart = folder + "/chart.bms";
        std::filesystem::create_directory(folder);
        std::filesystem::copy_file(QFile::encodeName(WriteChart(u"source.bms"_s)).toStdString(),
                                   chart);
        const QUrl url = QUrl::fromEncoded(
            "file://" + QByteArray::fromStdString(chart).toPercentEncoding("/"), QUrl::StrictMode);
        QVERIFY(url.isValid());
        QVERIFY(Drop(form_->LB->viewport(), {url}));
        QCOMPARE(form_->LB->count(), 1);

        ClickRow(0);
        QCOMPARE(form_->Panel3->text(), kFooName);
        MessageCloser closer;
        QTest::mouseClick(form_->Button1, Qt::LeftButton);
        QCOMPARE(closer.texts, QStringList{kDone});
        QVERIFY(!std::filesystem::exists(folder));
        QVERIFY(QFileInfo(dir_->filePath(kFooName + u"/chart.bms"_s)).isFile());
    }
#endif

    void startRenamesAndReports_data() {
        QTest::addColumn<int>("closeHow");
        QTest::newRow("closed by its button") << int(MessageCloser::Close::Click);
        QTest::newRow("closed by Enter") << int(MessageCloser::Close::Enter);
        QTest::newRow("closed by Escape") << int(MessageCloser::Close::Escape);
    }

    void startRenamesAndReports() {
        QFETCH(int, closeHow);
        const QString one = WriteChart(u"BMS/song1/chart.bms"_s);
        const QString two = WriteChart(u"BMS/song2/chart.bms"_s, "山田", "ロック", "夜明け", "5");
        QVERIFY(DropPaths({two, one}));
        ClickRow(0);
        const QString preview = form_->Panel3->text();

        {
            MessageCloser closer(static_cast<MessageCloser::Close>(closeHow));
            QTest::mouseClick(form_->Button1, Qt::LeftButton);
            QCOMPARE(closer.texts, QStringList{kDone});
            QCOMPARE(closer.titles, QStringList{u"BMS Folder Renamer"_s});
            QCOMPARE(closer.icons, QList<QMessageBox::Icon>{QMessageBox::NoIcon});
            QCOMPARE(closer.buttons, QStringList{u"OK"_s});
            QVERIFY(closer.enterAndEscapeClose);
            QVERIFY(QApplication::activeModalWidget() == nullptr);
        }

        QVERIFY(QFileInfo(dir_->filePath(u"BMS/"_s + kFooName)).isDir());
        QVERIFY(QFileInfo(dir_->filePath(u"BMS/山田 [ロック] 夜明け - ★★★★★☆"_s)).isDir());
        QVERIFY(!QFileInfo::exists(one));
        // Entries keep their old paths, and the preview stays as it was.
        QCOMPARE(Rows(), (QStringList{one, two}));
        QCOMPARE(form_->Panel3->text(), preview);
        QCOMPARE(form_->windowTitle(), u"ZEM'S BMSフォルダ名変更ユーティリティ"_s);

        // A second start finds the old paths gone and skips them without a failure.
        MessageCloser again;
        QTest::mouseClick(form_->Button1, Qt::LeftButton);
        QCOMPARE(again.texts, QStringList{kDone});
    }

    void startReportsFailures() {
        const QString folder = u"BMS/song1 with a name long enough to need a second line"_s;
        const QString chart = WriteChart(folder + u"/chart.bms"_s);
        QVERIFY(QDir().mkpath(dir_->filePath(u"BMS/"_s + kFooName)));
        QVERIFY(DropPaths({chart}));

        MessageCloser closer;
        QTest::keyClick(form_->Edit1, Qt::Key_Return);
        QCOMPARE(closer.texts.size(), 1);
        const QString text = closer.texts.first();
        QVERIFY(text.startsWith(kDone + u"\n\n"_s));

        // Wrapped at half the screen's width, with nothing lost in the wrapping.
        const int half = form_->screen()->geometry().width() / 2;
        const QStringList lines = text.split(QLatin1Char('\n'));
        QVERIFY(lines.size() > 5);
        for (QString line : lines) {
            // The blank a line breaks at stays with it, invisible at its end: it takes no width.
            while (line.endsWith(QLatin1Char(' '))) {
                line.chop(1);
            }
            QVERIFY2(form_->fontMetrics().horizontalAdvance(line) <= half, qPrintable(line));
        }
        const QString expected = kDone + u"変更したフォルダ: 0件変更できなかったフォルダ: 1件"_s +
                                 chart + u": 同じ名前のフォルダが既にあります"_s;
        QCOMPARE(QString(text).remove(QLatin1Char('\n')), expected);
        QVERIFY(QFileInfo(dir_->filePath(folder)).isDir());
    }

    void startMarksUnreadableChart() {
        const QString chart = WriteChart(u"BMS/song1/chart.bms"_s);
        QVERIFY(QFile::setPermissions(chart, QFileDevice::Permissions()));
        if (QFile file(chart); file.open(QIODevice::ReadOnly)) {
            QSKIP("file permissions do not stop this user from reading");
        }
        QVERIFY(DropPaths({chart}));

        MessageCloser closer;
        QTest::mouseClick(form_->Button1, Qt::LeftButton);
        QCOMPARE(closer.texts.size(), 1);
        QVERIFY(closer.texts.first().contains(u"読み込めません"_s));
        QCOMPARE(form_->windowTitle(), u"変換エラー"_s);
        QCOMPARE(form_->Panel3->text(), QString());
        QVERIFY(QFileInfo(dir_->filePath(u"BMS/song1"_s)).isDir());
    }

    void limitToCp932Bytes_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("cut");
        const QString a254(254, QLatin1Char('a'));
        QTest::newRow("254 bytes kept") << a254 << a254 << false;
        QTest::newRow("255 bytes cut to 254") << a254 + u"b"_s << a254 << true;
        const QString a253(253, QLatin1Char('a'));
        QTest::newRow("double-byte character not split") << a253 + u"曲"_s << a253 << true;
        QTest::newRow("double-byte character that fits")
            << QString(252, QLatin1Char('a')) + u"曲"_s << QString(252, QLatin1Char('a')) + u"曲"_s
            << false;
        QTest::newRow("half-width katakana is one byte")
            << QString(253, QLatin1Char('a')) + u"ｱ"_s << QString(253, QLatin1Char('a')) + u"ｱ"_s
            << false;
        QTest::newRow("unmappable character counts two")
            << QString(253, QLatin1Char('a')) + u"😀"_s << QString(253, QLatin1Char('a')) << true;
        QTest::newRow("127 double-byte characters fit")
            << QString(127, QChar(0x66F2)) << QString(127, QChar(0x66F2)) << false;
        QTest::newRow("128 double-byte characters do not")
            << QString(128, QChar(0x66F2)) << QString(127, QChar(0x66F2)) << true;
    }

    void limitToCp932Bytes() {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QFETCH(bool, cut);
        const window::ListedPath listed = window::LimitToCp932Bytes(path);
        QCOMPARE(listed.path, expected);
        QCOMPARE(listed.cut, cut);
    }

    void completionText_data() {
        using renaming::Outcome;
        using renaming::Reason;
        QTest::addColumn<QList<int>>("outcomes");
        QTest::addColumn<bool>("completed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("renamed, unchanged and skipped")
            << QList<int>{int(Outcome::Renamed), int(Outcome::Unchanged), int(Outcome::Skipped)}
            << true << kDone;
        QTest::newRow("nothing listed") << QList<int>{} << true << kDone;
        QTest::newRow("one refused")
            << QList<int>{int(Outcome::Renamed), int(Outcome::Refused)} << true
            << kDone + QStringLiteral(
                           "\n\n変更したフォルダ: 1件\n変更できなかったフォルダ: 1件\n"
                           "p1: 新しい名前に制御文字が含まれます");
        QList<int> many(12, int(Outcome::Failed));
        QString manyText = kDone + u"\n\n変更したフォルダ: 0件\n変更できなかったフォルダ: 12件"_s;
        for (int i = 0; i < 10; ++i) {
            manyText += u"\np%1: 同じ名前のフォルダが既にあります"_s.arg(i);
        }
        manyText += u"\nほか2件"_s;
        QTest::newRow("ten named, the rest counted") << many << true << manyText;
        QTest::newRow("walk stopped")
            << QList<int>{int(Outcome::Renamed)} << false
            << QStringLiteral(
                   "予期しないエラーのため途中で中止しました（disk gone）\n"
                   "残りの1件は処理していません\n変更したフォルダ: 1件\n"
                   "変更できなかったフォルダ: 0件");
    }

    void completionText() {
        QFETCH(QList<int>, outcomes);
        QFETCH(bool, completed);
        QFETCH(QString, expected);
        renaming::BatchReport report;
        report.completed = completed;
        report.stopMessage = completed ? "" : "disk gone";
        QStringList listed;
        for (int i = 0; i < outcomes.size(); ++i) {
            renaming::EntryReport entry;
            entry.outcome = static_cast<renaming::Outcome>(outcomes[i]);
            entry.reason = entry.outcome == renaming::Outcome::Refused
                               ? renaming::Reason::NameControlCharacter
                               : renaming::Reason::TargetExists;
            report.entries.push_back(entry);
            listed.append(u"p%1"_s.arg(i));
        }
        if (!completed) {
            listed.append(u"never visited"_s);
        }
        QCOMPARE(window::CompletionText(report, listed), expected);
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
