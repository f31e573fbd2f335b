"""The language server's latency on 10 MB documents: how long after a change
its diagnostics arrive, on a part with about 20,000 findings; and how long a
code action at the cursor and the fix of the whole document take, on a part
whose every quad is warped; with the checks named as --checks takes (the
server's default, the quad checks, without). A benchmark, not a test:
    python3 bench/lsp_latency.py SKEWQUAD [RUNS [CHECKS]]"""
import json
import statistics
import subprocess
import sys
import time

tool = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 9
checks = sys.argv[3] if len(sys.argv) > 3 else None
server = subprocess.Popen([tool, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
warped = "4 16 -20 0 -10 20 0 -10 20 8 -12 -20 8 -10\r\n"
flat = "4 16 -20 0 -10 20 0 -10 20 8 -10 -20 8 -10\r\n"
line = "2 24 -20 0 -10 20 0 -10\r\n"


def ten_megabytes(pattern):
    return pattern * (10 * 1000 * 1000 // len(pattern))


def send(message):
    body = json.dumps(message).encode()
    server.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    server.stdin.flush()


def read():
    length = 0
    while True:
        header = server.stdout.readline().strip()
        if not header:
            break
        name, value = header.split(b":", 1)
        if name.lower() == b"content-length":
            length = int(value)
    return json.loads(server.stdout.read(length))


def wait(wanted):
    while True:
        message = read()
        if wanted(message):
            return message


def diagnostics(arrived=None):
    """The next diagnostics; `arrived` is given the moment their message
    begins to arrive, before it is parsed (which here, in Python, takes
    longer than the server took to check the document)."""
    while True:
        header = server.stdout.readline()
        if arrived is not None:
            arrived.append(time.perf_counter())
        length = 0
        while header.strip():
            name, value = header.strip().split(b":", 1)
            if name.lower() == b"content-length":
                length = int(value)
            header = server.stdout.readline()
        message = json.loads(server.stdout.read(length))
        if message.get("method") == "textDocument/publishDiagnostics":
            return message["params"]["diagnostics"]


def timed(action):
    start = time.perf_counter()
    result = action()
    return time.perf_counter() - start, result


send({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {
    "capabilities": {"textDocument": {"codeAction": {"resolveSupport": {"properties": ["edit"]}}}},
    "initializationOptions": {"skewquad": {"checks": checks}} if checks else {}}})
read()

# Diagnostics after a change.
uri = "file:///bench/part.dat"
text = ten_megabytes(warped + (flat + line) * 7)
send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
      "params": {"textDocument": {"uri": uri, "languageId": "ldraw", "version": 1, "text": text}}})
found = len(diagnostics())
times = []
for version in range(2, runs + 2):
    body = json.dumps({"jsonrpc": "2.0", "method": "textDocument/didChange",
                       "params": {"textDocument": {"uri": uri, "version": version},
                                  "contentChanges": [{"text": text + "0 change %d\r\n" % version}]}}).encode()
    message = b"Content-Length: %d\r\n\r\n" % len(body) + body
    arrived = []
    start = time.perf_counter()
    server.stdin.write(message)
    server.stdin.flush()
    diagnostics(arrived)
    times.append(arrived[-1] - start)
print("diagnostics (%d) of a %d-byte document, from the change sent to their first byte: median %.0f ms, %.0f to %.0f ms over %d"
      % (found, len(text), statistics.median(times) * 1000, min(times) * 1000, max(times) * 1000, runs))

# A code action where the cursor stands, and the fix of the whole document.
uri = "file:///bench/warped.dat"
text = ten_megabytes(warped)
send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
      "params": {"textDocument": {"uri": uri, "languageId": "ldraw", "version": 1, "text": text}}})
found = len(diagnostics())
times = []
for request in range(runs):
    at = {"line": 1000 + request * 20000, "character": 5}
    send({"jsonrpc": "2.0", "id": 10 + request, "method": "textDocument/codeAction",
          "params": {"textDocument": {"uri": uri}, "range": {"start": at, "end": at}, "context": {"diagnostics": []}}})
    seconds, actions = timed(lambda: wait(lambda m: m.get("id") == 10 + request))
    times.append(seconds)
print("a code action at the cursor in a document whose %d quads are all warped: median %.0f ms, %.0f to %.0f ms"
      % (found, statistics.median(times) * 1000, min(times) * 1000, max(times) * 1000))
fix_all = [a for a in actions["result"] if a["kind"] == "source.fixAll"][0]
send({"jsonrpc": "2.0", "id": 99, "method": "codeAction/resolve", "params": fix_all})
seconds, resolved = timed(lambda: wait(lambda m: m.get("id") == 99))
print("its fix of the whole document, resolved: %.0f ms, %d edits"
      % (seconds * 1000, len(resolved["result"]["edit"]["changes"][uri])))
send({"jsonrpc": "2.0", "id": 100, "method": "shutdown"})
wait(lambda m: m.get("id") == 100)
send({"jsonrpc": "2.0", "method": "exit"})
server.wait()
