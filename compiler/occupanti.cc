#include "compiler/occupanti.h"

#include "platform/cp1252.h"

namespace scenario {
namespace {

std::string a_metri(int32_t p) { return std::to_string(p) + " m"; }

// A text of the item table (ANSI), as an author reads it.
std::string testo_voce(const modello& m, int64_t v) {
  if (v < 0 || v >= kNumeroVoci) return "";
  const std::string& n = m.voci[static_cast<std::size_t>(v)].nome;
  return cp1252_in_utf8(n.substr(0, n.find_last_not_of(" \t") + 1));
}

}  // namespace

void segna_origine(modello& m, int64_t i, int32_t posizione) {
  if (i < 0 || i >= static_cast<int64_t>(m.origini.size())) return;
  origine_cella& o = m.origini[static_cast<std::size_t>(i)];
  o.file = static_cast<int8_t>(m.sorgente_file);
  o.riga = m.sorgente_riga;
  o.posizione = posizione;
}

correlato occupante(const modello& m, int64_t i) {
  correlato c;
  if (i < 0 || i >= static_cast<int64_t>(m.celle.size())) return c;
  const cella& x = m.celle[static_cast<std::size_t>(i)];
  origine_cella o;
  if (i < static_cast<int64_t>(m.origini.size())) o = m.origini[static_cast<std::size_t>(i)];
  c.file = o.file;
  c.riga = o.riga;
  const std::string a = " a " + a_metri(o.posizione);
  switch (x.tipo) {
    case cella_libera:
      return correlato{};
    case cella_segnale:
      c.chi = "il segnale" + a;
      break;
    case cella_fine_rallentamento:
      c.chi = "la fine del rallentamento" + a;
      break;
    case cella_inizio_rallentamento:
      c.chi = "l'inizio del rallentamento" + a;
      break;
    case cella_avviso_rallentamento:
      c.chi = "l'avviso del rallentamento" + a;
      break;
    case cella_preavviso:
      c.chi = "un preavviso del rallentamento" + a;
      break;
    case cella_indicatore_v_max:
      c.chi = "il cartello di velocità massima" + a;
      break;
    case cella_stazione: {
      const std::string nome = testo_voce(m, x.dato1);
      c.chi = "la stazione" + (nome.empty() ? a : " " + nome);
      if (x.dato1 > 0 && x.dato1 < kNumeroVoci) {
        const voce& s = m.voci[static_cast<std::size_t>(x.dato1)];
        c.nota = "segnaposto a fine zona, zona " + std::to_string(s.inizio) + "-" + a_metri(s.fine);
      }
      break;
    }
    case cella_montagna:
      c.chi = "il segno della montagna" + a;
      break;
    case cella_abbattimento:
    case cella_abbattimento_zero:
      c.chi = o.file == 0 ? "un marcatore del completamento del tracciato" : "l'abbattimento" + a;
      break;
    case cella_cartello:
      c.chi = "il cartello " + testo_voce(m, x.dato1);
      break;
    default:
      c.chi = "un oggetto di tipo " + std::to_string(x.tipo);
  }
  return c;
}

void nota_occupante(modello& m, std::size_t guasti_prima, int64_t i) {
  if (m.guasti.size() <= guasti_prima) return;
  m.guasti.back().occupante = occupante(m, i);
}

}  // namespace scenario
