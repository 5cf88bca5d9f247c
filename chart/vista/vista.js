// The view of a scenario: the plan and the strips of the chart on one axis
// in metres, drawn on a canvas from the data inline in the page. Plain
// script, no library: read from top to bottom. It goes on in vista_pianta.js
// (the plan) and vista_comandi.js (moving, search, hover and the start),
// joined after this file by the build.
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
      triangolo(x, s.y + 20, s.y + 13, 4);
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

  // A triangle's path: its point at (x, punta), its base at `base`,
  // `mezza` either side of x.
  function triangolo(x, punta, base, mezza) {
    ctx.beginPath();
    ctx.moveTo(x, punta);
    ctx.lineTo(x - mezza, base);
    ctx.lineTo(x + mezza, base);
    ctx.closePath();
  }

  function disegnaDiagnosi(s) {
    const f = fila();
    let quante = 0;
    visibili("diagnosi", vista.da, vista.a, (o) => {
      ++quante;
      const x = X(o.da);
      ctx.fillStyle = o.d.errore ? "#c00" : "#e08a00";
      triangolo(x, s.y + 8, s.y + 20, 6);
      ctx.fill();
      ctx.fillStyle = "#fff";
      ctx.font = "bold 9px sans-serif";
      ctx.fillText("!", x - 1.5, s.y + 18.5);
      etichetta(f, x + 8, s.y + 32, (o.d.errore ? "errore " : "avviso ") + (o.d.riga ? o.d.file + ":" + o.d.riga : ""),
        { corpo: 9, tipo: "diagnosi", genere: "diagnosi", m: o.da });
    });
    if (quante === 0) vuoto(s, dati.diagnosi.length ? "nessuna diagnosi in questo tratto" : "nessun errore né avviso");
  }
