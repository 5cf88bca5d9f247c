// Any bytes to the decoder of the authors' tool: the first byte chooses the
// kind of file (0 line geometry, 1 items, 2 track, by its value modulo 3),
// the rest is the file. Bytes that do not fit are refused with
// errore_decodifica and nothing else; bytes that decode are exactly the
// image of what they decode to, so writing it again gives them back.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <string_view>
#include <typeinfo>

#include "compiler/file_uscita.h"
#include "compiler/modello.h"
#include "fuzz/compila_fuzz.h"
#include "reader/decodifica.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* dati, size_t n) {
  using namespace scenario;
  if (n == 0) return 0;
  const tipo_file tipi[] = {tipo_file::geometria, tipo_file::voci, tipo_file::celle};
  const tipo_file t = tipi[dati[0] % 3];
  const std::string_view byte(reinterpret_cast<const char*>(dati + 1), n - 1);
  file_decodificato f;
  try {
    f = decodifica(t, byte);
  } catch (const errore_decodifica& e) {
    if (e.offset() > byte.size()) FALLISCI("refusal offset past the end of the file");
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "escaped the decoder: %s: %s\n", typeid(e).name(), e.what());
    std::abort();
  }
  if (f.tipo != t || f.byte != byte.size()) FALLISCI("kind or size of the decoded file");
  modello m;
  std::string di_nuovo;
  switch (t) {
    case tipo_file::geometria: {
      geometria_in_tabella righe(f.piano.x, f.piano.y);
      di_nuovo = immagine_geometria(righe);
      break;
    }
    case tipo_file::voci:
      m.voci = f.voci;
      di_nuovo = immagine_voci(m);
      break;
    case tipo_file::celle:
      m.celle = f.celle;
      di_nuovo = immagine_celle(m);
      break;
  }
  if (di_nuovo != byte) FALLISCI("the decoded tables written again differ from the bytes decoded");
  return 0;
}
