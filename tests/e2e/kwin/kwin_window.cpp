// SPDX-License-Identifier: GPL-3.0-or-later
// A plain white full-screen Wayland window for the KWin tests: something for the rest panels to
// cover (the terminal the sway tests use crashes on KWin's virtual outputs, which report no
// physical size). Every character typed into it is appended to a file at once, so a test can
// tell whether a key meant for a rest panel reached a window. Its title is the file's name
// without the folder and extension, for KWin scripts to find it; "normal" leaves it a window of
// ordinary size.
//
// Usage: kwin_window <file for typed text> [normal]
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QRasterWindow>
#include <cstdio>

namespace {

class WhiteWindow : public QRasterWindow {
public:
    explicit WhiteWindow(QFile& typed) : typed_(typed) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter(this).fillRect(QRect(QPoint(), size()), Qt::white);
    }
    void keyPressEvent(QKeyEvent* event) override {
        typed_.write(event->text().toUtf8());
        typed_.flush();
    }

private:
    QFile& typed_;
};

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2 || arguments.size() > 3 ||
        (arguments.size() == 3 && arguments.at(2) != QLatin1String("normal"))) {
        std::fprintf(stderr, "usage: kwin_window <file for typed text> [normal]\n");
        return 2;
    }
    QFile typed(arguments.at(1));
    if (!typed.open(QIODevice::WriteOnly | QIODevice::Append)) {
        std::fprintf(stderr, "kwin_window: cannot write %s\n", qPrintable(typed.fileName()));
        return 1;
    }
    // KWin puts a full-screen window on the output with the pointer, the first one here.
    WhiteWindow window(typed);
    window.setTitle(QFileInfo(typed.fileName()).completeBaseName());
    if (arguments.size() == 3) {
        window.resize(640, 400);
        window.show();
    } else {
        window.showFullScreen();
    }
    return app.exec();
}
