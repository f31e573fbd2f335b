// The web page in Debian's Chromium and Firefox, headless, opened from disk:
//   node page_test.mjs PAGE SKEWQUAD CASES_DIR
// It must load with no console error, no dialog and no request beyond what
// it made itself; window.skewquad.check must give the very bytes of
// skewquad --scan --json, and fix the very files --fix writes, for real
// parts, generated faults, hostile names, a file that is not text and an
// empty one; a folder given through the folder input must be checked with
// its sub-files in p/ found, hostile names shown as text; and a 100 MB file
// must be told and checked with the page still answering.
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const [pageFile, tool, cases] = process.argv.slice(2);
const chromium = ['/usr/bin/chromium', '/usr/bin/chromium-browser'].find((p) => fs.existsSync(p));
if (!chromium) {
  console.log('skipped: needs chromium');
  process.exit(77);
}
if (!fs.existsSync(tool)) {
  console.log('FAILED: no native tool to compare with at ' + tool + ' (build the test preset first)');
  process.exit(1);
}
const failures = [];
let current = '';
const check = (ok, what) => {
  if (!ok) { failures.push(current + ': ' + what); console.log('FAILED:', current + ':', what); }
};

// A library of real parts with their headers, generated faults, hostile
// names, a file that is not text and an empty one.
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'skewquad-page-'));
const lib = path.join(work, 'lib');
const put = (name, bytes) => {
  fs.mkdirSync(path.dirname(path.join(lib, name)), { recursive: true });
  fs.writeFileSync(path.join(lib, name), bytes);
};
const real = path.join(cases, 'scan_file_checks_on_real_parts/lib');
for (const name of ['parts/3816pa2.dat', 'parts/s/3816s01.dat', 'parts/30226.dat', 'p/48/1-12chrd.dat']) {
  put(name, fs.readFileSync(path.join(real, name)));
}
put('LDConfig.ldr', fs.readFileSync(path.join(cases, 'scan_every_line_check/lib/LDConfig.ldr')));
put('parts/3001.dat', fs.readFileSync(path.join(cases, 'scan_text_report/library/parts/3001.dat')));
put('parts/faults.dat', fs.readFileSync(path.join(cases, 'scan_text_report/library/parts/faults.dat')));
put('parts/lines.dat', fs.readFileSync(path.join(cases, 'scan_every_line_check/lib/parts/lines.dat')));
put('p/box.dat', '0 box\n4 16 0 0 0 1 0 0 1 1 0 0 1 0.3\n');
put('parts/holder.dat', '0 holder\r\n1 16 0 0 0 1 0 0 0 1 0 0 0 1 BOX.DAT\r\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\r\n');
for (let i = 0; i < 12; ++i) {
  let text = '0 generated\n0 BFC CERTIFY CW\n2 24 0 0 0 1.50000 0 0\n3 999 0 0 0 1 0 0 0 1 0\n';
  for (let k = 0; k < 20; ++k) text += `4 16 ${k} 0 0 ${k + 1} 0 0 ${k + 1} 1 ${(k % 7) * 0.03} ${k} 1 0\n`;
  put(`parts/gen${String(i).padStart(2, '0')}.dat`, text);
}
const hostile = '<img src=x onerror=alert(1)>&"q\'\u00e9.dat';
put('parts/' + hostile, '0 </script><script>alert(2)</script>\n1 16 0 0 0 1 0 0 0 1 0 0 0 1 </script><b>x</b>.dat\n' +
    '4 16 0 0 0 1 0 0 1 1 0 0 1 1\n');
put('parts/binary.dat', Buffer.from(Array.from({ length: 4096 }, (_, i) => (i * 7919 + (i >> 3)) & 0xff)));
put('parts/empty.dat', '');

function filesUnder(folder, prefix = '') {
  return fs.readdirSync(folder, { withFileTypes: true }).flatMap((entry) => entry.isDirectory()
    ? filesUnder(path.join(folder, entry.name), prefix + entry.name + '/')
    : [{ path: prefix + entry.name, bytes: fs.readFileSync(path.join(folder, entry.name)) }]);
}
const given = filesUnder(lib, 'lib/');

function nativeArgs(options) {
  const args = ['--scan', '--jobs=1'];
  if (options.warningAngle !== undefined) args.push('--warning=' + options.warningAngle);
  if (options.errorAngle !== undefined) args.push('--error=' + options.errorAngle);
  if (options.checks) args.push('--checks=' + options.checks);
  if (options.failOn) args.push('--fail-on=' + options.failOn);
  return args;
}
// The command line's defaults, others, and the page's own.
const settings = [{}, { checks: 'all', warningAngle: 0.5, errorAngle: 2, failOn: 'warning' },
  { checks: 'quads,lines,numbers,colours,file', warningAngle: '1', errorAngle: '3', failOn: 'error' }];
