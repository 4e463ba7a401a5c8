#!/usr/bin/python3
"""Static file server for the web build, on 127.0.0.1 only.

As a command: serve.py DIR [--port N] prints the address and serves until Ctrl-C.
As a library: start(directory, mounts={'/ref/': other_dir}, missing={'Images/sky5.jpg'})
returns (base_url, stop).
"""
import argparse
import functools
import http.server
import os
import posixpath
import threading
import urllib.parse

MIME_TYPES = {
    ".wasm": "application/wasm",
    ".js": "text/javascript",
    ".json": "application/json",
    ".html": "text/html; charset=utf-8",
    ".css": "text/css",
    ".ogg": "audio/ogg",
    ".png": "image/png",
    ".jpg": "image/jpeg",
    ".jpeg": "image/jpeg",
}


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    """Serves `directory`, plus `mounts` (URL prefix -> directory); paths in `missing` answer 404."""

    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **MIME_TYPES}

    def __init__(self, *args, mounts=None, missing=frozenset(), **kwargs):
        self.mounts = mounts or {}
        self.missing = missing
        super().__init__(*args, **kwargs)

    def _relative_path(self):
        return urllib.parse.unquote(urllib.parse.urlsplit(self.path).path).lstrip("/")

    def send_head(self):
        if self._relative_path() in self.missing:
            self.send_error(404, "File not found")
            return None
        return super().send_head()

    def translate_path(self, path):
        url_path = urllib.parse.unquote(urllib.parse.urlsplit(path).path)
        for prefix, directory in self.mounts.items():
            if url_path.startswith(prefix):
                rest = posixpath.normpath(url_path[len(prefix):]).lstrip("/")
                if rest.startswith(".."):
                    return os.path.join(directory, "\0")  # outside the mount: never found
                return os.path.join(directory, *rest.split("/"))
        return super().translate_path(path)

    def end_headers(self):
        # Every run must see the files as they are now, not a cached older build.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, format, *args):
        pass


def make_server(directory, port=0, mounts=None, missing=()):
    handler = functools.partial(SiteHandler, directory=os.fspath(directory),
                                mounts={p: os.fspath(d) for p, d in (mounts or {}).items()},
                                missing=frozenset(missing))
    server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    server.daemon_threads = True
    return server


def start(directory, port=0, mounts=None, missing=()):
    """Serves in a background thread; returns (base_url, stop)."""
    server = make_server(directory, port, mounts, missing)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()

    def stop():
        server.shutdown()
        server.server_close()
        thread.join(5)

    return "http://127.0.0.1:%d/" % server.server_address[1], stop


def main():
    parser = argparse.ArgumentParser(description="Serve the web build on 127.0.0.1.")
    parser.add_argument("directory")
    parser.add_argument("--port", type=int, default=8000)
    args = parser.parse_args()
    if not os.path.isfile(os.path.join(args.directory, "index.html")):
        parser.error("no index.html in %s (run make web first)" % args.directory)
    try:
        server = make_server(args.directory, args.port)
    except OSError as error:
        parser.error("cannot serve on 127.0.0.1:%d: %s" % (args.port, error.strerror))
    print("Lumivaara: http://127.0.0.1:%d/" % server.server_address[1], flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    finally:
        server.server_close()


if __name__ == "__main__":
    main()
