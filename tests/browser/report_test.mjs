// The HTML report in Debian's Chromium and Firefox, headless, driven by
// puppeteer-core (the DevTools protocol for one, WebDriver BiDi for the
// other):
//   node report_test.mjs SKEWQUAD CASES_DIR
// Each report must load with no console error and no request, hold exactly
// the JSON report's findings, a page of rows at a time, filter, show a
// clicked finding's quad in its colour, and show hostile names and contents
// as text.
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import puppeteer from 'puppeteer-core';

const [tool, cases] = process.argv.slice(2);
const chromium = ['/usr/bin/chromium', '/usr/bin/chromium-browser'].find((p) => fs.existsSync(p));
if (!chromium) {
  console.log('skipped: needs chromium');
  process.exit(77);
}
const failures = [];
let current = '';
const check = (ok, what) => {
  if (!ok) { failures.push(current + ': ' + what); console.log('FAILED:', current + ':', what); }
};

const work = fs.mkdtempSync(path.join(os.tmpdir(), 'skewquad-report-'));
function scan(args, cwd) {
  const run = spawnSync(tool, ['--scan', ...args], { cwd, maxBuffer: 1 << 30 });
  return run.stdout;
}

// A tree of the cases' files, a generated tree, and hostile names.
const tree = path.join(work, 'tree');
fs.mkdirSync(path.join(tree, 'parts', 's'), { recursive: true });
fs.mkdirSync(path.join(tree, 'p'), { recursive: true });
fs.copyFileSync(path.join(cases, 'scan_text_report/library/parts/3001.dat'), path.join(tree, 'parts/3001.dat'));
fs.copyFileSync(path.join(cases, 'scan_text_report/library/parts/faults.dat'), path.join(tree, 'parts/faults.dat'));
fs.copyFileSync(path.join(cases, 'scan_every_line_check/lib/parts/lines.dat'), path.join(tree, 'parts/lines.dat'));
fs.writeFileSync(path.join(tree, 'p/box.dat'), '4 16 0 0 0 1 0 0 1 1 0 0 1 0\n');
fs.writeFileSync(path.join(tree, 'parts/s/holder.dat'), '1 16 0 0 0 1 0 0 0 1 0 0 0 1 box.dat\n4 16 0 0 0 1 0 0 1 1 0 0 1 1\n');
for (let i = 0; i < 40; ++i) {
  let text = '0 generated\n1 16 0 0 0 1 0 0 0 1 0 0 0 1 s/holder.dat\n1 16 5 0 0 1 0 0 0 1 0 0 0 1 nowhere.dat\n';
  for (let k = 0; k < 30; ++k) text += `4 16 ${k} 0 0 ${k + 1} 0 0 ${k + 1} 1 ${(k % 7) * 0.02} ${k} 1 0\n`;
  fs.writeFileSync(path.join(tree, `parts/gen${String(i).padStart(2, '0')}.dat`), text);
}
const hostile = '<img src=x onerror=alert(1)>&"q\'\u00e9.dat';
fs.writeFileSync(path.join(tree, 'parts', hostile),
    '0 </script><script>alert(2)</script>\n1 16 0 0 0 1 0 0 0 1 0 0 0 1 </script><b>x</b>.dat\n' +
    '4 16 0 0 0 1 0 0 1 1 0 0 1 1\n');
fs.writeFileSync(Buffer.concat([Buffer.from(path.join(tree, 'parts', 'bad')), Buffer.from([0xff, 0x3c]), Buffer.from('.dat')]),
    '4 16 0 0 0 1 0 0 1 1 0 0 1 1\n');

