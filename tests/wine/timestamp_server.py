"""A time-stamping server for the release test: RFC 3161 over HTTP on 127.0.0.1 only, each
answer made by `openssl ts -reply` with the given configuration.

    timestamp_server.py CONFIG PORT_FILE SECONDS
    timestamp_server.py --mute PORT_FILE SECONDS

It listens on a free port, writes the port number to PORT_FILE, answers one request at a time
and stops by itself after SECONDS, whether or not anyone asked. Each request is logged on stderr.
With --mute it accepts connections but never answers: a server that hangs.
"""
import http.server
import os
import socket
import subprocess
import sys
import time


def write_port(port_file, port):
    # Renamed into place, so that a reader never sees half a number.
    with open(port_file + ".tmp", "w") as f:
        f.write(str(port))
    os.replace(port_file + ".tmp", port_file)


def mute(port_file, seconds):
    with socket.socket() as listener:
        listener.bind(("127.0.0.1", 0))
        listener.listen(8)
        write_port(port_file, listener.getsockname()[1])
        time.sleep(seconds)


def main():
    config, port_file, seconds = sys.argv[1], sys.argv[2], float(sys.argv[3])
    if config == "--mute":
        mute(port_file, seconds)
        return

    class Handler(http.server.BaseHTTPRequestHandler):
        timeout = 10  # a client that stops sending does not hold the server

        def do_POST(self):
            query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
            try:
                reply = subprocess.run(
                    ["openssl", "ts", "-reply", "-config", config, "-queryfile", "/dev/stdin",
                     "-out", "/dev/stdout"],
                    input=query, capture_output=True, timeout=20)
                ok = reply.returncode == 0 and reply.stdout
            except subprocess.TimeoutExpired:
                ok = False
            body = reply.stdout if ok else b""
            self.send_response(200 if ok else 500)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    server.timeout = 0.5  # handle_request returns at least this often, to check the deadline
    write_port(port_file, server.server_address[1])
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        server.handle_request()
    server.server_close()


if __name__ == "__main__":
    main()
