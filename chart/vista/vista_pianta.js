  // ==================================================================
  // The page's script goes on here, inside the one function that
  // vista.js opens; the build joins vista.js, vista_pianta.js and
  // vista_comandi.js in that order.

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
