#!/usr/bin/env python3
"""Local release server for the installer: packages, the agreement page and the
operation-log receiver, on 127.0.0.1 only.

Used by the test suite, the demo and the benchmarks. Paths under /test/ misbehave
on purpose (error statuses, redirects, stalls, lying lengths, resets) so the
downloader's failure handling can be exercised against a real socket.
"""

import argparse
import email.utils
import fcntl
import http.server
import json
import os
import signal
import socket
import ssl
import struct
import subprocess
import sys
import termios
import threading
import time
import urllib.parse

CHUNK = 1024 * 1024

AGREEMENT_PAGE = """<!DOCTYPE html>
<html lang="zh-CN">
<head><meta charset="utf-8"><title>用户协议 / User Agreement</title></head>
<body>
<h1>用户协议</h1>
<p>这是演示产品的用户协议占位页面。正式发布时，此处将显示完整的协议文本。</p>
<p>安装即表示您同意在本机上安装并运行该软件。</p>
<hr>
<h1>User Agreement</h1>
<p>This is a placeholder for the demo product's user agreement. A release build
shows the full agreement text here.</p>
<p>By installing you agree to install and run this software on this computer.</p>
</body>
</html>
""".encode("utf-8")

CONTENT_TYPES = {
    ".html": "text/html; charset=utf-8",
    ".htm": "text/html; charset=utf-8",
    ".json": "application/json",
    ".txt": "text/plain; charset=utf-8",
    ".7z": "application/x-7z-compressed",
}


class Settings:
    root = "."
    telemetry_log = None
    telemetry_mode = "ok"
    rate = 0
    verbose = False
    redirect_uploads = None
    log_lock = threading.Lock()
    out_lock = threading.Lock()
    request_log = None
    # /test/flaky: requests and range requests seen, per query.
    flaky_seen = {}
    flaky_lock = threading.Lock()


def emit_line(text):
    with Settings.out_lock:
        sys.stdout.write(text + "\n")
        sys.stdout.flush()


