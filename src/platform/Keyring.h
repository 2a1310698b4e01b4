#pragma once

#include "platform/Pending.h"

#include <QString>

#include <chrono>
#include <functional>
#include <memory>

namespace tradevane {

// How one keyring operation ended. A secret is never part of `error`.
struct KeyringResult
{
    enum class Outcome {
        Ok,
        NotFound, // nothing is stored under the key
        Unavailable, // no keyring answered: none on this desktop, locked, refused or silent
        Failed, // the keyring answered with an error
        Cancelled,
    };
    Outcome outcome = Outcome::Failed;
    QString secret; // what a read found
    QString error; // readable, when not Ok

    bool ok() const { return outcome == Outcome::Ok; }
};

// The desktop keyring where there is one (the freedesktop Secret Service over the session bus,
// through QtKeychain): one secret per key under the service name "Tradevane". Each operation
// answers once, from the event loop; one that has not answered within `timeout` ends as
// Unavailable, so a keyring that never answers holds nothing up. The keyring itself runs one
// operation at a time, in the order they were started.
class Keyring
{
public:
    static constexpr std::chrono::milliseconds kDefaultTimeout {10000};
    std::chrono::milliseconds timeout = kDefaultTimeout;

    [[nodiscard]] std::unique_ptr<Pending> read(
        const QString& key, std::function<void(const KeyringResult&)> done) const;
    [[nodiscard]] std::unique_ptr<Pending> write(
        const QString& key, const QString& secret, std::function<void(const KeyringResult&)> done) const;
    // Deleting a key that holds nothing ends NotFound.
    [[nodiscard]] std::unique_ptr<Pending> remove(
        const QString& key, std::function<void(const KeyringResult&)> done) const;
};

} // namespace tradevane
