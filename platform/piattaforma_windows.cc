// The platform on Windows: the Win32 window and message box, files through
// the wide-character API (names arrive in UTF-8), and the system's ANSI code
// page for the text the program writes.
#include "platform/sistema_windows.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/piattaforma.h"
#include "platform/utf16_windows.h"

namespace scenario {
namespace {

// The waiting window, in pixels at 96 dots per inch: client area 280 × 179,
// label at 64, 64 of 177 × 53.
constexpr int kLarghezzaForm = 280;
constexpr int kAltezzaForm = 179;
constexpr int kSinistraEtichetta = 64;
constexpr int kAltoEtichetta = 64;
constexpr int kLarghezzaEtichetta = 177;
constexpr int kAltezzaEtichetta = 53;
constexpr int kPuntiCarattere = 24;
constexpr wchar_t kClasseForm[] = L"Form1";
constexpr wchar_t kTitoloForm[] = L"genera_scenario";

// The 8-bit code page used when the system's own is not one (a system set to
// UTF-8, or to a double-byte code page): Western European.
constexpr UINT kCodicePaginaRiserva = 1252;

std::string descrizione_errore(DWORD numero) {
  wchar_t* testo = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      numero, 0, reinterpret_cast<wchar_t*>(&testo), 0, nullptr);
  std::wstring w = n > 0 && testo != nullptr ? std::wstring(testo, n) : std::wstring();
  if (testo != nullptr) ::LocalFree(testo);
  // The system's texts end in a line break, sometimes after a full stop.
  while (!w.empty() && (w.back() == L'\r' || w.back() == L'\n' || w.back() == L' ' || w.back() == L'.')) {
    w.pop_back();
  }
  if (w.empty()) return "errore di sistema " + std::to_string(numero);
  return utf8_di(w);
}

[[noreturn]] void fallisci(const std::string& nome, DWORD numero) {
  throw errore_sistema(nome, static_cast<int>(numero), descrizione_errore(numero));
}

[[noreturn]] void fallisci(const std::string& nome) { fallisci(nome, ::GetLastError()); }

// A file name for the wide-character file calls. Names longer than the
// classic limit of 260 characters get the "\\?\" form, which lifts the limit
// but takes the name literally; so they are first made full and normal.
std::wstring nome_di_sistema(const std::string& nome) {
  std::wstring w;
  if (!in_utf16(CP_UTF8, nome, true, w)) fallisci(nome);
  for (wchar_t& c : w) {
    if (c == L'/') c = L'\\';
  }
  if (w.size() < MAX_PATH || w.rfind(L"\\\\?\\", 0) == 0) return w;
  const DWORD len = ::GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (len == 0) fallisci(nome);
  std::wstring pieno(len, L'\0');
  const DWORD scritti = ::GetFullPathNameW(w.c_str(), len, pieno.data(), nullptr);
  if (scritti == 0 || scritti >= len) fallisci(nome);
  pieno.resize(scritti);
  if (pieno.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + pieno.substr(2);
  return L"\\\\?\\" + pieno;
}

class maniglia {
 public:
  explicit maniglia(HANDLE h) : h_(h) {}
  ~maniglia() {
    if (h_ != INVALID_HANDLE_VALUE) ::CloseHandle(h_);
  }
  maniglia(const maniglia&) = delete;
  maniglia& operator=(const maniglia&) = delete;
  HANDLE get() const { return h_; }
  bool valida() const { return h_ != INVALID_HANDLE_VALUE; }
  // Closes now, so that a failure of the close is seen.
  bool chiudi() {
    const BOOL r = ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return r != 0;
  }

 private:
  HANDLE h_;
};

HANDLE apri(const std::string& nome, DWORD accesso, DWORD condivisione, DWORD disposizione) {
  return ::CreateFileW(nome_di_sistema(nome).c_str(), accesso, condivisione, nullptr, disposizione,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// One folder whose parent exists; an existing folder is fine. True when
// this call made it.
bool crea_una_cartella(const std::string& nome) {
  const std::wstring w = nome_di_sistema(nome);
  if (::CreateDirectoryW(w.c_str(), nullptr)) return true;
  const DWORD numero = ::GetLastError();
  const DWORD attributi = ::GetFileAttributesW(w.c_str());
  if (attributi == INVALID_FILE_ATTRIBUTES) fallisci(nome, numero);
  if ((attributi & FILE_ATTRIBUTE_DIRECTORY) == 0) fallisci(nome, ERROR_DIRECTORY);
  return false;
}

bool separatore_windows(char c) { return c == '\\' || c == '/'; }

std::string cartella_eseguibile() {
  std::wstring percorso(MAX_PATH, L'\0');
  for (;;) {
    ::SetLastError(ERROR_SUCCESS);
    const DWORD n = ::GetModuleFileNameW(nullptr, percorso.data(), static_cast<DWORD>(percorso.size()));
    if (n == 0) fallisci("GetModuleFileNameW");
    // A name that filled the buffer may have been cut short.
    if (n < percorso.size() && ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      percorso.resize(n);
      break;
    }
    if (percorso.size() >= 65536) fallisci("GetModuleFileNameW", ERROR_INSUFFICIENT_BUFFER);
    percorso.resize(percorso.size() * 2);
  }
  const auto barra = percorso.find_last_of(L"\\/");
  if (barra == std::wstring::npos) return {};
  return utf8_di(std::wstring_view(percorso).substr(0, barra));
}

// The 8-bit code page: the system's ANSI code page when it has one byte per
// character.
UINT codice_pagina_ansi() {
  const UINT acp = ::GetACP();
  CPINFO info;
  if (acp == CP_UTF8 || !::GetCPInfo(acp, &info) || info.MaxCharSize != 1) return kCodicePaginaRiserva;
  return acp;
}

// Numbers the temporary files of the process, whichever platform object
// writes them.
std::atomic<unsigned long> temporanei{0};

LRESULT CALLBACK procedura_form(HWND finestra, UINT messaggio, WPARAM w, LPARAM l) {
  // The window only shows the label; while the run goes on nothing reads its
  // messages, and closing it is left to the end of the process.
  if (messaggio == WM_CLOSE) return 0;
  return ::DefWindowProcW(finestra, messaggio, w, l);
}

class piattaforma_windows : public piattaforma {
 private:
  // All the bytes at the file's position, however many calls it takes.
  static void scrivi_tutto(const maniglia& f, const std::string& nome, std::string_view pezzo) {
    std::size_t fatto = 0;
    while (fatto < pezzo.size()) {
      const DWORD blocco = static_cast<DWORD>(std::min<std::size_t>(pezzo.size() - fatto, 1u << 30));
      DWORD scritti = 0;
      if (!::WriteFile(f.get(), pezzo.data() + fatto, blocco, &scritti, nullptr)) fallisci(nome);
      if (scritti == 0) fallisci(nome, ERROR_WRITE_FAULT);
      fatto += scritti;
    }
  }

  // A new file beside `nome` that `scrivi` fills; on any failure it is
  // removed again.
  template <typename F>
  std::string nuovo_file(const std::string& nome, F scrivi) {
    // Only a file can take the place of the name; a folder there would
    // refuse the move, after this write and maybe after others of a set.
    const DWORD attributi = ::GetFileAttributesW(nome_di_sistema(nome).c_str());
    if (attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      fallisci(nome, ERROR_ACCESS_DENIED);
    }
    std::string temporaneo;
    HANDLE h = INVALID_HANDLE_VALUE;
    // CREATE_NEW on the link itself: a name taken by anything, a dangling
    // link included, is never opened, and the next one is tried.
    for (int tentativo = 0; h == INVALID_HANDLE_VALUE; ++tentativo) {
      temporaneo = nome_temporaneo(nome, "\\/", ::GetCurrentProcessId(), ++temporanei);
      h = ::CreateFileW(nome_di_sistema(temporaneo).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
      if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = ::GetLastError();
        if ((e != ERROR_FILE_EXISTS && e != ERROR_ALREADY_EXISTS) || tentativo == 100) fallisci(nome, e);
      }
    }
    maniglia f(h);
    try {
      scrivi(f);
      // On the device before it can be moved into place: a power cut after
      // the move finds the file whole.
      if (!::FlushFileBuffers(f.get())) fallisci(nome);
      if (!f.chiudi()) fallisci(nome);
    } catch (...) {
      if (f.valida()) f.chiudi();
      ::DeleteFileW(nome_di_sistema(temporaneo).c_str());
      throw;
    }
    return temporaneo;
  }

 public:
  explicit piattaforma_windows(std::string cartella)
      : cartella_(std::move(cartella)), codice_pagina_(codice_pagina_ansi()) {
    prepara_minuscole();
  }

  ~piattaforma_windows() override {
    if (form_ != nullptr) ::DestroyWindow(form_);
    if (carattere_ != nullptr) ::DeleteObject(carattere_);
  }

  std::string cartella_programma() override {
    return cartella_.empty() ? cartella_eseguibile() : cartella_;
  }
  std::string separatore() override { return "\\"; }

  bool esiste(const std::string& nome) override {
    std::wstring w;
    if (!in_utf16(CP_UTF8, nome, true, w)) return false;
    const DWORD attributi = ::GetFileAttributesW(nome_di_sistema(nome).c_str());
    return attributi != INVALID_FILE_ATTRIBUTES && (attributi & FILE_ATTRIBUTE_DIRECTORY) == 0;
  }

  void elimina(const std::string& nome) override {
    if (!::DeleteFileW(nome_di_sistema(nome).c_str())) fallisci(nome);
  }

  std::string scrivi_temporaneo(const std::string& nome,
                                const std::function<std::string_view()>& prossimo) override {
    return nuovo_file(nome, [&](const maniglia& f) {
      for (std::string_view pezzo = prossimo(); !pezzo.empty(); pezzo = prossimo()) scrivi_tutto(f, nome, pezzo);
    });
  }

  std::string scrivi_temporaneo_posizionato(const std::string& nome,
                                            const std::function<pezzo_posizionato()>& prossimo) override {
    return nuovo_file(nome, [&](const maniglia& f) {
      for (pezzo_posizionato p = prossimo(); !p.byte.empty(); p = prossimo()) {
        LARGE_INTEGER dove;
        dove.QuadPart = static_cast<LONGLONG>(p.posizione);
        if (!::SetFilePointerEx(f.get(), dove, nullptr, FILE_BEGIN)) fallisci(nome);
        scrivi_tutto(f, nome, p.byte);
      }
    });
  }

  void sostituisci(const std::string& temporaneo, const std::string& nome) override {
    if (!::MoveFileExW(nome_di_sistema(temporaneo).c_str(), nome_di_sistema(nome).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      fallisci(nome);
    }
  }

  // The moves are written through (MOVEFILE_WRITE_THROUGH): nothing more to
  // flush for the folder.
  void sincronizza_cartella(const std::string&) override {}

  // No hard link: the file is moved aside, which fails, as a replacement
  // would, while another program holds it open without sharing deletion.
  void metti_da_parte(const std::string& nome, const std::string& copia) override {
    if (!::MoveFileExW(nome_di_sistema(nome).c_str(), nome_di_sistema(copia).c_str(), MOVEFILE_WRITE_THROUGH)) {
      fallisci(nome);
    }
  }

  void verifica_sostituibile(const std::string& nome) override {
    const std::wstring w = nome_di_sistema(nome);
    const DWORD attributi = ::GetFileAttributesW(w.c_str());
    if (attributi == INVALID_FILE_ATTRIBUTES) return;
    if ((attributi & FILE_ATTRIBUTE_DIRECTORY) != 0) fallisci(nome, ERROR_ACCESS_DENIED);
    // Opened as the move will open it: for deletion, sharing everything.
    maniglia f(::CreateFileW(w.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!f.valida()) {
      const DWORD e = ::GetLastError();
      if (e != ERROR_FILE_NOT_FOUND && e != ERROR_PATH_NOT_FOUND) fallisci(nome, e);
    }
  }

  std::vector<std::string> elenca(const std::string& cartella) override {
    std::vector<std::string> nomi;
    WIN32_FIND_DATAW d;
    const std::string schema = (cartella.empty() ? std::string(".") : cartella) + "\\*";
    const HANDLE h = ::FindFirstFileW(nome_di_sistema(schema).c_str(), &d);
    if (h == INVALID_HANDLE_VALUE) return nomi;
    do {
      const std::string n = utf8_di(d.cFileName);
      if (n != "." && n != "..") nomi.push_back(n);
    } while (::FindNextFileW(h, &d));
    ::FindClose(h);
    return nomi;
  }

  std::optional<identita_file> identita(const std::string& nome, bool segui) override {
    std::wstring w;
    if (!in_utf16(CP_UTF8, nome, true, w)) return std::nullopt;
    maniglia f(::CreateFileW(nome_di_sistema(nome).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | (segui ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr));
    if (!f.valida()) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION i;
    if (!::GetFileInformationByHandle(f.get(), &i)) return std::nullopt;
    return identita_file{i.dwVolumeSerialNumber,
                         (static_cast<uint64_t>(i.nFileIndexHigh) << 32) | i.nFileIndexLow};
  }

  std::unique_ptr<blocco_cartella> blocca(const std::string& cartella, int attesa_ms) override {
    // A folder cannot be locked itself: a hidden file in it is, and goes
    // with the last handle (the system closes them however the process
    // ends).
    const std::string nome = (cartella.empty() ? std::string(".") : cartella) + "\\.scenario-blocco";
    const std::wstring w = nome_di_sistema(nome);
    for (int atteso = 0;; atteso += 50) {
      HANDLE h = ::CreateFileW(w.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                               FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
      DWORD e = ERROR_SUCCESS;
      if (h != INVALID_HANDLE_VALUE) {
        auto f = std::make_unique<maniglia>(h);
        OVERLAPPED o{};
        if (::LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &o)) {
          struct blocco : blocco_cartella {
            explicit blocco(std::unique_ptr<maniglia> m) : f(std::move(m)) {}
            std::unique_ptr<maniglia> f;
          };
          return std::make_unique<blocco>(std::move(f));
        }
        e = ::GetLastError();
        if (e != ERROR_LOCK_VIOLATION && e != ERROR_IO_PENDING) fallisci(cartella, e);
      } else {
        // A lock file being deleted by its last holder refuses new opens
        // for a moment.
        e = ::GetLastError();
        if (e != ERROR_ACCESS_DENIED && e != ERROR_SHARING_VIOLATION) fallisci(cartella, e);
      }
      if (atteso >= attesa_ms) throw errore_cartella_occupata(cartella, static_cast<int>(e), descrizione_errore(e));
      ::Sleep(50);
    }
  }

  void elimina_cartella(const std::string& nome) override {
    if (!::RemoveDirectoryW(nome_di_sistema(nome).c_str())) fallisci(nome);
  }

  // A windowed program has no console; one started from a console with its
  // standard error redirected gets the line there.
  void annota(const std::string& riga) override {
    const HANDLE h = ::GetStdHandle(STD_ERROR_HANDLE);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
    const std::string testo = riga + "\r\n";
    DWORD scritti = 0;
    ::WriteFile(h, testo.data(), static_cast<DWORD>(testo.size()), &scritti, nullptr);
  }

  using piattaforma::leggi;
  std::string leggi(const std::string& nome, std::size_t massimo) override {
    maniglia f(apri(nome, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    if (!f.valida()) fallisci(nome);
    auto troppo_grande = [&] {
      throw errore_sistema(nome, static_cast<int>(ERROR_FILE_TOO_LARGE), descrizione_troppo_grande(massimo));
    };
    // A disk file tells its size; anything else is read only up to the limit.
    LARGE_INTEGER dimensione{};
    if (::GetFileType(f.get()) == FILE_TYPE_DISK && ::GetFileSizeEx(f.get(), &dimensione) &&
        static_cast<unsigned long long>(dimensione.QuadPart) > massimo) {
      troppo_grande();
    }
    std::string contenuto;
    char blocco[65536];
    for (;;) {
      DWORD letti = 0;
      if (!::ReadFile(f.get(), blocco, sizeof blocco, &letti, nullptr)) fallisci(nome);
      if (letti == 0) break;
      if (letti > massimo - contenuto.size()) troppo_grande();
      contenuto.append(blocco, letti);
    }
    return contenuto;
  }

  std::vector<std::string> crea_cartella(const std::string& nome) override {
    // The drive (C:), and the first two parts of a name that starts with two
    // separators (\\server\share, \\?\C:), are no folders to make.
    std::size_t inizio = 0;
    if (nome.size() >= 2 && nome[1] == ':') {
      inizio = 2;
    } else if (nome.size() >= 2 && separatore_windows(nome[0]) && separatore_windows(nome[1])) {
      inizio = 2;
      for (int parte = 0; parte < 2 && inizio < nome.size(); ++parte) {
        while (inizio < nome.size() && !separatore_windows(nome[inizio])) ++inizio;
        if (inizio < nome.size()) ++inizio;
      }
    }
    while (inizio < nome.size() && separatore_windows(nome[inizio])) ++inizio;
    std::vector<std::string> fatte;
    try {
      // Each part up to a separator, then the whole name.
      for (std::size_t i = inizio; i <= nome.size(); ++i) {
        if (i < nome.size() && !separatore_windows(nome[i])) continue;
        if (i > inizio && !separatore_windows(nome[i - 1]) && crea_una_cartella(nome.substr(0, i))) {
          fatte.push_back(nome.substr(0, i));
        }
      }
    } catch (const errore_sistema&) {
      // A name that fails part way leaves no folder behind.
      for (auto it = fatte.rbegin(); it != fatte.rend(); ++it) ::RemoveDirectoryW(nome_di_sistema(*it).c_str());
      throw;
    }
    return fatte;
  }

  void mostra_attesa() override {
    if (form_ != nullptr) return;
    const HINSTANCE istanza = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW classe{};
    classe.cbSize = sizeof classe;
    classe.lpfnWndProc = procedura_form;
    classe.hInstance = istanza;
    classe.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
    classe.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    classe.lpszClassName = kClasseForm;
    // The window only tells the user to wait: a system that cannot show it
    // still gets its files.
    if (!::RegisterClassExW(&classe) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return;

    const DWORD stile = WS_OVERLAPPED | WS_CAPTION;
    RECT r{0, 0, kLarghezzaForm, kAltezzaForm};
    ::AdjustWindowRectEx(&r, stile, FALSE, 0);
    form_ = ::CreateWindowExW(0, kClasseForm, kTitoloForm, stile, CW_USEDEFAULT, CW_USEDEFAULT, r.right - r.left,
                              r.bottom - r.top, nullptr, nullptr, istanza, nullptr);
    if (form_ == nullptr) return;

    const HWND etichetta = ::CreateWindowExW(0, L"STATIC", L"Attendere", WS_CHILD | WS_VISIBLE | SS_LEFT,
                                             kSinistraEtichetta, kAltoEtichetta, kLarghezzaEtichetta,
                                             kAltezzaEtichetta, form_, nullptr, istanza, nullptr);
    const HDC dc = ::GetDC(form_);
    const int punti_per_pollice = dc != nullptr ? ::GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc != nullptr) ::ReleaseDC(form_, dc);
    carattere_ = ::CreateFontW(-::MulDiv(kPuntiCarattere, punti_per_pollice, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                               FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif");
    if (etichetta != nullptr && carattere_ != nullptr) {
      ::SendMessageW(etichetta, WM_SETFONT, reinterpret_cast<WPARAM>(carattere_), FALSE);
    }

    // Shown without waiting and painted once, label included: the run reads
    // no window messages until it ends.
    ::ShowWindow(form_, SW_SHOWDEFAULT);
    ::UpdateWindow(form_);
  }

  void mostra_messaggio(const std::string& testo) override {
    std::wstring w;
    in_utf16(codice_pagina_, testo, false, w);
    ::MessageBoxW(form_, w.c_str(), nullptr, MB_OK | MB_SETFOREGROUND);
  }

  void mostra_informazione(const std::string& testo) override {
    ::MessageBoxW(nullptr, utf16_da_mostrare(testo).c_str(), kTitoloForm, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
  }

  void rapporto_errore(const errore_sistema& e) override {
    std::string testo = "Errore di esecuzione " + std::to_string(e.numero()) + ":\n\n" + e.descrizione();
    if (!e.file().empty()) testo += "\n\nFile: " + e.file();
    ::MessageBoxW(form_, utf16_da_mostrare(testo).c_str(), nullptr, MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
  }

  [[noreturn]] void termina(int stato) override { std::exit(stato); }

  std::string in_ansi(std::string_view testo) override {
    std::wstring w;
    if (!in_utf16(CP_UTF8, testo, true, w)) throw std::invalid_argument("UTF-8 non valido");
    if (w.empty()) return {};
    const int n = lunghezza_int(w.size());
    BOOL sostituito = FALSE;
    const int len = ::WideCharToMultiByte(codice_pagina_, WC_NO_BEST_FIT_CHARS, w.data(), n, nullptr, 0, nullptr,
                                          &sostituito);
    std::string s(static_cast<std::size_t>(len > 0 ? len : 0), '\0');
    if (len <= 0 || sostituito ||
        ::WideCharToMultiByte(codice_pagina_, WC_NO_BEST_FIT_CHARS, w.data(), n, s.data(), len, nullptr,
                              &sostituito) != len ||
        sostituito) {
      throw std::invalid_argument("carattere non rappresentabile nella code page " +
                                  std::to_string(codice_pagina_));
    }
    // A character that maps back to something else was only approximated.
    std::wstring ritorno;
    if (!in_utf16(codice_pagina_, s, false, ritorno) || ritorno != w) {
      throw std::invalid_argument("carattere non rappresentabile nella code page " +
                                  std::to_string(codice_pagina_));
    }
    return s;
  }

  std::string minuscole(std::string_view ansi) override {
    std::string s(ansi);
    for (char& c : s) c = static_cast<char>(minuscola_[static_cast<unsigned char>(c)]);
    return s;
  }

 private:
  // The lower case of each byte of the code page, through its character:
  // a byte whose lower case the code page cannot hold stays as it is.
  void prepara_minuscole() {
    for (int b = 0; b < 256; ++b) {
      minuscola_[static_cast<std::size_t>(b)] = static_cast<unsigned char>(b);
      const char byte = static_cast<char>(b);
      wchar_t carattere = 0;
      if (::MultiByteToWideChar(codice_pagina_, 0, &byte, 1, &carattere, 1) != 1) continue;
      wchar_t minuscolo = 0;
      if (::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, &carattere, 1, &minuscolo, 1, nullptr, nullptr,
                          0) != 1) {
        continue;
      }
      char risultato = 0;
      BOOL sostituito = FALSE;
      if (::WideCharToMultiByte(codice_pagina_, WC_NO_BEST_FIT_CHARS, &minuscolo, 1, &risultato, 1, nullptr,
                                &sostituito) == 1 &&
          !sostituito) {
        minuscola_[static_cast<std::size_t>(b)] = static_cast<unsigned char>(risultato);
      }
    }
  }

  std::string cartella_;
  UINT codice_pagina_;
  std::array<unsigned char, 256> minuscola_{};
  HWND form_ = nullptr;
  HFONT carattere_ = nullptr;
};

}  // namespace

std::unique_ptr<piattaforma> piattaforma_di_sistema(const std::string& cartella) {
  return std::make_unique<piattaforma_windows>(cartella);
}

}  // namespace scenario
