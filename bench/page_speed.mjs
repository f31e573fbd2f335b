// The web page's speed in Chromium, headless: how long until it can check,
// a 10 MB part checked, and a library folder checked with every check,
// beside the native scan of the same folder on one thread: a benchmark,
// not a test.
//   node bench/page_speed.mjs PAGE.html SKEWQUAD LIBRARY_FOLDER   (puppeteer-core from tests/browser)
import { spawnSync } from 'node:child_process';
import { createRequire } from 'node:module';
import path from 'node:path';

const require = createRequire(path.resolve('tests/browser/package.json'));
const puppeteer = require('puppeteer-core');
const [pageFile, tool, library] = process.argv.slice(2).map((p) => path.resolve(p));
const best = (times) => Math.min(...times).toFixed(2);

const browser = await puppeteer.launch({
  executablePath: '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'],
});
const page = await browser.newPage();
let started = Date.now();
await page.goto('file://' + pageFile, { waitUntil: 'load' });
const loaded = (Date.now() - started) / 1000;
await page.evaluate(() => window.skewquad.check(
    [{ path: 'a.dat', bytes: new TextEncoder().encode('4 16 0 0 0 1 0 0 1 1 0 0 1 0\n') }], {}));
const ready = (Date.now() - started) / 1000;

// 10 MB: a part whose every tenth quad is warped, as the editor's benchmark has it.
const part = await page.evaluate(async () => {
  const warped = '4 16 -20 0 -10 20 0 -10 20 8 -12 -20 8 -10\r\n';
  const flat = '4 16 -20 0 -10 20 0 -10 20 8 -10 -20 8 -10\r\n';
  const text = ('0 header\r\n' + (flat.repeat(9) + warped).repeat(Math.ceil(10e6 / (10 * flat.length))));
  const files = [{ path: 'big.dat', bytes: new TextEncoder().encode(text) }];
  const times = [];
  let lines = 0;
  for (let run = 0; run < 3; ++run) {
    const start = performance.now();
    lines = (await window.skewquad.check(files, {})).split('\n').length - 2;
    times.push((performance.now() - start) / 1000);
  }
  return { times, lines, size: files[0].bytes.length };
});

// The library, given as through the folder input.
await page.evaluate(() => {
  const input = document.createElement('input');
  input.type = 'file';
  input.webkitdirectory = true;
  input.id = 'bench-folder';
  document.body.append(input);
  // The browser lists a folder's files after it was given.
  window.benchFolder = new Promise((resolve) => input.addEventListener('change', () => resolve(input.files)));
});
await (await page.$('#bench-folder')).uploadFile(library);
const whole = await page.evaluate(async () => {
  const list = await window.benchFolder;
  const files = await Promise.all([...list].map(async (f) => (
    { path: f.webkitRelativePath, bytes: new Uint8Array(await f.arrayBuffer()) })));
  const times = [];
  let report = '';
  for (let run = 0; run < 3; ++run) {
    const start = performance.now();
    report = await window.skewquad.check(files, { checks: 'all' });
    times.push((performance.now() - start) / 1000);
  }
  return { times, files: files.length, bytes: files.reduce((s, f) => s + f.bytes.length, 0), report };
});
await browser.close();

const native = [];
let nativeReport = '';
for (let run = 0; run < 3; ++run) {
  started = Date.now();
  nativeReport = spawnSync(tool, ['--scan', '--jobs=1', '--checks=all', '--json', '--', path.basename(library)],
      { cwd: path.dirname(library), maxBuffer: 1 << 30 }).stdout.toString();
  native.push((Date.now() - started) / 1000);
}
console.log(`page loaded in ${loaded.toFixed(2)} s, ready to check in ${ready.toFixed(2)} s`);
console.log(`${(part.size / 1e6).toFixed(1)} MB part, ${part.lines} findings: ${best(part.times)} s (best of 3)`);
console.log(`${whole.files} files, ${(whole.bytes / 1e6).toFixed(1)} MB, --checks=all: page ${best(whole.times)} s, ` +
    `native --jobs=1 ${best(native)} s (${(Math.min(...whole.times) / Math.min(...native)).toFixed(2)} times); ` +
    `reports ${whole.report === nativeReport ? 'equal' : 'DIFFER'}`);
