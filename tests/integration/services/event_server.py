#!/usr/bin/env python3
"""A local HTTPS server for the usage-event tests.

Listens on 127.0.0.1 at a free port, writes the port to --port-file, and appends one JSON line
per request (method, path, headers, body) to --record before answering. Paths beginning with
/status500 are answered with HTTP 500, every other path with 204. Stops by itself after
--lifetime seconds so a crashed test cannot leave it behind.
"""
import argparse
import http.server
import json
import os
import signal
import ssl


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert", required=True)
    parser.add_argument("--key", required=True)
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--record", required=True)
    parser.add_argument("--lifetime", type=int, default=120)
    options = parser.parse_args()

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            length = int(self.headers.get("Content-Length", "0"))
            body = self.rfile.read(length)
            entry = {
                "method": "POST",
                "path": self.path,
                "headers": {name.lower(): value for name, value in self.headers.items()},
                "body": body.decode("utf-8", "replace"),
            }
            with open(options.record, "a", encoding="utf-8") as record:
                record.write(json.dumps(entry) + "\n")
            status = 500 if self.path.startswith("/status500") else 204
            self.send_response(status)
            self.send_header("Content-Length", "0")
            self.end_headers()

        def log_message(self, *args):
            pass

    signal.alarm(options.lifetime)
    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(options.cert, options.key)
    server.socket = context.wrap_socket(server.socket, server_side=True)
    with open(options.port_file + ".tmp", "w", encoding="utf-8") as port_file:
        port_file.write(str(server.server_address[1]))
    os.replace(options.port_file + ".tmp", options.port_file)
    server.serve_forever()


if __name__ == "__main__":
    main()
