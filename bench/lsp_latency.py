"""The language server's latency: how long after a change of a 10 MB part
its diagnostics arrive. A benchmark, not a test:
    python3 bench/lsp_latency.py SKEWQUAD PART [RUNS]
(PART: for instance skewquad-generate part.dat 10)."""
import json
import statistics
import subprocess
import sys
import time

tool, part = sys.argv[1], sys.argv[2]
runs = int(sys.argv[3]) if len(sys.argv) > 3 else 9
text = open(part, "rb").read().decode("utf-8", "replace")
server = subprocess.Popen([tool, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)


def send(message):
    body = json.dumps(message).encode()
    server.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    server.stdin.flush()


def read():
    length = 0
    while True:
        line = server.stdout.readline().strip()
        if not line:
            break
        name, value = line.split(b":", 1)
        if name.lower() == b"content-length":
            length = int(value)
    return json.loads(server.stdout.read(length))


def diagnostics():
    while True:
        message = read()
        if message.get("method") == "textDocument/publishDiagnostics":
            return message["params"]["diagnostics"]


send({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}})
read()
uri = "file:///bench/part.dat"
send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
      "params": {"textDocument": {"uri": uri, "languageId": "ldraw", "version": 1, "text": text}}})
found = len(diagnostics())
times = []
for version in range(2, runs + 2):
    changed = text + "0 change %d\n" % version
    body = json.dumps({"jsonrpc": "2.0", "method": "textDocument/didChange",
                       "params": {"textDocument": {"uri": uri, "version": version},
                                  "contentChanges": [{"text": changed}]}}).encode()
    message = b"Content-Length: %d\r\n\r\n" % len(body) + body
    start = time.perf_counter()
    server.stdin.write(message)
    server.stdin.flush()
    diagnostics()
    times.append(time.perf_counter() - start)
send({"jsonrpc": "2.0", "id": 2, "method": "shutdown"})
send({"jsonrpc": "2.0", "method": "exit"})
server.wait()
print("%d bytes, %d diagnostics: median %.1f ms from the change sent to the diagnostics read "
      "(min %.1f, max %.1f, %d runs)" % (len(text), found, 1000 * statistics.median(times),
                                          1000 * min(times), 1000 * max(times), runs))
