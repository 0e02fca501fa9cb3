// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the page's markup of the window's controls from the form's table of
// controls, at build time (built with emscripten for node):
//
//     node controls_markup.js OUT
//
// scripts/inline_page.py puts OUT into the page where the page includes
// controls.html. Each control is an element with its designed name as id,
// its number as data-control and first its kind's class (kindOf), by which
// the page's script (its table of kinds, page_state.js) and style sheet know
// it; a frame holds its controls. Elements stand
// in the table's order, the order of creation, so that a later one stacks
// above an earlier one as on the desktop. Focus-taking controls carry their
// designed tab index: a browser orders positive indexes ascending, which
// keeps the designed chain.

#include "app/controls.h"

#include <cstdio>
#include <string>

using namespace kug;

namespace {

// The buttons' pictures are 16 x 16 pixels, each with a 32 x 32 twin for a
// screen of twice the density.
constexpr int pictureSize = 16;

std::string escaped(const char* text) {
    std::string out;
    for (const char* c = text; *c; ++c) {
        switch (*c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += *c;
        }
    }
    return out;
}

std::string attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + value + '"';
}

using Markup = std::string (*)(Control, const std::string&);
// A kind of control on the page: the class that names it, its markup, and
// whether the class "disabled" greys it (a box's caption, a label), as the
// script's table of kinds has it too.
struct Kind {
    const char* cssClass;
    Markup markup;
    bool greyedByClass = false;
};
Kind kindOf(Control control);

// What every control's element carries: its name, its number and its kind's
// class, greyed from the start where its kind is.
std::string common(Control control) {
    const Kind kind = kindOf(control);
    const bool greyed = kind.greyedByClass && !designOf(control).enabled;
    return attribute("id", designOf(control).name) +
           attribute("class", kind.cssClass + std::string(greyed ? " disabled" : "")) +
           attribute("data-control", std::to_string(static_cast<int>(control)));
}

std::string tabIndex(Control control) {
    return takesFocus(control) ? attribute("tabindex", std::to_string(designOf(control).tabIndex))
                               : "";
}

// A control disabled from the start: an element that can be disabled, or
// one that only says so.
std::string disabled(Control control) {
    return designOf(control).enabled ? "" : " disabled";
}
std::string ariaDisabled(Control control) {
    return designOf(control).enabled ? "" : " aria-disabled=\"true\"";
}

// A button's picture: the screen's ratio, not the browser's liking, picks the
// twin (a browser may take the larger of two pictures it holds already).
std::string picture(const char* name, const char* shownWhen) {
    const std::string size = std::to_string(pictureSize);
    return std::string("<picture><source media=\"(min-resolution: 1.5dppx), "
                       "(-webkit-min-device-pixel-ratio: 1.5)\" srcset=\"pictures/") +
           name + "@2x.png 2x\"><img" + attribute("class", shownWhen) + " alt=\"\"" +
           attribute("width", size) + attribute("height", size) + " draggable=\"false\"" +
           attribute("data-picture", name) + " src=\"pictures/" + name + ".png\"></picture>";
}

// The controls that `frame` holds, or with none the window's own.
std::string controls(std::optional<Control> frame, const std::string& indent);

// A frame that shows its caption is a fieldset, which disables what it
// holds; its line runs through the caption as a group box's.
std::string frame(Control control, const std::string& indent) {
    const bool captioned = designOf(control).captionShown;
    const char* tag = captioned ? "fieldset" : "div";
    std::string out = indent + '<' + tag + common(control) +
                      (captioned ? disabled(control) : " role=\"group\"" + ariaDisabled(control)) +
                      ">\n";
    if (captioned)
        out += indent + "  <legend>" + escaped(designOf(control).caption) + "</legend>\n";
    out += indent + "  <div class=\"frame\" aria-hidden=\"true\"></div>\n";
    return out + controls(control, indent + "  ") + indent + "</" + tag + ">\n";
}

// The style sheet shows the picture that fits the button's state.
std::string pictureButton(Control control, const std::string& indent) {
    const ControlDesign& s = designOf(control);
    std::string out = indent + "<button" + common(control) + " type=\"button\"" +
                      tabIndex(control) + attribute("aria-label", escaped(s.accessibleName)) +
                      disabled(control) + '>' + picture(s.picture, "on");
    if (*s.disabledPicture)
        out += picture(s.disabledPicture, "off");
    return out + "</button>\n";
}

// The board inside the sunken border, and the board's text over it.
std::string drawingArea(Control control, const std::string& indent) {
    return indent + "<div" + common(control) + ariaDisabled(control) +
           " style=\"border-width: " + std::to_string(drawingAreaBorder) + "px\">\n" + indent +
           "  <canvas id=\"board\"" + tabIndex(control) + " role=\"img\"" +
           attribute("aria-label", escaped(designOf(control).accessibleName)) +
           " aria-describedby=\"opis\"></canvas>\n" + indent +
           "  <canvas id=\"boardtext\" aria-hidden=\"true\"></canvas>\n" + indent + "</div>\n";
}

std::string checkBox(Control control, const std::string& indent) {
    const ControlDesign& s = designOf(control);
    return indent + "<label" + common(control) + "><input type=\"checkbox\"" + tabIndex(control) +
           (s.checked ? " checked" : "") + disabled(control) + '>' + escaped(s.caption) +
           "</label>\n";
}

std::string textBox(Control control, const std::string& indent) {
    return indent + "<input" + common(control) + " type=\"text\"" + tabIndex(control) +
           attribute("value", escaped(designOf(control).caption)) +
           " maxlength=\"32767\" spellcheck=\"false\"" + disabled(control) + ">\n";
}

// A label names its field for a screen reader.
std::string label(Control control, const std::string& indent) {
    const ControlDesign& s = designOf(control);
    return indent + "<label" + common(control) +
           (s.names ? attribute("for", designOf(*s.names).name) : "") + ariaDisabled(control) +
           '>' + escaped(s.caption) + "</label>\n";
}

// Each kind's class and markup. A switch: an earlier version picked the
// markup from an array in the order of ControlKind, checked only for its
// length, so a reordered enum would have given controls another kind's
// markup without a word. Built with -Werror=switch, a kind with no case here
// fails the build.
Kind kindOf(Control control) {
    switch (designOf(control).kind) {
    case ControlKind::Frame:
        return {"group", frame};
    case ControlKind::PictureButton:
        return {"picture", pictureButton};
    case ControlKind::DrawingArea:
        return {"area", drawingArea};
    case ControlKind::CheckBox:
        return {"check", checkBox, true};
    case ControlKind::TextBox:
        return {"field", textBox};
    case ControlKind::Label:
        return {"caption", label, true};
    }
    return {"", nullptr};
}

std::string element(Control control, const std::string& indent) {
    return kindOf(control).markup(control, indent);
}

std::string controls(std::optional<Control> frame, const std::string& indent) {
    std::string out;
    for (std::size_t i = 0; i < controlCount; ++i)
        if (controlTable[i].container == frame)
            out += element(controlAt(i), indent);
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: controls_markup OUT\n", stderr);
        return 2;
    }
    const std::string markup = controls(std::nullopt, "  ");
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(markup.data(), 1, markup.size(), out) != markup.size() ||
        std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
