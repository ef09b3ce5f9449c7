#!/usr/bin/env python3
"""HTTP server for the update tests, on 127.0.0.1 and a port the system picks.

Prints "PORT <n>" once it listens. Paths:
  /files/<name>               a file from --root, with its length
  /bytes/<n>                  n bytes of the test pattern (byte i = i * 7 mod 251)
  /status/<code>              that status with a short body
  /truncated/<claimed>/<sent> announces <claimed> bytes, sends <sent>, closes
  /nolength/<n>               n bytes without a Content-Length
  /empty                      200 with Content-Length 0
  /hang                       never answers
  /redirect/<path>            302 to /<path>
"""
import argparse
import os
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def pattern(n):
    return bytes((i * 7) % 251 for i in range(n))


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."

    def log_message(self, *args):
        pass

    def answer(self, status, body, length=None, extra=()):
        self.send_response(status)
        if length is not None:
            self.send_header("Content-Length", str(length))
        for name, value in extra:
            self.send_header(name, value)
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()
        self.close_connection = True

    def do_GET(self):
        parts = self.path.lstrip("/").split("/")
        kind, args = parts[0], parts[1:]
        try:
            if kind == "files":
                path = os.path.join(self.root, *args)
                with open(path, "rb") as f:
                    data = f.read()
                self.answer(200, data, len(data))
            elif kind == "bytes":
                data = pattern(int(args[0]))
                self.answer(200, data, len(data))
            elif kind == "status":
                body = b"not here"
                self.answer(int(args[0]), body, len(body))
            elif kind == "truncated":
                self.answer(200, pattern(int(args[1])), int(args[0]))
            elif kind == "nolength":
                self.answer(200, pattern(int(args[0])))
            elif kind == "empty":
                self.answer(200, b"", 0)
            elif kind == "hang":
                time.sleep(60)
            elif kind == "redirect":
                self.answer(302, b"", 0, [("Location", "/" + "/".join(args))])
            else:
                self.answer(404, b"", 0)
        except (FileNotFoundError, IndexError, ValueError):
            self.answer(404, b"", 0)
        except (BrokenPipeError, ConnectionResetError):
            pass


def exit_with_parent():
    # A test that dies without stopping the server must not leave it running.
    parent = os.getppid()
    while os.getppid() == parent:
        time.sleep(0.2)
    os._exit(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", default=".")
    options = parser.parse_args()
    Handler.root = options.root
    server = ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=exit_with_parent, daemon=True).start()
    print("PORT", server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
