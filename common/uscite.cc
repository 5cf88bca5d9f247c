#include "common/uscite.h"

#include <algorithm>
#include <cerrno>
#include <optional>

namespace scenario {
namespace {

constexpr std::string_view kIntestazione = "scenario: insieme di file\n";
constexpr std::string_view kFine = "fine\n";
constexpr std::size_t kGiornaleMassimo = 1 << 20;

std::string separatori(piattaforma& p) { return p.separatore() == "\\" ? "\\/" : p.separatore(); }

std::string base_di(piattaforma& p, const std::string& nome) {
  const std::size_t s = nome.find_last_of(separatori(p));
  return s == std::string::npos ? nome : nome.substr(s + 1);
}

std::string unisci(piattaforma& p, const std::string& cartella, const std::string& base) {
  return cartella.empty() ? base : cartella + p.separatore() + base;
}

// The old copy of an earlier file takes the name of the new file's
// temporary with another ending: unique in the folder as that one is, and
// known to the journal before it exists.
std::string nome_vecchio(const std::string& temporaneo) {
  const std::string fine = ".tmp";
  if (temporaneo.size() > fine.size() && temporaneo.compare(temporaneo.size() - fine.size(), fine.size(), fine) == 0) {
    return temporaneo.substr(0, temporaneo.size() - fine.size()) + ".vecchio";
  }
  return temporaneo + ".vecchio";
}

bool esiste_qualcosa(piattaforma& p, const std::string& nome) { return p.identita(nome, false).has_value(); }

struct riga_giornale {
  std::string temporaneo, nome, vecchio;  // base names
};

// The entries of a whole journal; nothing when it is not one.
std::optional<std::vector<riga_giornale>> leggi_giornale(const std::string& testo) {
  if (testo.compare(0, kIntestazione.size(), kIntestazione) != 0) return std::nullopt;
  if (testo.size() < kIntestazione.size() + kFine.size() ||
      testo.compare(testo.size() - kFine.size(), kFine.size(), kFine) != 0) {
    return std::nullopt;
  }
  std::vector<riga_giornale> righe;
  std::size_t i = kIntestazione.size();
  const std::size_t fine = testo.size() - kFine.size();
  while (i < fine) {
    const std::size_t a_capo = testo.find('\n', i);
    if (a_capo == std::string::npos || a_capo > fine) return std::nullopt;
    const std::string riga = testo.substr(i, a_capo - i);
    i = a_capo + 1;
    const std::size_t t1 = riga.find('\t');
    const std::size_t t2 = t1 == std::string::npos ? t1 : riga.find('\t', t1 + 1);
    if (t2 == std::string::npos || riga.find('\t', t2 + 1) != std::string::npos) return std::nullopt;
    riga_giornale r{riga.substr(0, t1), riga.substr(t1 + 1, t2 - t1 - 1), riga.substr(t2 + 1)};
    // Only names of the folder, and only this program's temporaries.
    for (const std::string* n : {&r.temporaneo, &r.nome, &r.vecchio}) {
      if (n->find_first_of("/\\") != std::string::npos || *n == "." || *n == "..") return std::nullopt;
    }
    if (!e_temporaneo(r.temporaneo) || r.nome.empty() || (!r.vecchio.empty() && !e_temporaneo(r.vecchio))) {
      return std::nullopt;
    }
    righe.push_back(std::move(r));
  }
  if (righe.empty()) return std::nullopt;
  return righe;
}

// The failure of a replacement, with what the user can do about it.
errore_sistema non_sostituibile(const errore_sistema& e, const std::string& nome) {
  return errore_sistema(nome, e.numero(),
                        e.descrizione() +
                            "; nessun file dell'insieme è stato cambiato (il file è forse tenuto aperto da un altro "
                            "programma, come il simulatore)");
}

}  // namespace

std::string cartella_di(piattaforma& p, const std::string& nome) {
  const std::size_t s = nome.find_last_of(separatori(p));
  return s == std::string::npos ? std::string() : nome.substr(0, s);
}

std::string nome_giornale(piattaforma& p, const std::string& cartella) {
  return unisci(p, cartella, ".scenario-insieme");
}

insieme_uscite::~insieme_uscite() { scarta(); }

void insieme_uscite::aggiungi(const std::string& nome, std::string_view byte) {
  bool dato = false;
  aggiungi_a_pezzi(nome, [&]() -> std::string_view {
    if (dato) return {};
    dato = true;
    return byte;
  });
}

void insieme_uscite::aggiungi_a_pezzi(const std::string& nome, const std::function<std::string_view()>& prossimo) {
  try {
    voci_.push_back({p_.scrivi_temporaneo(nome, prossimo), nome, "", false, false});
  } catch (...) {
    scarta();
    throw;
  }
}

void insieme_uscite::aggiungi_posizionato(const std::string& nome,
                                         const std::function<pezzo_posizionato()>& prossimo) {
  try {
    voci_.push_back({p_.scrivi_temporaneo_posizionato(nome, prossimo), nome, "", false, false});
  } catch (...) {
    scarta();
    throw;
  }
}

void insieme_uscite::conferma() {
  if (voci_.empty()) return;
  const std::string cartella = cartella_di(p_, voci_.front().nome);
  const std::string giornale = nome_giornale(p_, cartella);
  try {
    for (voce& v : voci_) {
      p_.verifica_sostituibile(v.nome);
      if (esiste_qualcosa(p_, v.nome)) v.vecchio = nome_vecchio(v.temporaneo);
    }
  } catch (const errore_sistema& e) {
    scarta();
    throw non_sostituibile(e, e.file());
  }
  std::string testo(kIntestazione);
  for (const voce& v : voci_) {
    testo += base_di(p_, v.temporaneo) + "\t" + base_di(p_, v.nome) + "\t" +
             (v.vecchio.empty() ? std::string() : base_di(p_, v.vecchio)) + "\n";
  }
  testo += kFine;
  try {
    p_.scrivi(giornale, testo);
    p_.sincronizza_cartella(cartella);
  } catch (...) {
    scarta();
    throw;
  }
  // From here a killed run is completed by the next one.
  std::string fallito;
  try {
    for (voce& v : voci_) {
      fallito = v.nome;
      if (!v.vecchio.empty()) {
        p_.metti_da_parte(v.nome, v.vecchio);
        v.da_parte = true;
      }
    }
    for (voce& v : voci_) {
      fallito = v.nome;
      p_.sostituisci(v.temporaneo, v.nome);
      v.in_posto = true;
    }
  } catch (const errore_sistema& e) {
    annulla(giornale);
    throw non_sostituibile(e, fallito);
  } catch (...) {
    annulla(giornale);
    throw;
  }
  // The set is in place; what follows only tidies up, and what it cannot
  // do the next run does.
  try {
    p_.sincronizza_cartella(cartella);
    for (const voce& v : voci_) {
      if (v.da_parte && esiste_qualcosa(p_, v.vecchio)) p_.elimina(v.vecchio);
    }
    p_.elimina(giornale);
  } catch (const errore_sistema&) {
  }
  voci_.clear();
}

void insieme_uscite::annulla(const std::string& giornale) {
  bool tutto = true;
  // Backwards: the files not yet in place first, the one that failed among
  // them. Where one cannot go back the undoing stops, so that every file
  // from there on is still new or still has its temporary, and the journal
  // completes the new set at the next run.
  for (auto it = voci_.rbegin(); it != voci_.rend(); ++it) {
    voce& v = *it;
    try {
      if (v.da_parte) {
        // A second link of the file still under its name: the copy only
        // goes. Otherwise the copy goes back over the name.
        const std::optional<identita_file> copia = p_.identita(v.vecchio, false);
        if (!v.in_posto && copia && copia == p_.identita(v.nome, false)) {
          p_.elimina(v.vecchio);
        } else {
          p_.sostituisci(v.vecchio, v.nome);
        }
        v.da_parte = false;
      } else if (v.in_posto && v.vecchio.empty()) {
        p_.elimina(v.nome);
      }
      v.in_posto = false;
    } catch (const errore_sistema&) {
      tutto = false;
      break;
    }
  }
  if (!tutto) {
    // What could not go back stays with the journal, which the next run
    // completes: the new files whose temporaries remain go in, the earlier
    // ones go back where a name was left empty.
    voci_.clear();
    return;
  }
  scarta();
  try {
    p_.elimina(giornale);
  } catch (const errore_sistema&) {
  }
}

void insieme_uscite::scarta() {
  for (const voce& v : voci_) {
    if (v.in_posto) continue;
    try {
      p_.elimina(v.temporaneo);
    } catch (...) {
      // Nothing better to do with a temporary that will not go; the failure
      // that matters is the one being reported.
    }
  }
  voci_.clear();
}

std::string ripristina_cartella(piattaforma& p, const std::string& cartella) {
  const std::string giornale = nome_giornale(p, cartella);
  std::string fatto;
  if (p.esiste(giornale)) {
    std::optional<std::vector<riga_giornale>> righe;
    try {
      righe = leggi_giornale(p.leggi(giornale, kGiornaleMassimo));
    } catch (const errore_sistema& e) {
      if (e.numero() != EFBIG) throw;
    }
    if (righe) {
      int messi = 0;
      for (const riga_giornale& r : *righe) {
        const std::string t = unisci(p, cartella, r.temporaneo);
        const std::string nome = unisci(p, cartella, r.nome);
        const std::string vecchio = r.vecchio.empty() ? std::string() : unisci(p, cartella, r.vecchio);
        if (p.esiste(t)) {
          p.sostituisci(t, nome);
          ++messi;
        } else if (!vecchio.empty() && !esiste_qualcosa(p, nome) && esiste_qualcosa(p, vecchio)) {
          // A run that failed and could not put this one back.
          p.sostituisci(vecchio, nome);
        }
      }
      p.sincronizza_cartella(cartella);
      for (const riga_giornale& r : *righe) {
        if (!r.vecchio.empty() && esiste_qualcosa(p, unisci(p, cartella, r.vecchio))) {
          p.elimina(unisci(p, cartella, r.vecchio));
        }
      }
      fatto = "completato l'insieme di file che un'esecuzione interrotta aveva lasciato a metà (" +
              std::to_string(messi) + " di " + std::to_string(righe->size()) + " file messi al loro posto)";
    } else {
      fatto = "rimosso il giornale illeggibile di un'esecuzione interrotta; i file sono rimasti com'erano";
    }
    p.elimina(giornale);
  }
  int rimossi = 0;
  for (const std::string& n : p.elenca(cartella)) {
    if (!e_temporaneo(n)) continue;
    const std::string nome = unisci(p, cartella, n);
    // A file, or a dangling link (the copy of one kept aside); never a
    // folder.
    if (!p.esiste(nome) && !(esiste_qualcosa(p, nome) && !p.identita(nome, true))) continue;
    p.elimina(nome);
    ++rimossi;
  }
  if (rimossi > 0) {
    fatto += (fatto.empty() ? "rimossi " : "; rimossi ") + std::to_string(rimossi) +
             " file temporanei di esecuzioni interrotte";
  }
  if (fatto.empty()) return fatto;
  return (cartella.empty() ? std::string(".") : cartella) + ": " + fatto;
}

std::string avviso_insieme_incompleto(piattaforma& p, const std::string& nome) {
  const std::string cartella = cartella_di(p, nome);
  if (!p.esiste(nome_giornale(p, cartella))) return "";
  return "l'insieme di file in " + (cartella.empty() ? std::string(".") : cartella) +
         " è incompleto: un'esecuzione è stata interrotta mentre lo sostituiva (la prossima compilazione in quella "
         "cartella lo completa)";
}

std::vector<std::string> avvisi_insiemi_incompleti(piattaforma& p, const std::vector<std::string>& file) {
  std::vector<std::string> avvisi;
  for (const std::string& f : file) {
    const std::string a = avviso_insieme_incompleto(p, f);
    if (!a.empty() && std::find(avvisi.begin(), avvisi.end(), a) == avvisi.end()) avvisi.push_back(a);
  }
  return avvisi;
}

std::unique_ptr<blocco_cartella> prendi_cartella(piattaforma& p, const std::string& cartella, int attesa_ms) {
  std::unique_ptr<blocco_cartella> b = p.blocca(cartella, attesa_ms);
  const std::string riga = ripristina_cartella(p, cartella);
  if (!riga.empty()) p.annota(riga);
  return b;
}

std::string descrizione_cartella_occupata() {
  return "la cartella è in uso da un'altra esecuzione (di genera_scenario o di scenario), che non l'ha lasciata in "
         "tempo";
}

}  // namespace scenario
