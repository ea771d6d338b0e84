// SPDX-License-Identifier: GPL-3.0-or-later
// Saves a picture of a KWin session's whole workspace (every output) as a PNG, for the tests
// that run on KWin, where no screenshot program of the wlroots compositors works. KWin writes
// the raw pixels into a pipe we hand it and describes them in its reply.
//
// Usage: kwin_screenshot <file.png>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDBusUnixFileDescriptor>
#include <QImage>
#include <QVariantMap>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int fail(const QString& why) {
    std::fprintf(stderr, "kwin_screenshot: %s\n", qPrintable(why));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return fail(QStringLiteral("usage: kwin_screenshot <file.png>"));

    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return fail(QStringLiteral("no pipe"));
    // Every copy of the write end (ours, the message's, the descriptor wrapper's) must be
    // closed before reading, or the read never sees the end of the picture.
    const QDBusReply<QVariantMap> reply = [&] {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.KWin"), QStringLiteral("/org/kde/KWin/ScreenShot2"),
            QStringLiteral("org.kde.KWin.ScreenShot2"), QStringLiteral("CaptureWorkspace"));
        // The pointer would land in the picture wherever KWin left it.
        const QVariantMap options{{QStringLiteral("include-cursor"), false},
                                  {QStringLiteral("native-resolution"), true}};
        call << options << QVariant::fromValue(QDBusUnixFileDescriptor(ends[1]));
        ::close(ends[1]);
        return QDBusReply<QVariantMap>(
            QDBusConnection::sessionBus().call(call, QDBus::Block, 20000));
    }();
    if (!reply.isValid()) {
        ::close(ends[0]);
        return fail(reply.error().name() + QStringLiteral(": ") + reply.error().message());
    }

    QByteArray pixels;
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(ends[0], chunk, sizeof chunk);
        if (got > 0)
            pixels.append(chunk, got);
        else if (got == 0)
            break;
        else if (errno != EINTR)
            return fail(QStringLiteral("reading the pipe failed"));
    }
    ::close(ends[0]);

    const QVariantMap& about = reply.value();
    const int width = about.value(QStringLiteral("width")).toInt();
    const int height = about.value(QStringLiteral("height")).toInt();
    const int stride = about.value(QStringLiteral("stride")).toInt();
    const auto format = static_cast<QImage::Format>(about.value(QStringLiteral("format")).toInt());
    if (width <= 0 || height <= 0 || stride <= 0 || format == QImage::Format_Invalid)
        return fail(QStringLiteral("an unusable description of the picture"));
    if (pixels.size() < qsizetype(stride) * height)
        return fail(QStringLiteral("%1 bytes of pixels, %2 expected")
                        .arg(pixels.size())
                        .arg(qsizetype(stride) * height));
    const QImage image(reinterpret_cast<const uchar*>(pixels.constData()), width, height, stride,
                       format);
    if (!image.save(QString::fromLocal8Bit(argv[1]), "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(QString::fromLocal8Bit(argv[1])));
    return 0;
}
