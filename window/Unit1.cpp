#include "window/Unit1.h"

#include <QApplication>
#include <QDir>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QTextLayout>
#include <QUrl>
#include <cstddef>
#include <string>
#include <vector>

#include "host/cp932.h"
#include "host/file_system.h"
#include "naming/folder_name.h"
#include "renaming/batch_rename.h"
#include "window/completion_message.h"
#include "window/list_entries.h"
#include "window/panel_label.h"

TForm1* Form1 = nullptr;

namespace {

// Item data roles: the mark of an entry cut to the path length limit, and the entry's native path.
constexpr int kCutRole = Qt::UserRole + 1;
constexpr int kNativeRole = Qt::UserRole + 2;

// Client area and the fixed parts of the layout, in pixels at 96 dpi.
constexpr int kClientWidth = 418;
constexpr int kClientHeight = 231;
constexpr int kLeftPanelWidth = 113;
constexpr int kBottomBarHeight = 29;
constexpr int kBottomBarBorder = 2;
constexpr int kButtonPanelWidth = 153;
constexpr int kItemHeight = 12;
constexpr int kFontPixels = 12;

const QString& FormTitle() {
    static const QString title = QStringLiteral("ZEM'S BMSフォルダ名変更ユーティリティ");
    return title;
}

const QString& ReadFailureTitle() {
    static const QString title = QStringLiteral("変換エラー");
    return title;
}

// The window's font. It does not exist outside Windows: map it to the Japanese UI fonts that
// share its metrics or come close, in order of preference.
QFont WindowFont() {
    const QString family = QStringLiteral("ＭＳ Ｐゴシック");
    QFont::insertSubstitutions(family, {
                                           QStringLiteral("MS PGothic"),
                                           QStringLiteral("IPAPGothic"),
                                           QStringLiteral("Noto Sans CJK JP"),
                                           QStringLiteral("VL PGothic"),
                                           QStringLiteral("TakaoPGothic"),
                                           QStringLiteral("IPAexGothic"),
                                           QStringLiteral("Source Han Sans JP"),
                                           QStringLiteral("Noto Sans JP"),
                                           QStringLiteral("IPAGothic"),
                                           QStringLiteral("Droid Sans Fallback"),
                                       });
    QFont font(family);
    font.setPixelSize(kFontPixels);
    return font;
}

// List rows of a fixed height: the list's item height, or the font's line height where a
// substitute font needs a pixel more, so no descender is cut off. The width hint is minimal so
// the list never grows wider than its view: rows span the view and long paths are cut at its
// right edge.
class FixedHeightDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option,
                   const QModelIndex& /*index*/) const override {
        return {1, qMax(kItemHeight, option.fontMetrics.height())};
    }
};

// The completion message, centred on the screen rather than over the window.
class CompletionBox : public QMessageBox {
  public:
    using QMessageBox::QMessageBox;

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (const QScreen* where = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(where->geometry().center());
            move(frame.topLeft());
        }
    }
};

// The text broken into lines no wider than width pixels in font, at word boundaries where there
// are any and anywhere else (long paths, Japanese text).
QString WrapText(const QString& text, const QFont& font, int width) {
    QStringList lines;
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (paragraph.isEmpty()) {
            lines.append(QString());
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.append(paragraph.mid(line.textStart(), line.textLength()));
        }
        layout.endLayout();
    }
    return lines.join(QLatin1Char('\n'));
}

