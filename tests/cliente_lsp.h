// A client of the language server for the tests: the server runs in the
// test's process on a thread of its own, reading and writing through two
// in-memory pipes, and the test speaks the protocol to it as an editor does.
#ifndef TESTS_CLIENTE_LSP_H_
#define TESTS_CLIENTE_LSP_H_

#include <chrono>
#include <condition_variable>
#include <functional>
#include <istream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <thread>
#include <vector>

#include "lsp/server.h"

namespace scenario::prova {

using json = nlohmann::json;

// Bytes written on one side and read on the other; a read waits for them,
// and gets the end of the stream once the pipe is closed and empty.
class tubo {
 public:
  void scrivi(const char* p, std::size_t n) {
    std::lock_guard<std::mutex> l(m_);
    dati_.append(p, n);
    cv_.notify_all();
  }
  void chiudi() {
    std::lock_guard<std::mutex> l(m_);
    chiuso_ = true;
    cv_.notify_all();
  }
  // Takes what is there, waiting for something; "" at the end.
  std::string prendi() {
    std::unique_lock<std::mutex> l(m_);
    cv_.wait(l, [this] { return !dati_.empty() || chiuso_; });
    return std::exchange(dati_, {});
  }
  // Waits until the test's predicate holds over everything written so far.
  template <class F>
  bool attendi(F&& vero, std::chrono::milliseconds limite) {
    std::unique_lock<std::mutex> l(m_);
    return cv_.wait_for(l, limite, [&] { return vero(dati_); });
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  std::string dati_;
  bool chiuso_ = false;
};

class lettura_tubo : public std::streambuf {
 public:
  explicit lettura_tubo(tubo& t) : t_(t) {}

 protected:
  int_type underflow() override {
    buffer_ = t_.prendi();
    if (buffer_.empty()) return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + buffer_.size());
    return traits_type::to_int_type(buffer_[0]);
  }

 private:
  tubo& t_;
  std::string buffer_;
};

class scrittura_tubo : public std::streambuf {
 public:
  explicit scrittura_tubo(tubo& t) : t_(t) {}

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      const char x = traits_type::to_char_type(c);
      t_.scrivi(&x, 1);
    }
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* p, std::streamsize n) override {
    t_.scrivi(p, static_cast<std::size_t>(n));
    return n;
  }

 private:
  tubo& t_;
};

class cliente_lsp {
 public:
  explicit cliente_lsp(lsp::opzioni_server o = {0}) {
    server_ = std::thread([this, o] { stato_ = lsp::esegui_server(in_, out_, o); });
  }
  ~cliente_lsp() {
    verso_server_.chiudi();
    if (server_.joinable()) server_.join();
  }

  void invia_grezzo(const std::string& byte) { verso_server_.scrivi(byte.data(), byte.size()); }
  void invia(const json& j) {
    const std::string corpo = j.dump();
    invia_grezzo("Content-Length: " + std::to_string(corpo.size()) + "\r\n\r\n" + corpo);
  }
  void notifica(const std::string& metodo, const json& parametri) {
    invia({{"jsonrpc", "2.0"}, {"method", metodo}, {"params", parametri}});
  }
  int richiedi(const std::string& metodo, const json& parametri) {
    const int id = ++ultimo_id_;
    invia({{"jsonrpc", "2.0"}, {"id", id}, {"method", metodo}, {"params", parametri}});
    return id;
  }
  // The response to a request (nothing after the time limit).
  std::optional<json> risposta(int id) {
    return attendi([id](const json& m) { return m.contains("id") && m["id"] == id; });
  }
  std::optional<json> chiedi(const std::string& metodo, const json& parametri) {
    return risposta(richiedi(metodo, parametri));
  }
  // The first message not yet taken that satisfies `vero`, waiting for it;
  // it is taken.
  std::optional<json> attendi(const std::function<bool(const json&)>& vero,
                              std::chrono::milliseconds limite = std::chrono::seconds(60)) {
    std::optional<json> trovato;
    dal_server_.attendi(
        [&](const std::string& dati) {
          while (true) {
            const auto fine_intestazione = dati.find("\r\n\r\n", letti_);
            if (fine_intestazione == std::string::npos) break;
            const auto cl = dati.find("Content-Length: ", letti_);
            const std::size_t n = std::stoul(dati.substr(cl + 16, fine_intestazione - cl - 16));
            if (dati.size() < fine_intestazione + 4 + n) break;
            messaggi_.push_back(json::parse(dati.substr(fine_intestazione + 4, n)));
            letti_ = fine_intestazione + 4 + n;
          }
          for (std::size_t i = 0; i < messaggi_.size(); ++i) {
            if (vero(messaggi_[i])) {
              trovato = messaggi_[i];
              messaggi_.erase(messaggi_.begin() + static_cast<std::ptrdiff_t>(i));
              return true;
            }
          }
          return false;
        },
        limite);
    return trovato;
  }
  // The next diagnostics published for a document.
  std::optional<json> diagnostiche(const std::string& uri) {
    return attendi([&](const json& m) {
      return m.value("method", "") == "textDocument/publishDiagnostics" && m["params"]["uri"] == uri;
    });
  }
  // What the server has sent and the test has not taken.
  const std::vector<json>& non_presi() const { return messaggi_; }

  void inizializza(const json& opzioni = json::object()) {
    chiedi("initialize", {{"processId", nullptr}, {"rootUri", nullptr}, {"capabilities", json::object()},
                          {"initializationOptions", opzioni}});
    notifica("initialized", json::object());
  }
  // Shutdown and exit; the server's exit status.
  int chiudi() {
    chiedi("shutdown", nullptr);
    notifica("exit", nullptr);
    return termina();
  }
  // The input ends; the server's exit status.
  int termina() {
    verso_server_.chiudi();
    server_.join();
    return stato_;
  }

 private:
  tubo verso_server_, dal_server_;
  lettura_tubo lettura_{verso_server_};
  scrittura_tubo scrittura_{dal_server_};
  std::istream in_{&lettura_};
  std::ostream out_{&scrittura_};
  std::thread server_;
  int stato_ = -1;
  int ultimo_id_ = 0;
  std::size_t letti_ = 0;
  std::vector<json> messaggi_;
};

}  // namespace scenario::prova

#endif  // TESTS_CLIENTE_LSP_H_
