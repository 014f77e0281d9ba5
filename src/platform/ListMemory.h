// SPDX-License-Identifier: GPL-3.0-or-later
// The observing list of the last run and where in it the user stood, kept between starts.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

struct ListeRetenue {
    std::string fichier; // UTF-8 path
    std::size_t rang = 1; // the entry chosen, from 1
    std::string empreinte; // the file's fingerprint when it was read
};

class ListMemory {
public:
    virtual ~ListMemory() = default;
    // Nothing when no list was kept (or what was kept does not read).
    virtual std::optional<ListeRetenue> liste() const = 0;
    // Written to disk at once, so that a program killed a second later has lost nothing.
    virtual void retenir(const ListeRetenue& liste) = 0;
};

} // namespace platform
