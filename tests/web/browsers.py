# SPDX-License-Identifier: GPL-3.0-or-later
"""The browser engines Debian ships behind one small interface, for the web
cases and the benchmark: open a page, run a script, perform W3C input actions
(the same JSON in classic WebDriver and in WebDriver BiDi), set the viewport.
Chromium headless through chromedriver; Firefox ESR headless through its own
WebDriver BiDi over python3-websockets (there is no geckodriver); WebKitGTK's
MiniBrowser on a private Xvfb through WebKitWebDriver. Each gets a fresh
profile, any runtime directory a short private one under /tmp.
"""

import asyncio
import json
import os
import re
import shutil
import socket
import subprocess
import tempfile
import time

ENGINES = ["chromium", "firefox", "webkitgtk"]
# Beyond the common interface: a touch screen (its input and its coarse
# pointer), another device pixel ratio under a running page, and Chromium's
# DevTools protocol. WebKitGTK's driver turns touch input into a mouse's.
CAN = {"chromium": {"touch", "ratio", "cdp"}, "firefox": {"touch", "ratio"}, "webkitgtk": set()}
VIEWPORT = (900, 700)


def private_dir(stack, prefix):
    path = tempfile.mkdtemp(prefix=prefix, dir="/tmp")  # mode 0700
    stack.callback(remove, path)
    return path


def remove(path):
    for _ in range(20):  # a browser's helper processes may still be leaving it
        try:
            shutil.rmtree(path)
        except OSError:
            time.sleep(0.1)
        if not os.path.exists(path):
            return


def started(stack, args, **kwargs):
    process = subprocess.Popen(args, stdin=subprocess.DEVNULL, **kwargs)

    def stop():
        process.terminate()
        try:
            process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()

    stack.callback(stop)
    return process


class Classic:
    """A browser through classic WebDriver (selenium)."""

    def __init__(self, engine, driver):
        self.engine, self.driver = engine, driver

    def open(self, url):
        self.driver.get(url)

    def reload(self):
        self.driver.refresh()

    def js(self, body, *args):
        return self.driver.execute_script(body, *args)

    def js_await(self, body, *args):
        return self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "(async function () {" + body + "}).apply(null, [...arguments].slice(0, -1)).then(done);", *args)

    def perform(self, sources):
        self.driver.execute("actions", {"actions": sources})

    def set_viewport(self, width, height, ratio=0):
        """The viewport in CSS pixels, and where the engine can, the ratio."""
        if self.engine == "chromium":
            self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                                        {"width": width, "height": height, "deviceScaleFactor": ratio, "mobile": False})
            return
        assert not ratio
        frame = self.js("return [outerWidth - innerWidth, outerHeight - innerHeight]")
        self.driver.set_window_size(width + frame[0], height + frame[1])

    def reset_viewport(self):
        """The viewport as at launch (Chromium's the window's again)."""
        if self.engine != "chromium":
            return self.set_viewport(*VIEWPORT)
        self.driver.execute_cdp_cmd("Emulation.clearDeviceMetricsOverride", {})

    def set_touch(self, on):
        """A touch screen or none under a running page, where the engine can (Chromium)."""
        if self.engine == "chromium":
            self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": on, "maxTouchPoints": 5})

    def back(self):
        """One entry back in the tab's history. Under load Chromium's
        history.back() now and then went past the page to the tab's first entry
        (it may pass over entries it takes for added without a gesture); the
        protocol's move goes to the entry just before."""
        if self.engine != "chromium":
            return self.driver.back()
        history = self.driver.execute_cdp_cmd("Page.getNavigationHistory", {})
        entry = history["entries"][history["currentIndex"] - 1]
        self.driver.execute_cdp_cmd("Page.navigateToHistoryEntry", {"entryId": entry["id"]})

    def hide(self, hidden):
        """The window minimised, its page hidden; or shown again as it was."""
        if hidden:
            self._rect = self.driver.get_window_rect()
            self.driver.minimize_window()
        else:
            self.driver.set_window_rect(**self._rect)

    def closed(self):
        try:
            return self.driver.current_window_handle not in self.driver.window_handles
        except Exception:  # the window is gone
            return True