// Local files named by a drop, in native form; other URLs are no files of this machine.
std::vector<std::filesystem::path> LocalPaths(const QMimeData* mime) {
    std::vector<std::filesystem::path> paths;
    if (mime == nullptr || !mime->hasUrls()) {
        return paths;
    }
    const QList<QUrl> urls = mime->urls();
    paths.reserve(static_cast<std::size_t>(urls.size()));
    for (const QUrl& url : urls) {
        if (!url.isLocalFile()) {
            continue;
        }
        std::filesystem::path path = window::NativePathOfUrl(url);
        if (!path.empty()) {
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

// An entry's native path, kept beside its text: the text shows it, but only the native form is
// sure to name the file when its name is no valid text.
QVariant NativeData(const std::filesystem::path& path) {
#ifdef _WIN32
    return QString::fromStdWString(path.native());
#else
    return QByteArray::fromStdString(path.native());
#endif
}

std::filesystem::path NativeOf(const QListWidgetItem& item) {
#ifdef _WIN32
    return std::filesystem::path(item.data(kNativeRole).toString().toStdWString());
#else
    return std::filesystem::path(item.data(kNativeRole).toByteArray().toStdString());
#endif
}

// Copy where the source allows it, so no file manager ever takes a drop here as a move.
void AcceptAsCopy(QDropEvent* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
    } else if (event->possibleActions() & Qt::LinkAction) {
        event->setDropAction(Qt::LinkAction);
    }
    event->accept();
}

// Marks the window title when an entry of the batch could not be read, as soon as it is done.
class TitleReporter : public renaming::Reporter {
  public:
    explicit TitleReporter(TForm1& form) : form_(form) {}

    void EntryDone(std::size_t /*index*/, std::size_t /*count*/,
                   const renaming::EntryReport& entry) override {
        if (entry.outcome == renaming::Outcome::ReadFailure) {
            form_.setWindowTitle(ReadFailureTitle());
        }
    }

  private:
    TForm1& form_;
};

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    label->setTextFormat(Qt::PlainText);
    return label;
}

// Places a label whose size follows its text: at least the given size, and wide and high enough
// for the text in the window's font.
void PlaceLabel(QLabel* label, int x, int y, int width, int height) {
    const QSize hint = label->sizeHint();
    label->setGeometry(x, y, qMax(width, hint.width()), qMax(height, hint.height()));
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint),
      collator_(QLocale()) {
    Form1 = this;
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    CreateComponents();
    FormCreate();
}

TForm1::~TForm1() {
    if (Form1 == this) {
        Form1 = nullptr;
    }
}

void TForm1::CreateComponents() {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(FormTitle());
    setFont(WindowFont());
    resize(kClientWidth, kClientHeight);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Label1 = MakeLabel(Panel1, "Label1", QStringLiteral("フォルダ名の付け方"));

    LB = new QListWidget(this);
    LB->setObjectName(QStringLiteral("LB"));
    LB->setSelectionMode(QAbstractItemView::SingleSelection);
    LB->setEditTriggers(QAbstractItemView::NoEditTriggers);
    LB->setDragEnabled(false);
    LB->setDragDropMode(QAbstractItemView::NoDragDrop);
    LB->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    LB->setTextElideMode(Qt::ElideNone);
    LB->setWordWrap(false);
    LB->setUniformItemSizes(true);
    LB->setItemDelegate(new FixedHeightDelegate(LB));

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel4 = new QWidget(Panel2);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Button1 = new QPushButton(QStringLiteral("変更開始"), Panel4);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(80, 0, 73, 25);
    Button1->setAutoDefault(false);
    Button1->setDefault(true);

    Panel3 = new window::TPanelLabel(Panel2);
    Panel3->setObjectName(QStringLiteral("Panel3"));

    Label2 = MakeLabel(Panel1, "Label2", QStringLiteral("1:アーティスト名"));
    Label3 = MakeLabel(Panel1, "Label3", QStringLiteral("2:ジャンル"));
    Label4 = MakeLabel(Panel1, "Label4", QStringLiteral("3:曲名"));
    Label5 = MakeLabel(Panel1, "Label5", QStringLiteral("4:難易度（数字）"));
    Label6 = MakeLabel(Panel1, "Label6", QStringLiteral("5:難易度（★）"));
    Label7 = MakeLabel(Panel1, "Label7", QStringLiteral("書式"));

    Edit1 = new QLineEdit(Panel1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(0, 120, 105, 20);
    Edit1->setText(QStringLiteral("1 [2] 3 - 5"));

    Button2 = new QPushButton(QStringLiteral("リストクリア"), Panel4);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(4, 0, 73, 25);
    Button2->setAutoDefault(false);

    Label8 = MakeLabel(Panel1, "Label8", QStringLiteral("変更後イメージ"));
    Label9 = MakeLabel(Panel1, "Label9", QStringLiteral("BFR version 1.0"));
    Label10 = MakeLabel(Panel1, "Label10", QStringLiteral("bfr.example.org"));

    PlaceLabel(Label1, 4, 4, 102, 12);
    PlaceLabel(Label2, 0, 20, 81, 12);
    PlaceLabel(Label3, 0, 36, 51, 12);
    PlaceLabel(Label4, 0, 52, 32, 12);
    PlaceLabel(Label5, 0, 68, 80, 12);
    PlaceLabel(Label6, 0, 84, 68, 12);
    PlaceLabel(Label7, 0, 104, 24, 12);
    PlaceLabel(Label9, 4, 152, 84, 12);
    PlaceLabel(Label10, 4, 164, 79, 12);

    // Only the template box, the list and the two buttons take the focus, in this order.
    for (QWidget* child : findChildren<QWidget*>()) {
        child->setFocusPolicy(Qt::NoFocus);
    }
    Edit1->setFocusPolicy(Qt::StrongFocus);
    LB->setFocusPolicy(Qt::StrongFocus);
    Button1->setFocusPolicy(Qt::StrongFocus);
    Button2->setFocusPolicy(Qt::StrongFocus);
    setTabOrder(Edit1, LB);
    setTabOrder(LB, Button1);
    setTabOrder(Button1, Button2);

    ArrangeAlignedComponents();

    connect(LB, &QListWidget::itemSelectionChanged, this, &TForm1::LBClick);
    // Connected after the default template is in place: setting it up is no edit.
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::LBClick);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);

    Edit1->selectAll();
    Edit1->setFocus();
}

