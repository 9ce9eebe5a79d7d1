// Stands in for a file manager: a small window at the top left of the screen that, when pressed,
// starts a drag of the files named on its command line, as text/uri-list, the way file managers
// offer them to other programs: drag_source FILE...
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>
#include <QWidget>

namespace {

class DragSource : public QWidget {
  public:
    explicit DragSource(QList<QUrl> urls) : urls_(std::move(urls)) {
        setObjectName(QStringLiteral("DragSource"));
        setWindowTitle(QStringLiteral("drag_source"));
        setGeometry(0, 0, 100, 100);
    }

  protected:
    void mousePressEvent(QMouseEvent* /*event*/) override {
        auto* mime = new QMimeData;
        mime->setUrls(urls_);
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    }

  private:
    QList<QUrl> urls_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QList<QUrl> urls;
    for (int i = 1; i < argc; ++i) {
        urls.append(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i])));
    }
    DragSource source(urls);
    source.show();
    return QApplication::exec();
}
