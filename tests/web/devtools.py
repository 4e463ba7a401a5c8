"""A minimal DevTools-protocol client for headless Chromium (tests only).

    with Browser() as browser:
        browser.navigate(url)
        value = browser.evaluate("1 + 1")
        assert not browser.console_errors
"""
import itertools
import json
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import urllib.request

try:
    import websocket
except ImportError:  # a Python of its own (pyenv, venv) does not see Debian's python3-websocket
    sys.path.append("/usr/lib/python3/dist-packages")
    import websocket

CHROMIUM = os.environ.get("LUMIVAARA_CHROMIUM", "/usr/bin/chromium")
BASE_FLAGS = [
    "--headless=new", "--no-sandbox", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
    "--autoplay-policy=no-user-gesture-required", "--remote-debugging-port=0",
    "--no-first-run", "--no-default-browser-check",
]


class DevToolsError(RuntimeError):
    pass


class Browser:
    """A headless Chromium with one page, killed and its profile removed on exit."""

    def __init__(self, extra_flags=(), start_timeout=30.0):
        self.extra_flags = list(extra_flags)
        self.start_timeout = start_timeout
        self.events = []
        self.console_errors = []
        self._ids = itertools.count(1)
        self._process = None
        self._socket = None
        self._profile = None

    def __enter__(self):
        try:
            self._launch()
            self._connect(self._page_socket_url())
            for domain in ("Runtime", "Log", "Page"):
                self.send(domain + ".enable")
        except BaseException:
            self.close()
            raise
        return self

    def __exit__(self, *exc):
        self.close()

    # -- process --------------------------------------------------------------

    def _launch(self):
        self._profile = tempfile.mkdtemp(prefix="lumivaara-chromium-")
        self._log = open(os.path.join(self._profile, "chromium.log"), "wb")
        command = [CHROMIUM] + BASE_FLAGS + ["--user-data-dir=" + self._profile] + self.extra_flags
        try:
            # A session of its own, so that close() ends the renderer and GPU processes too.
            self._process = subprocess.Popen(command + ["about:blank"], stdin=subprocess.DEVNULL,
                                             stdout=self._log, stderr=subprocess.STDOUT,
                                             start_new_session=True)
        except OSError as error:
            raise DevToolsError("cannot start %s: %s" % (CHROMIUM, error))

    def _port(self):
        path = os.path.join(self._profile, "DevToolsActivePort")
        deadline = time.monotonic() + self.start_timeout
        while time.monotonic() < deadline:
            if self._process.poll() is not None:
                raise DevToolsError("Chromium exited with status %d at start:\n%s"
                                    % (self._process.returncode, self.log_tail()))
            try:
                with open(path) as file:
                    first = file.readline().strip()
                if first:
                    return int(first)
            except (OSError, ValueError):
                pass
            time.sleep(0.05)
        raise DevToolsError("Chromium did not open its DevTools port within %.0f s:\n%s"
                            % (self.start_timeout, self.log_tail()))

    def _page_socket_url(self):
        list_url = "http://127.0.0.1:%d/json/list" % self._port()
        deadline = time.monotonic() + self.start_timeout
        while time.monotonic() < deadline:
            with urllib.request.urlopen(list_url, timeout=5) as reply:
                pages = [t for t in json.load(reply) if t.get("type") == "page"]
            if pages:
                return pages[0]["webSocketDebuggerUrl"]
            time.sleep(0.1)
        raise DevToolsError("Chromium opened no page within %.0f s" % self.start_timeout)

    def log_tail(self, lines=20):
        try:
            with open(os.path.join(self._profile, "chromium.log"), errors="replace") as file:
                return "".join(file.readlines()[-lines:])
        except OSError:
            return ""

    def close(self):
        if self._socket is not None:
            try:
                self._socket.close()
            except Exception:
                pass
            self._socket = None
        if self._process is not None:
            _end_session(self._process)
            self._process = None
        if self._profile is not None:
            self._log.close()
            shutil.rmtree(self._profile, ignore_errors=True)
            self._profile = None

    # -- protocol -------------------------------------------------------------

    def _connect(self, url):
        self._socket = websocket.create_connection(url, timeout=10, suppress_origin=True)

    def _receive(self, deadline, waiting_for):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            raise DevToolsError("timed out waiting for " + waiting_for)
        self._socket.settimeout(remaining)
        try:
            return json.loads(self._socket.recv())
        except websocket.WebSocketTimeoutException:
            raise DevToolsError("timed out waiting for " + waiting_for)
        except websocket.WebSocketConnectionClosedException:
            raise DevToolsError("Chromium closed the connection while waiting for %s:\n%s"
                                % (waiting_for, self.log_tail()))

    def send(self, method, params=None, timeout=30.0):
        """Sends a command and returns its result; events that arrive meanwhile are kept."""
        message_id = next(self._ids)
        self._socket.send(json.dumps({"id": message_id, "method": method, "params": params or {}}))
        deadline = time.monotonic() + timeout
        while True:
            message = self._receive(deadline, method)
            if "method" in message:
                self._record(message)
            elif message.get("id") == message_id:
                if "error" in message:
                    raise DevToolsError("%s failed: %s" % (method, message["error"].get("message")))
                return message.get("result", {})

    def wait_for_event(self, method, since=0, timeout=30.0):
        """Returns the first event `method` at index >= since in self.events, waiting for it."""
        deadline = time.monotonic() + timeout
        while True:
            for event in self.events[since:]:
                if event["method"] == method:
                    return event
            since = len(self.events)
            message = self._receive(deadline, method)
            if "method" in message:
                self._record(message)

    def _record(self, event):
        self.events.append(event)
        text = _error_text(event)
        if text is not None:
            self.console_errors.append(text)

    # -- page -----------------------------------------------------------------

    def navigate(self, url, timeout=60.0):
        since = len(self.events)
        result = self.send("Page.navigate", {"url": url}, timeout)
        if result.get("errorText"):
            raise DevToolsError("cannot open %s: %s" % (url, result["errorText"]))
        self.wait_for_event("Page.loadEventFired", since, timeout)

    def evaluate(self, expression, await_promise=True, timeout=60.0):
        """Evaluates in the page and returns the value; raises DevToolsError with the exception text."""
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": await_promise}, timeout)
        if "exceptionDetails" in result:
            raise DevToolsError("page script failed: " + _exception_text(result["exceptionDetails"]))
        return result["result"].get("value")

    def wait_until(self, expression, timeout=60.0, interval=0.1):
        """Polls `expression` until it is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while True:
            value = self.evaluate(expression, timeout=max(1.0, deadline - time.monotonic()))
            if value:
                return value
            if time.monotonic() >= deadline:
                raise DevToolsError("timed out after %.0f s waiting for %s" % (timeout, expression))
            time.sleep(interval)


def _exception_text(details):
    exception = details.get("exception") or {}
    return exception.get("description") or str(exception.get("value") or details.get("text"))


def _error_text(event):
    """The text of a console error, uncaught exception or error log entry; None for other events."""
    method, params = event["method"], event.get("params", {})
    if method == "Runtime.consoleAPICalled" and params.get("type") == "error":
        return " ".join(str(a.get("value", a.get("description", ""))) for a in params.get("args", []))
    if method == "Runtime.exceptionThrown":
        return _exception_text(params.get("exceptionDetails", {}))
    if method == "Log.entryAdded" and params.get("entry", {}).get("level") == "error":
        entry = params["entry"]
        return entry.get("text", "") + (" (%s)" % entry["url"] if entry.get("url") else "")
    return None


def _end_session(process):
    try:
        os.killpg(process.pid, signal.SIGTERM)
        process.wait(5)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait(5)
    except ProcessLookupError:
        process.wait(5)