class Bidi:
    """Firefox through WebDriver BiDi: one command at a time over a WebSocket."""

    def __init__(self, url):
        import websockets
        self.engine, self.loop, self.last_id = "firefox", asyncio.new_event_loop(), 0

        async def connect():  # within the loop it runs on
            return await websockets.connect(url, max_size=None)

        self.socket = self.loop.run_until_complete(connect())
        self.command("session.new", {"capabilities": {}})
        # A window of its own: headless, the first one never has the focus,
        # and the focus would move in it without focus and blur events.
        self.context = self.command("browsingContext.create", {"type": "window"})["context"]

    def command(self, method, params):
        self.last_id += 1
        message_id = self.last_id

        async def exchange():
            await self.socket.send(json.dumps({"id": message_id, "method": method, "params": params}))
            while True:
                reply = json.loads(await self.socket.recv())
                if reply.get("id") == message_id:  # events have none
                    return reply

        reply = self.loop.run_until_complete(exchange())
        if reply.get("type") == "error":
            raise RuntimeError("%s: %s: %s" % (method, reply["error"], reply.get("message")))
        return reply["result"]

    def close(self):
        self.loop.run_until_complete(self.socket.close())
        self.loop.close()

    def open(self, url):
        self.command("browsingContext.navigate", {"context": self.context, "url": url, "wait": "complete"})

    def reload(self):
        self.command("browsingContext.reload", {"context": self.context, "wait": "complete"})

    def js(self, body, *args, wait=False):
        result = self.command("script.callFunction", {
            "functionDeclaration": ("async function () {" if wait else "function () {") + body + "}",
            "awaitPromise": wait, "target": {"context": self.context}, "resultOwnership": "none",
            "arguments": [self._remote(a) for a in args]})
        if result["type"] == "exception":
            raise RuntimeError("script: " + result["exceptionDetails"]["text"])
        return self._python(result["result"])

    def js_await(self, body, *args):
        return self.js(body, *args, wait=True)

    @classmethod
    def _remote(cls, v):
        if isinstance(v, list):
            return {"type": "array", "value": [cls._remote(x) for x in v]}
        kind = {bool: "boolean", int: "number", float: "number", str: "string"}[type(v)]
        return {"type": kind, "value": v}

    @classmethod
    def _python(cls, remote):
        kind, value = remote["type"], remote.get("value")
        if kind in ("array", "set"):
            return [cls._python(v) for v in value]
        if kind in ("object", "map"):
            return {k: cls._python(v) for k, v in value}
        return value  # None for null and undefined

    def perform(self, sources):
        self.command("input.performActions", {"context": self.context, "actions": sources})

    def set_viewport(self, width, height, ratio=0):
        self.command("browsingContext.setViewport", {"context": self.context, "viewport": {
            "width": width, "height": height}, **({"devicePixelRatio": ratio} if ratio else {})})

    def reset_viewport(self):
        self.set_viewport(*VIEWPORT)

    def set_touch(self, on):
        pass  # a touch screen only from the profile, at launch

    def back(self):
        self.command("browsingContext.traverseHistory", {"context": self.context, "delta": -1})

    def hide(self, hidden):
        window = self.command("browsingContext.getTree", {"root": self.context})["contexts"][0]["clientWindow"]
        self.command("browser.setClientWindowState", {"clientWindow": window,
                                                      "state": "minimized" if hidden else "normal"})

    def closed(self):
        return self.context not in (c["context"] for c in self.command("browsingContext.getTree", {})["contexts"])


