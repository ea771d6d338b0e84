#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
# A local HTTPS server for the usage-event tests: event_server.py <cert> <key> <record file>.
# Prints its port once it listens, appends one JSON line per request (path, headers, body) to the
# record before answering, answers paths beginning with /status500 with HTTP 500 and others with
# 204, and stops by itself after two minutes so that a crashed test cannot leave it behind. Its
# log of requests goes to stderr, which the test keeps to itself.
import http.server
import json
import signal
import ssl
import sys

cert, key, record = sys.argv[1:4]


class Handler(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        body = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        entry = {
            "path": self.path,
            "headers": {name.lower(): value for name, value in self.headers.items()},
            "body": body.decode("utf-8", "replace"),
        }
        with open(record, "a", encoding="utf-8") as out:
            out.write(json.dumps(entry) + "\n")
        self.send_response(500 if self.path.startswith("/status500") else 204)
        self.send_header("Content-Length", "0")
        self.end_headers()


signal.alarm(120)
server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(cert, key)
server.socket = context.wrap_socket(server.socket, server_side=True)
print(server.server_address[1], flush=True)
server.serve_forever()