const expected = settings.map((options) => {
  const json = spawnSync(tool, [...nativeArgs(options), '--json', '--', 'lib'], { cwd: work }).stdout;
  const fixed = fs.mkdtempSync(path.join(work, 'fixed-'));
  fs.cpSync(lib, path.join(fixed, 'lib'), { recursive: true });
  spawnSync(tool, [...nativeArgs(options), '--fix', '--', 'lib'], { cwd: fixed });
  const mended = filesUnder(path.join(fixed, 'lib'), 'lib/')
    .filter((f) => !f.bytes.equals(given.find((g) => g.path === f.path).bytes));
  return { json: json.toString('utf8'), mended };
});
check(expected[1].mended.length >= 14, 'the native fix mends the generated and the CW parts: ' +
    expected[1].mended.length);

async function testIn(name, launchOptions) {
  current = name;
  const browser = await puppeteer.launch(launchOptions);
  const page = await browser.newPage();
  const problems = [];
  const requests = [];
  page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
  page.on('pageerror', (e) => problems.push(String(e)));
  page.on('dialog', async (d) => { problems.push('dialog: ' + d.message()); await d.dismiss(); });
  // What the page made itself (its worker, the engine, the report) is no
  // request that leaves it.
  page.on('request', (r) => { if (!/^(file|data|blob):/.test(r.url())) requests.push(r.url()); });
  await page.goto('file://' + pageFile, { waitUntil: 'load' });
  const inlined = await page.evaluate(() => ({
    styled: getComputedStyle(document.getElementById('sk-drop')).borderTopStyle,
    marks: /@(STYLE|SCRIPT|WORKER)@/.test(document.documentElement.outerHTML),
  }));
  check(inlined.styled === 'dashed' && !inlined.marks, 'the style and scripts inlined: ' + JSON.stringify(inlined));

  const encoded = given.map((f) => ({ path: f.path, base64: f.bytes.toString('base64') }));
  for (const [i, options] of settings.entries()) {
    const answer = await page.evaluate(async (files, options) => {
      const decoded = files.map((f) => ({ path: f.path, bytes: Uint8Array.from(atob(f.base64), (c) => c.charCodeAt(0)) }));
      const json = await window.skewquad.check(decoded, options);
      const mended = await window.skewquad.fix(decoded, options);
      let binary = '';
      return {
        json,
        mended: mended.map((f) => {
          binary = '';
          for (const b of f.bytes) binary += String.fromCharCode(b);
          return { path: f.path, base64: btoa(binary) };
        }),
      };
    }, encoded, options);
    check(answer.json === expected[i].json, `check ${JSON.stringify(options)} differs from --scan --json:\n` +
        answer.json.slice(0, 2000) + '\n---\n' + expected[i].json.slice(0, 2000));
    const want = expected[i].mended.map((f) => f.path + ' ' + f.bytes.toString('base64')).sort();
    const got = answer.mended.map((f) => f.path + ' ' + f.base64).sort();
    check(JSON.stringify(got) === JSON.stringify(want),
        `fix ${JSON.stringify(options)} differs from --fix: ${got.length} file(s) against ${want.length}`);
  }
  // The zip of every mended file, read by an unzip of its own (Python's).
  const zipped = await page.evaluate(async (files) => {
    const decoded = files.map((f) => ({ path: f.path, bytes: Uint8Array.from(atob(f.base64), (c) => c.charCodeAt(0)) }));
    let binary = '';
    for (const b of zipOf(await window.skewquad.fix(decoded, {}))) binary += String.fromCharCode(b);
    return btoa(binary);
  }, encoded);
  const unzipped = fs.mkdtempSync(path.join(work, 'unzipped-'));
  fs.writeFileSync(path.join(unzipped, 'mended.zip'), Buffer.from(zipped, 'base64'));
  const unzip = spawnSync('python3', ['-c', 'import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); ' +
      'assert z.testzip() is None; z.extractall(sys.argv[2])', path.join(unzipped, 'mended.zip'), unzipped]);
  check(unzip.status === 0, 'the zip reads: ' + unzip.stderr);
  fs.rmSync(path.join(unzipped, 'mended.zip'));
  const fromZip = filesUnder(unzipped).map((f) => f.path + ' ' + f.bytes.toString('base64')).sort();
  check(JSON.stringify(fromZip) === JSON.stringify(expected[0].mended.map((f) => f.path + ' ' +
      f.bytes.toString('base64')).sort()), `the zip holds what --fix writes, each at its path (${fromZip.length} file(s))`);

  const refused = await page.evaluate(async () => {
    try {
      await window.skewquad.check([{ path: 'lib/../x.dat', bytes: new Uint8Array(1) }], {});
      return 'accepted';
    } catch (error) {
      return error.message;
    }
  });
  check(refused.includes('not a path inside'), 'a path leading out of the files is refused: ' + refused);

  // Settings the tool refuses: the page says so, in the tool's words.
  await page.$eval('#sk-warning', (e) => { e.value = 'abc'; });
  await (await page.$('#sk-files')).uploadFile(path.join(lib, 'parts/3001.dat'));
  await page.waitForFunction(() => document.getElementById('sk-status').textContent.startsWith('Not checked'),
      { timeout: 60000 });
  const refusal = await page.$eval('#sk-notes', (e) => e.textContent);
  check(refusal.includes("--warning needs an angle in degrees, not 'abc'"), 'the refusal told: ' + refusal);
  await page.$eval('#sk-warning', (e) => { e.value = '1'; });

  // The folder input (Chromium; Firefox's WebDriver gives no folder) or the
  // files input: the page checks what it was given and draws the tool's
  // own report, with the sub-file in p/ found; hostile names stay text.
  const folder = name === 'chromium';
  if (folder) await (await page.$('#sk-folder')).uploadFile(lib);
  else await (await page.$('#sk-files')).uploadFile(...['parts/' + hostile, 'parts/3001.dat'].map((n) => path.join(lib, n)));
  await page.waitForFunction(() => document.getElementById('sk-status').textContent.startsWith('Checked ') &&
      !document.getElementById('sk-report').hidden, { timeout: 60000 });
  // The report's frame, once its page has loaded.
  let frame;
  let data;
  for (let tries = 0; data === undefined && tries < 100; ++tries) {
    frame = page.frames().find((f) => f !== page.mainFrame() && f.url().startsWith('blob:'));
    data = await frame?.$eval('#sq-data', (e) => e.textContent).catch(() => undefined);
    if (data === undefined) await new Promise((resolve) => setTimeout(resolve, 100));
  }
  check(data !== undefined && data.includes('3001.dat'), 'the report drawn');
  if (folder) {
    check(/"sub":"box\.dat"/i.test(data), 'the report holds the sub-file found in p/');
    check(!/"missing"[^\n]*box\.dat/i.test(data), 'box.dat is not missing');
  }
  await page.click('#sk-mend');
  await page.waitForFunction(() => document.getElementById('sk-status').textContent.startsWith('Mended'),
      { timeout: 60000 });
  const mendedText = await page.$eval('#sk-mended', (e) => e.textContent);
  check(mendedText.includes((folder ? 'lib/parts/' : '') + hostile), 'the hostile name is listed as text');
  check(await page.$$eval('img', (e) => e.length) === 0, 'no element made of a name');
  check(await frame.$$eval('img', (e) => e.length) === 0, 'no element made of a name in the report');
  if (folder) {
    const status = await page.$eval('#sk-status', (e) => e.textContent);
    check(status.includes(`Mended ${expected[2].mended.length} file(s)`), 'the mended files counted: ' + status);
    // A 100 MB file: told, checked, and the page answers meanwhile.
    const big = path.join(work, 'big.dat');
    const line = '4 16 0 0 0 10 0 0 10 10 1 0 10 0\n';
    fs.writeFileSync(big, line.repeat(Math.ceil(100 * 1048576 / line.length)));
    await (await page.$('#sk-files')).uploadFile(big);
    await page.waitForFunction(() => document.getElementById('sk-status').textContent.startsWith('Checking'),
        { timeout: 60000 });
    let slowest = 0;
    while ((await page.$eval('#sk-status', (e) => e.textContent)).startsWith('Checking')) {
      const started = Date.now();
      await page.evaluate(() => 1);
      slowest = Math.max(slowest, Date.now() - started);
      await new Promise((resolve) => setTimeout(resolve, 50));
    }
    check(slowest < 1000, `the page answers while a 100 MB file is checked (slowest ${slowest} ms)`);
    await page.waitForFunction(() => document.getElementById('sk-status').textContent.startsWith('Checked '),
        { timeout: 120000 });
    const told = await page.$eval('#sk-given', (e) => e.textContent);
    check(/big\.dat is 10\d\.\d MB/.test(told), 'the size is told: ' + told);
  }

  check(problems.length === 0, 'console errors: ' + problems.join(' | '));
  check(requests.length === 0, 'requests: ' + requests.join(' '));
  await browser.close();
}

await testIn('chromium', {
  executablePath: chromium,
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--window-size=1200,900'],
});
const firefox = ['/usr/bin/firefox-esr', '/usr/bin/firefox'].find((p) => fs.existsSync(p));
if (firefox) await testIn('firefox', { browser: 'firefox', executablePath: firefox, headless: true });
else console.log('firefox: not installed, not tested');
fs.rmSync(work, { recursive: true, force: true });
console.log(`${failures.length ? 0 : 1} passed, ${failures.length} failed`);
process.exit(failures.length ? 1 : 0);
