#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Kuglovica through assistive technology, as a blind user meets it.

Each case starts its own Xvfb display with the openbox window manager, its own
D-Bus session bus and accessibility bus, and Kuglovica with Qt's AT-SPI bridge
on; then it works the program through AT-SPI alone (pyatspi, the library
screen readers build on): it reads the tree, sets fields, ticks boxes,
presses buttons and reads back what the board shows. Everything is stopped
again when the case ends, also when it fails.

    KUG_WINDOW_FACTS=window_facts.json a11y_cases.py --exe build/kuglovica --artifacts DIR CASE

The controls are named as in the form's table, whose facts the build writes
(window_facts.json); a control's role and its states at start-up follow from
them.
"""

import json
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))

import kug_atspi as at  # noqa: E402
import kug_x11  # noqa: E402
from kug_atspi import ABOUT_ACTION, CheckFailed, check  # noqa: E402

ROLES = {"DrawingArea": "canvas", "TextBox": "text", "CheckBox": "check box",
         "PictureButton": "push button", "Frame": "panel", "Label": "label"}
FIELD_TEXTS = {"stupcitxt": "2", "kuglicetxt": "1", "brzinatxt": "1"}  # set at start-up
START_UP = []


def start_up(facts):
    """What a screen reader finds at start-up, a row for each control with a
    name: designed name, role, name (a field's its label's), whether each
    state checked holds, and for a field its text. The focus is on the first
    enabled control of the tab chain."""
    table = {c["name"]: c for c in facts["controls"]}
    labels = {c["names"]: c["caption"] for c in table.values() if c["names"]}
    focused = next(n for n in facts["tabChain"] if table[n]["enabled"])
    for n, c in table.items():
        on = c["takesFocus"] and c["enabled"]
        holds = {"enabled": on, "focused": n == focused} if c["takesFocus"] else {}
        holds.update({"focusable": True, "editable": True} if on and c["kind"] == "TextBox" else
                     {"focusable": True} if on else {})
        holds.update({"checked": c["checked"]} if c["kind"] == "CheckBox" else {})
        name = c["accessibleName"] or labels.get(n) or (c["captionShown"] and c["caption"])
        if name:
            yield n, ROLES[c["kind"]], name, holds, FIELD_TEXTS.get(n)


class A11ySession(kug_x11.Session):
    """An X display with a window manager, the buses, and the program."""

    def __enter__(self):
        super().__enter__()
        try:
            self.buses = at.Buses(self.env, self.tmp)
            at.connect(self.buses.start())
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        self.stop_app()
        if getattr(self, "buses", None):
            self.buses.stop()
        super().__exit__(*exc)
        at.reap_orphans()
        return False

    def start(self):
        """Starts the program and returns its window's accessible."""
        self.start_app()
        app = at.wait_for(lambda: at.application(self.app.pid), 20,
                          "the program on the accessibility bus")
        return at.wait_for(lambda: at.window(app), 10, "the window \"Kuglovica\"")


def controls(frame):
    """The controls that take the focus, by their designed names."""
    return {n: at.find(frame, role, name) for n, role, name, *_ in START_UP
            if role not in ("panel", "label")}


def wait_idle(c, timeout, what):
    at.wait_for(lambda: "enabled" in at.states(c["startcmd"]) and
                "enabled" not in at.states(c["stopcmd"]), timeout, what)


# -------------------------------------------------------------------- cases


def case_start_up(s):
    frame = s.start()
    check("active" in at.states(frame), "the window is not active: %s" % at.states(frame))
    failures = []
    for _, role, name, holds, field_text in START_UP:
        acc = at.wait_for(lambda: at.find(frame, role, name), 5, "%s %r" % (role, name))
        # the focus settles a moment after the window is shown
        if holds.get("focused"):
            at.wait_for(lambda: "focused" in at.states(acc), 5, "%r to have the focus" % name)
        got = at.states(acc)
        if any((state in got) != held for state, held in holds.items()):
            failures.append("%s %r: states %s, wanted %s" % (role, name, sorted(got), holds))
        if field_text is not None and at.text(acc) != field_text:
            failures.append("%r shows %r, expected %r" % (name, at.text(acc), field_text))
    # no field is still named after its frame
    fields = [acc.name for acc in at.walk(frame) if at.role_name(acc) == "text"]
    named = [name for _, role, name, *_ in START_UP if role == "text"]
    if sorted(fields) != sorted(named):
        failures.append("the fields are named %r" % fields)
    # a field points at its label (Qt adds the frame around it)
    c = controls(frame)
    labelled_by = [(at.role_name(r.getTarget(0)), r.getTarget(0).name)
                   for r in c["stupcitxt"].getRelationSet()
                   if r.getRelationType() == at.pyatspi.RELATION_LABELLED_BY]
    if ("label", c["stupcitxt"].name) not in labelled_by:
        failures.append("the column field is labelled by %r" % labelled_by)
    board = c["simarea"]
    if board.description != "Stupci: 0, 0":
        failures.append("the board is described as %r" % board.description)
    if ABOUT_ACTION not in at.action_names(board):
        failures.append("the board offers %r" % at.action_names(board))
    check(not failures, "; ".join(failures))


