#!/usr/bin/python3
"""A scripted FTP server (also usable as an FTP proxy) and SOCKS 4/4A server for tests.

It listens on a random loopback port, prints that port on stdout once it accepts connections,
answers from a per-test JSON script and appends every request it receives to a record file.
Standard library only. It runs until it is terminated or its parent process ends.

    scripted_ftp_server.py --mode ftp|socks4 --script SCRIPT.json --record RECORD.txt

Record file: one line per request. In ftp mode a request is a command line without its CR LF;
bytes below 0x20, 0x7f and the backslash are written as \\xNN, so a line that ended in a bare
LF shows up with a trailing \\x0a. In socks4 mode a line is the request's bytes in lower-case
hex.

FTP script (every key optional):
    {
      "greeting": REPLY,               default "220 Scripted server ready"
      "steps":    [{"expect": REGEX, "reply": REPLY}, ...],   expected in this order
      "rules":    [{"expect": REGEX, "reply": REPLY}, ...],   answered at any time
      "unexpected": REPLY,             default "500 Unexpected command"
      "builtin_data": true,            PASV and PORT answered by the server itself
      "sessions": [SCRIPT, ...]        n-th control connection uses the n-th script (the last
                                       one repeats); without it every connection uses the top
    }
A command is matched (Python re.fullmatch) against the next step first, then, with
builtin_data, PASV and PORT are served, then the rules in order; otherwise "unexpected".

REPLY is a string (one line, CR LF added, sent in one write) or a list of actions:
    "text"                       a line with CR LF, in one write
    {"send": "raw"}              raw text in one write, nothing added (split replies)
    {"delay": seconds}
    {"close": true}              drop the control (and data) connection
    {"hang": true}               never answer again; commands are still read and recorded
    {"pasv": true}               the built-in PASV answer
    {"data_send": "text", "repeat": n}   send on the data connection (opened when needed); a
                                 client that closes it meanwhile closes it here, the script goes on
    {"data_recv": "path"}        read the data connection to its end, store it in path
    {"data_close": true}
    {"data_reset": true}         reset the data connection (opened when needed): SO_LINGER 0 and
                                 close, so the client sees a reset instead of an orderly end
A data connection opened by a reply is closed when that reply's actions are done.
Texts are Latin-1, so every byte value can be written.

SOCKS 4 script:
    {"socks": [{"reply": 90, "relay": true}, {"close": true}, {"hang": true}, ...]}
The n-th connection uses the n-th entry (the last one repeats); default reply 90 with relay.
Only loopback destinations (127.x.x.x, or the host name "localhost" in a 4A request) are
relayed; any other destination is answered 91.
"""

import argparse
import json
import os
import re
import socket
import struct
import sys
import threading
import time

ACCEPT_TIMEOUT = 10.0


class Recorder:
    """Appends request lines to the record file, flushed at once so a test can read it live."""

    def __init__(self, path):
        self._file = open(path, "ab", buffering=0)
        self._lock = threading.Lock()

    def line(self, data):
        with self._lock:
            self._file.write(data + b"\n")


def escape_command(raw):
    body = raw[:-2] if raw.endswith(b"\r\n") else raw
    out = bytearray()
    for b in body:
        if b < 0x20 or b == 0x7F or b == 0x5C:
            out += b"\\x%02x" % b
        else:
            out.append(b)
    return bytes(out)


def is_loopback(address):
    return address.startswith("127.")


def pick(entries, index, default):
    if not entries:
        return default
    return entries[min(index, len(entries) - 1)]


class ConnectionClosed(Exception):
    pass


