// SPDX-License-Identifier: GPL-3.0-or-later
// A plain white full-screen Wayland window for the KWin tests: something for the rest panels to
// cover (the terminal the sway tests use crashes on KWin's virtual outputs, which report no
// physical size). Every character typed into it is appended to a file at once, so a test can
// tell whether a key meant for a rest panel reached a window.
//
// Usage: kwin_window <file for typed text>
#include <QFile>
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
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: kwin_window <file for typed text>\n");
        return 2;
    }
    QFile typed(app.arguments().at(1));
    if (!typed.open(QIODevice::WriteOnly | QIODevice::Append)) {
        std::fprintf(stderr, "kwin_window: cannot write %s\n", qPrintable(typed.fileName()));
        return 1;
    }
    // KWin puts a full-screen window on the output with the pointer, the first one here.
    WhiteWindow window(typed);
    window.setTitle(QStringLiteral("kwin_window"));
    window.showFullScreen();
    return app.exec();
}