async function testIn(launchOptions) {
  const browser = await puppeteer.launch(launchOptions);

  async function load(report, name) {
    const page = await browser.newPage();
    await page.setViewport({ width: 1200, height: 900 });
    const problems = [];
    const requests = [];
    page.on('console', (m) => { if (m.type() === 'error') problems.push(m.text()); });
    page.on('pageerror', (e) => problems.push(String(e)));
    page.on('dialog', async (d) => { problems.push('dialog: ' + d.message()); await d.dismiss(); });
    // Inline data (Firefox loads a font of its own so) is not the network.
    page.on('request', (r) => { if (!/^(file|data):/.test(r.url())) requests.push(r.url()); });
    const file = path.join(work, name);
    fs.writeFileSync(file, report);
    const started = Date.now();
    await page.goto('file://' + file, { waitUntil: 'load' });
    const seconds = (Date.now() - started) / 1000;
    check(problems.length === 0, name + ': console errors ' + problems.join(' | '));
    check(requests.length === 0, name + ': requests ' + requests.join(' '));
    return { page, seconds, problems };
  }

  const { page, problems } = await load(html, 'report.html');

  // The table holds exactly the JSON report's findings; a filter narrows it.
  const shown = await page.evaluate(() => window.skewquad.findings.map((f) => [f.f, f.l, f.c, f.s].join('|')));
  const wanted = json.map((r) => [r.file, r.line, r.check, r.severity].join('|'));
  check(JSON.stringify(shown.slice().sort()) === JSON.stringify(wanted.slice().sort()),
      'the table holds the JSON report\'s findings: ' + shown.length + ' against ' + wanted.length);
  // Rows come a page at a time; page by page they are the findings.
  const pageSize = 500;
  const rowCount = () => page.$$eval('#sq-table tbody tr', (r) => r.length);
  const matching = () => page.$eval('#sq-shown', (e) => Number(e.textContent.split(' ')[0]));
  const filterBy = (id, value) => page.evaluate((i, v) => {
    document.getElementById(i).value = v;
    document.getElementById(i).dispatchEvent(new Event('input'));
  }, id, value);
  check(wanted.length > pageSize && await rowCount() === pageSize, 'the first page of rows');
  while (await page.$eval('#sq-more', (b) => !b.hidden)) await page.click('#sq-more');
  const rowTexts = await page.$$eval('#sq-table tbody tr',
      (r) => r.map((row) => [...row.cells].slice(0, 4).map((c) => c.textContent).join('|')));
  // A finding of a file as a whole (line 0) stands on no line of it.
  const wantedRows = json.map((r) => [r.file, r.line || 'file', r.check, r.severity].join('|'));
  check(json.some((r) => r.line === 0) &&
      JSON.stringify(rowTexts.sort()) === JSON.stringify(wantedRows.sort()), 'a row a finding');
  await page.select('#sq-check', 'warp');
  const warps = json.filter((r) => r.check === 'warp').length;
  check(warps > 0 && await matching() === warps && await rowCount() === Math.min(warps, pageSize),
      'the check filter narrows the table');
  await page.select('#sq-check', '');
  await page.type('#sq-file', 'gen03');
  const narrowed = json.filter((r) => r.file.includes('gen03')).length;
  check(await matching() === narrowed && await rowCount() === narrowed, 'the file filter narrows the table');

  // A finding clicked: its file's view opens and its quad shows in its colour.
  const target = json.find((r) => r.file === 'tree/parts/3001.dat' && r.check === 'warp' && r.severity === 'error');
  await filterBy('sq-file', '3001.dat');
  const index = await page.evaluate((t) => window.skewquad.findings.findIndex((f) => f.f === t.file && f.l === t.line), target);
  await page.click(`#sq-table tbody tr[data-index="${index}"]`);
  // The view opens once the file's lines are inflated.
  await page.waitForFunction((t) => window.skewquad.quadPoint(t.file, t.line) !== null, { timeout: 10000 }, target)
      .catch(() => {});
  // The view stands below the table, which the file's findings may fill.
  await page.$eval('#sq-canvas', (c) => c.scrollIntoView({ block: 'center' }));
  const point = await page.evaluate((t) => window.skewquad.quadPoint(t.file, t.line), target);
  check(point !== null, 'the clicked finding\'s quad is drawn');
  if (point) {
    const shot = path.join(work, 'view.png');
    await page.screenshot({ path: shot });
    const pixel = await page.evaluate(async (x, y) => {
      const canvas = document.getElementById('sq-canvas');
      const r = canvas.getBoundingClientRect();
      const data = canvas.getContext('2d').getImageData(Math.round((x - r.left) * canvas.width / r.width),
          Math.round((y - r.top) * canvas.height / r.height), 1, 1).data;
      return '#' + [data[0], data[1], data[2]].map((v) => v.toString(16).padStart(2, '0')).join('');
    }, point.x, point.y);
    check(pixel === point.colour && point.colour === '#d62728', 'the quad in its colour: ' + pixel);
    // And a click on the quad itself selects its finding.
    await page.evaluate(() => { for (const r of document.querySelectorAll('tr.sq-selected')) r.classList.remove('sq-selected'); });
    await page.mouse.click(point.x, point.y);
    await page.waitForSelector('#sq-table tr.sq-selected', { timeout: 5000 }).catch(() => {});
    const selected = await page.$eval('#sq-table tr.sq-selected', (r) => r.dataset.index).catch(() => null);
    check(selected === String(index), 'a click on the quad selects its finding');
  }

  // Hostile names and contents stay text.
  await filterBy('sq-file', '');
  while (await page.$eval('#sq-more', (b) => !b.hidden)) await page.click('#sq-more');
  const texts = await page.$$eval('#sq-table tbody td:first-child', (c) => c.map((d) => d.textContent));
  check(texts.includes('tree/parts/' + hostile), 'a name with markup shows as text');
  check(texts.some((t) => t.includes('\ufffd')), 'a name that is not UTF-8 shows with U+FFFD');
  check(await page.$('img') === null && await page.$('#sq-table b') === null, 'no markup from names or contents');
  const hostileIndex = await page.evaluate((p) => window.skewquad.findings.findIndex((f) => f.f === p), 'tree/parts/' + hostile);
  await page.click(`#sq-table tbody tr[data-index="${hostileIndex}"]`);
  await page.waitForFunction(() => document.getElementById('sq-missing').textContent.includes('x</b>.dat'),
      { timeout: 10000 }).catch(() => {});
  check(await page.$eval('#sq-missing', (e) => e.textContent.includes('</script><b>x</b>.dat')), 'a missing sub-file is listed as text');
  check(problems.length === 0, 'no console error or dialog after clicking: ' + problems.join(' | '));

  // A build without zlib writes the files' lines as plain JSON: the same
  // report so written opens the same view.
  const plain = html.toString('latin1').replace(/,"z":"([A-Za-z0-9+/=]*)"\}$/gm, (record, base64) =>
    ',"lines":' + zlib.inflateSync(Buffer.from(base64, 'base64')).toString('latin1') + '}');
  // A zlib stream begins 0x78, which base64 writes as 'e'.
  check(!plain.includes(',"z":"e') && plain.includes(',"lines":[['), 'every deflated record inflated');
  const unzipped = await load(Buffer.from(plain, 'latin1'), 'plain.html');
  await unzipped.page.evaluate((t) => window.skewquad.select(t.file, t.line), target);
  check(await unzipped.page.evaluate((t) => window.skewquad.quadPoint(t.file, t.line) !== null, target),
      'a report without deflated lines draws the quad');
  check(unzipped.problems.length === 0, 'plain report: ' + unzipped.problems.join(' | '));

  // Real parts in a folder laid out as the library, given by their paths
  // below its root: every sub-file found and drawn, and each flagged quad
  // framed, facing the viewer and filling most of the view.
  current = current.split(' ')[0] + ' real parts';
  const real = await load(realHtml, 'real.html');
  for (const f of realJson) {
    await real.page.evaluate((t) => window.skewquad.select(t.file, t.line), f);
    const missing = await real.page.evaluate(() => window.skewquad.missing());
    check(missing !== null && missing.length === 0, f.file + ': sub-files not found: ' + missing);
    const box = await real.page.evaluate((t) => window.skewquad.quadBox(t.file, t.line), f);
    check(box !== null, f.file + ': the quad is drawn');
    if (!box) continue;
    const across = Math.max(box.right - box.left, box.bottom - box.top);
    const middle = [(box.left + box.right) / 2, (box.top + box.bottom) / 2];
    check(across > 0.45 && across < 0.75, f.file + ': the quad fills most of the view: ' + JSON.stringify(box));
    check(Math.abs(middle[0] - 0.5) < 0.05 && Math.abs(middle[1] - 0.5) < 0.05, f.file + ': the quad in the middle');
    check(box.facing > 0.9, f.file + ': the quad faces the viewer: ' + box.facing);
    if (process.env.SKEWQUAD_REPORT_PICTURE && current.startsWith('chromium') && f.file.includes('3183a')) {
      await real.page.screenshot({ path: process.env.SKEWQUAD_REPORT_PICTURE });
    }
  }
  check(real.problems.length === 0, 'real parts: ' + real.problems.join(' | '));
  await browser.close();
}