class FtpSession:
    def __init__(self, conn, script, recorder):
        self.conn = conn
        self.script = script
        self.recorder = recorder
        self.steps = script.get("steps", [])
        self.rules = [(re.compile(r["expect"], re.S), r["reply"]) for r in script.get("rules", [])]
        self.step_index = 0
        self.builtin_data = script.get("builtin_data", True)
        self.pasv_listener = None
        self.port_target = None
        self.data = None
        self.hung = False
        self.closed = False

    # --- control connection -------------------------------------------------------------
    def write(self, data):
        if not self.closed:
            self.conn.sendall(data)

    def run(self):
        try:
            self.perform(self.script.get("greeting", "220 Scripted server ready"))
            buffer = b""
            while not self.closed:
                chunk = self.conn.recv(65536)
                if not chunk:
                    break
                buffer += chunk
                while b"\n" in buffer and not self.closed:
                    raw, buffer = buffer.split(b"\n", 1)
                    self.command(raw + b"\n")
        except (ConnectionClosed, OSError):
            pass
        finally:
            self.close_data()
            self.close_listener()
            try:
                self.conn.close()
            except OSError:
                pass

    def command(self, raw):
        self.recorder.line(escape_command(raw))
        if self.hung:
            return
        text = raw.rstrip(b"\r\n").decode("latin-1")
        verb = text.split(" ", 1)[0].upper()
        if self.step_index < len(self.steps):
            step = self.steps[self.step_index]
            if re.fullmatch(step["expect"], text, re.S):
                self.step_index += 1
                self.perform(step["reply"])
                return
        if self.builtin_data and verb == "PASV":
            self.builtin_pasv()
            return
        if self.builtin_data and verb == "PORT":
            self.builtin_port(text[5:])
            return
        for pattern, reply in self.rules:
            if pattern.fullmatch(text):
                self.perform(reply)
                return
        self.perform(self.script.get("unexpected", "500 Unexpected command"))

    def perform(self, reply):
        actions = [reply] if isinstance(reply, str) else reply
        opened_here = False
        for action in actions:
            if self.closed or self.hung:
                return
            if isinstance(action, str):
                self.write(action.encode("latin-1") + b"\r\n")
            elif "send" in action:
                self.write(action["send"].encode("latin-1"))
            elif "delay" in action:
                time.sleep(float(action["delay"]))
            elif "close" in action:
                self.close_data()
                self.closed = True
                try:
                    self.conn.shutdown(socket.SHUT_RDWR)
                except OSError:
                    pass
                return
            elif "hang" in action:
                self.hung = True
                return
            elif "pasv" in action:
                self.builtin_pasv()
            elif "data_send" in action:
                opened_here |= self.open_data()
                payload = action["data_send"].encode("latin-1") * int(action.get("repeat", 1))
                try:
                    self.data.sendall(payload)
                except OSError:
                    # The client closed the data connection (an abort): the script goes on.
                    self.close_data()
            elif "data_recv" in action:
                opened_here |= self.open_data()
                with open(action["data_recv"], "wb") as out:
                    while True:
                        chunk = self.data.recv(65536)
                        if not chunk:
                            break
                        out.write(chunk)
            elif "data_close" in action:
                self.close_data()
            elif "data_reset" in action:
                self.open_data()
                self.data.setsockopt(
                    socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
                self.close_data()
            else:
                raise ValueError("unknown action %r" % (action,))
        if opened_here:
            self.close_data()

    # --- data connection ----------------------------------------------------------------
    def builtin_pasv(self):
        self.close_listener()
        self.port_target = None
        self.pasv_listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.pasv_listener.bind(("127.0.0.1", 0))
        self.pasv_listener.listen(1)
        port = self.pasv_listener.getsockname()[1]
        self.write(b"227 Entering Passive Mode (127,0,0,1,%d,%d).\r\n" % (port >> 8, port & 255))

    def builtin_port(self, argument):
        parts = argument.strip().split(",")
        try:
            numbers = [int(p) for p in parts]
        except ValueError:
            numbers = []
        if len(numbers) != 6 or any(n < 0 or n > 255 for n in numbers):
            self.write(b"501 Syntax error in PORT arguments.\r\n")
            return
        host = ".".join(str(n) for n in numbers[:4])
        if not is_loopback(host):
            self.write(b"504 Only loopback data connections are served.\r\n")
            return
        self.close_listener()
        self.port_target = (host, numbers[4] * 256 + numbers[5])
        self.write(b"200 PORT command successful.\r\n")

    def open_data(self):
        """Opens the data connection unless it is open; tells whether it opened it."""
        if self.data is not None:
            return False
        if self.pasv_listener is not None:
            self.pasv_listener.settimeout(ACCEPT_TIMEOUT)
            self.data, _ = self.pasv_listener.accept()
            self.close_listener()
        elif self.port_target is not None:
            self.data = socket.create_connection(self.port_target, timeout=ACCEPT_TIMEOUT)
            self.port_target = None
        else:
            raise ConnectionClosed("no data connection was prepared")
        self.data.settimeout(None)
        return True

    def close_data(self):
        if self.data is not None:
            try:
                self.data.close()
            except OSError:
                pass
            self.data = None

    def close_listener(self):
        if self.pasv_listener is not None:
            self.pasv_listener.close()
            self.pasv_listener = None


# --- SOCKS 4 / 4A -------------------------------------------------------------------------
def read_exact(conn, count):
    data = b""
    while len(data) < count:
        chunk = conn.recv(count - len(data))
        if not chunk:
            raise ConnectionClosed()
        data += chunk
    return data


def read_until_nul(conn, limit=1024):
    data = b""
    while True:
        byte = read_exact(conn, 1)
        data += byte
        if byte == b"\0":
            return data
        if len(data) > limit:
            raise ConnectionClosed()


def pump(source, target):
    try:
        while True:
            chunk = source.recv(65536)
            if not chunk:
                break
            target.sendall(chunk)
    except OSError:
        pass
    for s in (source, target):
        try:
            s.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def socks4_session(conn, entry, recorder):
    try:
        head = read_exact(conn, 8)
        request = head + read_until_nul(conn)
        port = head[2] * 256 + head[3]
        host = "%d.%d.%d.%d" % tuple(head[4:8])
        if head[4:7] == b"\0\0\0" and head[7] != 0:
            name = read_until_nul(conn)
            request += name
            host = name[:-1].decode("latin-1")
        recorder.line(request.hex().encode("ascii"))
        if entry.get("close"):
            return
        if entry.get("hang"):
            while conn.recv(65536):
                pass
            return
        if "delay" in entry:
            time.sleep(float(entry["delay"]))
        code = int(entry.get("reply", 90))
        target_host = "127.0.0.1" if host == "localhost" else host
        relay = entry.get("relay", True) and head[0] == 4 and head[1] == 1
        upstream = None
        if code == 90 and relay:
            if not is_loopback(target_host):
                code = 91
            else:
                try:
                    upstream = socket.create_connection((target_host, port), timeout=ACCEPT_TIMEOUT)
                    upstream.settimeout(None)
                except OSError:
                    code = 91
        conn.sendall(bytes([0, code]) + head[2:8])
        if upstream is None:
            return
        thread = threading.Thread(target=pump, args=(upstream, conn), daemon=True)
        thread.start()
        pump(conn, upstream)
        thread.join()
        upstream.close()
    except (ConnectionClosed, OSError):
        pass
    finally:
        conn.close()


def exit_with_parent():
    """Ends the server when the test that started it is gone, even if it could not stop it."""
    parent = os.getppid()
    while os.getppid() == parent:
        time.sleep(0.5)
    os._exit(0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--mode", choices=["ftp", "socks4"], default="ftp")
    parser.add_argument("--script", required=True)
    parser.add_argument("--record", required=True)
    args = parser.parse_args()
    with open(args.script, "r", encoding="utf-8") as f:
        script = json.load(f)
    recorder = Recorder(args.record)
    threading.Thread(target=exit_with_parent, daemon=True).start()

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print(listener.getsockname()[1], flush=True)

    count = 0
    while True:
        conn, _ = listener.accept()
        if args.mode == "ftp":
            session_script = pick(script.get("sessions"), count, script)
            worker = FtpSession(conn, session_script, recorder).run
        else:
            entry = pick(script.get("socks"), count, {"reply": 90, "relay": True})
            worker = lambda c=conn, e=entry: socks4_session(c, e, recorder)
        threading.Thread(target=worker, daemon=True).start()
        count += 1


if __name__ == "__main__":
    try:
        main()
    except KeyboardInterrupt:
        sys.exit(0)
