"""Drives `skewquad --lsp` through its standard input and output as an
editor would, and holds it to the protocol and to the scan:
lsp_protocol_test.py SKEWQUAD CASES_DIR"""
import json
import os
import shutil
import subprocess
import sys
import tempfile
import time

TOOL, CASES = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


class Client:
    def __init__(self):
        self.process = subprocess.Popen([TOOL, "--lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.next_id = 0

    def send_raw(self, data):
        self.process.stdin.write(data)
        self.process.stdin.flush()

    def send(self, message):
        body = json.dumps(message).encode()
        self.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)

    def request(self, method, params=None):
        self.next_id += 1
        self.send({"jsonrpc": "2.0", "id": self.next_id, "method": method, "params": params or {}})
        return self.wait(lambda m: m.get("id") == self.next_id and "method" not in m)

    def notify(self, method, params=None):
        self.send({"jsonrpc": "2.0", "method": method, "params": params or {}})

    def read(self):
        length = None
        while True:
            line = self.process.stdout.readline()
            if not line:
                return None
            line = line.strip()
            if not line:
                break
            name, value = line.split(b":", 1)
            if name.lower() == b"content-length":
                length = int(value)
        return json.loads(self.process.stdout.read(length))

    def wait(self, wanted):
        while True:
            message = self.read()
            if message is None or wanted(message):
                return message

    def diagnostics(self, uri):
        message = self.wait(lambda m: m.get("method") == "textDocument/publishDiagnostics"
                            and m["params"]["uri"] == uri)
        return message["params"]["diagnostics"]

    def close(self, stdin_closed=False):
        if not stdin_closed:
            self.process.stdin.close()
        return self.process.wait(timeout=30)


def uri_of(path):
    return "file://" + os.path.abspath(path)


def text_report(path, *options):
    out = subprocess.run([TOOL, "--scan", "--warnings", *options, path], capture_output=True).stdout.decode()
    return sorted(line.split(": ", 1)[0].rsplit(":", 1)[1] + " " + line.split(": ", 2)[1] + " "
                  + line.split(": ", 2)[2] for line in out.splitlines()[:-1] if line.startswith(path + ":"))


def as_report(diagnostics):
    return sorted("%d %s %s" % (d["range"]["start"]["line"] + 1, "error" if d["severity"] == 1 else "warning",
                                d["message"]) for d in diagnostics)


def apply(text, edits):
    lines = text.splitlines(keepends=True)
    offsets = [0]
    for line in lines:
        offsets.append(offsets[-1] + len(line))

    def offset(position):
        if position["line"] >= len(lines):
            return len(text)
        return offsets[position["line"]] + len(lines[position["line"]].encode("utf-16-le")[:position["character"] * 2].decode("utf-16-le"))
    for edit in sorted(edits, key=lambda e: (e["range"]["start"]["line"], e["range"]["start"]["character"]), reverse=True):
        text = text[:offset(edit["range"]["start"])] + edit["newText"] + text[offset(edit["range"]["end"]):]
    return text


# Lifecycle, diagnostics equal to the scan's report, quick fixes and
# fix-all equal to --fix, and a closed document cleared.
client = Client()
check(client.request("textDocument/hover")["error"]["code"] == -32002, "a request before initialize")
init = client.request("initialize", {"processId": None, "rootUri": None, "capabilities": {},
                                     "initializationOptions": {"checks": "all"}})
capabilities = init["result"]["capabilities"]
check(capabilities["textDocumentSync"]["change"] == 1, "full document sync")
check(set(capabilities["codeActionProvider"]["codeActionKinds"]) == {"quickfix", "source.fixAll"}, "code actions")
client.notify("initialized")
work = tempfile.mkdtemp()
parts = [os.path.join(CASES, case, rel) for case, rel in [
    ("scan_text_report", "library/parts/3001.dat"), ("scan_text_report", "library/parts/faults.dat"),
    ("scan_every_line_check", "lib/parts/lines.dat"), ("scan_fix_mends_what_it_can", "a.dat")]]
for source in parts:
    path = os.path.join(work, os.path.basename(source))
    shutil.copy(source, path)
    text = open(path, "rb").read().decode("utf-8", "replace")
    uri = uri_of(path)
    client.notify("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "ldraw", "version": 1, "text": text}})
    diagnostics = client.diagnostics(uri)
    check(as_report(diagnostics) == text_report(path, "--checks=all"), "diagnostics of " + source)
    check(all(d["source"] == "skewquad" and d["code"] for d in diagnostics), "source and code of " + source)
    actions = client.request("textDocument/codeAction", {
        "textDocument": {"uri": uri}, "range": {"start": {"line": 0, "character": 0}, "end": {"line": 100000, "character": 0}},
        "context": {"diagnostics": diagnostics}})["result"]
    fix_all = [a for a in actions if a["kind"] == "source.fixAll"]
    fixed = os.path.join(work, "fixed-" + os.path.basename(source))
    shutil.copy(source, fixed)
    subprocess.run([TOOL, "--scan", "--checks=all", "--fail-on=warning", "--fix", fixed], capture_output=True)
    expected = open(fixed, "rb").read().decode("utf-8", "replace")
    if fix_all:
        check(apply(text, fix_all[0]["edit"]["changes"][uri]) == expected, "fix-all of " + source)
        quick = [a for a in actions if a["kind"] == "quickfix"]
        check(len(quick) == len(fix_all[0]["edit"]["changes"][uri]), "a quick fix a mended line of " + source)
        one = quick[0]["edit"]["changes"][uri]
        check(apply(text, one) != text, "a quick fix changes its line in " + source)
    else:
        check(expected == text, "nothing to fix in " + source)
    client.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
    check(client.diagnostics(uri) == [], "closing clears " + source)

# A burst of changes: only the last text is published after the burst.
uri = uri_of(os.path.join(work, "burst.dat"))
warped = "4 16 0 0 0 1 0 0 1 1 0 0 1 1\n"
client.notify("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "ldraw", "version": 1, "text": ""}})
client.diagnostics(uri)
for version in range(2, 60):
    client.notify("textDocument/didChange", {"textDocument": {"uri": uri, "version": version},
                                             "contentChanges": [{"text": warped * version}]})
last = None
while True:
    diagnostics = client.diagnostics(uri)
    lines = len(diagnostics)
    check(last is None or lines >= last, "no stale diagnostics after newer ones")
    last = lines
    if lines == 59:
        break

# Settings: a bad value is told and the old kept; a good one rechecks.
client.notify("workspace/didChangeConfiguration", {"settings": {"skewquad": {"errorAngle": 95}}})
message = client.wait(lambda m: m.get("method") in ("window/showMessage", "textDocument/publishDiagnostics"))
check(message.get("method") == "window/showMessage", "a bad angle is told")
client.notify("workspace/didChangeConfiguration", {"settings": {"skewquad": {"errorAngle": 80}}})
# The bad setting may have been followed by a check of its own first.
relaxed = client.wait(lambda m: m.get("method") == "textDocument/publishDiagnostics"
                      and m["params"]["uri"] == uri
                      and all(d["severity"] == 2 for d in m["params"]["diagnostics"]))
check(relaxed is not None and len(relaxed["params"]["diagnostics"]) == 59, "the error angle set to 80")

# Malformed input, unknown requests and notifications: answered as the
# protocol says, and the server keeps serving.
client.send_raw(b"Content-Length: 5\r\n\r\n{nope")
check(client.wait(lambda m: "error" in m)["error"]["code"] == -32700, "a body that is not JSON")
client.send_raw(b"Content-Length: x\r\n\r\n")
check(client.wait(lambda m: m.get("method") == "window/showMessage") is not None, "a malformed header")
check(client.request("textDocument/unknownThing")["error"]["code"] == -32601, "an unknown request")
client.notify("$/unknownNotification")
check(client.request("textDocument/codeAction", {"textDocument": 5})["error"]["code"] == -32602, "bad params")
big = "0 " + "x" * (100 * 1000 * 1000) + "\n"
client.notify("textDocument/didOpen", {"textDocument": {"uri": uri_of(os.path.join(work, "big.dat")), "languageId": "ldraw", "version": 1, "text": big}})
check(client.wait(lambda m: m.get("method") == "window/showMessage") is not None, "a document over 100 MB")
check(client.request("shutdown")["result"] is None, "shutdown")
client.notify("exit")
check(client.close() == 0, "exit after shutdown")

# Exit without shutdown, and the end of input.
client = Client()
client.request("initialize", {"capabilities": {}})
client.notify("exit")
check(client.close() == 1, "exit without shutdown")
client = Client()
check(client.close() == 1, "end of input")

shutil.rmtree(work)
print("%d passed, %d failed" % (1 if not failures else 0, len(failures)))
sys.exit(1 if failures else 0)
