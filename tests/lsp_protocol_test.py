"""Drives `skewquad --lsp` through its standard input and output as an
editor would, and holds it to the protocol and to the scan:
lsp_protocol_test.py SKEWQUAD CASES_DIR [EMULATOR...]"""
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TOOL, CASES, EMULATOR = sys.argv[1], sys.argv[2], sys.argv[3:]
failures = []


def stalled(*_):
    print("FAILED: the server stalled: no answer for five minutes")
    os._exit(1)


# A server that stops answering fails the test rather than holding it up.
signal.signal(signal.SIGALRM, stalled)
signal.alarm(300)


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


# Under Wine the tool is a Windows program: it is given Windows paths
# (Z:\\tmp\\...), and documents are named by the URIs a Windows editor gives.
WINDOWS = any(part.endswith("wine") for part in EMULATOR)


def tool_path(path):
    if not WINDOWS:
        return path
    return subprocess.run(["winepath", "-w", path], capture_output=True, text=True,
                          env=dict(os.environ, WINEDEBUG="-all")).stdout.strip()


def run_tool(*arguments):
    return subprocess.run([*EMULATOR, TOOL, *arguments], capture_output=True)


class Client:
    def __init__(self, stdin=subprocess.PIPE):
        # A build with AddressSanitizer holds freed memory back for a while;
        # what the server itself holds is measured here.
        environment = dict(os.environ, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") + ":quarantine_size_mb=1")
        self.process = subprocess.Popen([*EMULATOR, TOOL, "--lsp"], stdin=stdin, stdout=subprocess.PIPE,
                                        env=environment)
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

    def open(self, uri, text):
        self.notify("textDocument/didOpen", {"textDocument": {"uri": uri, "languageId": "ldraw",
                                                               "version": 1, "text": text}})

    def close(self, stdin_closed=False):
        if not stdin_closed:
            self.process.stdin.close()
        return self.process.wait(timeout=60)


def uri_of(path):
    if WINDOWS:
        return "file:///" + tool_path(os.path.abspath(path)).replace("\\", "/")
    return "file://" + os.path.abspath(path)


def frame(message):
    body = json.dumps(message).encode()
    return b"Content-Length: %d\r\n\r\n" % len(body) + body


def text_report(path, *options):
    """The scan's findings of the file as "line severity message", a finding of
    the file as a whole on its first line, where the editor shows it."""
    path = tool_path(path)
    out = run_tool("--scan", "--warnings", *options, path).stdout.decode()
    found = []
    for line in out.splitlines()[:-1]:
        if line.startswith(path + ": "):
            found.append("1 " + line[len(path) + 2:].replace(": ", " ", 1))
        elif line.startswith(path + ":"):
            number, severity, message = line[len(path) + 1:].split(": ", 2)
            found.append("%s %s %s" % (number, severity, message))
    return sorted(found)


def protocol_lines(text):
    """The text cut into the protocol's lines: each ends with CR LF, LF or a lone CR."""
    return re.findall(r"[^\r\n]*(?:\r\n|\n|\r)|[^\r\n]+$", text)


def scan_line_index(text):
    """Each scan line (ended by LF alone) of the text and the protocol line it starts on."""
    starts, line = {}, 0
    for number, scan in enumerate(text.split("\n"), 1):
        starts[number] = line
        line += len(protocol_lines(scan + "\n"))
    return starts


def as_report(diagnostics, text):
    # The protocol line each diagnostic starts on, as the scan line it is.
    scan_of = {protocol: number for number, protocol in scan_line_index(text).items()}
    return sorted("%d %s %s" % (scan_of.get(d["range"]["start"]["line"], -1),
                                "error" if d["severity"] == 1 else "warning", d["message"])
                  for d in diagnostics)


def apply(text, edits):
    lines = protocol_lines(text)
    offsets = [0]
    for line in lines:
        offsets.append(offsets[-1] + len(line))

    def offset(position):
        if position["line"] >= len(lines):
            return len(text)
        units = lines[position["line"]].encode("utf-16-le")[:position["character"] * 2]
        return offsets[position["line"]] + len(units.decode("utf-16-le"))
    for edit in sorted(edits, key=lambda e: (e["range"]["start"]["line"], e["range"]["start"]["character"]), reverse=True):
        text = text[:offset(edit["range"]["start"])] + edit["newText"] + text[offset(edit["range"]["end"]):]
    return text


def fixed_by_tool(source, work):
    """What --fix writes of the file `source`, or of the bytes `source`."""
    if isinstance(source, bytes):
        fixed = os.path.join(work, "fixed-bytes.ldr")
        open(fixed, "wb").write(source)
    else:
        fixed = os.path.join(work, "fixed-" + os.path.basename(source))
        shutil.copyfile(source, fixed)
    run_tool("--scan", "--checks=all", "--fail-on=warning", "--fix", tool_path(fixed))
    return open(fixed, "rb").read().decode("utf-8", "replace")


ALL_RANGE = {"start": {"line": 0, "character": 0}, "end": {"line": 100000, "character": 0}}
work = tempfile.mkdtemp()

# Lifecycle, diagnostics equal to the scan's report, quick fixes and
# fix-all equal to --fix, and a closed document cleared; the settings as
# the README shows them, under "skewquad".
client = Client()
check(client.request("textDocument/hover")["error"]["code"] == -32002, "a request before initialize")
init = client.request("initialize", {"processId": None, "rootUri": None, "capabilities": {},
                                     "initializationOptions": {"skewquad": {"checks": "all"}}})
capabilities = init["result"]["capabilities"]
check(capabilities["textDocumentSync"]["change"] == 1, "full document sync")
check(set(capabilities["codeActionProvider"]["codeActionKinds"]) == {"quickfix", "source.fixAll"}, "code actions")
second = client.request("initialize", {"capabilities": {}})
check(second["error"]["code"] == -32600 and "already initialized" in second["error"]["message"],
      "a second initialize: " + json.dumps(second))
client.notify("initialized")
parts = [os.path.join(CASES, case, rel) for case, rel in [
    ("scan_text_report", "library/parts/3001.dat"), ("scan_text_report", "library/parts/faults.dat"),
    ("scan_every_line_check", "lib/parts/lines.dat"), ("scan_fix_mends_what_it_can", "a.dat"),
    ("scan_fix_writes_each_line_once", "z.dat")]]
for source in parts:
    path = os.path.join(work, os.path.basename(source))
    shutil.copy(source, path)
    text = open(path, "rb").read().decode("utf-8", "replace")
    uri = uri_of(path)
    client.open(uri, text)
    diagnostics = client.diagnostics(uri)
    check(as_report(diagnostics, text) == text_report(path, "--checks=all"), "diagnostics of " + source)
    check(all(d["source"] == "skewquad" and d["code"] for d in diagnostics), "source and code of " + source)
    actions = client.request("textDocument/codeAction", {
        "textDocument": {"uri": uri}, "range": ALL_RANGE,
        "context": {"diagnostics": diagnostics, "only": ["quickfix", "source.fixAll"]}})["result"]
    fix_all = [a for a in actions if a["kind"] == "source.fixAll"]
    expected = fixed_by_tool(source, work)
    if fix_all:
        check(apply(text, fix_all[0]["edit"]["changes"][uri]) == expected, "fix-all of " + source)
        quick = [a for a in actions if a["kind"] == "quickfix"]
        check(sum(len(a["edit"]["changes"][uri]) for a in quick) == len(fix_all[0]["edit"]["changes"][uri]),
              "a quick fix a mended line of " + source)
        one = quick[0]["edit"]["changes"][uri]
        check(apply(text, one) != text, "a quick fix changes its line in " + source)
        # Asked for one line, the quick fix of that line alone.
        line = one[0]["range"]["start"]["line"]
        asked = client.request("textDocument/codeAction", {
            "textDocument": {"uri": uri}, "range": {"start": {"line": line, "character": 3},
                                                    "end": {"line": line, "character": 3}},
            "context": {"diagnostics": []}})["result"]
        check([a["edit"] for a in asked if a["kind"] == "quickfix"] == [quick[0]["edit"]],
              "the quick fix of line %d of %s alone" % (line, source))
    else:
        check(expected == text, "nothing to fix in " + source)
    client.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
    check(client.diagnostics(uri) == [], "closing clears " + source)

# A subpart certified CW, without its ~: what is found of the file as a
# whole sits on its first line; each of its quick fixes is whole on its own
# (the CW one turns every face as it stands, the warped quad too), and
# fix-all gives --fix's bytes.
folder = os.path.join(work, "cw", "parts", "s")
os.makedirs(folder)
cw_path = os.path.join(folder, "cw.dat")
cw = ("0 Plate  1 x  2 Side\r\n0 Name: s\\cw.dat\r\n0 Author: Jane Doe [jdoe]\r\n"
      "0 !LDRAW_ORG Unofficial_Subpart\r\n0 !LICENSE Licensed under CC BY 4.0 : see CAreadme.txt\r\n"
      "0 BFC CERTIFY CW\r\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n3 16 0 0 0 1 0 0 0 1 0\r\n"
      "0 BFC CLIP CCW\r\n0 STEP\r\n")
with open(cw_path, "w", newline="") as f:
    f.write(cw)
uri = uri_of(cw_path)
client.open(uri, cw)
diagnostics = client.diagnostics(uri)
check(as_report(diagnostics, cw) == text_report(cw_path, "--checks=all"), "diagnostics of a CW subpart")
whole = [d for d in diagnostics if d["code"] in ("bfc_not_ccw", "subpart_no_tilde")]
check(len(whole) == 2 and all(d["range"]["start"]["line"] == 0 for d in whole),
      "the findings of the file as a whole on its first line")
first_line = {"start": {"line": 0, "character": 0}, "end": {"line": 0, "character": 0}}
actions = client.request("textDocument/codeAction", {"textDocument": {"uri": uri}, "range": first_line,
                                                     "context": {"diagnostics": whole}})["result"]
quick = [a for a in actions if a["kind"] == "quickfix"]
turned = (cw.replace("CERTIFY CW", "CERTIFY CCW").replace("CLIP CCW", "CLIP CW")
          .replace("4 16 0 0 0 1 0 0 1 1 0 0 1 1", "4 16 0 1 1 1 1 0 1 0 0 0 0 0")
          .replace("3 16 0 0 0 1 0 0 0 1 0", "3 16 0 1 0 1 0 0 0 0 0"))
check(sorted(apply(cw, a["edit"]["changes"][uri]) for a in quick) == sorted([turned, cw.replace("0 Plate", "0 ~Plate")]),
      "the quick fixes of the file as a whole, each on its own: %s" % json.dumps(quick))
check(sorted(d["code"] for a in quick for d in a["diagnostics"]) == ["bfc_not_ccw", "subpart_no_tilde"],
      "each quick fix names its own finding: %s" % json.dumps([a["diagnostics"] for a in quick]))
actions = client.request("textDocument/codeAction", {"textDocument": {"uri": uri}, "range": ALL_RANGE,
                                                     "context": {"only": ["source.fixAll"]}})["result"]
check(len(actions) == 1 and apply(cw, actions[0]["edit"]["changes"][uri]) == fixed_by_tool(cw_path, work),
      "fix-all of a CW subpart gives --fix's bytes")
client.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
client.diagnostics(uri)

# The protocol's line ends: a lone CR ends a line as LF and CR LF do, so
# the quad of the scan's second line stands on the protocol's third, and
# its mend replaces it and nothing else.
odd = "0 a\r0 b\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n0 c\r\n"
uri = uri_of(os.path.join(work, "odd.ldr"))
client.open(uri, odd)
diagnostics = client.diagnostics(uri)
check([d["range"]["start"]["line"] for d in diagnostics] == [2], "a lone CR ends a protocol line")
check(diagnostics and diagnostics[0]["range"]["end"] == {"line": 2, "character": 28}, "the quad's range")
actions = client.request("textDocument/codeAction", {"textDocument": {"uri": uri}, "range": ALL_RANGE,
                                                     "context": {"only": ["quickfix"]}})["result"]
check(len(actions) == 1 and apply(odd, actions[0]["edit"]["changes"][uri]) == fixed_by_tool(odd.encode(), work),
      "the quick fix across lone CRs gives --fix's bytes")

# A burst of changes: only the last text is published after the burst.
uri = uri_of(os.path.join(work, "burst.ldr"))
warped = "4 16 0 0 0 1 0 0 1 1 0 0 1 1\n"
client.open(uri, "")
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

# Settings: a bad value is told and the old kept; an unknown one is told;
# a good one rechecks.
client.notify("workspace/didChangeConfiguration", {"settings": {"skewquad": {"errorAngle": 95}}})
message = client.wait(lambda m: m.get("method") in ("window/showMessage", "textDocument/publishDiagnostics"))
check(message.get("method") == "window/showMessage", "a bad angle is told")
client.notify("workspace/didChangeConfiguration", {"settings": {"skewquad": {"errorAngel": 80}}})
message = client.wait(lambda m: m.get("method") == "window/showMessage")
check("errorAngel" in message["params"]["message"], "an unknown setting is told")
client.notify("workspace/didChangeConfiguration", {"settings": {"errorAngle": 80}})
# The bad setting may have been followed by a check of its own first.
relaxed = client.wait(lambda m: m.get("method") == "textDocument/publishDiagnostics"
                      and m["params"]["uri"] == uri
                      and all(d["severity"] == 2 for d in m["params"]["diagnostics"]))
check(relaxed is not None and len(relaxed["params"]["diagnostics"]) == 59, "the error angle set to 80")
client.notify("workspace/didChangeConfiguration", {"settings": {"skewquad": {"errorAngle": 3}}})

# The library's colours: known from the first check, the same every time,
# read again when LDConfig.ldr changes, and a malformed one told.
library = os.path.join(work, "library")
os.makedirs(os.path.join(library, "parts"))
ldconfig = os.path.join(library, "LDConfig.ldr")
with open(ldconfig, "w") as f:
    f.write("0 !COLOUR Main CODE 16 VALUE #FFFF80 EDGE #333333\n")
uri = uri_of(os.path.join(library, "parts", "c.ldr"))
coloured = "3 16 0 0 0 1 0 0 0 1 0\n3 4 0 0 0 1 0 0 0 1 0\n"
open(os.path.join(library, "parts", "c.ldr"), "w").write(coloured)
expected = text_report(os.path.join(library, "parts", "c.ldr"), "--checks=all")
for attempt in range(3):
    client.open(uri, coloured)
    check(as_report(client.diagnostics(uri), coloured) == expected, "the colours, check %d" % attempt)
    client.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
    client.diagnostics(uri)
time.sleep(0.05)
with open(ldconfig, "w") as f:
    f.write("0 !COLOUR Main CODE 16 VALUE #FFFF80 EDGE #333333\n0 !COLOUR Red CODE 4 VALUE #C91A09\n")
client.open(uri, coloured)
check(client.diagnostics(uri) == [], "LDConfig.ldr read again once changed")
client.notify("textDocument/didClose", {"textDocument": {"uri": uri}})
client.diagnostics(uri)
with open(ldconfig, "w") as f:
    f.write("0 !COLOUR Main CODE 16 VALUE #FFFF80 EDGE #333333\n0 !COLOUR Broken VALUE #FFFFFF\n")
client.open(uri, coloured)
message = client.wait(lambda m: m.get("method") == "window/showMessage")
check("LDConfig.ldr:2: a !COLOUR line without a CODE number" in message["params"]["message"],
      "a malformed LDConfig.ldr is told")

# Malformed input, unknown requests and notifications: answered as the
# protocol says, and the server keeps serving.
client.send_raw(b"Content-Length: 5\r\n\r\n{nope")
check(client.wait(lambda m: "error" in m)["error"]["code"] == -32700, "a body that is not JSON")
for body in [b"[1]", b"42", b"null", b'[{"jsonrpc":"2.0","method":"initialized"}]']:
    client.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)
    check(client.wait(lambda m: "error" in m)["error"]["code"] == -32600, b"JSON that is no message: " + body)
