#include "lanes/virtual_alley_pty_qt.h"

#include "core/match_state.h"
#include "core/timing.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace kuzelna {

AlleySetup alleySetupFor(const MatchState& state, std::uint32_t seed, int throwMs, double noise) {
    AlleySetup setup;
    setup.gameKind = state.gameKind;
    setup.laneLayout = state.laneLayout;
    setup.lanePair = state.lanePair;
    setup.duels = state.pairCount;
    setup.seed = seed;
    setup.throwMs = throwMs;
    setup.noise = noise;
    return setup;
}

SimulatedAlley::SimulatedAlley(const AlleySetup& setup, QObject* parent)
    : QObject(parent), setup_(setup), alley_(std::make_unique<VirtualAlley>(setup)) {
    connect(&clockTimer_, &QTimer::timeout, this, &SimulatedAlley::onClock);
}

SimulatedAlley::~SimulatedAlley() {
    close();
}

#ifdef Q_OS_UNIX

namespace {

[[noreturn]] void fail(const char* what) {
    throw std::runtime_error(std::string("virtual alley: ") + what + ": " + std::strerror(errno));
}

} // namespace

void SimulatedAlley::open(const QString& linkPath) {
    close();
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) fail("posix_openpt");
    if (::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        ::close(master);
        fail("grantpt/unlockpt");
    }
    const char* name = ::ptsname(master);
    if (name == nullptr) {
        ::close(master);
        fail("ptsname");
    }
    const QString slave = QString::fromLocal8Bit(name);
    const int keep = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (keep < 0) {
        ::close(master);
        fail("open the terminal device");
    }
    termios raw{};
    if (::tcgetattr(keep, &raw) == 0) {
        ::cfmakeraw(&raw);
        ::tcsetattr(keep, TCSANOW, &raw);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    if (!linkPath.isEmpty()) {
        // A new link is put in place by renaming, so the path never goes missing.
        const QByteArray target = name;
        const QByteArray path = QFile::encodeName(linkPath);
        const QByteArray temporary = path + ".new";
        ::unlink(temporary.constData());
        if (::symlink(target.constData(), temporary.constData()) != 0 ||
            ::rename(temporary.constData(), path.constData()) != 0) {
            ::close(keep);
            ::close(master);
            fail("make the link");
        }
    }

    master_ = master;
    slaveKeep_ = keep;
    slavePath_ = slave;
    linkPath_ = linkPath;
    notifier_ = std::make_unique<QSocketNotifier>(master_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &SimulatedAlley::onReadable);
    if (!elapsed_.isValid()) elapsed_.start();
    clockTimer_.start(100);
}

void SimulatedAlley::close() {
    clockTimer_.stop();
    notifier_.reset();
    // The device goes away with its link, as an unplugged adapter's does; a
    // link left behind could come to name another program's terminal once the
    // system hands out the same terminal number again.
    if (master_ >= 0 && !linkPath_.isEmpty()) {
        const QByteArray path = QFile::encodeName(linkPath_);
        char target[256] = {};
        const ssize_t length = ::readlink(path.constData(), target, sizeof target - 1);
        if (length > 0 && QString::fromLocal8Bit(target, static_cast<int>(length)) == slavePath_)
            ::unlink(path.constData());
    }
    if (slaveKeep_ >= 0) ::close(slaveKeep_);
    if (master_ >= 0) ::close(master_);
    slaveKeep_ = -1;
    master_ = -1;
}

void SimulatedAlley::onReadable() {
    if (master_ < 0) return;
    alley_->setClock(simulatedMs());
    std::string answers;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) break;
        answers += alley_->receive(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
    writeAll(answers);
    emit framesHandled();
    onClock();
}

void SimulatedAlley::writeAll(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            if (n < 0 && errno == EINTR) continue;
            return; // nobody reads the line: the answer is lost, as on a real line
        }
        done += static_cast<std::size_t>(n);
    }
}

#else

void SimulatedAlley::open(const QString&) {
    throw std::runtime_error("virtual alley: pseudo-terminals need a POSIX system");
}
void SimulatedAlley::close() {}
void SimulatedAlley::onReadable() {}
void SimulatedAlley::writeAll(const std::string&) {}

#endif

void SimulatedAlley::restart(const AlleySetup& setup) {
    setup_ = setup;
    alley_ = std::make_unique<VirtualAlley>(setup);
    elapsed_.restart();
    finishedSignalled_ = false;
}

std::int64_t SimulatedAlley::simulatedMs() const {
    return elapsed_.isValid() ? elapsed_.elapsed() * speedFactor() : 0;
}

void SimulatedAlley::onClock() {
    alley_->setClock(simulatedMs());
    if (alley_->finished() && !finishedSignalled_) {
        finishedSignalled_ = true;
        emit finished();
    }
}

} // namespace kuzelna
