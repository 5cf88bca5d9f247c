#include "lsp/server.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "common/versione.h"
#include "lsp/analisi.h"
#include "lsp/bozze.h"
#include "lsp/coppia.h"
#include "lsp/risposte.h"
#include "lsp/trasporto.h"

namespace scenario::lsp {
namespace {

// JSON-RPC and protocol error codes.
enum : int {
  kErroreSintassi = -32700,
  kRichiestaNonValida = -32600,
  kMetodoSconosciuto = -32601,
  kParametriNonValidi = -32602,
  kNonInizializzato = -32002,
};

using orologio = std::chrono::steady_clock;

class server {
 public:
  server(std::istream& in, std::ostream& out, const opzioni_server& o) : filo_(in, out), ritardo_(o.ritardo_ms) {}

  int esegui() {
    std::thread lavoratore([this] { lavora(); });
    int stato = 1;
    while (true) {
      std::optional<messaggio_letto> m = filo_.leggi();
      if (!m) break;
      if (m->t == messaggio_letto::tipo::intestazione_errata) {
        errore(nullptr, kRichiestaNonValida, "intestazione senza Content-Length valido");
        continue;
      }
      if (m->t == messaggio_letto::tipo::troppo_grande) {
        errore(nullptr, kRichiestaNonValida, "messaggio oltre " + std::to_string(kMassimoMessaggio) + " byte");
        continue;
      }
      json j = json::parse(m->corpo, nullptr, false);
      m.reset();
      if (j.is_discarded()) {
        errore(nullptr, kErroreSintassi, "JSON non valido");
        continue;
      }
      if (tratta(j)) {
        stato = chiuso_ ? 0 : 1;
        break;
      }
    }
    {
      std::lock_guard<std::mutex> l(mutex_);
      fine_ = true;
    }
    cv_.notify_all();
    lavoratore.join();
    return stato;
  }

