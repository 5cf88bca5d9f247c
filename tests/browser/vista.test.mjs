// The view's page in a real browser: Debian's Chromium, headless, driven by
// playwright-core (never a browser download), on the built-in scenario and
// on the dense 1,000 km one. The pages and the screenshots stay in the
// build folder.
//   BUILD=build node --test tests/browser/vista.test.mjs
import { test, before, after } from "node:test";
import assert from "node:assert/strict";
import { execFileSync } from "node:child_process";
import fs from "node:fs";
import os from "node:os";
import path from "node:path";
import { pathToFileURL } from "node:url";
import { chromium } from "playwright-core";

const radice = path.resolve(path.dirname(new URL(import.meta.url).pathname), "../..");
const build = path.resolve(radice, process.env.BUILD || "build");
const uscita = path.join(build, "vista");
const scenario = path.join(build, "scenario");

// Line n (from 1) of a file whose text starts with `inizio`.
function rigaDi(file, inizio) {
  const righe = fs.readFileSync(file, "latin1").split("\n");
  const i = righe.findIndex((r) => r.startsWith(inizio));
  assert.ok(i >= 0, inizio + " in " + file);
  return i + 1;
}

const pagine = {};
let browser, cartellaUtente;

before(async () => {
  fs.mkdirSync(uscita, { recursive: true });
  // The built-in scenario, and its two descriptions to find the records in.
  fs.mkdirSync(path.join(uscita, "incorporato"), { recursive: true });
  execFileSync(path.join(build, "scrivi_incorporate"), [path.join(uscita, "incorporato")]);
  execFileSync(scenario, ["vista", "--out", path.join(uscita, "incorporato.html")]);
  // The dense scenario of the benchmarks, compiled from its descriptions.
  const densa = path.join(uscita, "densa");
  fs.mkdirSync(densa, { recursive: true });
  execFileSync(path.join(build, "descrizioni_dense"), ["1000000", path.join(densa, "linea.txt"), path.join(densa, "treno.txt")]);
  execFileSync(scenario, ["grafico", "--html", "linea.txt", "treno.txt", "--out", path.join(uscita, "densa.html")],
    { cwd: densa });
  for (const nome of ["incorporato", "densa"]) {
    pagine[nome] = path.join(uscita, nome + ".html");
    console.log(nome + ".html: " + fs.statSync(pagine[nome]).size + " byte");
  }

  cartellaUtente = fs.mkdtempSync(path.join(os.tmpdir(), "vista-chromium-"));
  browser = await chromium.launchPersistentContext(cartellaUtente, {
    executablePath: "/usr/bin/chromium",
    headless: true,
    args: ["--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
      "--disable-background-networking", "--disable-component-update", "--disable-sync"],
    viewport: { width: 1400, height: 1000 }
  });
  // The page is one file: any request beyond it is a fault.
  await browser.route("**/*", (r) => (r.request().url().startsWith("file:") ? r.continue() : r.abort()));
});

after(async () => {
  if (browser) await browser.close();
  if (cartellaUtente) fs.rmSync(cartellaUtente, { recursive: true, force: true });
});

// Opens a page; `errori` collects what the console and the page report.
async function apri(nome) {
  const page = await browser.newPage();
  const errori = [], richieste = [];
  page.on("console", (m) => { if (m.type() === "error") errori.push(m.text()); });
  page.on("pageerror", (e) => errori.push(String(e)));
  page.on("request", (r) => { if (!r.url().startsWith("file:")) richieste.push(r.url()); });
  const inizio = Date.now();
  await page.goto(pathToFileURL(pagine[nome]).href);
  await page.waitForFunction(() => window.vista !== undefined);
  return { page, errori, richieste, caricamento: Date.now() - inizio };
}

// The stretch typed in the kilometre box.
async function vaiAlKm(page, testo) {
  await page.fill("#km", testo);
  await page.press("#km", "Enter");
  await page.waitForTimeout(50);
}

const stazioniMostrate = (page) =>
  page.evaluate(() => window.vista.etichette().filter((e) => e.genere === "stazione").map((e) => e.testo));

// Hovers the signal nearest metre m and returns the tooltip's text.
async function suggerimentoSegnale(page, m) {
  const p = await page.evaluate((m) => {
    const q = window.vista.posizione("segnale", m);
    const tela = document.getElementById("tela");
    // The signals' strip lies low on the page: brought to the viewport's middle.
    window.scrollTo(0, tela.getBoundingClientRect().top + window.scrollY + (q ? q.y : 0) - window.innerHeight / 2);
    const r = tela.getBoundingClientRect();
    return q && { x: r.left + q.x + 1, y: r.top + q.y, da: q.oggetto.da };
  }, m);
  assert.ok(p, "a signal near " + m + " m");
  await page.mouse.move(p.x, p.y);
  await page.waitForSelector("#suggerimento:not([hidden])");
  return { testo: await page.textContent("#suggerimento"), da: p.da };
}

const casi = [
  {
    nome: "incorporato",
    // VASCOLINO stands at 15,650 m, ORBENTE at 11,100 m.
    tratto: "15-17", vicina: "VASCOLINO", lontana: "ORBENTE",
    segnale: 16900, file: "treno incorporato",
    riga: () => rigaDi(path.join(uscita, "incorporato", "treno.txt"), "segnale,   16900"),
    cerca: "primella", trovata: 19200
  },
  {
    nome: "densa",
    // A station at +50,000 m of every 100 km.
    tratto: "249-251", vicina: "STAZIONE 2", lontana: "STAZIONE 3",
    segnale: 250400, file: "treno.txt",
    riga: () => rigaDi(path.join(uscita, "densa", "treno.txt"), "segnale,  250400,"),
    cerca: "STAZIONE 7", trovata: 750000
  }
];

