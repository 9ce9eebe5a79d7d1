// Starts the program: one window, shown until it is closed.
#include <QApplication>

#include "window/Unit1.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("bms-folder-renamer"));
    TForm1 form;
    form.show();
    return QApplication::exec();
}