 private:
  void rispondi(const json& id, json risultato) {
    filo_.scrivi(json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(risultato)}}.dump(-1, ' ', false,
                                                                                               json::error_handler_t::replace));
  }
  void errore(const json& id, int codice, const std::string& testo) {
    filo_.scrivi(json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", codice}, {"message", testo}}}}.dump(
        -1, ' ', false, json::error_handler_t::replace));
  }
  void notifica(const std::string& metodo, json parametri) {
    filo_.scrivi(json{{"jsonrpc", "2.0"}, {"method", metodo}, {"params", std::move(parametri)}}.dump(
        -1, ' ', false, json::error_handler_t::replace));
  }

  // True on "exit".
  bool tratta(json& j) {
    const bool richiesta = j.is_object() && j.contains("id");
    const json id = richiesta && (j["id"].is_number_integer() || j["id"].is_string()) ? j["id"] : json(nullptr);
    if (!j.is_object() || !j.contains("method") || !j["method"].is_string()) {
      // A response to a request of ours (the server sends none) is ignored.
      if (j.is_object() && j.contains("id") && (j.contains("result") || j.contains("error"))) return false;
      errore(id, kRichiestaNonValida, "manca \"method\"");
      return false;
    }
    if (richiesta && id.is_null()) {
      errore(nullptr, kRichiestaNonValida, "\"id\" né numero né stringa");
      return false;
    }
    const std::string metodo = j["method"];
    json vuoto = json::object();
    json& parametri = j.contains("params") ? j["params"] : vuoto;
    if (metodo == "exit") return true;
    try {
      if (!richiesta) {
        notifica_ricevuta(metodo, parametri);
        return false;
      }
      if (chiuso_) {
        errore(id, kRichiestaNonValida, "il server è in chiusura");
      } else if (!inizializzato_ && metodo != "initialize") {
        errore(id, kNonInizializzato, "il server non è inizializzato");
      } else {
        richiesta_ricevuta(id, metodo, parametri);
      }
    } catch (const json::exception& e) {
      if (richiesta) errore(id, kParametriNonValidi, std::string("parametri non validi: ") + e.what());
    }
    return false;
  }

  void richiesta_ricevuta(const json& id, const std::string& metodo, const json& p) {
    if (metodo == "initialize") return rispondi(id, inizializza(p));
    if (metodo == "shutdown") {
      chiuso_ = true;
      return rispondi(id, nullptr);
    }
    static const std::set<std::string> kSuDocumento = {"textDocument/hover", "textDocument/completion",
                                                       "textDocument/signatureHelp", "textDocument/documentSymbol",
                                                       "textDocument/formatting"};
    if (!kSuDocumento.count(metodo)) return errore(id, kMetodoSconosciuto, "metodo sconosciuto: " + metodo);
    const bozza* b = bozze_.trova(p.at("textDocument").at("uri").get<std::string>());
    if (metodo == "textDocument/hover") {
      if (!b) return rispondi(id, nullptr);
      const righe_client r = righe_della(b->testo());
      int riga = 0;
      const std::size_t byte = r.byte_di(p.at("position"), riga);
      const documento d = analizza(b->testo(), tipo_della_bozza(*b));
      std::optional<documento> linea;
      coppia c;
      if (d.tipo == descrizione::treno) {
        c = trova_coppia(*b, bozze_);
        if (c.linea.presente) linea = analizza(*c.linea.contenuto, descrizione::linea);
      }
      const std::optional<spiegazione> s = spiega(d, riga, byte, d.tipo == descrizione::linea ? &d : linea ? &*linea : nullptr);
      return rispondi(id, s ? spiegazione_json(*s, r) : json(nullptr));
    }
    if (metodo == "textDocument/completion") {
      if (!b) return rispondi(id, json::array());
      const righe_client r = righe_della(b->testo());
      int riga = 0;
      const std::size_t byte = r.byte_di(p.at("position"), riga);
      return rispondi(id, proposte_json(proponi(analizza(b->testo(), tipo_della_bozza(*b)), riga, byte), riga, r));
    }
    if (metodo == "textDocument/signatureHelp") {
      if (!b) return rispondi(id, nullptr);
      const righe_client r = righe_della(b->testo());
      int riga = 0;
      const std::size_t byte = r.byte_di(p.at("position"), riga);
      const std::optional<firma> f = firma_al(analizza(b->testo(), tipo_della_bozza(*b)), riga, byte);
      return rispondi(id, f ? firma_json(*f) : json(nullptr));
    }
    if (metodo == "textDocument/documentSymbol") {
      if (!b) return rispondi(id, json::array());
      return rispondi(id, simboli_json(simboli(analizza(b->testo(), tipo_della_bozza(*b))), righe_della(b->testo())));
    }
    if (!b) return rispondi(id, json::array());
    return rispondi(id, sostituzioni_json(formatta(analizza(b->testo(), tipo_della_bozza(*b))), righe_della(b->testo())));
  }

  json inizializza(const json& p) {
    inizializzato_ = true;
    std::string codifica = "utf-16";
    if (p.contains("capabilities") && p["capabilities"].contains("general") &&
        p["capabilities"]["general"].contains("positionEncodings")) {
      for (const json& e : p["capabilities"]["general"]["positionEncodings"]) {
        if (e == "utf-8") codifica = "utf-8";
      }
    }
    unita_ = codifica == "utf-8" ? unita_colonne::utf8 : unita_colonne::utf16;
    if (p.contains("initializationOptions")) impostazioni(p["initializationOptions"]);
    return {{"capabilities",
             {{"positionEncoding", codifica},
              {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
              {"hoverProvider", true},
              {"completionProvider", {{"triggerCharacters", {"["}}}},
              {"signatureHelpProvider", {{"triggerCharacters", {","}}, {"retriggerCharacters", {" "}}}},
              {"documentSymbolProvider", true},
              {"documentFormattingProvider", true}}},
            {"serverInfo", {{"name", "scenario"}, {"version", kVersione}}}};
  }

  // {"severo": true, "ritardo": 30}, as initializationOptions or as the
  // "scenario" section of the workspace settings.
  void impostazioni(const json& s) {
    if (!s.is_object()) return;
    std::lock_guard<std::mutex> l(mutex_);
    if (s.contains("severo") && s["severo"].is_boolean()) opzioni_.severo = s["severo"];
    if (s.contains("ritardo") && s["ritardo"].is_number_integer()) ritardo_ = std::max(0, s["ritardo"].get<int>());
  }

  // The texts are moved out of the message, never copied: they may be large.
  void notifica_ricevuta(const std::string& metodo, json& p) {
    if (metodo == "textDocument/didOpen") {
      json& d = p.at("textDocument");
      std::lock_guard<std::mutex> l(mutex_);
      bozze_.apri(d.at("uri"), std::move(d.at("text").get_ref<std::string&>()), d.value("version", 0));
      in_attesa(d.at("uri"));
    } else if (metodo == "textDocument/didChange") {
      const std::string uri = p.at("textDocument").at("uri");
      std::vector<modifica> m;
      for (json& c : p.at("contentChanges")) {
        modifica x;
        x.testo = std::move(c.at("text").get_ref<std::string&>());
        if (c.contains("range")) {
          const json& r = c["range"];
          x.dove = intervallo{{r.at("start").at("line"), r.at("start").at("character")},
                              {r.at("end").at("line"), r.at("end").at("character")}};
        }
        m.push_back(std::move(x));
      }
      std::lock_guard<std::mutex> l(mutex_);
      if (bozze_.cambia(uri, m, p.at("textDocument").value("version", 0), unita_)) in_attesa(uri);
    } else if (metodo == "textDocument/didClose") {
      const std::string uri = p.at("textDocument").at("uri");
      std::lock_guard<std::mutex> l(mutex_);
      bozze_.chiudi(uri);
      ++generazione_;
      in_attesa_.erase(uri);
      notifica("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", json::array()}});
    } else if (metodo == "textDocument/didSave" || metodo == "workspace/didChangeWatchedFiles") {
      // A file on disk changed: the pairs of every open document may too.
      std::lock_guard<std::mutex> l(mutex_);
      for (const auto& [uri, b] : bozze_.tutte()) in_attesa(uri);
    } else if (metodo == "workspace/didChangeConfiguration") {
      const json s = p.value("settings", json::object());
      impostazioni(s.contains("scenario") ? s["scenario"] : s);
      std::lock_guard<std::mutex> l(mutex_);
      for (const auto& [uri, b] : bozze_.tutte()) in_attesa(uri);
    }
    // Other notifications ("initialized", "$/cancelRequest", ...) ask nothing.
  }

  // Called with the mutex held.
  void in_attesa(const std::string& uri) {
    ++generazione_;
    in_attesa_.insert(uri);
    scadenza_ = orologio::now() + std::chrono::milliseconds(ritardo_);
    cv_.notify_all();
  }

  righe_client righe_della(const std::string& testo) const { return {righe_di(testo), unita_}; }

  // The worker: compiles the pairs of the documents waiting, once the
  // pause after the last change has passed, and publishes their diagnostics
  // unless a change came in meanwhile.
  void lavora() {
    std::unique_lock<std::mutex> l(mutex_);
    while (true) {
      cv_.wait(l, [this] { return fine_ || !in_attesa_.empty(); });
      if (fine_) return;
      if (orologio::now() < scadenza_) {
        cv_.wait_until(l, scadenza_);
        continue;
      }
      const std::set<std::string> uri = std::move(in_attesa_);
      in_attesa_.clear();
      const uint64_t generazione = generazione_;
      const bozze copia = bozze_;
      const opzioni_diagnostica o = opzioni_;
      const unita_colonne u = unita_;
      l.unlock();
      std::vector<json> pubblicazioni = diagnostica_aperti(uri, copia, o, u);
      l.lock();
      if (generazione != generazione_) {
        // Stale: a change came in; its own round compiles these again.
        if (!fine_) in_attesa_.insert(uri.begin(), uri.end());
        continue;
      }
      for (json& x : pubblicazioni) notifica("textDocument/publishDiagnostics", std::move(x));
    }
  }

  static std::vector<json> diagnostica_aperti(const std::set<std::string>& uri, const bozze& aperte,
                                              const opzioni_diagnostica& o, unita_colonne u) {
    std::vector<json> r;
    std::set<std::pair<std::string, std::string>> fatte;
    for (const std::string& x : uri) {
      const bozza* b = aperte.trova(x);
      if (!b) continue;
      const coppia c = trova_coppia(*b, aperte);
      if (!fatte.insert({c.linea.uri, c.treno.uri}).second) continue;
      const testo_coppia linea{*c.linea.contenuto, c.linea.presente};
      const testo_coppia treno{*c.treno.contenuto, c.treno.presente};
      std::array<std::vector<diagnostica>, 2> d = diagnostica_coppia(linea, treno, o);
      const membro_coppia* membri[2] = {&c.linea, &c.treno};
      for (int f = 0; f < 2; ++f) {
        if (membri[f]->presente || !membri[1 - f]->presente) continue;
        // The one found alone is told why its pair is missing.
        diagnostica m;
        m.g = gravita::informazione;
        m.codice = "coppia";
        m.messaggio = f == 0 ? "nessuna descrizione della linea nella cartella: il treno non si compila senza la sua linea"
                             : "nessuna descrizione del treno nella cartella: la linea è compilata con un treno vuoto";
        if (!c.errore.empty()) m.messaggio += " (" + c.errore + ")";
        d[static_cast<std::size_t>(1 - f)].insert(d[static_cast<std::size_t>(1 - f)].begin(), std::move(m));
      }
      const std::vector<std::string> uri_file = {c.linea.uri, c.treno.uri};
      const std::vector<righe_client> righe = {{righe_di(*c.linea.contenuto), u}, {righe_di(*c.treno.contenuto), u}};
      for (int f = 0; f < 2; ++f) {
        if (!membri[f]->presente) continue;
        json p = {{"uri", membri[f]->uri},
                  {"diagnostics", diagnostiche_json(d[static_cast<std::size_t>(f)], righe[static_cast<std::size_t>(f)],
                                                    uri_file, righe)}};
        if (const bozza* aperta = aperte.trova(membri[f]->uri)) p["version"] = aperta->versione;
        r.push_back(std::move(p));
      }
    }
    return r;
  }

  trasporto filo_;
  int ritardo_;
  bool inizializzato_ = false;
  bool chiuso_ = false;

  // Shared with the worker, under the mutex; the main thread alone changes
  // them, so it reads them without it.
  std::mutex mutex_;
  std::condition_variable cv_;
  bozze bozze_;
  std::set<std::string> in_attesa_;
  uint64_t generazione_ = 0;
  orologio::time_point scadenza_{};
  bool fine_ = false;
  opzioni_diagnostica opzioni_;
  unita_colonne unita_ = unita_colonne::utf16;
};

}  // namespace

int esegui_server(std::istream& in, std::ostream& out, const opzioni_server& o) {
  server s(in, out, o);
  return s.esegui();
}

}  // namespace scenario::lsp