def resolve(path):
    """Maps a URL path to a regular file under the root, or None."""
    path = urllib.parse.unquote(path)
    if "\0" in path:
        return None
    parts = [p for p in path.replace("\\", "/").split("/") if p not in ("", ".")]
    if any(p == ".." for p in parts):
        return None
    root = os.path.realpath(Settings.root)
    full = os.path.realpath(os.path.join(root, *parts))
    if full != root and not full.startswith(root + os.sep):
        return None
    return full if os.path.isfile(full) else None


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "NerixReleaseServer/1.0"

    def log_message(self, fmt, *args):
        if Settings.verbose:
            sys.stderr.write("%s - %s\n" % (self.address_string(), fmt % args))

    # --- helpers -------------------------------------------------------

    def send_small(self, code, body, content_type="text/html; charset=utf-8", extra=None):
        self.send_response(code)
        for name, value in (extra or {}).items():
            self.send_header(name, value)
        if code >= 200 and code not in (204, 304):
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        if self.command != "HEAD" and code >= 200 and code not in (204, 304):
            self.wfile.write(body)

    def test_file(self, query):
        """The served file named by ?file=, or None after answering 404."""
        full = resolve(query.get("file", [""])[0])
        if full is None:
            self.not_found()
        return full

    def not_found(self):
        self.send_small(404, b"<html><body><h1>404 Not Found</h1></body></html>\n")

    def send_file_body(self, f, count, offset=0):
        """Streams count bytes of f from offset; zero-copy on plain sockets."""
        if count <= 0:
            return
        f.seek(offset)
        if Settings.rate > 0:
            self.send_paced(f, count)
            return
        if isinstance(self.connection, ssl.SSLSocket):
            buf = bytearray(min(CHUNK, count))
            view = memoryview(buf)
            left = count
            while left > 0:
                n = f.readinto(view[: min(CHUNK, left)])
                if not n:
                    break
                self.connection.sendall(view[:n])
                left -= n
        else:
            self.connection.sendfile(f, offset, count)

    def send_paced(self, f, count):
        """Sends at about Settings.rate bytes a second, so a demo can watch the bar move."""
        piece = max(1024, Settings.rate // 20)
        start = time.monotonic()
        sent = 0
        while sent < count:
            data = f.read(min(piece, count - sent))
            if not data:
                break
            self.connection.sendall(data)
            sent += len(data)
            delay = start + sent / Settings.rate - time.monotonic()
            if delay > 0:
                time.sleep(delay)

    def wait_for_client_close(self):
        """Holds the connection open, reading and discarding, until the peer goes."""
        self.close_connection = True
        try:
            self.connection.settimeout(None)
            while self.connection.recv(65536):
                pass
        except OSError:
            pass

    def query(self):
        return urllib.parse.parse_qs(urllib.parse.urlsplit(self.path).query)

    def query_int(self, q, name, default=0):
        try:
            return int(q.get(name, [str(default)])[0])
        except ValueError:
            return default

    # --- GET / HEAD ----------------------------------------------------

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        path = urllib.parse.urlsplit(self.path).path
        if Settings.request_log:
            line = json.dumps({"path": self.path, "range": self.headers.get("Range", ""),
                               "ifRange": self.headers.get("If-Range", "")})
            with Settings.log_lock:
                with open(Settings.request_log, "a", encoding="utf-8") as log:
                    log.write(line + "\n")
        try:
            if path.startswith("/test/"):
                self.test_behaviour(path)
            elif Settings.redirect_uploads and path.startswith("/upload/"):
                self.send_small(302, b"", extra={"Location": Settings.redirect_uploads + self.path})
            elif path == "/agreement.html" and resolve(path) is None:
                self.send_small(200, AGREEMENT_PAGE)
            else:
                self.serve_file(resolve(path))
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            self.close_connection = True

    def serve_file(self, full):
        if full is None:
            self.not_found()
            return
        with open(full, "rb") as f:
            size = os.fstat(f.fileno()).st_size
            self.send_response(200)
            ext = os.path.splitext(full)[1].lower()
            self.send_header("Content-Type", CONTENT_TYPES.get(ext, "application/octet-stream"))
            self.send_header("Content-Length", str(size))
            self.end_headers()
            if self.command != "HEAD":
                self.send_file_body(f, size)

    def test_behaviour(self, path):
        q = self.query()
        name = path[len("/test/"):]
        if name.startswith("status/"):
            try:
                code = int(name[len("status/"):])
            except ValueError:
                code = 0
            if not 200 <= code <= 599:
                self.not_found()
                return
            body = ("<html><body><h1>%d</h1></body></html>\n" % code).encode()
            self.send_small(code, body)
        elif name == "redirect":
            target = q.get("to", ["/"])[0]
            self.send_small(302, b"<html><body>moved</body></html>\n", extra={"Location": target})
        elif name == "redirect-loop":
            self.send_small(302, b"<html><body>moved</body></html>\n",
                            extra={"Location": "/test/redirect-loop"})
        elif name == "stall":
            sent = max(0, self.query_int(q, "bytes"))
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(sent * 2 + 1024))
            self.end_headers()
            if self.command != "HEAD":
                self.wfile.write(b"s" * sent)
                self.wait_for_client_close()
        elif name == "trickle":
            total = max(0, self.query_int(q, "bytes"))
            chunk = max(1, self.query_int(q, "chunk", 1024))
            delay = max(0, self.query_int(q, "delay_ms", 100)) / 1000.0
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(total))
            self.end_headers()
            if self.command == "HEAD":
                return
            left = total
            while left > 0:
                n = min(chunk, left)
                self.wfile.write(b"t" * n)
                left -= n
                if left > 0:
                    time.sleep(delay)
        elif name == "lie":
            full = self.test_file(q)
            if full is None:
                return
            claimed = max(0, self.query_int(q, "claimed"))
            with open(full, "rb") as f:
                size = os.fstat(f.fileno()).st_size
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(claimed))
                self.send_header("Connection", "close")
                self.end_headers()
                if self.command != "HEAD":
                    self.send_file_body(f, size)
            self.close_connection = True
        elif name == "reset":
            full = self.test_file(q)
            if full is None:
                return
            after = max(0, self.query_int(q, "after"))
            with open(full, "rb") as f:
                size = os.fstat(f.fileno()).st_size
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Content-Length", str(max(size, after + 1)))
                self.end_headers()
                if self.command != "HEAD":
                    self.wfile.write(f.read(after))
            self.reset_connection()
        elif name == "flaky":
            self.flaky(q)
        elif name == "nolength":
            full = self.test_file(q)
            if full is None:
                return
            with open(full, "rb") as f:
                size = os.fstat(f.fileno()).st_size
                self.send_response(200)
                self.send_header("Content-Type", "application/octet-stream")
                self.send_header("Connection", "close")
                self.end_headers()
                if self.command != "HEAD":
                    self.send_file_body(f, size)
            self.close_connection = True
        else:
            self.not_found()

    def flaky(self, q):
        """Serves ?file= with ETag, Last-Modified and byte ranges, and breaks
        off as asked: cut=N ends a response after N body bytes (cuts=K: only
        the first K responses), how=close|reset|stall; ranges=ignore answers
        every range with the whole file; busy=1 answers the first range request
        with 503; then=F serves F, a new version, from the second request on."""
        key = urllib.parse.urlsplit(self.path).query
        ranged = self.headers.get("Range", "").startswith("bytes=")
        with Settings.flaky_lock:
            seen = Settings.flaky_seen.setdefault(key, [0, 0])
            seen[0] += 1
            seen[1] += 1 if ranged else 0
            requests, range_requests = seen
        if ranged and range_requests == 1 and q.get("busy") == ["1"]:
            self.send_small(503, b"busy\n")
            return
        name = q["then"][0] if requests > 1 and "then" in q else q.get("file", [""])[0]
        full = resolve(name)
        if full is None:
            self.not_found()
            return
        with open(full, "rb") as f:
            st = os.fstat(f.fileno())
            etag = '"%x-%x-%x"' % (st.st_ino, st.st_size, st.st_mtime_ns)
            modified = email.utils.formatdate(st.st_mtime, usegmt=True)
            partial = (ranged and q.get("ranges") != ["ignore"]
                       and self.headers.get("If-Range", etag) in (etag, modified))
            start = 0
            if partial:
                try:
                    start = int(self.headers["Range"][len("bytes="):].split("-")[0])
                except ValueError:
                    partial = False
            if start >= st.st_size > 0:
                self.send_small(416, b"", extra={"Content-Range": "bytes */%d" % st.st_size})
                return
            length = st.st_size - start
            self.send_response(206 if partial else 200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", str(length))
            self.send_header("ETag", etag)
            self.send_header("Last-Modified", modified)
            self.send_header("Accept-Ranges", "bytes")
            if partial:
                self.send_header("Content-Range", "bytes %d-%d/%d" % (start, st.st_size - 1, st.st_size))
            self.end_headers()
            if self.command == "HEAD":
                return
            cut = self.query_int(q, "cut")
            cuts = self.query_int(q, "cuts")
            if not 0 < cut < length or (cuts and requests > cuts):
                self.send_file_body(f, length, start)
                return
            self.send_file_body(f, cut, start)
        how = q.get("how", ["close"])[0]
        if how == "reset":
            self.drain_send_queue()
            self.reset_connection()
        elif how == "stall":
            self.wait_for_client_close()
        else:
            self.close_connection = True

    def drain_send_queue(self):
        """Waits (up to 5 s) until the peer has acknowledged every byte sent, so
        that a reset loses none of them: a reset discards what is still queued."""
        deadline = time.monotonic() + 5
        try:
            while time.monotonic() < deadline:
                queued = struct.unpack("i", fcntl.ioctl(self.connection, termios.TIOCOUTQ, b"\0" * 4))[0]
                if queued == 0:
                    return
                time.sleep(0.001)
        except OSError:
            pass

    def reset_connection(self):
        """Closes with SO_LINGER 0 so the peer sees a TCP reset, not an orderly end."""
        self.close_connection = True
        try:
            self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            self.rfile.close()
            self.connection.close()
        except OSError:
            pass

    # --- POST ----------------------------------------------------------

    def read_body(self):
        if "chunked" in self.headers.get("Transfer-Encoding", "").lower():
            data = bytearray()
            while True:
                line = self.rfile.readline(65537)
                size = int(line.split(b";")[0].strip() or b"0", 16)
                if size == 0:
                    while self.rfile.readline(65537) not in (b"\r\n", b"\n", b""):
                        pass
                    return bytes(data)
                data += self.rfile.read(size)
                self.rfile.readline(65537)
        length = int(self.headers.get("Content-Length", "0") or "0")
        return self.rfile.read(length) if length > 0 else b""

    def do_POST(self):
        path = urllib.parse.urlsplit(self.path).path
        try:
            if path != "/v1/operationLog":
                self.read_body()
                self.not_found()
                return
            body = self.read_body().decode("utf-8", errors="replace")
            self.record_telemetry(body)
            if Settings.telemetry_mode == "hang":
                self.wait_for_client_close()
            elif Settings.telemetry_mode == "error":
                self.send_small(500, b'{"code":500}', "application/json")
            else:
                self.send_small(200, b'{"code":0}', "application/json")
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError, ValueError):
            self.close_connection = True

    def record_telemetry(self, body):
        entry = {
            "port": self.connection.getsockname()[1],
            "method": self.command,
            "path": self.path,
            "headers": {name: value for name, value in self.headers.items()},
            "body": body,
        }
        if Settings.telemetry_log:
            line = json.dumps(entry, ensure_ascii=False)
            with Settings.log_lock:
                with open(Settings.telemetry_log, "a", encoding="utf-8") as log:
                    log.write(line + "\n")
                    log.flush()
        emit_line("telemetry " + body.replace("\r", " ").replace("\n", " "))


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    tls_context = None

    def finish_request(self, request, client_address):
        # The TLS handshake runs here, in the connection's own thread, so a
        # client that never completes it cannot block the accept loop.
        conn = request
        # Headers and a small body go out as two writes; with Nagle on, the
        # second waits for the client's delayed acknowledgement (40 ms).
        request.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        if self.tls_context is not None:
            try:
                request.settimeout(30)
                conn = self.tls_context.wrap_socket(request, server_side=True)
                conn.settimeout(None)
            except (ssl.SSLError, OSError):
                return
        try:
            self.RequestHandlerClass(conn, client_address, self)
        finally:
            if conn is not request:
                try:
                    conn.close()
                except OSError:
                    pass

    def handle_error(self, request, client_address):
        if Settings.verbose:
            super().handle_error(request, client_address)


