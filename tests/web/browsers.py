# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser engines Debian ships, behind one small interface for the web
cases and the benchmark: open a page, run a script, perform W3C input actions
(the same JSON in classic WebDriver and in WebDriver BiDi), set the viewport.

- chromium: headless, through chromedriver (python3-selenium);
- firefox: firefox-esr headless, through its built-in WebDriver BiDi over
  python3-websockets (there is no geckodriver);
- webkitgtk: WebKitGTK's MiniBrowser on a private Xvfb display, through
  webkit2gtk-driver's WebKitWebDriver.

Each browser gets a fresh profile and any socket or runtime directory in a
short private directory under /tmp. Run with /usr/bin/python3.
"""

import asyncio
import contextlib
import json
import os
import re
import shutil
import socket
import subprocess
import tempfile
import time

ENGINES = ["chromium", "firefox", "webkitgtk"]
# What some cases need beyond the common interface, per engine: a touch
# screen (its input and its coarse pointer), and another device pixel ratio
# under a running page. WebKitGTK's driver turns touch input into a mouse's.
CAN = {"chromium": {"touch", "ratio"}, "firefox": {"touch", "ratio"}, "webkitgtk": set()}

VIEWPORT = (900, 700)
MINIBROWSER = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
CHROMIUM_FLAGS = ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
                  "--disable-background-networking", "--disable-component-update", "--disable-sync",
                  "--window-size=%d,%d" % VIEWPORT]
# No network, no first-run pages, no updates for a throwaway profile.
FIREFOX_PREFS = {"app.normandy.enabled": False, "app.update.auto": False,
                 "browser.shell.checkDefaultBrowser": False, "datareporting.policy.dataSubmissionEnabled": False,
                 "messaging-system.rsexperimentloader.enabled": False, "network.captive-portal-service.enabled": False,
                 "network.connectivity-service.enabled": False, "toolkit.telemetry.reportingpolicy.firstRun": False,
                 "browser.safebrowsing.update.enabled": False, "services.settings.server": "http://127.0.0.1:9/"}


def private_dir(stack, prefix):
    """A short private directory under /tmp (sockets hold at most 107 bytes)."""
    path = tempfile.mkdtemp(prefix=prefix, dir="/tmp")
    os.chmod(path, 0o700)
    stack.callback(remove, path)
    return path


def remove(path):
    # A browser's helper processes may still be leaving it.
    for _ in range(20):
        try:
            shutil.rmtree(path)
            return
        except FileNotFoundError:
            return
        except OSError:
            time.sleep(0.1)


def stop(process):
    process.terminate()
    try:
        process.wait(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Classic:
    """A browser through classic WebDriver (selenium)."""

    def __init__(self, engine, driver):
        self.engine = engine
        self.driver = driver

    def open(self, url):
        self.driver.get(url)

    def js(self, body, *args):
        return self.driver.execute_script(body, *args)

    def js_await(self, body, *args):
        return self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "(async function () {" + body + "}).apply(null, [...arguments].slice(0, -1)).then(done);", *args)

    def perform(self, sources):
        self.driver.execute("actions", {"actions": sources})

    def set_viewport(self, width, height, ratio=0):
        """The viewport's size in CSS pixels, and with `ratio` (engines that
        can emulate it) the device pixel ratio."""
        if self.engine == "chromium":
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                        {"width": width, "height": height, "deviceScaleFactor": ratio, "mobile": False})
            return
        assert not ratio, "no emulated device pixel ratio in " + self.engine
        # The window's size less the viewport's is the browser's own frame.
        outer = self.js("return [window.outerWidth - innerWidth, window.outerHeight - innerHeight]")
        self.driver.set_window_size(width + outer[0], height + outer[1])

    def closed(self):
        from selenium.common.exceptions import NoSuchWindowException
        try:
            return self.driver.current_window_handle not in self.driver.window_handles
        except NoSuchWindowException:
            return True


class Bidi:
    """Firefox through WebDriver BiDi: commands over a WebSocket, in order."""

    def __init__(self, url):
        import websockets  # Debian's python3-websockets
        self.engine = "firefox"
        self.loop = asyncio.new_event_loop()

        async def connect():  # made within the loop it runs on
            return await websockets.connect(url, max_size=None)

        self.socket = self.loop.run_until_complete(connect())
        self.next_id = 0
        self.command("session.new", {"capabilities": {}})
        # A window of its own: headless, the first one never has the focus,
        # and the focus would move in it without focus and blur events.
        self.context = self.command("browsingContext.create", {"type": "window"})["context"]

    def command(self, method, params):
        self.next_id += 1
        message_id = self.next_id

        async def exchange():
            await self.socket.send(json.dumps({"id": message_id, "method": method, "params": params}))
            while True:
                reply = json.loads(await self.socket.recv())
                if reply.get("id") == message_id:  # events have no id
                    return reply

        reply = self.loop.run_until_complete(exchange())
        if reply.get("type") == "error":
            raise RuntimeError("%s: %s: %s" % (method, reply.get("error"), reply.get("message")))
        return reply["result"]

    def close(self):
        self.loop.run_until_complete(self.socket.close())
        self.loop.close()

    def open(self, url):
        self.command("browsingContext.navigate", {"context": self.context, "url": url, "wait": "complete"})

    def closed(self):
        contexts = self.command("browsingContext.getTree", {})["contexts"]
        return self.context not in (c["context"] for c in contexts)

    def _call(self, declaration, args, wait):
        result = self.command("script.callFunction", {
            "functionDeclaration": declaration, "awaitPromise": wait, "target": {"context": self.context},
            "arguments": [self._value(a) for a in args], "resultOwnership": "none"})
        if result["type"] == "exception":
            raise RuntimeError("script: " + result["exceptionDetails"]["text"])
        return self._python(result["result"])

    def js(self, body, *args):
        return self._call("function () {" + body + "}", args, False)

    def js_await(self, body, *args):
        return self._call("async function () {" + body + "}", args, True)

    @classmethod
    def _value(cls, v):
        if v is None:
            return {"type": "null"}
        if isinstance(v, list):
            return {"type": "array", "value": [cls._value(x) for x in v]}
        kind = {bool: "boolean", int: "number", float: "number", str: "string"}[type(v)]
        return {"type": kind, "value": v}

    @classmethod
    def _python(cls, remote):
        kind, value = remote["type"], remote.get("value")
        if kind in ("array", "set"):
            return [cls._python(v) for v in value]
        if kind in ("object", "map"):
            return {k: cls._python(v) for k, v in value}
        return None if kind in ("null", "undefined") else value

    def perform(self, sources):
        self.command("input.performActions", {"context": self.context, "actions": sources})

    def set_viewport(self, width, height, ratio=0):
        self.command("browsingContext.setViewport", dict(
            {"context": self.context, "viewport": {"width": width, "height": height}},
            **({"devicePixelRatio": ratio} if ratio else {})))


def _chromium(stack, scale, coarse):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = private_dir(stack, "kug-cr-")
    for flag in CHROMIUM_FLAGS + ["--user-data-dir=" + profile, "--force-device-scale-factor=%d" % scale]:
        options.add_argument(flag)
    driver = webdriver.Chrome(options=options, service=Service(executable_path="/usr/bin/chromedriver"))
    stack.callback(driver.quit)
    if coarse:
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    return Classic("chromium", driver)


def _firefox(stack, scale, coarse):
    profile = private_dir(stack, "kug-ff-")
    prefs = dict(FIREFOX_PREFS, **{"layout.css.devPixelsPerPx": "%d.0" % scale})
    if coarse:  # the pointer a touch screen is (its capabilities: coarse, no hover)
        prefs.update({"ui.primaryPointerCapabilities": 1, "ui.allPointerCapabilities": 1})
    with open(os.path.join(profile, "user.js"), "w", encoding="utf-8") as f:
        f.writelines("user_pref(%s, %s);\n" % (json.dumps(k), json.dumps(v)) for k, v in prefs.items())
    log = os.path.join(profile, "stderr")
    with open(log, "wb") as err:
        process = subprocess.Popen(
            ["/usr/bin/firefox-esr", "--headless", "--no-remote", "--profile", profile,
             "--remote-debugging-port", "0"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err,
            env=dict(os.environ, MOZ_CRASHREPORTER_DISABLE="1", TMPDIR=profile))
    stack.callback(stop, process)
    # It tells where it listens on its standard error.
    deadline = time.monotonic() + 60
    while True:
        with open(log, encoding="utf-8", errors="replace") as f:
            found = re.search(r"WebDriver BiDi listening on (ws://\S+)", f.read())
        if found:
            break
        if process.poll() is not None or time.monotonic() > deadline:
            raise RuntimeError("firefox-esr offered no WebDriver BiDi")
        time.sleep(0.05)
    url = found.group(1)
    browser = Bidi(url + "/session")
    stack.callback(browser.close)
    browser.set_viewport(*VIEWPORT)
    return browser


def _webkitgtk(stack, scale, coarse):
    assert not coarse, "no touch screen in webkitgtk"
    from selenium import webdriver
    from selenium.webdriver.webkitgtk.options import Options
    runtime = private_dir(stack, "kug-wk-")
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    stack.callback(stop, xvfb)
    display = xvfb.stdout.readline().decode().strip()
    if not display:
        raise RuntimeError("Xvfb did not start")
    env = dict(os.environ, DISPLAY=":" + display, XDG_RUNTIME_DIR=runtime, GDK_BACKEND="x11",
               GDK_SCALE=str(scale), HOME=runtime, TMPDIR=runtime, WEBKIT_DISABLE_COMPOSITING_MODE="1")
    env.pop("WAYLAND_DISPLAY", None)
    port = free_port()
    server = subprocess.Popen(["/usr/bin/WebKitWebDriver", "--port=%d" % port], env=env,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    stack.callback(stop, server)
    options = Options()
    options.binary_location = MINIBROWSER
    options.add_argument("--automation")
    deadline = time.monotonic() + 30
    while True:
        try:
            driver = webdriver.Remote(command_executor="http://127.0.0.1:%d" % port, options=options)
            break
        except Exception:  # the driver not listening yet
            if time.monotonic() > deadline:
                raise
            time.sleep(0.1)
    stack.callback(driver.quit)
    browser = Classic("webkitgtk", driver)
    browser.set_viewport(*VIEWPORT)
    return browser


def launch(stack, engine, scale=1, coarse=False):
    """A fresh browser of `engine` at a whole device pixel ratio, as on a
    touch screen if `coarse`, closed with `stack`."""
    return {"chromium": _chromium, "firefox": _firefox, "webkitgtk": _webkitgtk}[engine](stack, scale, coarse)
