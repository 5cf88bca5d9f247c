#include "compiler/formato_voci.h"

#include <limits>
#include <stdexcept>
#include <type_traits>

#include "compiler/codifica.h"

namespace scenario {
namespace {

template <typename T>
constexpr bool e_nome = std::is_same_v<std::remove_cvref_t<T>, std::string>;

std::string n(std::size_t v) { return std::to_string(v); }

}  // namespace

char* codifica_voce(char* p, const voce& v) {
  char* const dopo = p + formato::voce::dopo_nome + v.nome.size();
  campi_voce(v, [p, dopo](const campo_record& k, const auto& x) {
    char* const q = (k.dopo_nome ? dopo : p) + k.offset;
    if constexpr (e_nome<decltype(x)>) {
      metti_stringa(q, x);
    } else {
      metti_intero(q, x);
    }
  });
  return p + bytes_voce(v);
}

std::size_t decodifica_voce(std::string_view byte, std::size_t offset, int i, voce& v) {
  namespace o = formato::voce;
  const std::size_t resto = byte.size() - offset;
  if (resto < o::dopo_nome) {
    throw errore_decodifica(offset, "voce " + std::to_string(i) + " troncata: restano " + n(resto) +
                                        " byte, ne servono almeno " + n(o::dopo_nome));
  }
  const char* const p = byte.data() + offset;
  const std::size_t lunghezza = decodifica_u16(p + o::nome);
  const std::size_t nome = offset + o::dopo_nome;
  if (byte.size() - nome < lunghezza) {
    throw errore_decodifica(nome, "il nome della voce " + std::to_string(i) + " (" + n(lunghezza) +
                                      " byte) va oltre la fine del file: ne restano " + n(byte.size() - nome));
  }
  const std::size_t coda = formato::kBytesVoceVuota - o::dopo_nome;
  const std::size_t dopo = nome + lunghezza;
  if (byte.size() - dopo < coda) {
    throw errore_decodifica(dopo, "voce " + std::to_string(i) + " troncata dopo il nome: restano " +
                                      n(byte.size() - dopo) + " byte, ne servono " + n(coda));
  }
  campi_voce(v, [&](const campo_record& k, auto& x) {
    if constexpr (e_nome<decltype(x)>) {
      x.assign(byte.data() + nome, lunghezza);
    } else {
      decodifica_in(byte.data() + (k.dopo_nome ? dopo : offset) + k.offset, x);
    }
  });
  return dopo + coda;
}

std::string immagine_voci(const std::array<voce, kNumeroVoci>& voci) {
  std::size_t n = 0;
  for (const voce& v : voci) {
    // The count of a name is 16 bits; a longer name has no faithful image.
    if (v.nome.size() > std::numeric_limits<uint16_t>::max()) {
      throw std::length_error("nome di una voce oltre 65535 caratteri");
    }
    n += bytes_voce(v);
  }
  std::string s(n, '\0');
  char* p = s.data();
  for (const voce& v : voci) p = codifica_voce(p, v);
  if (p != s.data() + s.size()) throw std::logic_error("misura errata dell'immagine delle voci");
  return s;
}

std::array<voce, kNumeroVoci> decodifica_voci(std::string_view byte) {
  std::array<voce, kNumeroVoci> voci;
  std::size_t p = 0;
  for (int i = 0; i < kNumeroVoci; ++i) {
    if (p == byte.size()) {
      throw errore_decodifica(p, "il file finisce dopo " + std::to_string(i) + " voci: ne servono " +
                                     std::to_string(kNumeroVoci));
    }
    p = decodifica_voce(byte, p, i, voci[static_cast<std::size_t>(i)]);
  }
  if (p != byte.size()) {
    throw errore_decodifica(p, "dopo le " + std::to_string(kNumeroVoci) + " voci restano " + n(byte.size() - p) +
                                   " byte");
  }
  return voci;
}

std::array<std::size_t, kNumeroVoci> offset_voci(const std::array<voce, kNumeroVoci>& voci) {
  std::array<std::size_t, kNumeroVoci> o{};
  std::size_t p = 0;
  for (std::size_t i = 0; i < voci.size(); ++i) {
    o[i] = p;
    p += bytes_voce(voci[i]);
  }
  return o;
}

}  // namespace scenario
