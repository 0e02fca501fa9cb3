// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How often the board's description reaches assistive technology. Landings
// can come thirty times a second, and a screen reader would queue every one:
// a published description holds back the next for `holdMs`, after which the
// last one offered meanwhile is published. An unchanged text is not news, and
// starts no hold. The front end keeps the time: after each publication it
// calls `release` once `holdMs` have passed.

#include <optional>
#include <string>

namespace kug {

class DescriptionHold {
public:
    static constexpr int holdMs = 250;

    // A new description. Returns the text to publish now, if any; the hold
    // then starts.
    std::optional<std::string> offer(std::string text);
    // The hold is over. Returns the text to publish now, if any; the hold
    // then starts again.
    std::optional<std::string> release();
    bool isHeld() const { return held_; }

private:
    std::optional<std::string> publish();

    std::string pending_;
    std::optional<std::string> shown_;
    bool held_ = false;
};

} // namespace kug
