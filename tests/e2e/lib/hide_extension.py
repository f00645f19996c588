"""A display without one extension: a proxy in front of a real X server that renames the extension in every
QueryExtension request it passes on, so the server answers that it has none. Xvfb cannot switch SHAPE off."""

import os
import selectors
import socket
import struct
import threading

QUERY_EXTENSION = 98


class HiddenExtension:
    """Listens as display :N (a free number) and forwards every client to `display` with `name` hidden."""

    def __init__(self, display, name):
        self.target = f"/tmp/.X11-unix/X{display.lstrip(':')}"
        self.name = name.encode()
        for number in range(200, 300):
            path = f"/tmp/.X11-unix/X{number}"
            if not os.path.exists(path) and not os.path.exists(f"/tmp/.X{number}-lock"):
                break
        self.path, self.display = path, f":{number}"
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(path)
        self.listener.listen(4)
        threading.Thread(target=self._accept, daemon=True).start()

    def close(self):
        self.listener.close()
        os.unlink(self.path)

    def _accept(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            server.connect(self.target)
            threading.Thread(target=self._pump, args=(client, server), daemon=True).start()

    def _rewrite(self, pending, setup_done):
        """Splits off the whole requests in `pending`, renaming the hidden extension; returns (bytes, rest)."""
        out = bytearray()
        if not setup_done:  # byte order, protocol version, then the authorisation name and data, padded
            if len(pending) < 12:
                return out, pending, False
            name_len, data_len = struct.unpack_from("<HH", pending, 6)
            size = 12 + (name_len + 3) // 4 * 4 + (data_len + 3) // 4 * 4
            if len(pending) < size:
                return out, pending, False
            out += pending[:size]
            pending = pending[size:]
        while len(pending) >= 4:
            opcode, length = pending[0], struct.unpack_from("<H", pending, 2)[0]
            header = 4
            if length == 0:  # BIG-REQUESTS: the length follows in 32 bits
                if len(pending) < 8:
                    break
                length, header = struct.unpack_from("<I", pending, 4)[0], 8
            size = length * 4
            if len(pending) < size:
                break
            request = bytearray(pending[:size])
            if opcode == QUERY_EXTENSION and header == 4:
                name_len = struct.unpack_from("<H", request, 4)[0]
                if bytes(request[8:8 + name_len]) == self.name:
                    request[8] ^= 0x20  # "SHAPE" becomes "sHAPE": no such extension
            out += request
            pending = pending[size:]
        return out, pending, True

    def _pump(self, client, server):
        selector = selectors.DefaultSelector()
        selector.register(client, selectors.EVENT_READ)
        selector.register(server, selectors.EVENT_READ)
        pending, setup_done = b"", False
        try:
            while True:
                for key, _ in selector.select():
                    data = key.fileobj.recv(65536)
                    if not data:
                        return
                    if key.fileobj is server:
                        client.sendall(data)
                    else:
                        out, pending, setup_done = self._rewrite(pending + data, setup_done)
                        server.sendall(out)
        except OSError:
            pass
        finally:
            client.close()
            server.close()
