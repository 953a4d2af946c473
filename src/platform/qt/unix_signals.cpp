#include "platform/qt/unix_signals.h"

#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The write end must be reachable from the async-signal handler; it is set once before the
// handlers are installed and never changed afterwards.
int g_signal_fd[2] = {-1, -1};

void on_signal(int sig) {
    const unsigned char byte = static_cast<unsigned char>(sig);
    [[maybe_unused]] const auto n = ::write(g_signal_fd[0], &byte, 1);
}

}  // namespace

UnixSignals::UnixSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signal_fd) != 0) return;
    notifier_ = new QSocketNotifier(g_signal_fd[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &UnixSignals::on_readable);
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
}

UnixSignals::~UnixSignals() {
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
}

void UnixSignals::on_readable() {
    unsigned char byte = 0;
    if (::read(g_signal_fd[1], &byte, 1) == 1) emit terminate_requested(byte);
}
