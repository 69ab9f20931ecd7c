// vantor: the desktop program. Start-up runs in this order: the images and the frame
// with its toolbar, status bar, MDI client and timers; the frame shown maximised; the
// six child windows; the game controller; the engine thread; the event loop.
//
// --measure-startup prints the milliseconds from here to the first painted board and
// ends the program.

#include <QApplication>
#include <QElapsedTimer>
#include <QTextStream>
#include <cstring>

#include "ui/qt/main_window.h"

namespace {

bool has_option(int argc, char** argv, const char* option) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], option) == 0) return true;
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer since_start;
    since_start.start();
    const bool measure = has_option(argc, argv, "--measure-startup");

    QApplication application(argc, argv);
    MainWindow frame;
    frame.showMaximized();
    frame.start();
    if (measure) {
        QObject::connect(
            frame.boardWindow(), &BoardWindow::painted, &frame,
            [&since_start] {
                QTextStream(stdout)
                    << "start-up to first painted board: " << since_start.elapsed() << " ms\n";
                QApplication::exit(0);
            },
            Qt::SingleShotConnection);
    }
    return QApplication::exec();
}
