// The grammar over the built-in pair, as `scenario nuovo DIR` writes it:
// every kind of token at its scope.
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const { execFileSync } = require('node:child_process');
const vsctm = require('vscode-textmate');
const oniguruma = require('vscode-oniguruma');

const qui = path.join(__dirname, '..');
const strumento = process.env.SCENARIO || path.join(qui, '..', '..', 'build', 'scenario');

async function grammatica() {
  const wasm = fs.readFileSync(path.join(qui, 'node_modules', 'vscode-oniguruma', 'release', 'onig.wasm')).buffer;
  await oniguruma.loadWASM(wasm);
  const registro = new vsctm.Registry({
    onigLib: Promise.resolve({
      createOnigScanner: (p) => new oniguruma.OnigScanner(p),
      createOnigString: (s) => new oniguruma.OnigString(s),
    }),
    loadGrammar: async () =>
      vsctm.parseRawGrammar(
        fs.readFileSync(path.join(qui, 'syntaxes', 'scenario.tmLanguage.json'), 'utf8'),
        'scenario.tmLanguage.json',
      ),
  });
  return registro.loadGrammar('source.scenario');
}

// Each line's tokens as [text, innermost scope].
function tokenizza(g, testo) {
  let stato = vsctm.INITIAL;
  return testo.split(/\r\n|\n|\r/).map((riga) => {
    const r = g.tokenizeLine(riga, stato);
    stato = r.ruleStack;
    return r.tokens.map((t) => [riga.slice(t.startIndex, t.endIndex), t.scopes[t.scopes.length - 1]]);
  });
}

function coppia() {
  const cartella = fs.mkdtempSync(path.join(os.tmpdir(), 'grammatica-'));
  execFileSync(strumento, ['nuovo', cartella]);
  const leggi = (n) => fs.readFileSync(path.join(cartella, n)).toString('latin1');
  const r = { linea: leggi('linea.txt'), treno: leggi('treno.txt') };
  fs.rmSync(cartella, { recursive: true });
  return r;
}

test('the built-in pair: headers, keywords, numbers, texts and commas at their scopes', async () => {
  const g = await grammatica();
  const { linea, treno } = coppia();
  const righe = [...tokenizza(g, linea), ...tokenizza(g, treno)].filter((r) => r.length && r[0][0] !== '');
  const trovati = new Map();
  for (const riga of righe) {
    for (const [testo, scope] of riga) {
      if (testo.trim() === '') continue;
      if (!trovati.has(scope)) trovati.set(scope, new Set());
      trovati.get(scope).add(testo.trim());
    }
    // Every line of the built-in pair is a header or a known record.
    const primo = riga.find(([t]) => t.trim() !== '');
    assert.match(primo[1], /^(entity\.name\.section|keyword\.other\.record)\.scenario$/, JSON.stringify(riga));
  }
  const ha = (scope, testo) => assert.ok(trovati.get(scope)?.has(testo), `${testo} at ${scope}`);
  ha('entity.name.section.scenario', '[generale]');
  ha('entity.name.section.scenario', '[stazioni]');
  ha('entity.name.section.scenario', '[fine]');
  for (const k of ['lunghezza percorso', 'progressiva chilometrica uno', 'ripetizione segnali 4 codici', 'curvad5',
    'pendenza', 'montagna', 'indicatori_vmax', 'cartello_indicatore', 'numero vetture', 'percentuale massa frenata',
    'orologio', 'velocita', 'aderenza', 'stazione', 'segnale']) {
    ha('keyword.other.record.scenario', k);
  }
  ha('constant.numeric.integer.scenario', '104300');
  ha('constant.numeric.integer.scenario', '3250');
  ha('string.unquoted.text.scenario', 'ZELMORIO PAESE');
  ha('string.unquoted.text.scenario', 'P.M. LUSTRIGO');
  ha('string.unquoted.text.scenario', '(PL km )(100+150)');
  ha('punctuation.separator.field.scenario', ',');
  // Nothing else: no number read as text, no text as a number.
  assert.deepStrictEqual([...trovati.keys()].sort(), [
    'constant.numeric.integer.scenario', 'entity.name.section.scenario', 'keyword.other.record.scenario',
    'punctuation.separator.field.scenario', 'string.unquoted.text.scenario',
  ]);
  for (const t of trovati.get('constant.numeric.integer.scenario')) assert.match(t, /^-?\d+$/);
});

test('a slip and a comment', async () => {
  const g = await grammatica();
  const [commento, sbagliato, segnale] = tokenizza(g, '-- fermate del mattino\r\nstazone, 3250, 27\r\nSEGNALE, -50, 1');
  assert.deepStrictEqual(commento, [['-- fermate del mattino', 'comment.line.double-dash.scenario']]);
  assert.ok(!sbagliato.some(([, s]) => s === 'keyword.other.record.scenario'));
  assert.deepStrictEqual(segnale.filter(([t]) => t.trim() !== '').slice(0, 3).map(([t, s]) => [t.trim(), s]), [
    ['SEGNALE', 'keyword.other.record.scenario'], [',', 'punctuation.separator.field.scenario'],
    ['-50', 'constant.numeric.integer.scenario'],
  ]);
});
