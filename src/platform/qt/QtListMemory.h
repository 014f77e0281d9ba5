// SPDX-License-Identifier: GPL-3.0-or-later
// The observing list kept in the project's settings file (~/.config/selvane/selvane.conf, group liste/).
#pragma once

#include "platform/ListMemory.h"

namespace platform::qt {

class QtListMemory : public ListMemory {
public:
    std::optional<ListeRetenue> liste() const override;
    void retenir(const ListeRetenue& liste) override;
};

} // namespace platform::qt
