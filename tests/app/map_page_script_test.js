// The map page's script run with a small stand-in for the page's elements:
// the position text, where the marker stands as positions come in, focus,
// input the page must refuse, and that the page asks nothing of the network
// and keeps to old script syntax. Usage: node map_page_script_test.js google.htm
'use strict';
const fs = require('fs');
const vm = require('vm');

const html = fs.readFileSync(process.argv[2], 'latin1');
let failures = 0;
function check(cond, what) {
  if (!cond) {
    failures++;
    console.log('FAIL: ' + what);
  }
}

// ---- the page as text
const m = /<script[^>]*>([\s\S]*?)<\/script>/i.exec(html);
check(m, 'the page has a script');
const script = m ? m[1] : '';
const syntax = [
  ['let declarations', /\blet\s/], ['const declarations', /\bconst\s/],
  ['arrow functions', /=>/], ['template strings', /`/], ['classes', /\bclass\s/],
];
for (const [name, re] of syntax) check(!re.test(script), 'old script syntax: no ' + name);
check(!/https?:|\/\/[a-z]/i.test(html.replace(/\/\/[^\n]*\n/g, '\n')),
      'nothing is fetched from the network');
check(/function\s+setLatLng\s*\(\s*\w+\s*,\s*\w+\s*\)/.test(script), 'setLatLng(lat, lng)');
check(/function\s+setFocus\s*\(\s*\)/.test(script), 'setFocus()');

// ---- the page running
function element() { return { style: {}, innerHTML: '' }; }
function load() {
  const els = { grid: element(), coords: element(), scale: element(), marker: element() };
  const sandbox = {
    document: { getElementById: (id) => els[id] },
    window: { focused: 0, focus() { this.focused++; } },
  };
  sandbox.window.self = sandbox.window;
  vm.createContext(sandbox);
  vm.runInContext(script, sandbox);
  // innerHTML rebuilds the marker: hand out a fresh one each time.
  Object.defineProperty(els.grid, 'innerHTML', {
    set(v) { this._html = v; els.marker = element(); },
    get() { return this._html; },
  });
  vm.runInContext('draw()', sandbox);
  return {
    call: (code) => vm.runInContext(code, sandbox),
    els,
    marker() {
      const s = els.marker.style;
      return { x: parseInt(s.left, 10) + 5, y: parseInt(s.top, 10) + 5, shown: s.display === 'block' };
    },
    window: sandbox.window,
  };
}
const W = 310, H = 360;

{  // text and hemispheres
  const cases = [
    ['south-west', 'setLatLng(-33.5000000,-70.2500000)', '33.5000000 S, 70.2500000 W'],
    ['north-east', 'setLatLng(37.5665350,126.9780000)', '37.5665350 N, 126.9780000 E'],
    ['origin', 'setLatLng(0.0000000,0.0000000)', '0.0000000 N, 0.0000000 E'],
  ];
  for (const [name, call, text] of cases) {
    const p = load();
    check(p.els.coords.innerHTML === '-', name + ': no position yet');
    check(!p.marker().shown, name + ': no marker yet');
    p.call(call);
    check(p.els.coords.innerHTML === text, name + ': text "' + p.els.coords.innerHTML + '"');
    check(p.marker().shown, name + ': marker shown');
  }
}

{  // the whole world: the origin in the middle, east right, north up
  const p = load();
  p.call('setLatLng(0,0)');
  const o = p.marker();
  check(Math.abs(o.x - W / 2) <= 1 && Math.abs(o.y - H / 2) <= 1, 'origin in the middle ' + JSON.stringify(o));
  p.call('setLatLng(10,20)');
  const ne = p.marker();
  check(ne.x > o.x && ne.y < o.y, 'north-east is up and right ' + JSON.stringify(ne));
  p.call('setLatLng(-89,-179)');
  const sw = p.marker();
  check(sw.shown && sw.x >= 0 && sw.y < H, 'far south-west still on the grid ' + JSON.stringify(sw));
}

{  // focus: the marker in the middle, close moves seen, far moves followed
  const p = load();
  p.call('setLatLng(37.5665350,126.9780000)');
  p.call('setFocus()');
  check(p.window.focused === 1, 'focus takes the keyboard');
  const f = p.marker();
  check(Math.abs(f.x - W / 2) <= 1 && Math.abs(f.y - H / 2) <= 1, 'focused on the marker ' + JSON.stringify(f));
  p.call('setLatLng(37.5665350,126.9800000)');  // 0.002 deg east: about 31 px
  const e = p.marker();
  check(e.x > f.x + 10 && e.x < f.x + 60 && Math.abs(e.y - f.y) <= 1, 'a close move shows ' + JSON.stringify(e));
  p.call('setLatLng(35.1,129.0)');  // far away: the view follows
  const far = p.marker();
  check(far.shown && far.x > 0 && far.x < W && far.y > 0 && far.y < H, 'a far move is followed ' + JSON.stringify(far));
  p.call('setFocus()');
  check(p.window.focused === 2, 'each focus call focuses');
}

{  // focus before any position, then the first position
  const p = load();
  p.call('setFocus()');
  p.call('setLatLng(-33.5,-70.25)');
  const mk = p.marker();
  check(mk.shown && mk.x > 0 && mk.x < W && mk.y > 0 && mk.y < H, 'first position after focus is in view');
}

{  // input the page refuses
  const bad = ['setLatLng(91,0)', 'setLatLng(0,181)', 'setLatLng(-90.5,0)', 'setLatLng(NaN,1)',
               'setLatLng("x",1)', 'setLatLng(1)', 'setLatLng()'];
  for (const call of bad) {
    const p = load();
    p.call('setLatLng(1,2)');
    const before = p.els.coords.innerHTML;
    let threw = false;
    try { p.call(call); } catch (e) { threw = true; }
    check(!threw, call + ': no script error');
    check(p.els.coords.innerHTML === before, call + ': position kept');
  }
}

if (failures) {
  console.log(failures + ' failure(s)');
  process.exit(1);
}
console.log('map page script: all checks passed');