void TForm1::FormCreate() {
    // A drop on any child lands here: every widget accepts drags and hands them to the window,
    // which also sees the keys pressed in the focusable ones.
    setAcceptDrops(true);
    installEventFilter(this);
    const QList<QWidget*> children = findChildren<QWidget*>();
    for (QWidget* child : children) {
        child->setAcceptDrops(true);
        child->installEventFilter(this);
    }
}

void TForm1::ArrangeAlignedComponents() {
    const int width = this->width();
    const int height = this->height();
    const int top = qMax(0, height - kBottomBarHeight);

    Panel2->setGeometry(0, top, width, kBottomBarHeight);
    const int innerWidth = qMax(0, width - 2 * kBottomBarBorder);
    const int innerHeight = kBottomBarHeight - 2 * kBottomBarBorder;
    const int buttonsWidth = qMin(kButtonPanelWidth, innerWidth);
    Panel4->setGeometry(kBottomBarBorder + innerWidth - buttonsWidth, kBottomBarBorder,
                        buttonsWidth, innerHeight);
    Panel3->setGeometry(kBottomBarBorder, kBottomBarBorder, innerWidth - buttonsWidth, innerHeight);

    const int leftWidth = qMin(kLeftPanelWidth, width);
    Panel1->setGeometry(0, 0, leftWidth, top);
    const int labelHeight = qMax(kItemHeight, Label8->sizeHint().height());
    Label8->setGeometry(0, top - labelHeight, leftWidth, labelHeight);

    LB->setGeometry(leftWidth, 0, width - leftWidth, top);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ArrangeAlignedComponents();
}

void TForm1::showEvent(QShowEvent* event) {
    if (!shownOnce_ && !event->spontaneous()) {
        shownOnce_ = true;
        if (const QScreen* where = screen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(where->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::DragLeave:
        case QEvent::Drop:
            return HandleDragEvent(event);
        case QEvent::KeyPress:
            return HandleKeyPress(watched, event);
        default:
            return QWidget::eventFilter(watched, event);
    }
}

bool TForm1::HandleDragEvent(QEvent* event) {
    try {
        if (event->type() == QEvent::DragLeave) {
            return true;
        }
        auto* drop = static_cast<QDropEvent*>(event);
        if (event->type() == QEvent::Drop) {
            const std::vector<std::filesystem::path> paths = LocalPaths(drop->mimeData());
            if (paths.empty()) {
                drop->ignore();
                return true;
            }
            AcceptAsCopy(drop);
            WMDropFiles(paths);
            return true;
        }
        // Enter and move: take the drag when it names at least one local file.
        const QMimeData* mime = drop->mimeData();
        bool local = false;
        if (mime != nullptr && mime->hasUrls()) {
            for (const QUrl& url : mime->urls()) {
                if (url.isLocalFile()) {
                    local = true;
                    break;
                }
            }
        }
        if (local) {
            AcceptAsCopy(drop);
        } else {
            drop->ignore();
        }
    } catch (...) {
        event->ignore();
    }
    return true;
}

bool TForm1::HandleKeyPress(QObject* watched, QEvent* event) {
    if (watched != Edit1 && watched != LB && watched != Button1 && watched != Button2) {
        return false;
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Escape) {
        return true;
    }
    // With nothing selected, the first arrow key selects the entry under the list's cursor
    // instead of moving past it.
    if (watched == LB && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Up) &&
        key->modifiers() == Qt::NoModifier && LB->count() > 0 && LB->selectedItems().isEmpty()) {
        LB->setCurrentRow(qMax(0, LB->currentRow()));
        return true;
    }
    if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) {
        return false;
    }
    if (key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) {
        return true;
    }
    // Enter presses the focused button; in the template box or the list, the start button.
    if (watched == Button2) {
        Button2->click();
    } else {
        Button1->click();
    }
    return true;
}

void TForm1::SetReadFailureTitle() {
    setWindowTitle(ReadFailureTitle());
}

void TForm1::SetSortLocale(const QLocale& locale) {
    collator_ = QCollator(locale);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
}

bool TForm1::IsCutEntry(int row) const {
    const QListWidgetItem* item = LB->item(row);
    return item != nullptr && item->data(kCutRole).toBool();
}