for (const c of casi) {
  test(c.nome + ": loads, zooms, hovers, searches", async () => {
    const { page, errori, richieste, caricamento } = await apri(c.nome);
    console.log(c.nome + ": loaded in " + caricamento + " ms");
    assert.deepEqual(errori, []);
    assert.deepEqual(richieste, []);

    // The whole line at first; the wheel zooms in around the pointer.
    const intero = await page.evaluate(() => window.vista.tratto());
    assert.equal(intero.da, 0);
    const tela = await page.locator("#tela").boundingBox();
    await page.mouse.move(tela.x + tela.width / 2, tela.y + 400);
    await page.mouse.wheel(0, -600);
    await page.waitForTimeout(50);
    const dopo = await page.evaluate(() => window.vista.tratto());
    assert.ok(dopo.a - dopo.da < (intero.a - intero.da) / 2, "the wheel zooms in");
    // Dragging pans.
    await page.mouse.down();
    await page.mouse.move(tela.x + tela.width / 2 - 200, tela.y + 400, { steps: 4 });
    await page.mouse.up();
    const trascinato = await page.evaluate(() => window.vista.tratto());
    assert.ok(trascinato.da > dopo.da, "dragging left moves on along the line");

    // A 2 km stretch around a station: it shows, a far one does not.
    await vaiAlKm(page, c.tratto);
    const t = await page.evaluate(() => window.vista.tratto());
    const [km0, km1] = c.tratto.split("-").map(Number);
    assert.equal(t.da, km0 * 1000);
    assert.equal(t.a, km1 * 1000);
    const mostrate = await stazioniMostrate(page);
    assert.ok(mostrate.some((s) => s.startsWith(c.vicina)), mostrate.join(", "));
    assert.ok(!mostrate.some((s) => s.startsWith(c.lontana)), mostrate.join(", "));
    // Keys zoom and pan too.
    await page.focus("#tela");
    await page.keyboard.press("-");
    await page.waitForTimeout(50);
    const largo = await page.evaluate(() => window.vista.tratto());
    assert.ok(largo.a - largo.da > t.a - t.da, "the - key zooms out");
    await page.keyboard.press("ArrowRight");
    await page.waitForTimeout(50);
    assert.ok((await page.evaluate(() => window.vista.tratto())).da > largo.da, "the right arrow pans");

    // Hovering a signal tells its record's file and line.
    await vaiAlKm(page, String(c.segnale / 1000));
    const s = await suggerimentoSegnale(page, c.segnale);
    assert.match(s.testo, /segnale/);
    assert.ok(s.testo.includes(c.file + ":" + c.riga()), s.testo);
    assert.ok(s.testo.includes("scritto a"), s.testo);
    await page.evaluate(() => window.scrollTo(0, 0));

    // The search jumps to a station.
    await page.fill("#cerca", c.cerca);
    await page.press("#cerca", "Enter");
    await page.waitForTimeout(50);
    const trovato = await page.evaluate(() => window.vista.tratto());
    assert.ok(trovato.da <= c.trovata && c.trovata <= trovato.a, JSON.stringify(trovato));
    assert.ok((await stazioniMostrate(page)).some((x) => x.toLowerCase().startsWith(c.cerca.toLowerCase())));
    // On the plan, pointing at the station's dot tells the station.
    const punto = await page.evaluate((m) => {
      const q = window.vista.puntoPianta(m);
      const r = document.getElementById("tela").getBoundingClientRect();
      return q && { x: r.left + q.x, y: r.top + q.y, nome: q.oggetto.etichetta };
    }, c.trovata);
    assert.ok(punto && punto.nome.toLowerCase().startsWith(c.cerca.toLowerCase()), JSON.stringify(punto));
    await page.mouse.move(punto.x, punto.y);
    await page.waitForSelector("#suggerimento:not([hidden])");
    const sullaPianta = await page.textContent("#suggerimento");
    assert.match(sullaPianta, /stazione/);
    assert.ok(sullaPianta.includes(c.file + ":"), sullaPianta);

    // Panning the dense line stays quick: a frame drawn well within 100 ms.
    const frame = await page.evaluate(() => {
      const t0 = performance.now();
      for (let i = 0; i < 10; ++i) window.vista.vai(i * 90000, i * 90000 + 100000);
      window.vista.vai(0, 1e9);
      return (performance.now() - t0) / 11;
    });
    console.log(c.nome + ": one frame in " + frame.toFixed(1) + " ms");
    assert.ok(frame < 100, "frame " + frame + " ms");

    // The screenshot: the plan and the strips, around the station found.
    await page.evaluate((m) => window.vista.vai(m - 3000, m + 3000), c.trovata);
    await page.mouse.move(0, 0);
    await page.screenshot({ path: path.join(uscita, c.nome + ".png"), fullPage: true });
    // And one with a signal's tooltip, the whole page in the window.
    await page.setViewportSize({ width: 1400, height: 1560 });
    await page.evaluate((m) => { window.scrollTo(0, 0); window.vista.vai(m - 1500, m + 1500); }, c.segnale);
    const q = await suggerimentoSegnale(page, c.segnale);
    assert.ok(q.testo.includes(c.file + ":"), q.testo);
    await page.screenshot({ path: path.join(uscita, c.nome + "-suggerimento.png") });
    assert.deepEqual(errori, []);
    await page.close();
  });
}
