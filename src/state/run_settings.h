// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a run is made with: the three parameters as last accepted from their
// fields, and the switches as the check boxes stand.

#include "state/integers.h"

namespace kug {

// The parameters as the fields last accepted them. The window writes this
// value only where a field is accepted: at start-up and when a field is
// validated. Every change of a field's text is validated at once (leaving the
// field, or any change that is not typing into it), so the value always
// equals the number value of the field's text, and the board behaves as if it
// read the text afresh each time: the text stays the parameter's one store.
struct RunSettings {
    int columns = 2;   // also the number of bins; 2..32
    Integer balls = 1; // 1..the largest count the start-up board allows
    Integer speed = 1; // 1..100
};

// The check boxes that the board's procedures read.
struct Switches {
    bool fast = false;   // "Brza simulacija": all balls at once, no remaining-balls line
    bool loop = false;   // "U petlji": fast runs repeat
    bool trail = false;  // "Kuglica ostavlja trag": the ball leaves rings
    bool theory = false; // "Teorijska raspodjela": the theoretical bars
};

} // namespace kug
