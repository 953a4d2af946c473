#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The desktop's secret store through QtKeychain: the Secret Service on Linux (the keyring
// of the desktop session), the credential store on Windows. Entries are named by the service
// "Kelvanto" and the setting's value name. QtKeychain answers through the event loop: a read
// waits for the answer in a local event loop (up to a time limit), a write does not wait.
class SecretStore : public QObject {
public:
    explicit SecretStore(QObject* parent = nullptr);
    ~SecretStore() override;

    // The entries of `names` that exist, with their values; nothing when no store answered
    // in time (none runs, no session bus, compiled without QtKeychain) or it refused.
    std::optional<std::map<std::string, std::string>> read_all(const std::vector<std::string>& names, int timeout_ms);
    // Stores one entry, or deletes it for an empty value; `done` learns whether that worked.
    void write(const std::string& name, const std::string& value, std::function<void(bool)> done);
};
