// The page: files dropped or picked, the settings, the worker's runs of the
// tool, its own HTML report drawn in a frame, the mended files and the
// patch; and window.skewquad, the same runs for scripts.
/* global zipOf */
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);
  const decoder = new TextDecoder();

  // The worker, from the source this page holds: a page opened from disk
  // may not fetch a script.
  const worker = new Worker(URL.createObjectURL(
      new Blob([$('sk-worker-source').textContent], { type: 'text/javascript' })));
  const pending = new Map();
  let lastId = 0;
  worker.onmessage = (event) => {
    const answer = event.data;
    const waiting = pending.get(answer.id);
    if (!waiting) return;
    if (answer.progress !== undefined) {
      if (waiting.progress) waiting.progress(answer.progress, answer.of);
      return;
    }
    pending.delete(answer.id);
    if (answer.failed) waiting.reject(new Error(answer.failed));
    else waiting.resolve(answer);
  };
  worker.onerror = (event) => {
    event.preventDefault();
    for (const waiting of pending.values()) waiting.reject(new Error(event.message));
    pending.clear();
  };

  // The files go to the worker packed in one buffer, handed over rather
  // than copied again: thousands of buffers cost more to pass than bytes.
  function runTool(files, args, readBack, progress) {
    const packed = new Uint8Array(files.reduce((sum, file) => sum + file.bytes.length, 0));
    let at = 0;
    const entries = files.map((file) => {
      packed.set(file.bytes, at);
      at += file.bytes.length;
      return { path: file.path, at: at - file.bytes.length, length: file.bytes.length };
    });
    return new Promise((resolve, reject) => {
      const id = ++lastId;
      pending.set(id, { resolve, reject, progress });
      worker.postMessage({ id, entries, packed, args, readBack }, [packed.buffer]);
    });
  }

  const ldrawName = /\.(dat|ldr|mpd)$/i;

  // The files as the tool is to see them: each path relative, its parts
  // neither empty, "." nor "..", given once.
  function checkedFiles(files) {
    if (!Array.isArray(files)) throw new TypeError('files must be an array of {path, bytes}');
    const seen = new Set();
    return files.map((file) => {
      if (!file || typeof file.path !== 'string' || !(file.bytes instanceof Uint8Array)) {
        throw new TypeError('each file must be {path: string, bytes: Uint8Array}');
      }
      const path = file.path.replace(/\\/g, '/').replace(/^\/+/, '');
      if (path.split('/').some((part) => part === '' || part === '.' || part === '..') ||
          path.includes('\0')) {
        throw new TypeError('not a path inside the files given: ' + JSON.stringify(file.path));
      }
      if (seen.has(path)) throw new TypeError('given twice: ' + JSON.stringify(path));
      seen.add(path);
      return { path, bytes: file.bytes };
    });
  }

  // What the command line would be given: each folder at the top, and each
  // LDraw file there, in order, as a shell sorts them.
  function topNames(files) {
    const names = new Set();
    for (const file of files) {
      const slash = file.path.indexOf('/');
      if (slash >= 0) names.add(file.path.slice(0, slash));
      else if (ldrawName.test(file.path)) names.add(file.path);
    }
    if (names.size === 0) throw new TypeError('no LDraw file (.dat, .ldr, .mpd) among the files');
    return [...names].sort();
  }

  function argumentsFor(files, options, action) {
    const args = ['--scan', '--jobs=1'];
    if (options.warningAngle !== undefined && options.warningAngle !== '') {
      args.push('--warning=' + options.warningAngle);
    }
    if (options.errorAngle !== undefined && options.errorAngle !== '') {
      args.push('--error=' + options.errorAngle);
    }
    if (options.checks) args.push('--checks=' + options.checks);
    if (options.failOn) args.push('--fail-on=' + options.failOn);
    return [...args, ...action, '--', ...topNames(files)];
  }

  async function toolRun(files, options, action, readBack, progress) {
    const given = checkedFiles(files);
    return runTool(given, argumentsFor(given, options || {}, action), readBack, progress);
  }

  window.skewquad = {
    // The JSON Lines report, as skewquad --scan --json writes it.
    async check(files, options) {
      return decoder.decode((await toolRun(files, options, ['--json'], false)).output);
    },
    // The files --fix changes, each {path, bytes} as --fix writes it.
    async fix(files, options) {
      return (await toolRun(files, options, ['--fix'], true)).files;
    },
    // The patch --diff writes.
    async diff(files, options) {
      return decoder.decode((await toolRun(files, options, ['--diff'], false)).output);
    },
  };

  // The page.
  let dropped = [];
  let report = null; // the JSON Lines report of the last check
  let mended = null; // the files the last mend changed
  let patch = null; // the bytes of the last patch
  const largest = 32 * 1024 * 1024; // a file above it is not drawn in 3D

  const say = (text) => { $('sk-status').textContent = text; };
  const megabytes = (n) => (n / 1048576).toFixed(1) + ' MB';

  function download(name, bytes, type) {
    const link = document.createElement('a');
    link.href = URL.createObjectURL(new Blob([bytes], { type }));
    link.download = name;
    document.body.append(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 60000);
  }

  function settings() {
    const checks = [...document.querySelectorAll('input[name=sk-check]:checked')].map((b) => b.value);
    return {
      warningAngle: $('sk-warning').value.trim(),
      errorAngle: $('sk-error').value.trim(),
      checks: checks.length ? checks.join(',') : 'quads',
      failOn: $('sk-fail-on').value,
    };
  }

  function setBusy(busy) {
    for (const id of ['sk-check', 'sk-mend', 'sk-diff']) $(id).disabled = busy || !dropped.length;
    $('sk-json').disabled = busy || !report;
    $('sk-zip').disabled = busy || !mended || !mended.length;
  }

  async function take(list) {
    dropped = list;
    report = null;
    mended = null;
    $('sk-mended').replaceChildren();
    $('sk-patch').hidden = true;
    const total = list.reduce((sum, f) => sum + f.bytes.length, 0);
    const notes = [`${list.length} file(s), ${megabytes(total)}.`];
    if (!list.some((f) => /(^|\/)ldconfig\.ldr$/i.test(f.path))) {
      notes.push('No LDConfig.ldr among them: colours are not checked.');
    }
    const big = list.filter((f) => f.bytes.length > largest);
    for (const f of big) notes.push(`${f.path} is ${megabytes(f.bytes.length)}: checking it takes a while.`);
    $('sk-given').textContent = notes.join(' ');
    setBusy(false);
    if (list.length) await check();
  }

  const progressOf = (what) => (done, of) => say(`${what}: ${done} of ${of} file(s) done`);

  async function check() {
    setBusy(true);
    const options = settings();
    try {
      say('Checking');
      const answer = await toolRun(dropped, options, ['--json'], false, progressOf('Checking'));
      report = answer.output;
      $('sk-notes').textContent = decoder.decode(answer.errors);
      const last = decoder.decode(report).trimEnd().split('\n').pop();
      // No summary: the tool refused the settings, in the words shown below.
      if (!last.startsWith('{"summary"')) throw new Error('the settings were refused, as said below');
      const { summary } = JSON.parse(last);
      const done = `Checked ${summary.files} file(s)` + (summary.unreadable ? ` (${summary.unreadable} unreadable)` : '') +
          `, ${summary.quads} quad(s): ${summary.errors} error(s), ${summary.warnings} warning(s).`;
      say(done);
      if (dropped.some((f) => f.bytes.length > largest)) {
        $('sk-report').removeAttribute('src');
        $('sk-report').hidden = true;
        $('sk-notes').textContent += 'A file above 32 MB is not drawn; the JSON Lines report holds every finding.\n';
      } else {
        const html = await toolRun(dropped, options, ['--format=html'], false, progressOf('Drawing'));
        const frame = $('sk-report');
        if (frame.src) URL.revokeObjectURL(frame.src);
        frame.src = URL.createObjectURL(new Blob([html.output], { type: 'text/html' }));
        frame.hidden = false;
        say(done);
      }
    } catch (error) {
      say('Not checked: ' + error.message);
    }
    setBusy(false);
  }

  async function mend() {
    setBusy(true);
    try {
      say('Mending');
      const answer = await toolRun(dropped, settings(), ['--fix'], true, progressOf('Mending'));
      mended = answer.files;
      $('sk-notes').textContent = decoder.decode(answer.output) + decoder.decode(answer.errors);
      const list = $('sk-mended');
      const rows = mended.slice(0, 500).map((file) => {
        const row = document.createElement('li');
        const button = document.createElement('button');
        button.type = 'button';
        button.textContent = 'Take';
        button.addEventListener('click', () => download(file.path.split('/').pop(), file.bytes, 'text/plain'));
        const name = document.createElement('span');
        name.textContent = ' ' + file.path;
        row.append(button, name);
        return row;
      });
      if (mended.length > 500) {
        const more = document.createElement('li');
        more.textContent = `and ${mended.length - 500} more, in the zip`;
        rows.push(more);
      }
      list.replaceChildren(...rows);
      say(`Mended ${mended.length} file(s); nothing is changed until you take them.`);
    } catch (error) {
      say('Not mended: ' + error.message);
    }
    setBusy(false);
  }

  async function diff() {
    setBusy(true);
    try {
      say('Writing the patch');
      const answer = await toolRun(dropped, settings(), ['--diff'], false, progressOf('Diffing'));
      patch = answer.output;
      $('sk-patch-text').textContent = decoder.decode(patch);
      $('sk-notes').textContent = decoder.decode(answer.errors);
      $('sk-patch').hidden = false;
      say('The patch of what mending would change is below.');
    } catch (error) {
      say('No patch: ' + error.message);
    }
    setBusy(false);
  }

  async function filesOf(list, pathOf) {
    return Promise.all([...list].map(async (file) => (
      { path: pathOf(file), bytes: new Uint8Array(await file.arrayBuffer()) })));
  }

  // A dropped folder, walked through the entries the browser gives.
  async function entriesOf(entry, into) {
    if (entry.isFile) {
      const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
      into.push({ path: entry.fullPath.replace(/^\/+/, ''), bytes: new Uint8Array(await file.arrayBuffer()) });
      return;
    }
    const reader = entry.createReader();
    for (;;) {
      const batch = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
      if (!batch.length) break;
      for (const inner of batch) await entriesOf(inner, into);
    }
  }

  $('sk-files').addEventListener('change', async (e) => take(await filesOf(e.target.files, (f) => f.name)));
  $('sk-folder').addEventListener('change', async (e) => take(await filesOf(e.target.files, (f) => f.webkitRelativePath || f.name)));
  const zone = $('sk-drop');
  zone.addEventListener('dragover', (e) => { e.preventDefault(); zone.classList.add('sk-over'); });
  zone.addEventListener('dragleave', () => zone.classList.remove('sk-over'));
  zone.addEventListener('drop', async (e) => {
    e.preventDefault();
    zone.classList.remove('sk-over');
    const entries = [...e.dataTransfer.items].map((item) => item.webkitGetAsEntry()).filter(Boolean);
    const list = [];
    for (const entry of entries) await entriesOf(entry, list);
    take(list);
  });
  $('sk-check').addEventListener('click', check);
  $('sk-mend').addEventListener('click', mend);
  $('sk-diff').addEventListener('click', diff);
  $('sk-json').addEventListener('click', () => download('skewquad.jsonl', report, 'application/jsonl'));
  $('sk-zip').addEventListener('click', () => download('mended.zip', zipOf(mended), 'application/zip'));
  $('sk-patch-take').addEventListener('click', () => download('skewquad.patch', patch, 'text/x-diff'));
  setBusy(false);
})();
