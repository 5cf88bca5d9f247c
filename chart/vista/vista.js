// The view of a scenario: the plan and the strips of the chart on one axis
// in metres, drawn on a canvas from the data inline in the page. Plain
// script, no library: read from top to bottom.
"use strict";

(function () {
  const dati = JSON.parse(document.getElementById("dati").textContent);

  // ------------------------------------------------------------------
  // The data: objects by kind, each kind in order along the line.

  const campi = dati.campi;
  const perGenere = {};
  for (const riga of dati.oggetti) {
    const o = {};
    for (let i = 0; i < campi.length; ++i) o[campi[i]] = riga[i];
    (perGenere[o.genere] = perGenere[o.genere] || []).push(o);
  }
  // The longest object of each kind, so that a search by start finds the
  // spans that began before the view.
  const piuLungo = {};
  for (const g in perGenere) {
    perGenere[g].sort((p, q) => p.da - q.da);
    piuLungo[g] = perGenere[g].reduce((m, o) => Math.max(m, o.a - o.da), 0);
  }
  const oggetti = (g) => perGenere[g] || [];

  const fine = Math.max(dati.fine_tracciato, 1);
  const NOMI_GENERE = {
    stazione: "stazione", segnale: "segnale", rallentamento: "rallentamento",
    avviso: "avviso di rallentamento", preavviso: "preavviso di rallentamento",
    abbattimento: "abbattimento", curva: "curva", pendenza: "pendenza",
    velocita: "velocità massima", aderenza: "aderenza",
    cartello_vmax: "cartello di velocità massima", cartello: "cartello con testo",
    montagna: "montagna", diagnosi: "diagnosi"
  };

  // The first index of `lista` (sorted by da) whose object may reach `m`.
  function primoDa(lista, m, lungo) {
    let lo = 0, hi = lista.length;
    const soglia = m - lungo;
    while (lo < hi) {
      const mid = (lo + hi) >> 1;
      if (lista[mid].da < soglia) lo = mid + 1; else hi = mid;
    }
    return lo;
  }

  // Calls fai(o) for every object of kind g that meets [da, a].
  function visibili(g, da, a, fai) {
    const lista = oggetti(g);
    for (let i = primoDa(lista, da, piuLungo[g] || 0); i < lista.length && lista[i].da <= a; ++i) {
      if (lista[i].a >= da) fai(lista[i]);
    }
  }

  // Diagnostics with a position go on the line; the others under it.
  const diagnosi = dati.diagnosi.filter((d) => d.con_posizione).map((d) => ({
    genere: "diagnosi", da: d.posizione, a: d.posizione, d: d
  })).sort((p, q) => p.da - q.da);
  perGenere.diagnosi = diagnosi;
  piuLungo.diagnosi = 0;

  // ------------------------------------------------------------------
  // The page's layout: the strips, top to bottom.

  const SINISTRA = 150, DESTRA = 24, ASSE = 30;
  const strisce = [
    { id: "pianta", nome: "Pianta", unita: "ruotata: l'inizio a sinistra", h: 240 },
    { id: "pendenza", nome: "Pendenza", unita: "per mille", h: 70, generi: ["pendenza"] },
    { id: "quota", nome: "Quota", unita: "m, dall'origine", h: 70 },
    { id: "curve", nome: "Curve", unita: "destra su, sinistra giù", h: 90, generi: ["curva"] },
    { id: "montagne", nome: "Montagne", unita: "e gallerie", h: 34, generi: ["montagna"] },
    { id: "velocita", nome: "Velocità massima", unita: "km/h", h: 110, generi: ["cartello_vmax", "velocita"] },
    { id: "aderenza", nome: "Aderenza", unita: "", h: 44, generi: ["aderenza"] },
    { id: "stazioni", nome: "Stazioni", unita: "zona, nome, orario", h: 170, generi: ["stazione"] },
    { id: "segnali", nome: "Segnali", unita: "sx s1 s2 s3 / dx d1 d2 d3 · tempo", h: 130, generi: ["segnale"] },
    { id: "rallentamenti", nome: "Rallentamenti", unita: "avviso A, preavvisi P", h: 60,
      generi: ["avviso", "preavviso", "abbattimento", "rallentamento"] },
    { id: "cartelli", nome: "Cartelli", unita: "con testo", h: 190, generi: ["cartello"] },
    { id: "diagnosi", nome: "Diagnosi", unita: "errori e avvisi", h: 40, generi: ["diagnosi"] }
  ];
  let altezza = 8;
  for (const s of strisce) {
    s.y = altezza;
    altezza += s.h + 6;
  }
  const fondoStrisce = altezza;
  altezza += ASSE;

  const tela = document.getElementById("tela");
  const ctx = tela.getContext("2d");
  const suggerimento = document.getElementById("suggerimento");
  let larghezza = 800;

  // The stretch shown, in metres.
  const vista = { da: 0, a: fine };
  const MINIMO = 200;

  const X = (m) => SINISTRA + (m - vista.da) / (vista.a - vista.da) * (larghezza - SINISTRA - DESTRA);
  const M = (x) => vista.da + (x - SINISTRA) / (larghezza - SINISTRA - DESTRA) * (vista.a - vista.da);

  // ------------------------------------------------------------------
  // Labels along a row: one is drawn only when it starts clear of the last
  // one drawn; those left out are counted by kind, as on the chart.

  let omesse = {};
  let disegnate = [];  // {genere, testo, m}: what the page shows now
  function fila() { return { fine: -Infinity }; }
  function ometti(tipo) { omesse[tipo] = (omesse[tipo] || 0) + 1; }

  function larghezzaTesto(t, corpo) {
    ctx.font = corpo + "px sans-serif";
    return ctx.measureText(t).width;
  }

  function etichetta(f, x, y, testo, opz) {
    const corpo = opz.corpo || 10;
    const w = larghezzaTesto(testo, corpo);
    if (x < f.fine || x > larghezza - DESTRA) {
      ometti(opz.tipo);
      return false;
    }
    f.fine = x + w + (opz.spazio || 3);
    ctx.fillStyle = opz.colore || "#222";
    ctx.fillText(testo, x, y);
    disegnate.push({ genere: opz.genere, testo: testo, m: opz.m });
    return true;
  }

  // A label turned a quarter, standing on `piede` at x; `f` keeps rows of
  // such labels a glyph apart.
  function ruotata(f, x, piede, testo, opz) {
    const corpo = opz.corpo || 10;
    if (x - corpo / 2 < f.fine || x > larghezza - DESTRA) {
      ometti(opz.tipo);
      return false;
    }
    f.fine = x + corpo / 2 + 1;
    ctx.save();
    ctx.translate(x + corpo / 3, piede);
    ctx.rotate(-Math.PI / 2);
    ctx.font = corpo + "px sans-serif";
    ctx.fillStyle = opz.colore || "#222";
    let t = testo;
    if (opz.massimo && ctx.measureText(t).width > opz.massimo) {
      while (t.length > 1 && ctx.measureText(t + "…").width > opz.massimo) t = t.slice(0, -1);
      t += "…";
    }
    ctx.fillText(t, 0, 0);
    ctx.restore();
    disegnate.push({ genere: opz.genere, testo: testo, m: opz.m });
    return true;
  }

  // ------------------------------------------------------------------
  // Drawing.

  function cornice(s) {
    ctx.fillStyle = s.id === "pianta" ? "#fbfbf8" : "#f7f7f4";
    ctx.fillRect(SINISTRA, s.y, larghezza - SINISTRA - DESTRA, s.h);
    ctx.strokeStyle = "#ccc";
    ctx.lineWidth = 0.5;
    ctx.strokeRect(SINISTRA, s.y, larghezza - SINISTRA - DESTRA, s.h);
    ctx.fillStyle = "#222";
    ctx.font = "bold 12px sans-serif";
    ctx.fillText(s.nome, 8, s.y + 14);
    ctx.font = "10px sans-serif";
    ctx.fillStyle = "#666";
    if (s.unita) ctx.fillText(s.unita, 8, s.y + 27);
  }

  function scala(y, testo) {
    ctx.font = "9px sans-serif";
    ctx.fillStyle = "#666";
    ctx.textAlign = "right";
    ctx.fillText(testo, SINISTRA - 4, y + 3);
    ctx.textAlign = "left";
  }

  function orizzontale(y, colore) {
    ctx.strokeStyle = colore;
    ctx.lineWidth = 0.5;
    ctx.beginPath();
    ctx.moveTo(SINISTRA, y);
    ctx.lineTo(larghezza - DESTRA, y);
    ctx.stroke();
  }

  // A step profile of the stretches of kind g between vmin and vmax.
  function gradini(g, y0, h, vmin, vmax, colore) {
    const Y = (v) => y0 + h - (Math.min(Math.max(v, vmin), vmax) - vmin) / (vmax - vmin) * h;
    ctx.strokeStyle = colore;
    ctx.lineWidth = 1.4;
    ctx.beginPath();
    let primo = true;
    visibili(g, vista.da, vista.a, (o) => {
      const xa = X(Math.max(o.da, vista.da)), xb = X(Math.min(o.a, vista.a));
      if (primo) ctx.moveTo(xa, Y(o.valore)); else ctx.lineTo(xa, Y(o.valore));
      ctx.lineTo(xb, Y(o.valore));
      primo = false;
    });
    ctx.stroke();
    return Y;
  }

  function massimo(g, minimo, f) {
    let v = minimo;
    visibili(g, vista.da, vista.a, (o) => { v = Math.max(v, f(o)); });
    return v;
  }

  function disegnaPendenza(s) {
    let g = Math.ceil(massimo("pendenza", 5, (o) => Math.abs(o.valore)) / 5) * 5;
    orizzontale(s.y + s.h / 2, "#bbb");
    scala(s.y + 4, "+" + g);
    scala(s.y + s.h / 2, "0");
    scala(s.y + s.h - 4, "-" + g);
    gradini("pendenza", s.y + 4, s.h - 8, -g, g, "#2a6f97");
  }

  function disegnaQuota(s) {
    const q = dati.quota;
    if (q.length < 2) return;
    const quota = (m) => {
      let lo = 0, hi = q.length - 1;
      while (hi - lo > 1) {
        const mid = (lo + hi) >> 1;
        if (q[mid][0] <= m) lo = mid; else hi = mid;
      }
      const [ma, za] = q[lo], [mb, zb] = q[hi];
      return mb > ma ? za + (zb - za) * Math.min(Math.max((m - ma) / (mb - ma), 0), 1) : za;
    };
    const punti = [[vista.da, quota(vista.da)]];
    for (const [m, z] of q) if (m > vista.da && m < vista.a) punti.push([m, z]);
    punti.push([vista.a, quota(vista.a)]);
    let lo = Infinity, hi = -Infinity;
    for (const [, z] of punti) { lo = Math.min(lo, z); hi = Math.max(hi, z); }
    if (hi - lo < 10) { const c = (hi + lo) / 2; lo = c - 5; hi = c + 5; }
    ctx.strokeStyle = "#6a4c93";
    ctx.lineWidth = 1.4;
    ctx.beginPath();
    punti.forEach(([m, z], i) => {
      const y = s.y + 4 + (hi - z) / (hi - lo) * (s.h - 8);
      if (i === 0) ctx.moveTo(X(m), y); else ctx.lineTo(X(m), y);
    });
    ctx.stroke();
    scala(s.y + 4, String(Math.round(hi * 10) / 10));
    scala(s.y + s.h - 4, String(Math.round(lo * 10) / 10));
  }

  const COLORI_CLASSE = ["#999999", "#f2c14e", "#f08a24", "#e4572e", "#b8336a", "#7a1f5c", "#3b0f3a"];

  function disegnaCurve(s) {
    const mezzo = s.y + s.h / 2;
    orizzontale(mezzo, "#bbb");
    if (dati.pianta.xy.length === 0) {
      ctx.fillStyle = "#a00";
      ctx.font = "italic 10px sans-serif";
      ctx.fillText("geometria della linea assente: curve non disponibili", SINISTRA + 8, mezzo - 6);
    }
    const sopra = fila(), sotto = fila();
    visibili("curva", vista.da, vista.a, (o) => {
      const classe = Math.abs(o.valore), sinistra = o.valore < 0;
      const xa = X(Math.max(o.da, vista.da)), xb = X(Math.min(o.a, vista.a));
      const alt = 6 + 4 * (classe === 0 ? 3 : classe);
      ctx.fillStyle = COLORI_CLASSE[classe] || "#999";
      ctx.fillRect(xa, sinistra ? mezzo : mezzo - alt, Math.max(1, xb - xa), alt);
      etichetta(sinistra ? sotto : sopra, xa, sinistra ? s.y + s.h - 3 : s.y + 11, o.etichetta,
        { corpo: 9, tipo: "curve", genere: "curva", m: o.da });
    });
  }

  function disegnaMontagne(s) {
    const f = fila();
    visibili("montagna", vista.da, vista.a, (o) => {
      const xa = X(Math.max(o.da, vista.da)), xb = X(Math.min(o.a, vista.a));
      ctx.fillStyle = o.etichetta.startsWith("galleria") ? "#3d3d3d" : "#b08968";
      ctx.fillRect(xa, s.y + 16, Math.max(1, xb - xa), 14);
      etichetta(f, xa, s.y + 12, o.etichetta, { tipo: "montagne", genere: "montagna", m: o.da });
    });
  }

  function disegnaVelocita(s) {
    const vmax = Math.ceil(massimo("velocita", 20, (o) => o.valore) / 20) * 20;
    const basso = s.y + s.h - 4, area = s.h - 30;
    for (const v of [0, vmax / 2, vmax]) {
      orizzontale(basso - v / vmax * area, "#bbb");
      scala(basso - v / vmax * area, String(v));
    }
    const Y = gradini("velocita", basso - area, area, 0, vmax, "#c1121f");
    const f = fila();
    visibili("velocita", vista.da, vista.a, (o) => {
      etichetta(f, X(Math.max(o.da, vista.da)) + 2, Y(o.valore) - 3, o.etichetta,
        { corpo: 9, spazio: 3, colore: "#c1121f", tipo: "valori di velocità", genere: "velocita", m: o.da });
    });
    const fc = fila();
    visibili("cartello_vmax", vista.da, vista.a, (o) => {
      const x = X(o.da);
      ctx.fillStyle = "#fff";
      ctx.strokeStyle = "#c1121f";
      ctx.lineWidth = 1;
      ctx.beginPath();
      ctx.moveTo(x, s.y + 20);
      ctx.lineTo(x - 4, s.y + 13);
      ctx.lineTo(x + 4, s.y + 13);
      ctx.closePath();
      ctx.fill();
      ctx.stroke();
      etichetta(fc, x - 2, s.y + 10, o.etichetta,
        { corpo: 9, spazio: 4, tipo: "cartelli di velocità", genere: "cartello_vmax", m: o.da });
    });
  }

  function disegnaAderenza(s) {
    const amax = massimo("aderenza", 100, (o) => o.valore);
    scala(s.y + 14, String(amax));
    scala(s.y + s.h - 4, "0");
    gradini("aderenza", s.y + 14, s.h - 18, 0, amax, "#2d6a4f");
    const f = fila();
    visibili("aderenza", vista.da, vista.a, (o) => {
      etichetta(f, X(Math.max(o.da, vista.da)) + 2, s.y + 10, o.etichetta,
        { spazio: 4, colore: "#2d6a4f", tipo: "valori di aderenza", genere: "aderenza", m: o.da });
    });
  }

  function vuoto(s, testo) {
    ctx.fillStyle = "#888";
    ctx.font = "italic 10px sans-serif";
    ctx.fillText(testo, SINISTRA + 8, s.y + s.h / 2 + 4);
  }

  function disegnaStazioni(s) {
    const piede = s.y + s.h - 24;
    const f = fila();
    let quante = 0;
    for (const o of oggetti("stazione")) {
      const zona = zonaStazione(o);
      if (zona && zona[1] >= vista.da && zona[0] <= vista.a) {
        ctx.fillStyle = "#9ecae1";
        const xa = X(Math.max(zona[0], vista.da)), xb = X(Math.min(zona[1], vista.a));
        ctx.fillRect(xa, s.y + s.h - 18, Math.max(1, xb - xa), 10);
        ++quante;
      }
      if (o.da < vista.da || o.da > vista.a) continue;
      const x = X(o.da);
      ctx.strokeStyle = "#08519c";
      ctx.lineWidth = 1.5;
      ctx.beginPath();
      ctx.moveTo(x, s.y + s.h - 22);
      ctx.lineTo(x, s.y + s.h - 4);
      ctx.stroke();
      ruotata(f, x, piede, o.etichetta,
        { massimo: piede - s.y - 6, colore: "#08519c", tipo: "stazioni", genere: "stazione", m: o.da });
    }
    if (quante === 0) vuoto(s, "nessuna stazione in questo tratto");
  }

  // The zone of a station, read from its values ("zona 13700–14300 m").
  function zonaStazione(o) {
    if (o._zona !== undefined) return o._zona;
    const z = /zona (-?\d+)–(-?\d+) m/.exec(o.valori);
    o._zona = z ? [Number(z[1]), Number(z[2])] : null;
    return o._zona;
  }

  // Point objects as flags at the strip's foot, with rotated labels.
  function bandierine(s, g, colore, tipo, vuotoTesto, primi) {
    const piede = s.y + s.h - 16;
    const f = fila();
    const lista = [];
    visibili(g, vista.da, vista.a, (o) => lista.push(o));
    // Those that `primi` prefers take their place first.
    const ordine = primi ? lista.filter(primi).concat(lista.filter((o) => !primi(o))) : lista;
    const occupati = [];
    for (const o of lista) {
      const x = X(o.da);
      ctx.fillStyle = colore;
      ctx.fillRect(x, s.y + s.h - 12, 5, 5);
      ctx.fillRect(x, s.y + s.h - 12, 1, 10);
    }
    for (const o of ordine) {
      const x = X(o.da);
      if (primi) {
        // Rows filled out of order: a label needs its own room.
        if (occupati.some(([a, b]) => x + 11 > a && x < b) || x > larghezza - DESTRA) {
          ometti(tipo);
          continue;
        }
        occupati.push([x, x + 11]);
        ruotata(fila(), x, piede, o.etichetta, { massimo: piede - s.y - 4, tipo: tipo, genere: g, m: o.da });
      } else {
        ruotata(f, x, piede, o.etichetta, { massimo: piede - s.y - 4, tipo: tipo, genere: g, m: o.da });
      }
    }
    if (lista.length === 0) vuoto(s, vuotoTesto);
  }

  function disegnaRallentamenti(s) {
    let quanti = 0;
    const f = fila();
    visibili("rallentamento", vista.da, vista.a, (o) => {
      ++quanti;
      const xa = X(Math.max(o.da, vista.da)), xb = X(Math.min(o.a, vista.a));
      ctx.fillStyle = "#ffb703";
      ctx.fillRect(xa, s.y + 30, Math.max(2, xb - xa), 12);
      if (o.da >= vista.da) etichetta(f, xa, s.y + 26, o.etichetta, { tipo: "rallentamenti", genere: "rallentamento", m: o.da });
    });
    const fp = fila();
    for (const g of ["avviso", "preavviso"]) {
      visibili(g, vista.da, vista.a, (o) => {
        const x = X(o.da);
        ctx.fillStyle = "#fb8500";
        ctx.strokeStyle = "#fb8500";
        if (g === "avviso") {
          ctx.beginPath();
          ctx.moveTo(x, s.y + 42);
          ctx.lineTo(x - 5, s.y + 32);
          ctx.lineTo(x + 5, s.y + 32);
          ctx.fill();
        } else {
          ctx.lineWidth = 1.5;
          ctx.beginPath();
          ctx.moveTo(x, s.y + 34);
          ctx.lineTo(x, s.y + 44);
          ctx.stroke();
        }
        etichetta(fp, x - 3, s.y + 54, o.etichetta, { corpo: 9, tipo: "rallentamenti", genere: g, m: o.da });
      });
    }
    visibili("abbattimento", vista.da, vista.a, (o) => {
      const x = X(o.da);
      ctx.strokeStyle = "#777";
      ctx.lineWidth = 0.8;
      ctx.beginPath();
      ctx.moveTo(x, s.y + 46);
      ctx.lineTo(x, s.y + s.h - 2);
      ctx.stroke();
    });
    if (quanti === 0) vuoto(s, "nessun rallentamento in questo tratto");
  }

  function disegnaDiagnosi(s) {
    const f = fila();
    let quante = 0;
    visibili("diagnosi", vista.da, vista.a, (o) => {
      ++quante;
      const x = X(o.da);
      ctx.fillStyle = o.d.errore ? "#c00" : "#e08a00";
      ctx.beginPath();
      ctx.moveTo(x, s.y + 8);
      ctx.lineTo(x - 6, s.y + 20);
      ctx.lineTo(x + 6, s.y + 20);
      ctx.closePath();
      ctx.fill();
      ctx.fillStyle = "#fff";
      ctx.font = "bold 9px sans-serif";
      ctx.fillText("!", x - 1.5, s.y + 18.5);
      etichetta(f, x + 8, s.y + 32, (o.d.errore ? "errore " : "avviso ") + (o.d.riga ? o.d.file + ":" + o.d.riga : ""),
        { corpo: 9, tipo: "diagnosi", genere: "diagnosi", m: o.da });
    });
    if (quante === 0) vuoto(s, dati.diagnosi.length ? "nessuna diagnosi in questo tratto" : "nessun errore né avviso");
  }

  // ------------------------------------------------------------------
  // The plan: turned so that the whole line's chord runs left to right,
  // scaled alike both ways to fit the stretch shown.

  const xy = dati.pianta.xy, passo = dati.pianta.passo;
  const nPunti = xy.length / 2;
  const rotazione = (() => {
    let a = -1, b = -1;
    for (let i = 0; i < nPunti; ++i) if (xy[2 * i] !== null) { if (a < 0) a = i; b = i; }
    if (a < 0) return null;
    const ang = b > a ? Math.atan2(xy[2 * b + 1] - xy[2 * a + 1], xy[2 * b] - xy[2 * a]) : 0;
    return { x0: xy[2 * a], y0: xy[2 * a + 1], co: Math.cos(ang), si: Math.sin(ang) };
  })();
  // Plan metres to turned coordinates: u along the chord, v to its left.
  function ruota(i) {
    const x = xy[2 * i] - rotazione.x0, y = xy[2 * i + 1] - rotazione.y0;
    return [x * rotazione.co + y * rotazione.si, -x * rotazione.si + y * rotazione.co];
  }
  // The point of the plan at metre m, between the samples around it.
  function puntoAl(m) {
    const i = Math.min(Math.max(m / passo, 0), nPunti - 1);
    const a = Math.floor(i), b = Math.min(a + 1, nPunti - 1);
    if (xy[2 * a] === null || xy[2 * b] === null) return null;
    const pa = ruota(a), pb = ruota(b), t = i - a;
    return [pa[0] + (pb[0] - pa[0]) * t, pa[1] + (pb[1] - pa[1]) * t];
  }

  // The stations and signals as drawn on the plan, for the pointer.
  let puntiPianta = [];

  function disegnaPianta(s) {
    puntiPianta = [];
    if (!rotazione) {
      ctx.fillStyle = "#a00";
      ctx.font = "italic 10px sans-serif";
      ctx.fillText("geometria della linea assente: nessuna pianta", SINISTRA + 8, s.y + s.h / 2);
      return;
    }
    const i0 = Math.max(0, Math.floor(vista.da / passo)), i1 = Math.min(nPunti - 1, Math.ceil(vista.a / passo));
    let umin = Infinity, umax = -Infinity, vmin = Infinity, vmax = -Infinity;
    const estendi = (p) => {
      if (!p) return;
      umin = Math.min(umin, p[0]); umax = Math.max(umax, p[0]);
      vmin = Math.min(vmin, p[1]); vmax = Math.max(vmax, p[1]);
    };
    for (let i = i0; i <= i1; ++i) if (xy[2 * i] !== null) estendi(ruota(i));
    estendi(puntoAl(vista.da));
    estendi(puntoAl(vista.a));
    if (!(umax >= umin)) return;
    const lw = larghezza - SINISTRA - DESTRA - 60, lh = s.h - 60;
    const su = umax - umin, sv = vmax - vmin;
    const k = Math.min(su > 0 ? lw / su : 1e9, sv > 0 ? lh / sv : 1e9, 1e6);
    const cx = SINISTRA + (larghezza - SINISTRA - DESTRA) / 2, cy = s.y + 30 + lh / 2;
    const P = (p) => [cx + (p[0] - (umin + umax) / 2) * k, cy - (p[1] - (vmin + vmax) / 2) * k];

    ctx.save();
    ctx.beginPath();
    ctx.rect(SINISTRA, s.y, larghezza - SINISTRA - DESTRA, s.h);
    ctx.clip();
    // The line around the stretch, faint, then the stretch.
    const tratto = (da, a, colore, spessore) => {
      const j0 = Math.max(0, Math.floor(da / passo)), j1 = Math.min(nPunti - 1, Math.ceil(a / passo));
      ctx.strokeStyle = colore;
      ctx.lineWidth = spessore;
      ctx.beginPath();
      let dentro = false;
      const vai = (p) => {
        if (!p) { dentro = false; return; }
        const [x, y] = P(p);
        if (dentro) ctx.lineTo(x, y); else ctx.moveTo(x, y);
        dentro = true;
      };
      vai(puntoAl(Math.max(da, 0)));
      for (let j = j0 + 1; j < j1; ++j) vai(xy[2 * j] === null ? null : ruota(j));
      vai(puntoAl(Math.min(a, (nPunti - 1) * passo)));
      ctx.stroke();
    };
    const margine = vista.a - vista.da;
    tratto(vista.da - margine, vista.a + margine, "#ccc", 1.5);
    tratto(vista.da, vista.a, "#555", 2);
    visibili("curva", vista.da, vista.a, (o) => {
      tratto(Math.max(o.da, vista.da), Math.min(o.a, vista.a), o.valore < 0 ? "#1d70a2" : "#e4572e", 3);
    });
    visibili("montagna", vista.da, vista.a, (o) => {
      tratto(Math.max(o.da, vista.da), Math.min(o.a, vista.a),
        o.etichetta.startsWith("galleria") ? "rgba(0,0,0,0.75)" : "rgba(176,137,104,0.75)", 6);
    });
    puntiPianta = [];
    let segnali = 0;
    visibili("segnale", vista.da, vista.a, () => ++segnali);
    if (segnali < 2000) {
      ctx.fillStyle = "#e63946";
      visibili("segnale", vista.da, vista.a, (o) => {
        const p = puntoAl(o.da);
        if (!p) return;
        const [x, y] = P(p);
        ctx.beginPath();
        ctx.arc(x, y, 2.5, 0, 2 * Math.PI);
        ctx.fill();
        puntiPianta.push({ x: x, y: y, o: o });
      });
    }
    // Station names in the first free place around their dot.
    const presi = [];
    visibili("stazione", vista.da, vista.a, (o) => {
      const p = puntoAl(o.da);
      if (!p) return;
      const [x, y] = P(p);
      ctx.fillStyle = "#fff";
      ctx.strokeStyle = "#08519c";
      ctx.lineWidth = 2;
      ctx.beginPath();
      ctx.arc(x, y, 4, 0, 2 * Math.PI);
      ctx.fill();
      ctx.stroke();
      puntiPianta.push({ x: x, y: y, o: o });
      ctx.font = "bold 10px sans-serif";
      const nome = o.etichetta.replace(/ \d\d:\d\d:\d\d$/, "");
      const w = ctx.measureText(nome).width;
      for (const [dx, dy] of [[0, -8], [0, 16], [w / 2 + 7, 4], [-w / 2 - 7, 4], [0, -20], [0, 28]]) {
        const r = [x + dx - w / 2, y + dy - 10, x + dx + w / 2, y + dy + 2];
        if (r[0] < SINISTRA || r[2] > larghezza - DESTRA || r[1] < s.y || r[3] > s.y + s.h) continue;
        if (presi.some((q) => r[0] < q[2] && q[0] < r[2] && r[1] < q[3] && q[1] < r[3])) continue;
        presi.push(r);
        ctx.textAlign = "center";
        ctx.lineWidth = 3;
        ctx.strokeStyle = "#fbfbf8";
        ctx.strokeText(nome, x + dx, y + dy);
        ctx.fillStyle = "#08519c";
        ctx.fillText(nome, x + dx, y + dy);
        ctx.textAlign = "left";
        return;
      }
      ometti("nomi nella pianta");
    });
    // A scale bar: 1, 2 or 5 times a power of ten.
    const metriBarra = tondo(lw / k / 8);
    ctx.fillStyle = "#333";
    ctx.fillRect(SINISTRA + 16, s.y + s.h - 14, metriBarra * k, 5);
    ctx.font = "10px sans-serif";
    ctx.fillText(metriBarra >= 1000 ? metriBarra / 1000 + " km" : metriBarra + " m",
      SINISTRA + 22 + metriBarra * k, s.y + s.h - 8);
    ctx.restore();
  }

  function tondo(v) {
    if (!(v > 0)) return 1;
    const p = Math.pow(10, Math.floor(Math.log10(v)));
    for (const f of [1, 2, 5, 10]) if (f * p >= v) return f * p;
    return 10 * p;
  }

  function disegnaAsse() {
    const passoKm = tondo((vista.a - vista.da) / 16);
    const decimali = passoKm >= 1000 ? 0 : passoKm >= 100 ? 1 : passoKm >= 10 ? 2 : 3;
    ctx.strokeStyle = "rgba(0,0,0,0.12)";
    ctx.lineWidth = 0.6;
    ctx.font = "10px sans-serif";
    ctx.fillStyle = "#222";
    ctx.textAlign = "center";
    ctx.beginPath();
    const y0 = strisce[1].y;
    for (let m = Math.ceil(vista.da / passoKm) * passoKm; m <= vista.a + 1e-9; m += passoKm) {
      const x = X(m);
      ctx.moveTo(x, y0);
      ctx.lineTo(x, fondoStrisce);
      ctx.fillText((m / 1000).toFixed(decimali), x, fondoStrisce + 14);
    }
    ctx.stroke();
    ctx.textAlign = "left";
    ctx.font = "bold 12px sans-serif";
    ctx.fillText("km", 8, fondoStrisce + 14);
    if (dati.fine_linea > 0 && dati.fine_linea >= vista.da && dati.fine_linea <= vista.a) {
      const x = X(dati.fine_linea);
      ctx.setLineDash([4, 3]);
      ctx.strokeStyle = "#000";
      ctx.lineWidth = 0.8;
      ctx.beginPath();
      ctx.moveTo(x, y0);
      ctx.lineTo(x, fondoStrisce);
      ctx.stroke();
      ctx.setLineDash([]);
    }
  }

  let evidenziato = null;

  function disegna() {
    omesse = {};
    disegnate = [];
    ctx.setTransform(1, 0, 0, 1, 0, 0);
    ctx.clearRect(0, 0, tela.width, tela.height);
    const r = window.devicePixelRatio || 1;
    ctx.setTransform(r, 0, 0, r, 0, 0);
    ctx.textBaseline = "alphabetic";
    const fai = {
      pianta: disegnaPianta, pendenza: disegnaPendenza, quota: disegnaQuota, curve: disegnaCurve,
      montagne: disegnaMontagne, velocita: disegnaVelocita, aderenza: disegnaAderenza,
      stazioni: disegnaStazioni,
      segnali: (s) => bandierine(s, "segnale", "#e63946", "segnali", "nessun segnale in questo tratto"),
      rallentamenti: disegnaRallentamenti,
      cartelli: (s) => bandierine(s, "cartello", "#555", "cartelli", "nessun cartello con testo in questo tratto",
        (o) => !o.etichetta.startsWith("(PL")),
      diagnosi: disegnaDiagnosi
    };
    for (const s of strisce) {
      cornice(s);
      ctx.save();
      ctx.beginPath();
      ctx.rect(SINISTRA - 2, s.y - 2, larghezza - SINISTRA - DESTRA + 4, s.h + 4);
      ctx.clip();
      fai[s.id](s);
      ctx.restore();
    }
    disegnaAsse();
    if (evidenziato && evidenziato.da <= vista.a && evidenziato.a >= vista.da) {
      const xa = X(Math.max(evidenziato.da, vista.da)), xb = X(Math.min(evidenziato.a, vista.a));
      ctx.fillStyle = "rgba(255, 200, 0, 0.25)";
      ctx.fillRect(xa - 3, strisce[1].y, Math.max(6, xb - xa + 6), fondoStrisce - strisce[1].y);
    }
    const chilometri = (m) => (m / 1000).toLocaleString("it-IT", { maximumFractionDigits: 3 });
    document.getElementById("tratto").textContent =
      "da km " + chilometri(vista.da) + " a km " + chilometri(vista.a);
    const parti = Object.keys(omesse).map((t) => omesse[t] + " " + t);
    document.getElementById("omesse").textContent = parti.length
      ? "Etichette omesse perché non si sovrappongano: " + parti.join(", ") + ". Avvicina per vederle."
      : "Tutte le etichette sono mostrate.";
  }

  let richiesto = false;
  function ridisegna() {
    if (richiesto) return;
    richiesto = true;
    requestAnimationFrame(() => { richiesto = false; disegna(); });
  }

  function dimensiona() {
    larghezza = Math.max(600, tela.parentElement.clientWidth);
    const r = window.devicePixelRatio || 1;
    tela.width = Math.round(larghezza * r);
    tela.height = Math.round(altezza * r);
    tela.style.height = altezza + "px";
    disegna();
  }

  // ------------------------------------------------------------------
  // Moving along the line.

  function vai(da, a) {
    let span = Math.min(Math.max(a - da, MINIMO), fine);
    let inizio = Math.min(Math.max(da, 0), fine - span);
    vista.da = inizio;
    vista.a = inizio + span;
    nascondi();
    ridisegna();
  }
  function zoom(fattore, m) {
    const c = m === undefined ? (vista.da + vista.a) / 2 : m;
    vai(c - (c - vista.da) * fattore, c + (vista.a - c) * fattore);
  }
  function scorri(frazione) {
    const d = (vista.a - vista.da) * frazione;
    vai(vista.da + d, vista.a + d);
  }

  tela.addEventListener("wheel", (e) => {
    e.preventDefault();
    if (Math.abs(e.deltaX) > Math.abs(e.deltaY)) {
      scorri(e.deltaX / (larghezza - SINISTRA - DESTRA));
    } else {
      zoom(Math.pow(1.0015, e.deltaY), Math.min(Math.max(M(e.offsetX), vista.da), vista.a));
    }
  }, { passive: false });

  let trascina = null;
  tela.addEventListener("mousedown", (e) => {
    trascina = { x: e.clientX, da: vista.da, a: vista.a };
    tela.classList.add("trascina");
    tela.focus();
  });
  window.addEventListener("mouseup", () => { trascina = null; tela.classList.remove("trascina"); });
  window.addEventListener("mousemove", (e) => {
    if (!trascina) return;
    const d = (e.clientX - trascina.x) / (larghezza - SINISTRA - DESTRA) * (trascina.a - trascina.da);
    vai(trascina.da - d, trascina.a - d);
  });

  document.addEventListener("keydown", (e) => {
    if (e.target instanceof HTMLInputElement) return;
    const tasti = {
      ArrowLeft: () => scorri(-0.1), ArrowRight: () => scorri(0.1),
      ArrowUp: () => zoom(1 / 1.5), ArrowDown: () => zoom(1.5),
      "+": () => zoom(1 / 1.5), "=": () => zoom(1 / 1.5), "-": () => zoom(1.5),
      "0": () => vai(0, fine), Home: () => scorri(-1e9), End: () => scorri(1e9)
    };
    if (tasti[e.key]) {
      e.preventDefault();
      tasti[e.key]();
    }
  });
  document.getElementById("piu").addEventListener("click", () => zoom(1 / 1.5));
  document.getElementById("meno").addEventListener("click", () => zoom(1.5));
  document.getElementById("tutto").addEventListener("click", () => vai(0, fine));

  // "14,2" centres the view on that kilometre; "13-15" shows that stretch.
  const km = document.getElementById("km");
  km.addEventListener("keydown", (e) => {
    if (e.key !== "Enter") return;
    e.preventDefault();
    const parti = km.value.replace(/,/g, ".").split(/\s*[-–]\s*|\s+/).filter(Boolean).map(Number);
    if (parti.length === 0 || parti.some((v) => !isFinite(v))) return;
    if (parti.length >= 2) {
      vai(parti[0] * 1000, parti[1] * 1000);
    } else {
      const span = vista.a - vista.da;
      vai(parti[0] * 1000 - span / 2, parti[0] * 1000 + span / 2);
    }
  });

  // ------------------------------------------------------------------
  // Search: a station or a sign by name.

  const cercabili = oggetti("stazione").concat(oggetti("cartello"));
  const nomi = document.getElementById("nomi");
  for (const o of cercabili) {
    const opzione = document.createElement("option");
    opzione.value = o.genere === "stazione" ? o.etichetta.replace(/ \d\d:\d\d:\d\d$/, "") : o.etichetta;
    nomi.appendChild(opzione);
  }
  function trova(testo) {
    const t = testo.trim().toLowerCase();
    if (!t) return null;
    const nome = (o) => o.etichetta.toLowerCase();
    return cercabili.find((o) => nome(o) === t) || cercabili.find((o) => nome(o).startsWith(t)) ||
      cercabili.find((o) => nome(o).includes(t)) || null;
  }
  function mostraOggetto(o) {
    const span = Math.min(Math.max(vista.a - vista.da, 1000), 4000, fine);
    evidenziato = o;
    vai((o.da + o.a) / 2 - span / 2, (o.da + o.a) / 2 + span / 2);
  }
  const cerca = document.getElementById("cerca");
  const esegui = () => {
    const o = trova(cerca.value);
    cerca.setCustomValidity(o ? "" : "nessuna stazione o cartello con questo nome");
    if (o) mostraOggetto(o);
  };
  cerca.addEventListener("keydown", (e) => { if (e.key === "Enter") { e.preventDefault(); esegui(); } });
  cerca.addEventListener("change", esegui);
  document.getElementById("comandi").addEventListener("submit", (e) => e.preventDefault());

  // ------------------------------------------------------------------
  // Hover: what is under the pointer, in the strip it is over.

  const testoHtml = (t) => String(t).replace(/[&<>"]/g, (c) => ({ "&": "&amp;", "<": "&lt;", ">": "&gt;", '"': "&quot;" })[c]);
  const metri = (m) => Math.round(m).toLocaleString("it-IT") + " m";

  function sotto(x, y) {
    const s = strisce.find((s) => y >= s.y && y <= s.y + s.h);
    if (!s || x < SINISTRA || x > larghezza - DESTRA) return null;
    if (s.id === "pianta") {
      // On the plan the pointer finds the dot nearest to it.
      let vicino = null, d2 = 64;
      for (const q of puntiPianta) {
        const d = (q.x - x) * (q.x - x) + (q.y - y) * (q.y - y);
        if (d <= d2) { d2 = d; vicino = q.o; }
      }
      return vicino;
    }
    const m = M(x), tolleranza = 5 * (vista.a - vista.da) / (larghezza - SINISTRA - DESTRA);
    let migliore = null, distanza = Infinity;
    const generi = s.generi || (s.id === "quota" ? ["pendenza"] : []);
    for (const g of generi) {
      visibili(g, m - tolleranza, m + tolleranza, (o) => {
        const d = m < o.da ? o.da - m : m > o.a ? m - o.a : 0;
        // A point beats the stretch it stands on.
        const peso = d + (o.a > o.da ? tolleranza / 2 : 0);
        if (peso < distanza) { distanza = peso; migliore = o; }
      });
    }
    return migliore;
  }

  function descrivi(o) {
    if (o.genere === "diagnosi") {
      const d = o.d;
      return '<div class="genere ' + (d.errore ? "errore" : "avviso") + '">' +
        (d.errore ? "errore, codice " + d.codice : "avviso") + " a " + metri(d.posizione) + "</div>" +
        "<div>" + testoHtml(d.testo) + "</div>" +
        (d.riga ? '<div class="sorgente">' + testoHtml(d.file) + ":" + d.riga + "</div>" : "");
    }
    const righe = ['<div class="genere">' + testoHtml(NOMI_GENERE[o.genere] || o.genere) + "</div>",
      "<div>" + testoHtml(o.valori || o.etichetta) + "</div>"];
    if (o.cella >= 0) {
      righe.push("<div>" + (o.celle > 1
        ? "celle " + o.cella + "–" + (o.cella + o.celle - 1) + ", da " + metri(o.da) + " a " + metri(o.a)
        : "cella " + o.cella + ", " + metri(o.cella * 50)) + "</div>");
    } else {
      righe.push("<div>" + (o.a > o.da ? "da " + metri(o.da) + " a " + metri(o.a) : metri(o.da)) + "</div>");
    }
    if (o.scritto !== null && o.scritto !== undefined) righe.push("<div>scritto a " + metri(o.scritto) + "</div>");
    if (o.file > 0 && o.riga > 0) {
      righe.push('<div class="sorgente">' + testoHtml(dati.file[o.file]) + ":" + o.riga + "</div>");
    }
    return righe.join("");
  }

  function nascondi() { suggerimento.hidden = true; }

  function mostraSuggerimento(o, x, y) {
    suggerimento.innerHTML = descrivi(o);
    suggerimento.hidden = false;
    const w = suggerimento.offsetWidth;
    suggerimento.style.left = Math.min(x + 14, larghezza - w - 4) + "px";
    suggerimento.style.top = (y + 16) + "px";
  }

  tela.addEventListener("mousemove", (e) => {
    if (trascina) return;
    const o = sotto(e.offsetX, e.offsetY);
    if (o) mostraSuggerimento(o, e.offsetX, e.offsetY); else nascondi();
  });
  tela.addEventListener("mouseleave", nascondi);

  // ------------------------------------------------------------------
  // The start: title, the diagnostics that have no place on the line, the
  // whole line shown.

  document.getElementById("titolo").textContent = dati.titolo;
  const generali = document.getElementById("diagnosi-generali");
  for (const d of dati.diagnosi.filter((d) => !d.con_posizione)) {
    const p = document.createElement("p");
    p.textContent = (d.riga ? d.file + ":" + d.riga + ": " : "") + (d.errore ? "errore: " : "avviso: ") + d.testo;
    generali.appendChild(p);
  }
  if (dati.inizio && (dati.inizio[0] !== null || dati.inizio[1] !== null)) {
    const da = dati.inizio[0] === null ? 0 : dati.inizio[0];
    const a = dati.inizio[1] === null ? fine : dati.inizio[1];
    vista.da = Math.max(0, Math.min(da, fine - MINIMO));
    vista.a = Math.min(fine, Math.max(a, vista.da + MINIMO));
  }
  window.addEventListener("resize", dimensiona);
  dimensiona();

  // For scripts and tests: the stretch shown, moving, what is drawn.
  window.vista = {
    vai: (da, a) => { vai(da, a); disegna(); },
    tratto: () => ({ da: vista.da, a: vista.a }),
    etichette: () => disegnate.slice(),
    omesse: () => Object.assign({}, omesse),
    trova: (t) => trova(t),
    // Where on the plan the station or signal nearest to metre m is drawn.
    puntoPianta: (m) => {
      let migliore = null;
      for (const q of puntiPianta) if (!migliore || Math.abs(q.o.da - m) < Math.abs(migliore.o.da - m)) migliore = q;
      return migliore && { x: migliore.x, y: migliore.y, oggetto: migliore.o };
    },
    // Where on the canvas (page px) the object of kind g nearest to metre m is.
    posizione: (g, m) => {
      let migliore = null;
      visibili(g, vista.da, vista.a, (o) => {
        if (!migliore || Math.abs(o.da - m) < Math.abs(migliore.da - m)) migliore = o;
      });
      if (!migliore) return null;
      const s = strisce.find((s) => (s.generi || []).includes(g));
      return { x: X(Math.max(migliore.da, vista.da)), y: s.y + s.h - 8, oggetto: migliore };
    }
  };
})();
