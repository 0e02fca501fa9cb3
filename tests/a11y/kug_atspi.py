# SPDX-License-Identifier: GPL-3.0-or-later
"""Driving Kuglovica the way a screen reader does: over AT-SPI.

A private D-Bus session bus and the accessibility bus that at-spi-bus-launcher
puts beside it, then pyatspi (Debian's python3-pyatspi, so this runs under
/usr/bin/python3) to walk the program's tree, read names, roles, states and
descriptions, set texts and run actions. Shared by the a11y cases (on X11)
and the Wayland cases.
"""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import time

from kug_x11 import socket_path

APP_NAME = "kuglovica"
ABOUT_ACTION = "O programu"


class CheckFailed(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise CheckFailed(message)


# ------------------------------------------------------------------- buses


def adopt_orphans():
    """Makes this process the reaper of whatever its children leave behind
    (a bus's activated services outlive the bus for a moment), so that
    reap_orphans() can see them gone."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER
    except OSError:
        pass


def reap_orphans(timeout=5):
    """Waits for every child process left, after all were told to stop."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        try:
            pid, _status = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return True
        if pid == 0:
            time.sleep(0.05)
    return False


class Buses:
    """A session bus of its own and the accessibility bus, both stopped again
    by stop(). Each runs in a process group of its own, so that what they
    start (the registry daemon, the accessibility bus's dbus-daemon) goes with
    them."""

    def __init__(self, env, tmp):
        self.env = env
        self.tmp = tmp
        self.procs = []

    def _spawn(self, argv, **kw):
        p = subprocess.Popen(argv, env=self.env, start_new_session=True, **kw)
        self.procs.append(p)
        return p

    def start(self):
        adopt_orphans()
        missing = [t for t in ("dbus-daemon", "dbus-send") if shutil.which(t) is None]
        launcher = "/usr/libexec/at-spi-bus-launcher"
        if not os.access(launcher, os.X_OK):
            missing.append(launcher)
        check(not missing, "missing: %s (./test.sh installs at-spi2-core and dbus-x11)" %
              " ".join(missing))
        bus = socket_path(os.path.join(self.tmp, "bus"))
        daemon = self._spawn(["dbus-daemon", "--session", "--nofork", "--nopidfile",
                              "--address=unix:path=" + bus, "--print-address=1"],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        address = self._read_line(daemon.stdout, 20)
        check(address.startswith("unix:"), "dbus-daemon gave no address (exit %s)" %
              daemon.poll())
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address
        self.env.pop("AT_SPI_BUS_ADDRESS", None)
        self._spawn([launcher, "--launch-immediately"], stdout=subprocess.DEVNULL,
                    stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 20
        while True:
            r = subprocess.run(["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                                "/org/a11y/bus", "org.a11y.Bus.GetAddress"], env=self.env,
                               stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
            if r.returncode == 0 and b"unix:" in r.stdout:
                path = re.search(rb'unix:path=([^,"]*)', r.stdout)
                if path:  # the launcher makes it in XDG_RUNTIME_DIR
                    socket_path(path.group(1).decode())
                break
            check(time.monotonic() < deadline, "the accessibility bus did not start")
            time.sleep(0.05)
        # Qt turns its bridge on without asking the desktop's settings.
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        return address

    @staticmethod
    def _read_line(pipe, timeout):
        deadline = time.monotonic() + timeout
        data = b""
        while not data.endswith(b"\n") and time.monotonic() < deadline:
            ready, _, _ = select.select([pipe], [], [], 0.1)
            if ready:
                chunk = os.read(pipe.fileno(), 256)
                if not chunk:
                    break
                data += chunk
        return data.decode(errors="replace").strip()

    def stop(self):
        for p in reversed(self.procs):
            try:
                os.killpg(p.pid, signal.SIGTERM)
            except ProcessLookupError:
                pass
        for p in reversed(self.procs):
            try:
                p.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(p.pid, signal.SIGKILL)
                p.wait()
            try:
                os.killpg(p.pid, signal.SIGKILL)  # whatever it started and left behind
            except ProcessLookupError:
                pass
        self.procs = []


# ----------------------------------------------------------------- the client

pyatspi = None  # imported once the buses run: it connects on import


def connect(address):
    """Points this process's AT-SPI client at the private session bus."""
    global pyatspi
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
    os.environ.pop("AT_SPI_BUS_ADDRESS", None)
    # With no display libatspi asks the session bus for the accessibility
    # bus instead of the X root window, so both platforms find it the same way.
    os.environ.pop("DISPLAY", None)
    import pyatspi as module
    pyatspi = module
    return module


def pump():
    """Lets the client's main context deliver the events that have arrived."""
    from gi.repository import GLib
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait_for(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns something true (which is returned);
    a CheckFailed or a D-Bus error inside counts as not yet."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        pump()
        try:
            value = predicate()
            if value:
                return value
        except Exception as failure:  # a check not met yet, or the bus not answering yet
            last = failure
        if time.monotonic() > deadline:
            raise CheckFailed("timed out after %gs waiting for %s%s" %
                              (timeout, what, " (last: %s)" % last if last else ""))
        time.sleep(interval)


def role_name(acc):
    return acc.getRoleName()


def states(acc):
    return {pyatspi.stateToString(s) for s in acc.getState().getStates()}


def walk(acc):
    yield acc
    for child in acc:
        if child is not None:
            yield from walk(child)


def application(pid):
    """The program's application object, found by its process."""
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == APP_NAME and app.get_process_id() == pid:
            return app
    return None


def window(app, role="frame", name="Kuglovica"):
    for child in app:
        if child is not None and role_name(child) == role and child.name == name:
            return child
    return None


def about_box(app):
    """The About box: an alert (a message box) titled like the window."""
    return window(app, "alert", "Kuglovica")


def find(root, role, name):
    for acc in walk(root):
        if role_name(acc) == role and acc.name == name:
            return acc
    raise CheckFailed("no %s named %r" % (role, name))


def text(acc):
    t = acc.queryText()
    return t.getText(0, t.characterCount)


def set_text(acc, value):
    check(acc.queryEditableText().setTextContents(value),
          "%r refused the text %r" % (acc.name, value))


def action_names(acc):
    try:
        action = acc.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def act(acc, name):
    names = action_names(acc)
    check(name in names, "%r offers %r, not %r" % (acc.name, names, name))
    acc.queryAction().doAction(names.index(name))


def description_lines(board):
    return board.description.split("\n") if board.description else []


def counts_line(board, caption="Stupci"):
    """The counts of a line "caption: a, b, c" of the board's description, or
    None when there is no such line."""
    for line in description_lines(board):
        m = re.fullmatch(re.escape(caption) + r": (\d+(?:, \d+)*)", line)
        if m:
            return [int(v) for v in m.group(1).split(", ")]
    return None


def remaining_balls(board):
    """The number in the "Još N kuglic…." line, or 0 when it is not shown."""
    for line in description_lines(board):
        m = re.fullmatch(r"Još (\d+) kuglic[ae]\.", line)
        if m:
            return int(m.group(1))
    return 0


class Listener:
    """Collects the AT-SPI events of one kind from one object, each with the
    object's description read as the event is handled. (Qt 6.4 sends a
    description change with the object, not the new text, as its value: a
    tool has to read the description afresh.)"""

    def __init__(self, kind, source_name):
        self.kind = kind
        self.source_name = source_name
        self.events = []
        pyatspi.Registry.registerEventListener(self._on_event, kind)

    def _on_event(self, event):
        try:
            if event.source is not None and event.source.name == self.source_name:
                self.events.append((event.type, event.source.description))
        except Exception:  # the source may be gone already
            pass

    def close(self):
        pyatspi.Registry.deregisterEventListener(self._on_event, self.kind)
