// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/controls.h"

#include <algorithm>

namespace kug {

std::vector<Control> tabChain() {
    std::vector<Control> chain;
    for (std::size_t i = 0; i < controlCount; ++i)
        if (takesFocus(controlAt(i)))
            chain.push_back(controlAt(i));
    std::sort(chain.begin(), chain.end(),
              [](Control a, Control b) { return designOf(a).tabIndex < designOf(b).tabIndex; });
    return chain;
}

std::vector<Control> controlsIn(Control frame) {
    std::vector<Control> held;
    for (std::size_t i = 0; i < controlCount; ++i)
        if (controlTable[i].container == frame)
            held.push_back(controlAt(i));
    return held;
}

} // namespace kug