def main():
    parser = argparse.ArgumentParser(description="Local release server (127.0.0.1 only).")
    parser.add_argument("--root", required=True, help="folder served at /")
    parser.add_argument("--port", type=int, action="append", required=True,
                        help="port to listen on (repeatable; 0 picks a free one)")
    parser.add_argument("--tls-dir", help="serve https with a new self-signed certificate, written to cert.pem here")
    parser.add_argument("--telemetry-log", help="JSON-lines file receiving every operation-log post")
    parser.add_argument("--telemetry-mode", choices=("ok", "error", "hang"), default="ok")
    parser.add_argument("--rate", type=int, default=0,
                        help="limit file downloads to about this many bytes a second (0: no limit)")
    parser.add_argument("--request-log", help="JSON-lines file receiving every GET's path and range headers")
    parser.add_argument("--redirect-uploads", metavar="ROOT",
                        help="answer every GET below /upload/ with a redirect to the same path on ROOT")
    parser.add_argument("--verbose", action="store_true", help="access log on stderr")
    args = parser.parse_args()

    if not os.path.isdir(args.root):
        parser.error("--root is not a folder: %s" % args.root)

    Settings.root = os.path.abspath(args.root)
    Settings.telemetry_log = args.telemetry_log
    Settings.request_log = args.request_log
    Settings.telemetry_mode = args.telemetry_mode
    Settings.verbose = args.verbose
    Settings.rate = max(0, args.rate)
    Settings.redirect_uploads = args.redirect_uploads

    context = None
    if args.tls_dir:
        cert = os.path.join(args.tls_dir, "cert.pem")
        key = os.path.join(args.tls_dir, "key.pem")
        made = subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2",
                               "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                               "-keyout", key, "-out", cert], capture_output=True)
        if made.returncode != 0:
            sys.stderr.write("release_server: openssl failed: %s\n" % made.stderr.decode(errors="replace"))
            return 1
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)

    servers = []
    try:
        for port in args.port:
            server = Server(("127.0.0.1", port), Handler)
            server.tls_context = context
            servers.append(server)
    except OSError as e:
        sys.stderr.write("release_server: cannot listen: %s\n" % e)
        return 1

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())

    threads = [threading.Thread(target=s.serve_forever, daemon=True) for s in servers]
    for t in threads:
        t.start()
    emit_line("listening " + " ".join(str(s.server_address[1]) for s in servers))

    while not stop.wait(1.0):
        pass
    # Connection threads are daemons: closing the listeners is enough to exit
    # at once, even with a stalled or hanging client still attached.
    for s in servers:
        s.server_close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
