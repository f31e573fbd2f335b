// The report page's script: reads the data the tool wrote into #sq-data
// (one JSON record a line), fills the overview and the table of findings,
// and draws a flagged file in 3D on a canvas, with its own small renderer
// (painter's algorithm), so that the page needs nothing from anywhere.
'use strict';
(function () {
  const severityColours = {
    error: ['#d62728', '#ff9896'],
    warning: ['#ff7f0e', '#ffbb78'],
    fixed: ['#2ca02c', '#98df8a'],
  };
  const neutral = [176, 176, 176];
  const palette = [[120, 144, 156], [141, 110, 99], [121, 134, 203], [77, 182, 172]];

  const run = {};
  let summary = {};
  let colours = {};
  const findings = [];
  const problems = [];
  // A file's drawing lines are deflated and in base64 where the tool could
  // deflate, kept as the raw record and inflated only when its view opens.
  const files = new Map(); // path -> the raw record of its lines
  const subs = new Map(); // sub-file name -> raw record
  const missing = new Map(); // sub-file name -> a file that wanted it

  // A lazily parsed record: its key's value read from the text before its
  // lines. No string in the key can hold either mark: its quotes are escaped.
  const deflatedMark = ',"z":"';
  function keyOf(line) {
    let end = line.indexOf(deflatedMark);
    if (end < 0) end = line.indexOf(',"lines":[');
    return JSON.parse(line.slice(0, end) + '}');
  }

  // A record's drawing lines as [line number, text] pairs.
  async function linesOf(record) {
    const at = record.indexOf(deflatedMark);
    if (at < 0) return JSON.parse(record).lines;
    const binary = atob(record.slice(at + deflatedMark.length, record.lastIndexOf('"')));
    const bytes = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
    const inflated = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate'));
    return JSON.parse(await new Response(inflated).text());
  }

  for (const line of document.getElementById('sq-data').textContent.split('\n')) {
    if (!line) continue;
    if (line.startsWith('{"g":')) {
      files.set(keyOf(line).g, line);
    } else if (line.startsWith('{"sub":')) {
      subs.set(keyOf(line).sub, line);
    } else {
      const record = JSON.parse(line);
      if ('f' in record) findings.push(record);
      else if ('p' in record) problems.push(record);
      else if ('missing' in record) missing.set(record.missing, record.from);
      else if ('colours' in record) colours = Object.assign(record.colours, colours);
      else if ('run' in record) Object.assign(run, record.run);
      else if ('summary' in record) summary = record.summary;
    }
  }

  const $ = (id) => document.getElementById(id);
  function cell(row, text, className) {
    const td = document.createElement('td');
    td.textContent = text;
    if (className) td.className = className;
    row.appendChild(td);
    return td;
  }

  // The overview.
  $('sq-run').textContent = 'skewquad ' + run.version + ', warning angle ' + run.warning +
      '\u00B0, error angle ' + run.error + '\u00B0';
  for (const [label, value] of [['files', summary.files], ['unreadable', summary.unreadable],
    ['quads', summary.quads], ['errors', summary.errors], ['warnings', summary.warnings],
    ['in the low band', summary.low], ['exit status', summary.status]]) {
    const span = document.createElement('span');
    span.textContent = value + ' ' + label;
    $('sq-counts').appendChild(span);
  }
  const byCheck = new Map();
  const byFile = new Map();
  for (const f of findings) {
    byCheck.set(f.c, (byCheck.get(f.c) || 0) + 1);
    byFile.set(f.f, (byFile.get(f.f) || 0) + 1);
  }
  for (const [check, count] of [...byCheck].sort((a, b) => b[1] - a[1])) {
    const row = $('sq-by-check').tBodies[0].insertRow();
    cell(row, check);
    cell(row, count);
    const option = document.createElement('option');
    option.value = check;
    option.textContent = check;
    $('sq-check').appendChild(option);
  }
  for (const [file, count] of [...byFile].sort((a, b) => b[1] - a[1]).slice(0, 10)) {
    const row = $('sq-top-files').tBodies[0].insertRow();
    cell(row, file);
    cell(row, count);
    row.addEventListener('click', () => openFile(file));
  }
  if (problems.length) {
    $('sq-problems').hidden = false;
    for (const p of problems) {
      const item = document.createElement('li');
      item.textContent = p.p + ': ' + p.m;
      $('sq-problems').querySelector('ul').appendChild(item);
    }
  }

  // The table: the findings that pass the filters, in the order sorted by,
  // shown a page at a time; a row is built when first shown, so that the
  // page opens as fast with a whole library's findings as with a few.
  const pageSize = 500;
  const body = $('sq-table').tBodies[0];
  const rows = new Array(findings.length);
  function rowOf(index) {
    if (rows[index]) return rows[index];
    const f = findings[index];
    const row = document.createElement('tr');
    row.dataset.index = index;
    cell(row, f.f);
    // A finding of the file as a whole stands on no line.
    cell(row, f.l || 'file');
    cell(row, f.c);
    cell(row, f.s, 'sq-' + f.s);
    cell(row, 'a' in f ? f.a.toPrecision(4) : '');
    cell(row, f.m);
    row.addEventListener('click', () => select(f));
    rows[index] = row;
    return row;
  }
  let order = findings.map((f, i) => i);
  let matching = order;
  let shownRows = 0;
  const more = document.createElement('button');
  more.type = 'button';
  more.id = 'sq-more';
  $('sq-table').after(more);

  function show(count) {
    const fragment = document.createDocumentFragment();
    for (let i = shownRows; i < count; ++i) fragment.appendChild(rowOf(matching[i]));
    body.appendChild(fragment);
    shownRows = count;
    const left = matching.length - shownRows;
    more.hidden = left === 0;
    more.textContent = 'Show ' + Math.min(left, pageSize) + ' more of ' + left;
  }
  more.addEventListener('click', () => show(Math.min(matching.length, shownRows + pageSize)));

  function filter() {
    const check = $('sq-check').value;
    const severity = $('sq-severity').value;
    const name = $('sq-file').value.toLowerCase();
    matching = order.filter((i) => {
      const f = findings[i];
      return (!check || f.c === check) && (!severity || f.s === severity) &&
          (!name || f.f.toLowerCase().includes(name));
    });
    body.replaceChildren();
    shownRows = 0;
    show(Math.min(matching.length, pageSize));
    $('sq-shown').textContent = matching.length + ' of ' + findings.length + ' findings';
  }
  for (const id of ['sq-check', 'sq-severity', 'sq-file']) $(id).addEventListener('input', filter);
  filter();

  let selectedRow = null;
  // The row of a finding, shown if the filters pass it.
  function shownRowOf(index) {
    const at = matching.indexOf(index);
    if (at < 0) return null;
    if (at >= shownRows) show(Math.min(matching.length, at + 1));
    return rows[index];
  }

  const sortKeys = {
    file: (f) => f.f, line: (f) => f.l, check: (f) => f.c, severity: (f) => f.s,
    angle: (f) => ('a' in f ? f.a : -1),
  };
  for (const th of $('sq-table').tHead.rows[0].cells) {
    if (!th.dataset.key) continue;
    th.addEventListener('click', () => {
      const up = !th.classList.contains('sq-up');
      for (const other of th.parentNode.cells) other.classList.remove('sq-up', 'sq-down');
      th.classList.add(up ? 'sq-up' : 'sq-down');
      const key = sortKeys[th.dataset.key];
      order = findings.map((f, i) => i).sort((a, b) => {
        const x = key(findings[a]);
        const y = key(findings[b]);
        return (x < y ? -1 : x > y ? 1 : a - b) * (up ? 1 : -1);
      });
      filter();
    });
  }

  // Geometry: a file's drawing lines, its sub-files placed by their
  // matrices, each primitive in world coordinates.
  const numbers = (text) => text.trim().split(/\s+/);
  function colourOf(code, parent) {
    if (code === '16') return parent;
    if (code === '24') return parent.edge || [60, 60, 60];
    if (/^0x2[0-9a-f]{6}$/i.test(code)) {
      const v = parseInt(code.slice(3), 16);
      return [v >> 16, (v >> 8) & 255, v & 255];
    }
    const c = colours[code];
    if (c) {
      const hex = (h) => [1, 3, 5].map((k) => parseInt(h.slice(k, k + 2), 16));
      const rgb = hex(c[0]);
      if (c[1] && c[1].startsWith('#')) rgb.edge = hex(c[1]);
      return rgb;
    }
    return palette[Math.abs(parseInt(code, 10) || 0) % palette.length];
  }
  function apply(m, p) {
    return [m[0] * p[0] + m[1] * p[1] + m[2] * p[2] + m[3],
      m[4] * p[0] + m[5] * p[1] + m[6] * p[2] + m[7],
      m[8] * p[0] + m[9] * p[1] + m[10] * p[2] + m[11]];
  }
  function compose(m, n) {
    const r = new Array(12);
    for (let row = 0; row < 3; ++row) {
      for (let col = 0; col < 4; ++col) {
        r[row * 4 + col] = m[row * 4] * n[col] + m[row * 4 + 1] * n[4 + col] +
            m[row * 4 + 2] * n[8 + col] + (col === 3 ? m[row * 4 + 3] : 0);
      }
    }
    return r;
  }
  const identity = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0];

  // The sub-file a line of type 1 (or a texture map's) refers to, by the
  // name LDraw looks it up by; null for any other line.
  function subFileName(text) {
    let words = numbers(text);
    if (words[0] === '0' && words[1] === '!:') words = words.slice(2);
    if (words[0] !== '1' || words.length < 15) return null;
    return words.slice(14).join(' ').toLowerCase().replace(/\\/g, '/');
  }

  async function buildModel(path) {
    const record = { lines: await linesOf(files.get(path)) };
    // Every sub-file the model reaches, inflated before it is walked.
    const subLines = new Map();
    const reached = [record.lines];
    while (reached.length) {
      for (const [, text] of reached.pop()) {
        const name = subFileName(text);
        if (name === null || !subs.has(name) || subLines.has(name)) continue;
        subLines.set(name, []);
        const inner = await linesOf(subs.get(name));
        subLines.set(name, inner);
        reached.push(inner);
      }
    }
    // An MPD's sections by name; the first is the model.
    const sections = new Map();
    const outside = [];
    let current = outside;
    let first = null;
    for (const [n, text] of record.lines) {
      const words = numbers(text);
      if (words[0] === '0' && words[1] === 'FILE') {
        current = [];
        const name = text.trim().split(/\s+/).slice(2).join(' ').toLowerCase().replace(/\\/g, '/');
        sections.set(name, current);
        if (!first) first = current;
      } else if (words[0] === '0' && words[1] === 'NOFILE') {
        current = null;
      } else if (current) {
        current.push([n, text]);
      }
    }
    const main = outside.length || !first ? outside : first;
    const flagged = new Map();
    for (const f of findings) if (f.f === path) flagged.set(f.l, f);
    const model = { triangles: [], lines: [], missing: new Set(), quads: new Map() };

    function walk(lines, matrix, parent, depth, top) {
      for (const [n, text] of lines) {
        let words = numbers(text);
        if (words[0] === '0' && words[1] === '!:') words = words.slice(2);
        const type = words[0];
        const values = words.slice(2, 14).map(Number);
        const colour = colourOf(words[1], parent);
        const point = (k) => apply(matrix, values.slice(k, k + 3));
        if (type === '1' && words.length >= 15 && depth < 16) {
          const name = subFileName(text);
          const placed = compose(matrix, [values[3], values[4], values[5], values[0],
            values[6], values[7], values[8], values[1], values[9], values[10], values[11], values[2]]);
          const inner = sections.get(name) || subLines.get(name) || null;
          if (inner) walk(inner, placed, colour, depth + 1, false);
          else model.missing.add(name);
        } else if ((type === '3' || type === '4') && values.length >= (type === '3' ? 9 : 12)) {
          const p = [point(0), point(3), point(6)];
          if (type === '4') p.push(point(9));
          const finding = top ? flagged.get(n) : undefined;
          if (type === '4' && finding && finding.c === 'warp') {
            // The split the tool writes: along the diagonal with the smaller fold.
            const along13 = foldAbout(p, 0) > foldAbout(p, 1);
            const halves = along13 ? [[0, 1, 2], [0, 2, 3]] : [[0, 1, 3], [1, 2, 3]];
            halves.forEach((h, k) => model.triangles.push(
                { p: h.map((i) => p[i]), colour: severityColours[finding.s][k], flat: true, line: n }));
          } else {
            const fill = finding ? severityColours[finding.s][0] : null;
            // A part's colour is drawn only when asked for; flagged faces always.
            const parts = type === '3' ? [[0, 1, 2]] : [[0, 1, 2], [0, 2, 3]];
            for (const h of parts) {
              model.triangles.push({ p: h.map((i) => p[i]), colour: fill || colour, flat: !!fill,
                line: finding ? n : undefined, part: !fill });
            }
          }
          if (top && finding) model.quads.set(n, p);
        } else if ((type === '2' || type === '5') && values.length >= 6) {
          model.lines.push({ p: [point(0), point(3)], faint: type === '5' });
        }
      }
    }
    walk(main, identity, neutral, 0, true);
    return model;
  }

  // The sine of the fold about the diagonal P2-P4 (which 0) or P1-P3 (1).
  function foldAbout(p, which) {
    const sub = (a, b) => [a[0] - b[0], a[1] - b[1], a[2] - b[2]];
    const cross = (u, v) => [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]];
    const unit = (v) => { const l = Math.hypot(v[0], v[1], v[2]) || 1; return [v[0] / l, v[1] / l, v[2] / l]; };
    const [a, b, c, d] = which === 0 ? [p[0], p[1], p[2], p[3]] : [p[1], p[2], p[3], p[0]];
    const n1 = unit(cross(sub(b, a), sub(d, a)));
    const n2 = unit(cross(sub(d, c), sub(b, c)));
    const x = cross(n1, n2);
    return Math.hypot(x[0], x[1], x[2]);
  }

  // The view: orthographic, turned about the model's centre.
  const canvas = $('sq-canvas');
  const context = canvas.getContext('2d');
  const view = { path: null, model: null, yaw: 0.7, pitch: 0.45, scale: 1, panX: 0, panY: 0,
    centre: [0, 0, 0], selected: null, drawn: [], cut: null };

  function project(p) {
    const x = p[0] - view.centre[0];
    const y = -(p[1] - view.centre[1]); // LDraw's y points down
    const z = p[2] - view.centre[2];
    const cy = Math.cos(view.yaw); const sy = Math.sin(view.yaw);
    const x1 = x * cy + z * sy; const z1 = -x * sy + z * cy;
    const cp = Math.cos(view.pitch); const sp = Math.sin(view.pitch);
    const y1 = y * cp - z1 * sp; const z2 = y * sp + z1 * cp;
    return [canvas.width / 2 + view.panX + x1 * view.scale, canvas.height / 2 + view.panY - y1 * view.scale, z2];
  }

  function fit() {
    const lo = [Infinity, Infinity, Infinity];
    const hi = [-Infinity, -Infinity, -Infinity];
    for (const t of view.model.triangles.concat(view.model.lines)) {
      for (const p of t.p) for (let k = 0; k < 3; ++k) { lo[k] = Math.min(lo[k], p[k]); hi[k] = Math.max(hi[k], p[k]); }
    }
    if (lo[0] === Infinity) return;
    view.centre = [0, 1, 2].map((k) => (lo[k] + hi[k]) / 2);
    const size = Math.hypot(hi[0] - lo[0], hi[1] - lo[1], hi[2] - lo[2]) || 1;
    view.scale = 0.85 * Math.min(canvas.width, canvas.height) / size;
    view.panX = 0;
    view.panY = 0;
    view.cut = null;
  }

  // The shade of a part's face by how squarely it faces the light.
  function shade(rgb, t) {
    const s = t.screen;
    const ux = s[1][0] - s[0][0]; const uy = s[1][1] - s[0][1]; const uz = s[1][2] - s[0][2];
    const vx = s[2][0] - s[0][0]; const vy = s[2][1] - s[0][1]; const vz = s[2][2] - s[0][2];
    const nx = uy * vz - uz * vy; const ny = uz * vx - ux * vz; const nz = ux * vy - uy * vx;
    const light = Math.abs(nx * 0.3 + ny * -0.5 + nz * 0.8) / (Math.hypot(nx, ny, nz) || 1);
    const k = 0.55 + 0.45 * light;
    return rgb.map((v) => Math.round(v * k));
  }
  const rgbOf = (hex) => [1, 3, 5].map((k) => parseInt(hex.slice(k, k + 2), 16));

  // Every triangle into a depth buffer, a pixel at a time: the nearest face
  // shows, whatever the order of the faces. `owner` keeps which triangle
  // each pixel shows, for picking.
  function draw() {
    const model = view.model;
    context.clearRect(0, 0, canvas.width, canvas.height);
    if (!model) return;
    const partColours = $('sq-colours').checked;
    const width = canvas.width;
    const height = canvas.height;
    const image = context.createImageData(width, height);
    const pixels = image.data;
    const depth = new Float32Array(width * height).fill(-Infinity);
    view.owner = new Int32Array(width * height).fill(-1);
    view.drawn = model.triangles;
    // Nothing nearer than the cut, which stands just in front of a framed
    // quad's nearest corner, facing the viewer however the view is turned.
    const cut = view.cut
      ? Math.max(...view.cut.quad.map((p) => project(p)[2])) + view.cut.depth * view.scale : Infinity;
    // The selected quad last and over whatever else is drawn where it is,
    // so that it shows even against a face in its own plane.
    const selectedLine = view.selected ? view.selected.l : undefined;
    const order = model.triangles.map((t, index) => index);
    if (selectedLine !== undefined) {
      order.sort((i, j) => (model.triangles[i].line === selectedLine) - (model.triangles[j].line === selectedLine));
    }
    order.forEach((index) => {
      const t = model.triangles[index];
      const over = selectedLine !== undefined && t.line === selectedLine;
      const [a, b, c] = t.screen = t.p.map(project);
      const rgb = t.flat ? rgbOf(t.colour) : shade(partColours ? t.colour : neutral, t);
      const area = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
      if (area === 0) return;
      const left = Math.max(0, Math.floor(Math.min(a[0], b[0], c[0])));
      const right = Math.min(width - 1, Math.ceil(Math.max(a[0], b[0], c[0])));
      const top = Math.max(0, Math.floor(Math.min(a[1], b[1], c[1])));
      const bottom = Math.min(height - 1, Math.ceil(Math.max(a[1], b[1], c[1])));
      for (let y = top; y <= bottom; ++y) {
        const py = y + 0.5;
        for (let x = left; x <= right; ++x) {
          const px = x + 0.5;
          const wa = ((b[0] - px) * (c[1] - py) - (b[1] - py) * (c[0] - px)) / area;
          const wb = ((c[0] - px) * (a[1] - py) - (c[1] - py) * (a[0] - px)) / area;
          const wc = 1 - wa - wb;
          if (wa < 0 || wb < 0 || wc < 0) continue;
          const z = wa * a[2] + wb * b[2] + wc * c[2];
          const k = y * width + x;
          if ((z <= depth[k] && !over) || z > cut) continue;
          depth[k] = z;
          view.owner[k] = index;
          pixels[4 * k] = rgb[0];
          pixels[4 * k + 1] = rgb[1];
          pixels[4 * k + 2] = rgb[2];
          pixels[4 * k + 3] = 255;
        }
      }
    });
    context.putImageData(image, 0, 0);
    for (const l of model.lines) {
      const a = project(l.p[0]);
      const b = project(l.p[1]);
      if (a[2] > cut && b[2] > cut) continue;
      context.beginPath();
      context.moveTo(a[0], a[1]);
      context.lineTo(b[0], b[1]);
      context.strokeStyle = l.faint ? 'rgba(60,60,60,0.15)' : 'rgba(40,40,40,0.6)';
      context.lineWidth = 1;
      context.stroke();
    }
    const quad = view.selected && model.quads.get(view.selected.l);
    if (quad) {
      const s = quad.map(project);
      context.beginPath();
      s.forEach((p, i) => (i ? context.lineTo(p[0], p[1]) : context.moveTo(p[0], p[1])));
      context.closePath();
      context.strokeStyle = '#000';
      context.lineWidth = 3;
      context.stroke();
    }
  }

  async function openFile(path) {
    if (!files.has(path)) return false;
    if (view.path !== path) {
      const model = await buildModel(path);
      view.path = path;
      view.model = model;
      view.selected = null;
      $('sq-view-title').textContent = path;
      const lost = [...view.model.missing].sort();
      $('sq-missing').textContent = lost.length ? 'Sub-files not found, not drawn: ' + lost.join(', ') : '';
      fit();
    }
    $('sq-view').hidden = false;
    draw();
    return true;
  }

  // Selects a finding: its row, its file's view, its quad in the middle.
  async function select(f) {
    if (selectedRow) selectedRow.classList.remove('sq-selected');
    selectedRow = shownRowOf(findings.indexOf(f));
    if (selectedRow) selectedRow.classList.add('sq-selected');
    if (!(await openFile(f.f))) return;
    view.selected = f;
    const quad = view.model.quads.get(f.l);
    if (quad) frame(quad);
    draw();
  }

  // Frames a quad: the view turned to face its front (the side its normal,
  // by the winding of its corners, points to), a little askew so that the
  // part around it still reads as a solid, turned about the quad's middle
  // and zoomed until the quad fills most of the view; what stands in front
  // of it is cut away, so that a quad inside the part shows too.
  function frame(quad) {
    const sub = (a, b) => [a[0] - b[0], a[1] - b[1], a[2] - b[2]];
    const u = sub(quad[2], quad[0]);
    const v = sub(quad[quad.length - 1], quad[1]);
    const n = [u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]];
    const middle = [0, 1, 2].map((k) => quad.reduce((sum, p) => sum + p[k], 0) / quad.length);
    if (n.some((x) => x !== 0)) {
      // The viewer stands where the rotated normal points to the screen:
      // LDraw's y points down, and the depth grows towards the viewer.
      const across = Math.hypot(n[0], n[2]);
      view.yaw = Math.atan2(-n[0], n[2]) + 0.15;
      view.pitch = Math.max(-1.4, Math.min(1.4, Math.atan2(-n[1], across) + 0.15));
    }
    view.cut = { quad, depth: 0.01 * Math.hypot(...u, ...v) };
    view.centre = middle;
    view.panX = 0;
    view.panY = 0;
    view.scale = 1;
    const box = () => {
      const c = quad.map(project);
      const xs = c.map((p) => p[0]);
      const ys = c.map((p) => p[1]);
      return [Math.min(...xs), Math.max(...xs), Math.min(...ys), Math.max(...ys)];
    };
    const [left, right, top, bottom] = box();
    view.scale = 0.6 * Math.min(canvas.width / (right - left || 1), canvas.height / (bottom - top || 1));
    const [l, r, t, b] = box();
    view.panX = canvas.width / 2 - (l + r) / 2;
    view.panY = canvas.height / 2 - (t + b) / 2;
  }

  // Turning, panning, zooming and picking.
  let drag = null;
  canvas.addEventListener('contextmenu', (e) => e.preventDefault());
  canvas.addEventListener('pointerdown', (e) => {
    drag = { x: e.clientX, y: e.clientY, moved: false, pan: e.shiftKey || e.button === 2 };
    canvas.setPointerCapture(e.pointerId);
  });
  canvas.addEventListener('pointermove', (e) => {
    if (!drag) return;
    const dx = e.clientX - drag.x;
    const dy = e.clientY - drag.y;
    if (Math.abs(dx) + Math.abs(dy) > 2) drag.moved = true;
    if (!drag.moved) return;
    if (drag.pan) {
      view.panX += dx;
      view.panY += dy;
    } else {
      view.yaw += dx * 0.01;
      view.pitch = Math.max(-1.55, Math.min(1.55, view.pitch + dy * 0.01));
    }
    drag.x = e.clientX;
    drag.y = e.clientY;
    draw();
  });
  canvas.addEventListener('pointerup', (e) => {
    const clicked = drag && !drag.moved;
    drag = null;
    if (!clicked) return;
    const r = canvas.getBoundingClientRect();
    const x = Math.floor((e.clientX - r.left) * canvas.width / r.width);
    const y = Math.floor((e.clientY - r.top) * canvas.height / r.height);
    const index = view.owner && x >= 0 && y >= 0 && x < canvas.width && y < canvas.height
      ? view.owner[y * canvas.width + x] : -1;
    const line = index >= 0 ? view.drawn[index].line : undefined;
    const f = line !== undefined && findings.find((g) => g.f === view.path && g.l === line);
    if (f) select(f);
  });
  canvas.addEventListener('wheel', (e) => {
    e.preventDefault();
    view.scale *= Math.exp(-e.deltaY * 0.0015);
    draw();
  }, { passive: false });
  $('sq-colours').addEventListener('change', draw);
  $('sq-view-fit').addEventListener('click', () => { fit(); draw(); });
  $('sq-view-close').addEventListener('click', () => { $('sq-view').hidden = true; });

  // For tests and scripts: where a finding's quad stands on the page.
  window.skewquad = {
    findings,
    openFile,
    missing: () => (view.model ? [...view.model.missing] : null),
    // The quad as drawn: its box in the canvas (as shares of its width and
    // height), and how squarely it faces the viewer (its drawn area against
    // its own, 1 when face on).
    quadBox: (path, line) => {
      const quad = view.path === path && view.model.quads.get(line);
      if (!quad) return null;
      const c = quad.map(project);
      const area = (q) => {
        let sum = [0, 0, 0];
        for (let i = 0; i < q.length; ++i) {
          const a = q[i];
          const b = q[(i + 1) % q.length];
          sum = [sum[0] + a[1] * b[2] - a[2] * b[1], sum[1] + a[2] * b[0] - a[0] * b[2], sum[2] + a[0] * b[1] - a[1] * b[0]];
        }
        return Math.hypot(...sum) / 2;
      };
      const flat = c.map((p) => [p[0], p[1], 0]);
      const xs = c.map((p) => p[0]);
      const ys = c.map((p) => p[1]);
      return { left: Math.min(...xs) / canvas.width, right: Math.max(...xs) / canvas.width,
        top: Math.min(...ys) / canvas.height, bottom: Math.max(...ys) / canvas.height,
        facing: area(flat) / (area(quad) * view.scale * view.scale) };
    },
    select: (path, line) => select(findings.find((f) => f.f === path && f.l === line)),
    quadPoint: (path, line) => {
      const quad = view.path === path && view.model.quads.get(line);
      if (!quad) return null;
      const t = view.model.triangles.find((u) => u.line === line);
      const c = t.p.map(project);
      const r = canvas.getBoundingClientRect();
      return { x: r.left + (c[0][0] + c[1][0] + c[2][0]) / 3 * r.width / canvas.width,
        y: r.top + (c[0][1] + c[1][1] + c[2][1]) / 3 * r.height / canvas.height, colour: t.colour };
    },
  };
}());