client.send_raw(b"Content-Length: x\r\n\r\n")
check(client.wait(lambda m: m.get("method") == "window/showMessage") is not None, "a malformed header")
check(client.request("textDocument/unknownThing")["error"]["code"] == -32601, "an unknown request")
client.notify("$/unknownNotification")
check(client.request("textDocument/codeAction", {"textDocument": 5})["error"]["code"] == -32602, "bad params")
# A lone surrogate in a uri, escaped, is read as U+FFFD there as in a text.
body = (b'{"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":'
        b'"file:///tmp/a\\ud800.ldr","languageId":"ldraw","version":1,"text":"4 16 0 0 0 1 0 0 1 1 0 0 1 1\\n"}}}')
client.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)
check(len(client.diagnostics("file:///tmp/a\ufffd.ldr")) == 1, "a uri with a lone surrogate")
# A document over 100 MB: told once however often it changes, never held.
big_uri = uri_of(os.path.join(work, "big.ldr"))
big = "0 " + "x" * (100 * 1000 * 1000) + "\n"
client.open(big_uri, big)
told = client.wait(lambda m: m.get("method") == "window/showMessage")
check(told is not None and "larger than 100 MB" in told["params"]["message"], "a document over 100 MB")
client.diagnostics(big_uri)
for version in (2, 3):
    client.notify("textDocument/didChange", {"textDocument": {"uri": big_uri, "version": version},
                                             "contentChanges": [{"text": big}]})
    check(client.diagnostics(big_uri) == [], "a document over 100 MB, changed")
