// How long a report takes to open in Chromium (or Firefox), headless, for
// its table to answer a filter and for a file's view to open: a benchmark,
// not a test.
//   node bench/report_load.mjs REPORT.html [firefox]   (puppeteer-core from tests/browser)
import { createRequire } from 'node:module';
import path from 'node:path';

const require = createRequire(path.resolve('tests/browser/package.json'));
const puppeteer = require('puppeteer-core');
const report = path.resolve(process.argv[2]);
const browser = await puppeteer.launch(process.argv[3] === 'firefox'
  ? { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true }
  : {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'],
  });
const page = await browser.newPage();
let started = Date.now();
await page.goto('file://' + report, { waitUntil: 'load', timeout: 120000 });
await page.waitForFunction(() => window.skewquad && document.querySelector('#sq-table tbody tr'));
const opened = (Date.now() - started) / 1000;
started = Date.now();
await page.type('#sq-file', 'p/48/');
await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => r())));
const filtered = (Date.now() - started) / 1000;
const total = await page.evaluate(() => window.skewquad.findings.length);
const first = await page.evaluate(() => window.skewquad.findings.find((f) => f.s === 'error'));
started = Date.now();
await page.evaluate((f) => window.skewquad.select(f.f, f.l), first);
const viewed = (Date.now() - started) / 1000;
console.log(`${total} findings: opened in ${opened.toFixed(2)} s, a filter in ${filtered.toFixed(2)} s, ` +
    `a file's view in ${viewed.toFixed(2)} s`);
await browser.close();
