#pragma once

#include <optional>
#include <string>

// Generic credentials of the Windows Credential Manager (CredReadW, CredWriteW), kept for
// the user on this machine. `target` names the entry ("Kelvanto/EmailPassword"); the
// secret is stored as UTF-8 bytes.
std::optional<std::string> read_credential(const std::string& target);
bool write_credential(const std::string& target, const std::string& secret);
// True when the entry is gone afterwards (also when there was none).
bool remove_credential(const std::string& target);
