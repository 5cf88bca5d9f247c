  // ==================================================================
  // The page's script goes on here, inside the one function that
  // vista.js opens; the build joins vista.js, vista_pianta.js and
  // vista_comandi.js in that order.

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