peak = [line for line in open("/proc/%d/status" % client.process.pid) if line.startswith("VmHWM")] \
    if not EMULATOR else ["VmHWM: 0 kB (not measured under an emulator)"]
check(int(peak[0].split()[1]) < 256 * 1024, "peak memory with a 101 MB document: " + peak[0].strip())
check(client.request("shutdown")["result"] is None, "shutdown")
client.notify("exit")
told_again = False
while True:
    message = client.read()
    if message is None:
        break
    told_again = told_again or message.get("method") == "window/showMessage"
check(not told_again, "a document over 100 MB is told once")
check(client.close(True) == 0, "exit after shutdown")

# An editor that resolves a code action's edit when it is chosen is offered
# the fix of the whole document without its edit, and gets it on resolve.
client = Client()
client.request("initialize", {"capabilities": {"textDocument": {"codeAction": {
    "resolveSupport": {"properties": ["edit"]}}}}})
uri = uri_of(os.path.join(work, "resolve.ldr"))
client.open(uri, warped * 3)
client.diagnostics(uri)
actions = client.request("textDocument/codeAction", {"textDocument": {"uri": uri}, "range": ALL_RANGE,
                                                     "context": {"diagnostics": []}})["result"]
lazy = [a for a in actions if a["kind"] == "source.fixAll"]
check(len(lazy) == 1 and "edit" not in lazy[0], "the fix of the whole document, not yet worked out")
if lazy:
    resolved = client.request("codeAction/resolve", lazy[0])["result"]
    check(apply(warped * 3, resolved["edit"]["changes"][uri]) == fixed_by_tool((warped * 3).encode(), work),
          "the fix of the whole document, resolved")
client.request("shutdown")
client.notify("exit")
check(client.close() == 0, "exit after shutdown")

# A session replayed whole, every message already written: the documents
# opened are checked before shutdown is answered.
session = os.path.join(work, "session.bin")
replayed = uri_of(os.path.join(work, "replayed.ldr"))
with open(session, "wb") as f:
    f.write(frame({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}}))
    f.write(frame({"jsonrpc": "2.0", "method": "initialized", "params": {}}))
    f.write(frame({"jsonrpc": "2.0", "method": "textDocument/didOpen", "params": {"textDocument": {
        "uri": replayed, "languageId": "ldraw", "version": 1, "text": warped}}}))
    f.write(frame({"jsonrpc": "2.0", "id": 2, "method": "shutdown"}))
    f.write(frame({"jsonrpc": "2.0", "method": "exit"}))
client = Client(stdin=open(session, "rb"))
order = []
while True:
    message = client.read()
    if message is None:
        break
    order.append(message.get("method") or "reply %s" % message.get("id"))
check(order == ["reply 1", "textDocument/publishDiagnostics", "reply 2"], "a replayed session: %s" % order)
check(client.close(True) == 0, "a replayed session ends after shutdown")

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
