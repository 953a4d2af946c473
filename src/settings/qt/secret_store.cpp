#include "settings/qt/secret_store.h"

#include <QEventLoop>
#include <QTimer>
#include <memory>

#ifdef KELVANTO_HAVE_KEYCHAIN
#include <qt6keychain/keychain.h>
#endif
#if defined(KELVANTO_HAVE_KEYCHAIN) && defined(Q_OS_LINUX)
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#endif

namespace {

#ifdef KELVANTO_HAVE_KEYCHAIN
const QString kService = QStringLiteral("Kelvanto");

// Whether a secret store runs. On Linux that is the Secret Service on the session bus: one
// that is merely installed is not started for the program (that would happen outside the
// desktop's login, with nobody to unlock it).
bool store_running() {
#if defined(KELVANTO_HAVE_KEYCHAIN) && defined(Q_OS_LINUX)
    const QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(QStringLiteral("org.freedesktop.secrets")).value();
#else
    return true;
#endif
}

// Runs a local event loop until `done` says so or `timeout_ms` pass. Input waits for the
// program's own loop; the store's answers come through the event loop (the GLib main context
// for the Secret Service).
void wait_until(const std::function<bool()>& done, int timeout_ms) {
    if (done()) return;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    limit.start(timeout_ms);
    poll.start(10);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}
#endif

}  // namespace

SecretStore::SecretStore(QObject* parent) : QObject(parent) {}

SecretStore::~SecretStore() = default;

std::optional<std::map<std::string, std::string>> SecretStore::read_all(const std::vector<std::string>& names,
                                                                       int timeout_ms) {
#ifdef KELVANTO_HAVE_KEYCHAIN
    if (!store_running()) return std::nullopt;
    // Shared with the jobs' handlers: a job that answers after the time limit finds it still.
    struct Answers {
        std::map<std::string, std::string> found;
        std::size_t answered = 0;
        bool refused = false;
    };
    auto answers = std::make_shared<Answers>();
    for (const std::string& name : names) {
        auto* job = new QKeychain::ReadPasswordJob(kService, this);
        job->setAutoDelete(true);
        job->setKey(QString::fromStdString(name));
        connect(job, &QKeychain::Job::finished, this, [answers, name](QKeychain::Job* j) {
            ++answers->answered;
            if (j->error() == QKeychain::NoError) {
                answers->found[name] = static_cast<QKeychain::ReadPasswordJob*>(j)->textData().toStdString();
            } else if (j->error() != QKeychain::EntryNotFound) {
                answers->refused = true;
            }
        });
        job->start();
    }
    wait_until([&] { return answers->refused || answers->answered == names.size(); }, timeout_ms);
    if (answers->refused || answers->answered != names.size()) return std::nullopt;
    return answers->found;
#else
    Q_UNUSED(names);
    Q_UNUSED(timeout_ms);
    return std::nullopt;
#endif
}

void SecretStore::write(const std::string& name, const std::string& value, std::function<void(bool)> done) {
#ifdef KELVANTO_HAVE_KEYCHAIN
    QKeychain::Job* job = nullptr;
    if (value.empty()) {
        job = new QKeychain::DeletePasswordJob(kService, this);
    } else {
        auto* w = new QKeychain::WritePasswordJob(kService, this);
        w->setTextData(QString::fromStdString(value));
        job = w;
    }
    job->setAutoDelete(true);
    job->setKey(QString::fromStdString(name));
    connect(job, &QKeychain::Job::finished, this, [done = std::move(done), deleting = value.empty()](QKeychain::Job* j) {
        const bool ok = j->error() == QKeychain::NoError || (deleting && j->error() == QKeychain::EntryNotFound);
        if (done) done(ok);
    });
    job->start();
#else
    Q_UNUSED(name);
    Q_UNUSED(value);
    if (done) done(false);
#endif
}
