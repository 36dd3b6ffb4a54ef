#!/usr/bin/env python3
"""A service that hangs, for the end-to-end test of closing the program.

    stalling-server.py silent PORT
        Takes every connection on 127.0.0.1:PORT and never sends a byte (not
        even the TLS handshake).
    stalling-server.py relay PORT UPSTREAM_PORT CERT KEY CA HOLD_PREFIX
        Serves TLS on 127.0.0.1:PORT with CERT and KEY and passes each request
        on to the HTTPS server on 127.0.0.1:UPSTREAM_PORT (trusted through
        CA), except requests whose path starts with HOLD_PREFIX: those are
        read and never answered.

On SIGUSR1 every connection held so far is closed, so that the program's
request ends without a reply. Each held connection is logged as "held ..."
on standard output. Runs until it is killed.
"""
import select
import signal
import socket
import ssl
import sys
import threading

held = []
held_lock = threading.Lock()


def log(text):
    print(text, flush=True)


def hold(connection, what):
    with held_lock:
        held.append(connection)
    log("held " + what)


def release_held(*_):
    with held_lock:
        for connection in held:
            try:
                connection.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass
            connection.close()
        log("released %d" % len(held))
        held.clear()


def listen(port):
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", port))
    listener.listen(64)
    return listener


def read_head(connection):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = connection.recv(65536)
        if not chunk:
            return None
        data += chunk
    return data


def pump(a, b):
    sockets = [a, b]
    while True:
        readable, _, _ = select.select(sockets, [], [], 60)
        if not readable:
            return
        for source in readable:
            # TLS sockets may hold decrypted bytes beyond what select sees.
            while True:
                data = source.recv(65536)
                if not data:
                    return
                (b if source is a else a).sendall(data)
                if not (isinstance(source, ssl.SSLSocket) and source.pending()):
                    break


def relay(client, server_context, upstream_port, client_context, prefix):
    try:
        connection = server_context.wrap_socket(client, server_side=True)
        head = read_head(connection)
        if head is None:
            connection.close()
            return
        request_line = head.split(b"\r\n", 1)[0].decode("latin-1")
        parts = request_line.split(" ")
        if len(parts) >= 2 and parts[1].startswith(prefix):
            hold(connection, request_line)
            return
        upstream = client_context.wrap_socket(socket.create_connection(("127.0.0.1", upstream_port)), server_hostname="127.0.0.1")
        upstream.sendall(head)
        pump(connection, upstream)
        upstream.close()
        connection.close()
    except (OSError, ssl.SSLError):
        pass


def main():
    signal.signal(signal.SIGUSR1, release_held)
    mode = sys.argv[1]
    listener = listen(int(sys.argv[2]))
    log("listening")

    if mode == "silent":
        while True:
            client, _ = listener.accept()
            hold(client, "connection")

    upstream_port = int(sys.argv[3])
    server_context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    server_context.load_cert_chain(sys.argv[4], sys.argv[5])
    client_context = ssl.create_default_context(cafile=sys.argv[6])
    prefix = sys.argv[7]

    while True:
        client, _ = listener.accept()
        threading.Thread(target=relay, args=(client, server_context, upstream_port, client_context, prefix), daemon=True).start()


if __name__ == "__main__":
    main()
