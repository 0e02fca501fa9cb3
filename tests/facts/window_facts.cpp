// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the window's facts from the form's tables at build time, so that the
// tests that are not C++ read them instead of writing them again:
//
//     window_facts OUT.json
//
// The controls in the table's order, the tab chain, which of the run's
// controls each run state enables, and the names of the user's events.

#include "app/controls.h"
#include "app/form_view.h"
#include "app/run_state.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

using namespace kug;

namespace {

std::string quoted(const char* text) {
    std::string out = "\"";
    for (const char* c = text; *c; ++c)
        out += std::string(*c == '"' || *c == '\\' ? "\\" : "") + *c;
    return out + '"';
}

std::string member(const char* key, const std::string& value) {
    return quoted(key) + ": " + value;
}

std::string boolean(bool value) {
    return value ? "true" : "false";
}

std::string joined(const std::vector<std::string>& items, const char* separator = ", ") {
    std::string out;
    for (const std::string& item : items)
        out += (out.empty() ? "" : separator) + item;
    return out;
}

// By kind, not by the enum's order; a kind missing here stops the build.
constexpr std::pair<ControlKind, const char*> kindNames[] = {
    {ControlKind::Frame, "Frame"},
    {ControlKind::PictureButton, "PictureButton"},
    {ControlKind::DrawingArea, "DrawingArea"},
    {ControlKind::CheckBox, "CheckBox"},
    {ControlKind::TextBox, "TextBox"},
    {ControlKind::Label, "Label"}};

std::string kindOf(ControlKind kind) {
    for (const auto& [known, name] : kindNames)
        if (known == kind)
            return quoted(name);
    std::fputs("window_facts: a kind of control without a name here\n", stderr);
    std::exit(1);
}

std::string control(Control c) {
    const ControlDesign& s = designOf(c);
    return '{' +
           joined({member("name", quoted(s.name)), member("kind", kindOf(s.kind)),
                   member("caption", quoted(s.caption)),
                   member("captionShown", boolean(s.captionShown)),
                   member("takesFocus", boolean(takesFocus(c))),
                   member("enabled", boolean(s.enabled)), member("checked", boolean(s.checked)),
                   member("accessibleName", quoted(s.accessibleName)),
                   member("picture", quoted(s.picture)),
                   member("disabledPicture", quoted(s.disabledPicture)),
                   member("names", s.names ? quoted(designOf(*s.names).name) : "null")}) +
           '}';
}

// Which of the run's controls each run state enables, by their names.
std::string runStates() {
    constexpr std::pair<RunState, const char*> states[] = {{RunState::Idle, "Idle"},
                                                           {RunState::Running, "Running"},
                                                           {RunState::Paused, "Paused"},
                                                           {RunState::Looping, "Looping"}};
    std::vector<std::string> rows;
    for (const auto& [state, name] : states) {
        std::vector<std::string> row;
        for (const RunControl& c : runControls)
            row.push_back(member(designOf(c.control).name, boolean(rowOf(state).*c.enabled)));
        rows.push_back(member(name, '{' + joined(row) + '}'));
    }
    return '{' + joined(rows) + '}';
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> controls, chain, events;
    for (std::size_t i = 0; i < controlCount; ++i)
        controls.push_back(control(controlAt(i)));
    for (const Control c : tabChain())
        chain.push_back(quoted(designOf(c).name));
    for (const char* name : userEventNames)
        events.push_back(quoted(name));
    std::ofstream out(argc == 2 ? argv[1] : "", std::ios::binary);
    out << "{\"controls\": [" << joined(controls, ",\n  ") << "],\n \"tabChain\": ["
        << joined(chain) << "],\n \"runStates\": " << runStates() << ",\n \"events\": ["
        << joined(events) << "]}\n";
    out.close();
    return out ? 0 : 1;
}