def _chromium(stack, scale, coarse, app=None):
    from selenium import webdriver
    from selenium.webdriver.chrome.service import Service
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    profile = private_dir(stack, "kug-cr-")
    for flag in ["--headless", "--no-sandbox", "--disable-gpu", "--no-first-run", "--disable-background-networking",
                 "--disable-component-update", "--disable-sync", "--window-size=%d,%d" % VIEWPORT,
                 "--user-data-dir=" + profile, "--force-device-scale-factor=%d" % scale]:
        options.add_argument(flag)
    if app:
        options.add_argument("--app=" + app)
    # The profile is Chromium's TMPDIR too: its singleton socket goes there.
    service = Service(executable_path="/usr/bin/chromedriver", env=dict(os.environ, TMPDIR=profile))
    driver = webdriver.Chrome(options=options, service=service)
    stack.callback(driver.quit)
    if coarse:
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    return Classic("chromium", driver)


def _firefox(stack, scale, coarse):
    profile = private_dir(stack, "kug-ff-")
    # No first-run pages nor updates; a touch screen's pointer: coarse, no hover.
    prefs = {"layout.css.devPixelsPerPx": "%d.0" % scale, "app.normandy.enabled": False,
             "messaging-system.rsexperimentloader.enabled": False, "app.update.auto": False}
    if coarse:
        prefs.update({"ui.primaryPointerCapabilities": 1, "ui.allPointerCapabilities": 1})
    with open(os.path.join(profile, "user.js"), "w", encoding="utf-8") as f:
        f.writelines("user_pref(%s, %s);\n" % (json.dumps(k), json.dumps(v)) for k, v in prefs.items())
    log = os.path.join(profile, "stderr")
    with open(log, "wb") as err:
        process = started(stack, ["/usr/bin/firefox-esr", "--headless", "--no-remote", "--profile", profile,
                                  "--remote-debugging-port", "0"], stdout=subprocess.DEVNULL, stderr=err,
                          env=dict(os.environ, MOZ_CRASHREPORTER_DISABLE="1", TMPDIR=profile))
    # It tells where it listens on its standard error.
    deadline = time.monotonic() + 60
    while not (found := re.search(r"WebDriver BiDi listening on (ws://\S+)", open(log, errors="replace").read())):
        if process.poll() is not None or time.monotonic() > deadline:
            raise RuntimeError("firefox-esr offered no WebDriver BiDi")
        time.sleep(0.05)
    browser = Bidi(found.group(1) + "/session")
    stack.callback(browser.close)
    browser.set_viewport(*VIEWPORT)
    return browser


def _webkitgtk(stack, scale, coarse):
    from selenium import webdriver
    from selenium.webdriver.webkitgtk.options import Options
    assert not coarse
    runtime = private_dir(stack, "kug-wk-")
    xvfb = started(stack, ["Xvfb", "-displayfd", "1", "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                   stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    display = xvfb.stdout.readline().decode().strip()
    if not display:
        raise RuntimeError("Xvfb did not start")
    env = dict(os.environ, DISPLAY=":" + display, XDG_RUNTIME_DIR=runtime, HOME=runtime, TMPDIR=runtime,
               GDK_BACKEND="x11", GDK_SCALE=str(scale), WEBKIT_DISABLE_COMPOSITING_MODE="1")
    env.pop("WAYLAND_DISPLAY", None)
    with socket.socket() as s:  # a free port for the driver
        s.bind(("127.0.0.1", 0))
        port = s.getsockname()[1]
    started(stack, ["/usr/bin/WebKitWebDriver", "--port=%d" % port], env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    options = Options()
    options.binary_location = "/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser"
    options.add_argument("--automation")
    for attempt in range(100):  # until the driver listens
        try:
            driver = webdriver.Remote(command_executor="http://127.0.0.1:%d" % port, options=options)
            break
        except Exception:
            if attempt == 99:
                raise
            time.sleep(0.1)
    stack.callback(driver.quit)
    browser = Classic("webkitgtk", driver)
    browser.set_viewport(*VIEWPORT)
    return browser


def launch(stack, engine, scale=1, coarse=False, app=None):
    """A fresh browser of `engine` at a whole device pixel ratio, as on a
    touch screen if `coarse`, in Chromium's window of the app at `app` if given, closed with `stack`."""
    if app:
        return _chromium(stack, scale, coarse, app)
    return {"chromium": _chromium, "firefox": _firefox, "webkitgtk": _webkitgtk}[engine](stack, scale, coarse)