void TForm1::WMDropFiles(const std::vector<std::filesystem::path>& paths) {
    try {
        const int oldCount = LB->count();
        const std::size_t total = static_cast<std::size_t>(oldCount) + paths.size();
        std::vector<QString> texts;
        std::vector<QVariant> natives;
        std::vector<char> cut;
        texts.reserve(total);
        natives.reserve(total);
        cut.reserve(total);
        for (int row = 0; row < oldCount; ++row) {
            const QListWidgetItem* item = LB->item(row);
            texts.push_back(item->text());
            natives.push_back(item->data(kNativeRole));
            cut.push_back(item->data(kCutRole).toBool() ? 1 : 0);
        }
        for (const std::filesystem::path& path : paths) {
            window::ListedPath listed = window::LimitToCp932Bytes(window::FromNativePath(path));
            texts.push_back(std::move(listed.path));
            natives.push_back(NativeData(path));
            cut.push_back(listed.cut ? 1 : 0);
        }

        const QList<QListWidgetItem*> selection = LB->selectedItems();
        const int selectedRow = selection.isEmpty() ? -1 : LB->row(selection.first());

        const std::vector<std::size_t> order = window::SortedOrder(texts, collator_);
        QStringList sorted;
        sorted.reserve(static_cast<qsizetype>(order.size()));
        for (std::size_t index : order) {
            sorted.append(texts[index]);
        }

        // The list is rebuilt in one go; its own signals stay quiet, so no preview is made.
        const QSignalBlocker blocker(LB);
        LB->clear();
        LB->addItems(sorted);
        for (std::size_t row = 0; row < order.size(); ++row) {
            const std::size_t index = order[row];
            QListWidgetItem* item = LB->item(static_cast<int>(row));
            item->setData(kNativeRole, natives[index]);
            if (cut[index] != 0) {
                item->setData(kCutRole, true);
            }
            if (static_cast<int>(index) == selectedRow) {
                LB->setCurrentItem(item);
                LB->scrollToItem(item);
            }
        }
    } catch (...) {
        // The list stays as far as it got; the window stays usable.
    }
}

void TForm1::LBClick() {
    try {
        const QList<QListWidgetItem*> selection = LB->selectedItems();
        if (selection.isEmpty()) {
            return;
        }
        const QListWidgetItem* item = selection.first();
        // A cut path names something other than what was dropped: it is never read.
        if (item->data(kCutRole).toBool()) {
            SetReadFailureTitle();
            Panel3->clear();
            return;
        }
        const std::string nameTemplate = host::Utf8ToCp932(Edit1->text().toStdString());
        const naming::FolderName name = naming::MakeFolderName(NativeOf(*item), nameTemplate);
        if (name.readFailed) {
            SetReadFailureTitle();
            Panel3->clear();
            return;
        }
        Panel3->setText(QString::fromStdString(host::Cp932ToUtf8(name.name)));
    } catch (...) {
        // The preview keeps what it showed.
    }
}

void TForm1::Button2Click() {
    try {
        const QSignalBlocker blocker(LB);
        LB->clear();
    } catch (...) {
        // Nothing was removed that could be lost.
    }
}

void TForm1::Button1Click() {
    try {
        const int count = LB->count();
        QStringList listed;
        std::vector<renaming::ChartEntry> list;
        listed.reserve(count);
        list.reserve(static_cast<std::size_t>(count));
        for (int row = 0; row < count; ++row) {
            const QListWidgetItem* item = LB->item(row);
            listed.append(item->text());
            list.push_back({NativeOf(*item), item->data(kCutRole).toBool()});
        }
        const std::string nameTemplate = host::Utf8ToCp932(Edit1->text().toStdString());

        TitleReporter reporter(*this);
        const renaming::BatchReport report =
            renaming::RenameFolders(list, nameTemplate, host::SystemFileSystem(), &reporter);
        ShowCompletionMessage(window::CompletionText(report, listed));
    } catch (...) {
        // The walk ends where it failed; the window stays usable.
    }
}

void TForm1::ShowCompletionMessage(const QString& text) {
    CompletionBox box(this);
    box.setObjectName(QStringLiteral("CompletionMessage"));
    box.setFont(font());
    box.setIcon(QMessageBox::NoIcon);
    box.setWindowTitle(QStringLiteral("BMS Folder Renamer"));
    box.setTextFormat(Qt::PlainText);
    const QScreen* where = screen();
    const int wrapWidth = where != nullptr ? where->geometry().width() / 2 : 512;
    const QString wrapped = WrapText(text, box.font(), wrapWidth);
    box.setText(wrapped);
    // The box would wrap the text again at its own, narrower limit on wide screens: make room for
    // the longest line, with a character to spare for rounding.
    if (auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
        const QFontMetrics metrics(box.font());
        int widest = 0;
        for (const QString& line : wrapped.split(QLatin1Char('\n'))) {
            widest = qMax(widest, metrics.horizontalAdvance(line));
        }
        const QMargins margins = label->contentsMargins();
        label->setMinimumWidth(widest + margins.left() + margins.right() +
                               2 * (label->margin() + qMax(0, label->indent())) +
                               metrics.averageCharWidth());
    }
    QPushButton* ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OK"));
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
}
