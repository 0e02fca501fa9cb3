// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/description_hold.h"

#include <utility>

namespace kug {

std::optional<std::string> DescriptionHold::offer(std::string text) {
    pending_ = std::move(text);
    if (held_)
        return std::nullopt;
    return publish();
}

std::optional<std::string> DescriptionHold::release() {
    held_ = false;
    return publish();
}

std::optional<std::string> DescriptionHold::publish() {
    if (pending_ == shown_)
        return std::nullopt;
    shown_ = pending_;
    held_ = true;
    return shown_;
}

} // namespace kug
