#include "fuzz/compila_fuzz.h"

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <typeinfo>

#include "compiler/campi.h"
#include "compiler/compilazione.h"
#include "compiler/modello.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "common/nomi.h"
#include "common/righe.h"
#include "texts/testi.h"

namespace scenario::fuzz {
namespace {

std::string nome(piattaforma& p, file_scenario f) { return nome_file(p, kNomeLinea, kNumeroTreno, f); }

// Where a file must not be, or must be with exactly this size.
void verifica_assente(piattaforma_memoria& p, file_scenario f) { VERIFICA(p.file.count(nome(p, f)) == 0); }

std::size_t dimensione(piattaforma_memoria& p, file_scenario f) {
  const auto it = p.file.find(nome(p, f));
  VERIFICA(it != p.file.end());
  return it->second.size();
}

// The memory platform, but the line geometry's bytes are only counted: the
// plan of even a short line is 140 KB or more, and under AddressSanitizer
// every block that large is a fresh mapping, which made storing it a sixth
// of each run. Only its size is checked.
class piattaforma_fuzz : public piattaforma_memoria {
 public:
  std::string scrivi_temporaneo_posizionato(const std::string& n,
                                            const std::function<pezzo_posizionato()>& prossimo) override {
    if (n != nome(*this, file_scenario::geometria_linea)) {
      return piattaforma_memoria::scrivi_temporaneo_posizionato(n, prossimo);
    }
    std::size_t byte = 0;
    for (pezzo_posizionato p = prossimo(); !p.byte.empty(); p = prossimo()) byte += p.byte.size();
    byte_geometria = byte;
    return piattaforma_memoria::scrivi_temporaneo(n, [] { return std::string_view(); });
  }
  std::size_t byte_geometria = 0;
};

}  // namespace

void violato(const char* cosa, const char* file, int riga) {
  std::fprintf(stderr, "%s:%d: violated: %s\n", file, riga, cosa);
  std::abort();
}

const std::string& linea_incorporata() {
  static const std::string t = [] {
    piattaforma_memoria p;
    return testo_righe(righe_linea(p));
  }();
  return t;
}

const std::string& treno_incorporato() {
  static const std::string t = [] {
    piattaforma_memoria p;
    return testo_righe(righe_treno(p));
  }();
  return t;
}

bool linea_corta(std::string_view linea, int32_t massimo) {
  lettore_campi l(linea);
  while (!l.fine()) {
    const std::string campo = l.testo();
    if (!contiene_nc(campo, "lunghezza") || !contiene_nc(campo, "percorso") || l.fine()) continue;
    try {
      if (l.numero32() > massimo) return false;
    } catch (const std::exception&) {
      // A length that does not fit ends the reading at once: cheap.
    }
  }
  return true;
}

std::string linea_incorporata_corta() {
  std::string t = linea_incorporata();
  const std::string lunga = "lunghezza percorso,    104300";
  const std::size_t i = t.find(lunga);
  if (i != std::string::npos) t.replace(i, lunga.size(), "lunghezza percorso,    " + std::to_string(kLunghezzaMassima));
  return t;
}

std::string_view linea_breve() {
  return "[generale]\r\nlunghezza percorso,    6000\r\nprogressiva chilometrica uno,    0,    6000,    1\r\n"
         "sfondo uno,    1\r\nripetizione segnali 9 codici,    500    ,1000\r\n[curve]\r\ncurvad5,  650,  600\r\n"
         "curvas2,  2000,  300\r\n[pendenze]\r\npendenza,   0,    0\r\npendenza,  700,   4\r\n"
         "pendenza,  2400,   -6\r\n[montagne]\r\nmontagna,   1050,  2400,  11\r\nmontagna,   2500,  3000,  2\r\n"
         "[cartelli]\r\nindicatori_vmax,  700,  90,  110,  110,  0,  ,  ,  ,  0\r\n[indicazioni]\r\n"
         "cartello_indicatore,  1250,   (PL km 1+200)\r\n[fine]\r\n";
}

std::optional<modello> compila_e_verifica(const std::optional<std::string_view>& linea,
                                          const std::optional<std::string_view>& treno, bool geometria) {
  piattaforma_fuzz p;
  if (linea) p.file[nome(p, file_scenario::descrizione_linea)] = std::string(*linea);
  if (treno) p.file[nome(p, file_scenario::descrizione_treno)] = std::string(*treno);

  risultato_compilazione r;
  bool terminato = false;
  try {
    r = compila(p, identita_incorporata(), geometria);
    // The compiler shows nothing itself; a report is a code, and it leaves
    // no binary file (checked below).
    VERIFICA(p.messaggi.empty());
    VERIFICA(!r.sistema.has_value());
    terminato = r.rapporto.has_value();
    if (terminato) VERIFICA(!r.rapporto->codice.empty());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "escaped the driver: %s: %s\n", typeid(e).name(), e.what());
    std::abort();
  } catch (...) {
    std::fprintf(stderr, "escaped the driver: an exception of unknown type\n");
    std::abort();
  }

  // Every path that opened the line description deleted it.
  if (linea) verifica_assente(p, file_scenario::descrizione_linea);

  if (terminato) {
    // The error report comes before any binary file is written.
    verifica_assente(p, file_scenario::geometria_linea);
    verifica_assente(p, file_scenario::voci);
    verifica_assente(p, file_scenario::celle);
    return std::nullopt;
  }

  const modello& m = r.m;
  VERIFICA(m.ultima_cella >= 1);
  VERIFICA(m.celle.size() == static_cast<std::size_t>(m.ultima_cella) + 1);
  VERIFICA(dimensione(p, file_scenario::celle) == 15 * (static_cast<std::size_t>(m.ultima_cella) + 1));
  std::size_t nomi = 0;
  for (const voce& v : m.voci) nomi += v.nome.size();
  VERIFICA(dimensione(p, file_scenario::voci) == 2958 + nomi);
  if (geometria) {
    // Every row of the plan is a tagged number of 2, 4 or 10 bytes, in two
    // columns of lunghezza_tracciato + 1 rows.
    const std::size_t righe = static_cast<std::size_t>(m.lunghezza_tracciato) + 1;
    dimensione(p, file_scenario::geometria_linea);
    const std::size_t byte = p.byte_geometria;
    VERIFICA(byte >= 2 * 2 * righe && byte <= 2 * 10 * righe);
  } else {
    verifica_assente(p, file_scenario::geometria_linea);
  }
  // The binary files and nothing else but a train description that was
  // never reached: no temporary file.
  for (const auto& [n, contenuto] : p.file) {
    VERIFICA(n == nome(p, file_scenario::voci) || n == nome(p, file_scenario::celle) ||
             (geometria && n == nome(p, file_scenario::geometria_linea)) ||
             n == nome(p, file_scenario::descrizione_treno));
  }
  // The fixed values of the checks are in place.
  VERIFICA(m.voci[85].gruppo_1a == 610 && m.celle[1].dato1 == 5121);
  return r.m;
}

}  // namespace scenario::fuzz