// The scans once, then each browser there is: Chromium always, Firefox
// where it is installed, both through the same driver.
const json = scan(['--json', '--warnings', '--checks=all', 'tree'], work).toString('utf8').trim().split('\n')
    .map((l) => JSON.parse(l)).filter((r) => 'line' in r);
const html = scan(['--format=html', '--warnings', '--checks=all', 'tree', 'missing.dat'], work);
const realRoot = path.join(work, 'ldraw');
fs.cpSync(path.join(cases, '..', 'data', 'real-library'), realRoot, { recursive: true });
const realJson = scan(['--json', '--warnings', 'parts/3183a.dat', 'parts/3816pa2.dat'], realRoot).toString('utf8')
    .trim().split('\n').map((l) => JSON.parse(l)).filter((r) => 'line' in r);
const realHtml = scan(['--format=html', '--warnings', 'parts/3183a.dat', 'parts/3816pa2.dat'], realRoot);
check(realJson.length === 2, 'the real parts have a warped quad each: ' + JSON.stringify(realJson));
const browsers = [['chromium', {
  executablePath: chromium,
  headless: true,
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync', '--window-size=1200,900'],
}]];
const firefox = ['/usr/bin/firefox-esr', '/usr/bin/firefox'].find((p) => fs.existsSync(p));
if (firefox) browsers.push(['firefox', { browser: 'firefox', executablePath: firefox, headless: true }]);
else console.log('firefox: not installed, not tested');
for (const [name, options] of browsers) {
  current = name;
  await testIn(options);
}
fs.rmSync(work, { recursive: true, force: true });
console.log(`${failures.length ? 0 : 1} passed, ${failures.length} failed`);
process.exit(failures.length ? 1 : 0);
