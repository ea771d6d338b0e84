// SPDX-License-Identifier: GPL-3.0-or-later
#include "linux/TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace lumatide {

namespace {

// The pipe the handler writes to: [0] read end, [1] write end.
std::array<int, 2> signalPipe{-1, -1};
// An orderly end takes well under a second. Should the event loop be stuck (a system call that
// does not return, say on a hung network folder), the alarm's default action ends the process
// anyway: a termination request is always honoured.
constexpr unsigned orderlyEndSeconds = 5;

extern "C" void onTerminationSignal(int /*signal*/) {
    const char byte = 1;
    // Only async-signal-safe calls here; a full pipe means a quit is already pending.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    ::alarm(orderlyEndSeconds);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (signalPipe[0] >= 0 || ::pipe2(signalPipe.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        return;
    }
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0) {
        return;
    }
    notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::handleSignal);
}

TerminationSignals::~TerminationSignals() {
    if (notifier_ == nullptr) {
        return;
    }
    notifier_.reset();
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

void TerminationSignals::handleSignal() {
    char buffer[16];
    while (::read(signalPipe[0], buffer, sizeof buffer) > 0) {
    }
    // exit(), not quit(): quit() first asks every window to close, and the rest panels refuse.
    QCoreApplication::exit(0);
}

} // namespace lumatide
