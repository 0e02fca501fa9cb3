// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the web page against the oldest browsers it is made for (FLOOR),
// statically, since those browsers do not run here:
//   node check.js WORK_DIR PAGE.html [SCRIPT.js...]
// PAGE's inline scripts (the view, the install script, emscripten's loader)
// and the other SCRIPTs (the service worker) are checked for
//  - their syntax and built-ins, by es-check against browserslist's versions
//    of the floor, which looks each feature up in MDN's compatibility data;
//  - every web API member and global they name, by this script: each name is
//    looked up in that data's api and javascript.builtins, and it fails if
//    none of the entries of that name is there in every browser of the
//    floor, unless guarded.js lists it as a use that is guarded and has a
//    fallback;
// PAGE's style sheet for its properties and their keyword values, functions,
// selectors and media features, against the same data (a declaration may
// fall back on another of the same property in its block);
// the WebAssembly inside the loader (base64) by binaryen's wasm-opt with
// only the features every browser of the floor has.
// Prints what it found and exits 1 if anything is above the floor. The
// modules (package-lock.json) come from NODE_PATH (scripts/check_floor.sh).
'use strict';

const fs = require('fs');
const path = require('path');
const { spawnSync } = require('child_process');
const acorn = require('acorn');
const csstree = require('css-tree');
const bcd = require('@mdn/browser-compat-data');
const guarded = require('./guarded.js');

// The oldest browsers: Safari on macOS, iOS and iPadOS 15.4 (the last
// iPads on iPadOS 15), Chrome 103 (Chromebooks whose updates have ended) and
// Firefox ESR 115 (the last for Windows 7 and 8). In MDN's names, and in
// browserslist's for es-check.
const FLOOR = { chrome: '103', firefox: '115', safari: '15.4', safari_ios: '15.4' };
const BROWSERSLIST = 'chrome 103, firefox 115, safari 15.4, ios_saf 15.4';

// binaryen's features and MDN's entries for them. Mutable globals' entry is
// the JavaScript API that came with them. Threads stay off whatever the
// browsers have: shared memory needs a cross-origin isolated page, which
// neither a file nor a plain static host is.
const WASM_FEATURES = {
  'sign-ext': 'sign-extension-operations',
  'mutable-globals': 'api.Global',
  'nontrapping-float-to-int': 'non-trapping-float-to-int-conversions',
  'bulk-memory': 'bulk-memory-operations',
  'multivalue': 'multi-value',
  'reference-types': 'reference-types',
  'exception-handling': 'exception-handling',
  'simd': 'fixed-width-SIMD',
  'tail-call': 'tail-calls',
  'extended-const': 'extended-constant-expressions',
  'relaxed-simd': 'relaxed-SIMD',
  'typed-function-references': 'typedFunctionReferences',
  'gc': 'garbage-collection',
  'memory64': 'memory64',
  'threads': null,
};

// ---- MDN's data ---------------------------------------------------------

function older(version, floor) {
  const a = version.split('.').map(Number);
  const b = floor.split('.').map(Number);
  for (let i = 0; i < Math.max(a.length, b.length); i++) {
    if ((a[i] || 0) !== (b[i] || 0)) return (a[i] || 0) < (b[i] || 0);
  }
  return true; // the same version
}

// Whether the browser at the floor has the feature under its own name: not
// prefixed, not renamed, not behind a flag (a prefix may be asked for). No
// data, or a version not known, is no finding.
function has(compat, browser, prefix = undefined) {
  const statements = compat.support[browser];
  if (statements === undefined) return true;
  return [].concat(statements).some((s) => {
    if (s.prefix !== prefix || s.alternative_name || s.flags) return false;
    const added = s.version_added;
    if (added === false || added === 'preview') return false;
    if (typeof s.version_removed === 'string' && older(s.version_removed.replace('≤', ''), FLOOR[browser]))
      return false;
    return typeof added !== 'string' || older(added.replace('≤', ''), FLOOR[browser]);
  });
}

// The browsers of the floor without the feature, as "safari 16.4".
function missing(compat, prefix) {
  return Object.keys(FLOOR).filter((b) => !has(compat, b, prefix)).map((b) => {
    const first = [].concat(compat.support[b])[0];
    return b + ' ' + (first && typeof first.version_added === 'string' ? first.version_added : 'none');
  });
}

// name -> [[path, compat]] of every entry of that name one or two levels
// under the given trees.
function byName(trees) {
  const names = new Map();
  const add = (name, where, node) => {
    if (!node || !node.__compat) return;
    if (!names.has(name)) names.set(name, []);
    names.get(name).push([where, node.__compat]);
  };
  for (const [prefix, tree] of trees) {
    for (const [first, node] of Object.entries(tree)) {
      add(first, prefix + first, node);
      for (const [second, sub] of Object.entries(node)) {
        if (second !== '__compat') add(second, prefix + first + '.' + second, sub);
      }
    }
  }
  return names;
}

// ---- scripts: the names they use -----------------------------------------

