#include "tool/argomenti.h"

#include <charconv>
#include <new>

#include "compiler/compila_testi.h"
#include "platform/piattaforma.h"
#include "reader/decodifica.h"

namespace scenario {

std::optional<std::string> argomenti::valore(const std::string& nome) const {
  const auto it = valori.find(nome);
  if (it == valori.end()) return std::nullopt;
  return it->second;
}

std::optional<int64_t> argomenti::metri(const std::string& nome) const {
  const auto v = valore(nome);
  if (!v) return std::nullopt;
  int64_t n = 0;
  const auto r = std::from_chars(v->data(), v->data() + v->size(), n);
  if (v->empty() || r.ec != std::errc() || r.ptr != v->data() + v->size()) {
    throw errore_argomenti(nome + ": \"" + *v + "\" non è un numero intero di metri");
  }
  return n;
}

argomenti leggi_argomenti(const std::vector<std::string>& a, const std::vector<opzione>& opzioni) {
  argomenti r;
  bool solo_posizionali = false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const std::string& x = a[i];
    if (solo_posizionali || x.size() < 2 || x[0] != '-') {
      r.posizionali.push_back(x);
      continue;
    }
    if (x == "--") {
      solo_posizionali = true;
      continue;
    }
    const auto uguale = x.find('=');
    const std::string nome = x.substr(0, uguale);
    const opzione* o = nullptr;
    for (const opzione& c : opzioni) {
      for (const std::string& n : c.nomi) {
        if (n == nome) o = &c;
      }
    }
    if (!o) throw errore_argomenti("opzione sconosciuta: " + nome);
    const std::string& chiave = o->nomi.front();
    if (r.ha(chiave)) throw errore_argomenti("opzione ripetuta: " + nome);
    if (!o->con_valore) {
      if (uguale != std::string::npos) throw errore_argomenti(nome + " non vuole un valore");
      r.presenti.insert(chiave);
    } else if (uguale != std::string::npos) {
      r.valori[chiave] = x.substr(uguale + 1);
    } else {
      if (i + 1 >= a.size()) throw errore_argomenti(nome + " vuole un valore");
      r.valori[chiave] = a[++i];
    }
  }
  return r;
}

bool chiede_aiuto(const std::vector<std::string>& a) {
  for (const std::string& x : a) {
    if (x == "--") return false;
    if (x == "--help" || x == "-h") return true;
  }
  return false;
}

int inservibile(std::ostream& err, const std::string& comando, const std::string& perche) {
  err << "scenario " << comando << ": " << perche << "\n"
      << "\"scenario " << comando << " --help\" per l'uso.\n";
  return kStatoArgomenti;
}

int lettura_fallita(std::ostream& err, const std::string& nome) {
  try {
    throw;
  } catch (const errore_sistema& e) {
    err << nome << ": errore: impossibile leggere: " << e.descrizione() << '\n';
  } catch (const errore_dimensione& e) {
    err << nome << ": errore: " << e.what() << '\n';
  } catch (const std::bad_alloc&) {
    err << nome << ": errore: memoria esaurita\n";
  }
  return kStatoArgomenti;
}

}  // namespace scenario