def case_fast_run(s):
    frame = s.start()
    c = controls(frame)
    board = c["simarea"]
    # texts from outside are validated at once: 7.5 rounds to 8, 400 balls
    # come down to the largest count of the start-up board
    for name, typed, shown in (("stupcitxt", "7.5", "8"), ("kuglicetxt", "400", "250"),
                               ("kuglicetxt", "60", "60")):
        at.set_text(c[name], typed)
        at.wait_for(lambda: at.text(c[name]) == shown, 5, "%r to show %r" % (name, shown))
    at.wait_for(lambda: at.counts_line(board) == [0] * 8, 5, "the board of 8 columns")
    at.act(c["brzachk"], "Toggle")
    at.wait_for(lambda: "checked" in at.states(c["brzachk"]), 5, "the fast box ticked")
    check("enabled" not in at.states(c["brzinatxt"]), "the speed field is enabled")
    check("enabled" in at.states(c["petljachk"]), "the loop's box is not enabled")
    at.act(c["teorijskachk"], "Toggle")
    at.wait_for(lambda: at.counts_line(board, "Teorijska raspodjela"), 5,
                "the theoretical counts")
    at.act(c["startcmd"], "Press")
    counts = at.wait_for(lambda: sum(at.counts_line(board)) and at.counts_line(board), 20,
                         "the histogram of the fast run")
    check(sum(counts) == 60 and len(counts) == 8, "the histogram %r does not hold 60 balls "
          "in 8 bins" % counts)
    wait_idle(c, 5, "the buttons back at rest")
    theory = at.counts_line(board, "Teorijska raspodjela")
    check(len(theory) == 8 and theory == theory[::-1] and theory[3] == max(theory),
          "theoretical counts %r are not a symmetric hill" % theory)
    check(at.remaining_balls(board) == 0, "a fast run shows the remaining balls")
    print("after the run: %r" % board.description)


def case_animated_run(s):
    frame = s.start()
    c = controls(frame)
    board = c["simarea"]
    described = at.Listener("object:property-change:accessible-description", board.name)
    at.set_text(c["kuglicetxt"], "3")
    at.set_text(c["brzinatxt"], "95")
    at.wait_for(lambda: at.text(c["brzinatxt"]) == "95", 5, "the speed field")
    at.act(c["startcmd"], "Press")
    at.wait_for(lambda: "enabled" in at.states(c["stopcmd"]), 5, "the pause button to be enabled")
    check("enabled" not in at.states(c["startcmd"]), "the start button is enabled in a run")
    check("enabled" not in at.states(c["kuglicetxt"]), "the ball field is enabled in a run")
    # a text from outside does not reach a disabled field
    at.set_text(c["kuglicetxt"], "9")
    at.pump()
    check(at.text(c["kuglicetxt"]) == "3", "a disabled field took %r" % at.text(c["kuglicetxt"]))
    wait_idle(c, 30, "the run of 3 balls to end")
    counts = at.wait_for(lambda: sum(at.counts_line(board)) == 3 and at.counts_line(board), 5,
                         "a histogram of 3 balls")
    check(at.remaining_balls(board) == 0, "the remaining-balls line outlived the run: %r" %
          board.description)
    at.wait_for(lambda: described.events and described.events[-1][1] == board.description, 5,
                "the event for the last description")
    texts = [data for _kind, data in described.events]
    described.close()
    # While the run went on, the board told how many balls were to come, and
    # those to come and those landed made the run's three.
    during = [t for t in texts if "Još" in t]
    check(during, "no description during the run told the balls to come: %r" % texts)
    for t in during:
        lines = t.split("\n")
        left = int(lines[0].split()[1])
        landed = sum(int(v) for v in lines[1].split(": ")[1].split(", "))
        check(left + landed == 3, "a description during the run says %r" % t)
    print("descriptions announced: %r; histogram %r" % (texts, counts))


def wait_for_about(s, frame):
    app = at.application(s.app.pid)
    box = at.wait_for(lambda: at.about_box(app), 10, "the About box")
    labels = [acc.name for acc in at.walk(box) if at.role_name(acc) == "label"]
    check(any("Simulator Kuglovice," in t and "verzija 1" in t for t in labels),
          "the About box reads %r" % labels)
    at.act(at.find(box, "push button", "OK"), "Press")
    at.wait_for(lambda: not at.about_box(app), 10, "the About box to close")
    check(s.alive(), "the program ended with the About box")
    return labels


def case_about(s):
    frame = s.start()
    board = controls(frame)["simarea"]
    # The action returns before the modal box opens; were it opened inside the
    # request, this call would wait for the box and fail on the bus's timeout.
    at.act(board, ABOUT_ACTION)
    labels = wait_for_about(s, frame)
    print("the About box reads %r" % labels)


def case_exit(s):
    frame = s.start()
    at.act(controls(frame)["exitcmd"], "Press")
    try:
        code = s.app.wait(timeout=10)
    except subprocess.TimeoutExpired:
        raise CheckFailed("the program still runs 10 s after the exit button")
    check(code == 0, "the program ended with status %d" % code)


CASES = {
    "start_up": case_start_up,
    "fast_run": case_fast_run,
    "animated_run": case_animated_run,
    "about": case_about,
    "exit": case_exit,
}


def main():
    args, artifacts = kug_x11.case_arguments(CASES, assets=False)
    with open(os.environ["KUG_WINDOW_FACTS"], encoding="utf-8") as f:
        START_UP.extend(start_up(json.load(f)))
    session = A11ySession(args.exe, artifacts)
    return kug_x11.run_case(session, CASES[args.case], args.case, (CheckFailed,))


if __name__ == "__main__":
    sys.exit(main())