function walk(node, visit, parent = null, field = null) {
  visit(node, parent, field);
  for (const [key, value] of Object.entries(node)) {
    for (const child of [].concat(value)) {
      if (child && typeof child.type === 'string') walk(child, visit, node, key);
    }
  }
}

// The identifiers a pattern declares.
function bindings(pattern, out) {
  if (!pattern) return out;
  if (pattern.type === 'Identifier') out.add(pattern);
  else if (pattern.type === 'ObjectPattern') pattern.properties.forEach((p) => bindings(p.value || p.argument, out));
  else if (pattern.type === 'ArrayPattern') pattern.elements.forEach((e) => bindings(e, out));
  else if (pattern.type === 'RestElement') bindings(pattern.argument, out);
  else if (pattern.type === 'AssignmentPattern') bindings(pattern.left, out);
  return out;
}

// The names a script uses that MDN may know: members read or written
// (x.name, x['name'], const { name } = x), globals it declares nowhere,
// and events it listens to (as NAME_event).
function usedNames(text) {
  const tree = acorn.parse(text, { ecmaVersion: 'latest', sourceType: 'script' });
  const declared = new Set();
  walk(tree, (node) => {
    if (node.type === 'VariableDeclarator') bindings(node.id, declared);
    else if (/Function/.test(node.type)) [node.id, ...node.params].forEach((p) => bindings(p, declared));
    else if (/^Class/.test(node.type)) bindings(node.id, declared);
    else if (node.type === 'CatchClause') bindings(node.param, declared);
  });
  const declaredNames = new Set([...declared].map((i) => i.name));
  const used = new Set();
  walk(tree, (node, parent, field) => {
    if (node.type === 'MemberExpression' && !node.computed && node.property.type === 'Identifier')
      used.add(node.property.name);
    else if (node.type === 'MemberExpression' && node.computed && typeof node.property.value === 'string')
      used.add(node.property.value);
    else if (node.type === 'Property' && parent.type === 'ObjectPattern' && !node.computed && node.key.name)
      used.add(node.key.name);
    else if (node.type === 'CallExpression' &&
      /^(add|remove)EventListener$/.test(node.callee.property?.name || node.callee.name) &&
      typeof node.arguments[0]?.value === 'string')
      used.add(node.arguments[0].value + '_event');
    else if (node.type === 'Identifier' && !declared.has(node) && !declaredNames.has(node.name) &&
      !(parent && ((parent.type === 'MemberExpression' && field === 'property' && !parent.computed) ||
        (/Property|MethodDefinition/.test(parent.type) && field === 'key' && !parent.computed) ||
        /Labeled|Break|Continue/.test(parent.type))))
      used.add(node.name);
  });
  return used;
}

function checkScripts(scripts) {
  const names = byName([['api.', bcd.api], ['javascript.builtins.', bcd.javascript.builtins],
    ['webassembly.api.', bcd.webassembly.api]]);
  const found = [];
  const seenGuarded = new Set();
  for (const [file, text] of scripts) {
    for (const name of [...usedNames(text)].sort()) {
      // An event handler property is its event's (onload: load_event).
      const entries = names.get(name) || (name.startsWith('on') && names.get(name.slice(2) + '_event'));
      if (!entries || entries.some(([, compat]) => missing(compat).length === 0)) continue;
      if (guarded.scripts[name]) {
        seenGuarded.add(name);
        continue;
      }
      found.push(file + ': ' + name + ' (' + entries.map(([where, c]) => where + ': ' + missing(c).join(', '))
        .join('; ') + ')');
    }
  }
  return { found, stale: Object.keys(guarded.scripts).filter((n) => !seenGuarded.has(n)) };
}

// ---- the style sheet --------------------------------------------------------

function checkStyle(text) {
  const properties = bcd.css.properties;
  const types = byName([['css.types.', bcd.css.types]]);
  const found = [];
  const seenGuarded = new Set();
  const report = (what, lacking) => {
    if (lacking.length === 0) return;
    if (guarded.style[what]) seenGuarded.add(what);
    else found.push(what + ' (' + lacking.join(', ') + ')');
  };
  csstree.walk(csstree.parse(text), (node) => {
    if (node.type === 'PseudoClassSelector' || node.type === 'PseudoElementSelector') {
      const entry = bcd.css.selectors[node.name];
      if (entry) report(':' + node.name, missing(entry.__compat));
    } else if (node.type === 'Atrule' && bcd.css['at-rules'][node.name]) {
      report('@' + node.name, missing(bcd.css['at-rules'][node.name].__compat));
    } else if (node.type === 'Feature') {
      const entry = bcd.css['at-rules'].media[node.name.replace(/^(-webkit-)?(min-|max-)/, '$1')];
      if (entry) report('@media (' + node.name + ')', missing(entry.__compat));
    } else if (node.type === 'Block') {
      // Each property of the block: some declaration of it (prefixed or
      // not, any of its values) must be there in each browser. Its parts:
      // [what, MDN's entry, the prefix it is written with].
      const groups = new Map();
      node.children.forEach((d) => {
        if (d.type !== 'Declaration') return;
        const [, prefix, bare] = d.property.match(/^(-webkit-|-moz-)?(.*)$/);
        const entry = d.property.startsWith('--') ? properties['custom-property'] :
          properties[d.property] || (prefix && properties[bare]);
        if (!entry) return;
        const parts = [[d.property, entry.__compat, properties[d.property] ? undefined : prefix]];
        csstree.walk(d.value, (v) => {
          if (v.type === 'Identifier' && entry[v.name]) parts.push([d.property + ': ' + v.name, entry[v.name].__compat]);
          const fn = v.type === 'Function' && types.get(v.name);
          if (fn && !fn.some(([, c]) => missing(c).length === 0)) parts.push([d.property + ': ' + v.name + '()', fn[0][1]]);
        });
        if (!groups.has(bare)) groups.set(bare, []);
        groups.get(bare).push(parts);
      });
      for (const declarations of groups.values()) {
        const lacking = Object.keys(FLOOR).filter((b) => !declarations.some((parts) =>
          parts.every(([, c, prefix]) => has(c, b, prefix))));
        const first = lacking.length && declarations[0].find(([, c, p]) => !has(c, lacking[0], p));
        if (first) report(first[0], missing(first[1], first[2]).filter((b) => lacking.includes(b.split(' ')[0])));
      }
    }
  });
  return { found: [...new Set(found)], stale: Object.keys(guarded.style).filter((n) => !seenGuarded.has(n)) };
}

