// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace lumatide {

// Turns SIGTERM and SIGINT into an orderly end of the event loop, so that the rest panels and
// the tray icon are taken down as on any other quit. The handler only writes a byte to a pipe;
// the event loop reads it and quits the application.
class TerminationSignals final : public QObject {
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the pipe or the handlers could not be set up; the default handling stays.
    bool isInstalled() const { return notifier_ != nullptr; }

private:
    void handleSignal();

    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace lumatide
