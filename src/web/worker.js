// The page's worker: the tool compiled to WebAssembly, run on the dropped
// files as the command line runs on a folder. Each request writes the files
// into the engine's memory file system under a fresh folder, runs the scan
// there with the arguments the page built, and answers with what it wrote
// on standard output and error, and the files as they are after it.
/* global createSkewquad */
'use strict';

// A run's standard output or error, byte for byte, as the tool writes it.
class ByteSink {
  constructor() {
    this.bytes = new Uint8Array(1 << 16);
    this.length = 0;
  }
  push(byte) {
    if (this.length === this.bytes.length) {
      const grown = new Uint8Array(this.bytes.length * 2);
      grown.set(this.bytes);
      this.bytes = grown;
    }
    this.bytes[this.length++] = byte;
  }
  take() {
    const taken = this.bytes.slice(0, this.length);
    this.bytes = new Uint8Array(1 << 16);
    this.length = 0;
    return taken;
  }
}

const output = new ByteSink();
const errors = new ByteSink();
// The engine; made again after a run that aborted it (memory run out),
// which leaves it unusable.
const newEngine = () => createSkewquad({
  preRun: [(module) => module.FS.init(() => null, (b) => output.push(b), (b) => errors.push(b))],
});
let engine = newEngine();
let runs = 0;

function makeParents(FS, path, made) {
  let folder = '';
  for (const part of path.split('/').slice(0, -1)) {
    folder += (folder ? '/' : '') + part;
    if (!made.has(folder)) {
      FS.mkdir(folder);
      made.add(folder);
    }
  }
}

// A file whose bytes the file system may keep as they are: the worker's own
// copy, and a run replaces a file rather than writing into it.
function writeOwned(FS, path, bytes) {
  const stream = FS.open(path, 'w');
  FS.write(stream, bytes, 0, bytes.length, 0, true);
  FS.close(stream);
}

function sameBytes(a, b) {
  if (a.length !== b.length) return false;
  for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
  return true;
}

function removeTree(FS, path) {
  for (const name of FS.readdir(path)) {
    if (name === '.' || name === '..') continue;
    const inside = path + '/' + name;
    if (FS.isDir(FS.lstat(inside).mode)) removeTree(FS, inside);
    else FS.unlink(inside);
  }
  FS.rmdir(path);
}

// Runs the tool with the request's arguments on its files, in a folder of
// their own that goes with the run, counting the given files it has opened
// for the page's progress.
function run(module, request) {
  const { FS } = module;
  const folder = '/run' + ++runs;
  FS.mkdir(folder);
  FS.chdir(folder);
  try {
    return runIn(module, folder, request);
  } finally {
    FS.chdir('/');
    removeTree(FS, folder);
  }
}

function runIn(module, folder, request) {
  const { FS } = module;
  // What a run that failed had written so far is not this run's.
  output.take();
  errors.take();
  const files = request.entries.map((entry) => (
    { path: entry.path, bytes: request.packed.subarray(entry.at, entry.at + entry.length) }));
  const given = new Set();
  const made = new Set();
  for (const file of files) {
    makeParents(FS, file.path, made);
    if (request.readBack) FS.writeFile(file.path, file.bytes);
    else writeOwned(FS, file.path, file.bytes);
    if (/\.(dat|ldr|mpd)$/i.test(file.path)) given.add(folder + '/' + file.path);
  }
  const opened = new Set();
  let told = 0;
  const open = FS.open;
  FS.open = (path, flags, mode) => {
    const stream = open(path, flags, mode);
    if (given.has(stream.path) && !opened.has(stream.path)) {
      opened.add(stream.path);
      const now = Date.now();
      if (now - told > 100) {
        told = now;
        postMessage({ id: request.id, progress: opened.size, of: given.size });
      }
    }
    return stream;
  };
  let status;
  try {
    status = module.callMain(request.args);
  } finally {
    FS.open = open;
  }
  const answer = { id: request.id, status, output: output.take(), errors: errors.take() };
  if (request.readBack) {
    answer.files = [];
    for (const file of files) {
      const bytes = FS.readFile(file.path);
      if (!sameBytes(bytes, file.bytes)) answer.files.push({ path: file.path, bytes });
    }
  }
  return answer;
}

onmessage = async (event) => {
  const module = await engine;
  let answer;
  try {
    answer = run(module, event.data);
  } catch (error) {
    answer = { id: event.data.id, failed: String(error && error.message ? error.message : error) };
    if (error instanceof WebAssembly.RuntimeError) engine = newEngine();
  }
  const transfer = [answer.output, answer.errors, ...(answer.files || []).map((f) => f.bytes)]
    .filter(Boolean).map((b) => b.buffer);
  postMessage(answer, transfer);
};