// ---- the parts ----------------------------------------------------------------

function run(command, args) {
  const result = spawnSync(command, args, { encoding: 'utf8' });
  if (result.error) throw result.error;
  return { ok: result.status === 0, output: (result.stdout + result.stderr).trim() };
}

function main() {
  const [work, page, ...others] = process.argv.slice(2);
  const html = fs.readFileSync(page, 'utf8');
  // Each page script named by its number and its first line (the loader's
  // is code).
  const scripts = [...html.matchAll(/<script>([\s\S]*?)<\/script>/g)].map((m, i) => ['page script ' + (i + 1) +
    ' (' + (m[1].split('\n').find((line) => line.trim() && !/SPDX/.test(line)) || '').trim().slice(0, 40) + '…)', m[1]])
    .concat(others.map((file) => [path.basename(file), fs.readFileSync(file, 'utf8')]));
  const style = [...html.matchAll(/<style>([\s\S]*?)<\/style>/g)].map((m) => m[1]).join('\n');
  const wasm = html.match(/data:application\/octet-stream;base64,([A-Za-z0-9+/=]+)/);
  if (scripts.length < 2 || !style || !wasm) throw new Error(page + ' holds no scripts, style sheet or WebAssembly');
  fs.mkdirSync(work, { recursive: true });
  const files = scripts.map(([, text], i) => {
    const file = path.join(work, 'script-' + (i + 1) + '.js');
    fs.writeFileSync(file, text);
    return file;
  });
  const wasmFile = path.join(work, 'kuglovica.wasm');
  fs.writeFileSync(wasmFile, Buffer.from(wasm[1], 'base64'));

  const results = [];
  const esCheck = path.join(path.dirname(require.resolve('es-check')), 'cli', 'index.js');
  const syntax = run(process.execPath, [esCheck, 'checkBrowser', '--browserslistQuery=' + BROWSERSLIST,
    '--checkFeatures', '--noColor', ...files]);
  results.push(['syntax and built-ins of ' + scripts.map(([name]) => name).join(', ') + ' (es-check)',
    syntax.ok ? [] : syntax.output.split('\n').filter((line) => /erroring file|error: /.test(line))]);
  const api = checkScripts(scripts);
  results.push(['web API members, globals and events of the scripts (MDN)', api.found, api.stale,
    guarded.scripts]);
  const css = checkStyle(style);
  results.push(['properties, values, selectors and media features of the style sheet (MDN)', css.found,
    css.stale, guarded.style]);
  const features = Object.entries(WASM_FEATURES).filter(([, key]) => {
    const entry = key && key.split('.').reduce((node, k) => node[k], bcd.webassembly);
    return entry && missing(entry.__compat).length === 0;
  }).map(([feature]) => '--enable-' + feature);
  const validated = run('wasm-opt', ['--mvp-features', ...features, wasmFile, '-o', path.join(work, 'checked.wasm')]);
  results.push(['WebAssembly (wasm-opt --mvp-features ' + features.join(' ') + ')',
    validated.ok ? [] : [validated.output]]);

  console.log('floor: ' + Object.entries(FLOOR).map(([b, v]) => b + ' ' + v).join(', '));
  let failed = 0;
  for (const [what, found, stale = [], passed = {}] of results) {
    const problems = found.concat(stale.map((name) => 'guarded.js lists ' + name + ', which no use here needs any more'));
    console.log((problems.length ? 'ABOVE THE FLOOR: ' : 'ok: ') + what);
    problems.forEach((line) => console.log('  ' + line.replace(/\n/g, '\n  ')));
    if (Object.keys(passed).length) console.log('  guarded (guarded.js): ' + Object.keys(passed).join(', '));
    failed += problems.length > 0;
  }
  process.exit(failed ? 1 : 0);
}

main();
