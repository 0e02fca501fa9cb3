// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the window's facts from the form's own tables, at build time, for
// the tests that are not C++ (the page's in the browsers, the accessibility
// tests, the structure check), so that none of them writes them again:
//
//     window_facts OUT.json
//
// The controls in the table's order (designed name, kind, container,
// caption, tab index, initial state, accessible name, pictures, the field a
// label names), the tab chain, which of the run's controls each run state
// enables, and the names of the user's events.

#include "app/controls.h"
#include "app/form_view.h"
#include "app/run_state.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace kug;

namespace {

std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c; ++c) {
        if (*c == '"' || *c == '\\')
            out += '\\';
        out += *c;
    }
    return out + '"';
}

const char* boolean(bool value) {
    return value ? "true" : "false";
}

std::string nameOf(std::optional<Control> control) {
    return control ? quoted(designOf(*control).name) : "null";
}

// A JSON object, its members added in order.
struct Object {
    std::string text;
    Object& add(const char* key, const std::string& value) {
        text += (text.empty() ? "{" : ", ") + quoted(key) + ": " + value;
        return *this;
    }
    std::string closed() const { return text.empty() ? "{}" : text + "}"; }
};

// Looked up by kind, not by the enum's order; a kind missing here stops the
// writer, and with it the build.
constexpr std::pair<ControlKind, const char*> kindNames[] = {
    {ControlKind::Frame, "Frame"},
    {ControlKind::PictureButton, "PictureButton"},
    {ControlKind::DrawingArea, "DrawingArea"},
    {ControlKind::CheckBox, "CheckBox"},
    {ControlKind::TextBox, "TextBox"},
    {ControlKind::Label, "Label"}};

const char* kindName(ControlKind kind) {
    for (const auto& [known, name] : kindNames)
        if (known == kind)
            return name;
    std::fputs("window_facts: a kind of control without a name\n", stderr);
    std::exit(1);
}

std::string control(Control c) {
    const ControlDesign& s = designOf(c);
    return Object{}
        .add("name", quoted(s.name))
        .add("kind", quoted(kindName(s.kind)))
        .add("container", nameOf(s.container))
        .add("caption", quoted(s.caption))
        .add("captionShown", boolean(s.captionShown))
        .add("tabIndex", std::to_string(s.tabIndex))
        .add("takesFocus", boolean(takesFocus(c)))
        .add("enabled", boolean(s.enabled))
        .add("checked", boolean(s.checked))
        .add("accessibleName", quoted(s.accessibleName))
        .add("picture", quoted(s.picture))
        .add("disabledPicture", quoted(s.disabledPicture))
        .add("names", nameOf(s.names))
        .closed();
}

// Which of the run's controls each run state enables, by their names.
std::string runStates() {
    constexpr std::pair<RunState, const char*> states[] = {{RunState::Idle, "Idle"},
                                                           {RunState::Running, "Running"},
                                                           {RunState::Paused, "Paused"},
                                                           {RunState::Looping, "Looping"}};
    Object all;
    for (const auto& [state, name] : states) {
        Object row;
        for (std::size_t i = 0; i < runControls.size(); ++i)
            row.add(designOf(runControls[i]).name, boolean(enables(state, i)));
        all.add(name, row.closed());
    }
    return all.closed();
}

template <typename Items, typename Text>
std::string list(const Items& items, Text text, const char* separator = ", ") {
    std::string out;
    for (const auto& item : items)
        out += (out.empty() ? "" : separator) + text(item);
    return '[' + out + ']';
}

} // namespace

int main(int argc, char** argv) {
    std::vector<Control> controls;
    for (std::size_t i = 0; i < controlCount; ++i)
        controls.push_back(controlAt(i));
    const auto name = [](Control c) { return quoted(designOf(c).name); };
    std::ofstream out(argc == 2 ? argv[1] : "", std::ios::binary);
    out << Object{}
               .add("controls", list(controls, control, ",\n  "))
               .add("tabChain", list(tabChain(), name))
               .add("runStates", runStates())
               .add("events", list(userEventNames, quoted))
               .closed()
        << '\n';
    out.close();
    if (!out)
        std::fputs("usage: window_facts OUT.json (a file it can write)\n", stderr);
    return out ? 0 : 1;
}
