#!/usr/bin/env python3
"""A man in the middle for the update tests: passes every request to the real definition
server and changes its answers on the way as the file MODE_FILE says at that moment:
  pass           the answers as the server sent them
  flip           one byte of the definitions answer's records changed
  strip          the definitions answer without its signature line
  replay FILE    the date answers replaced by the bytes of FILE (an old signed answer)
  proxy.py PORT_FILE UPSTREAM MODE_FILE"""
import http.server
import sys
import urllib.request

port_file, upstream, mode_file = sys.argv[1:4]


def mode():
    with open(mode_file) as f:
        return f.read().split()


class Handler(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with urllib.request.urlopen(upstream + self.path) as answer:
            body = answer.read()
        how = mode()
        if "getDefsNEW" in self.path:
            at = body.find(b"[DEF]")
            if how[0] == "flip" and at >= 0:
                body = body[: at + 5] + bytes([body[at + 5] ^ 1]) + body[at + 6 :]
            elif how[0] == "strip":
                cut = body.rfind(b"QMSIG1 ")
                body = body[:cut].removesuffix(b"[BR]") if cut >= 0 else body
        elif "ate" in self.path and how[0] == "replay":  # currentDateNEW.asp and date.asp
            with open(how[1], "rb") as f:
                body = f.read()
        self.send_response(200)
        self.send_header("Content-Type", "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
with open(port_file, "w") as f:
    f.write(f"{server.server_address[1]}\n")
server.serve_forever()
