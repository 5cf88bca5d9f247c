// The records of the two descriptions: their keywords, how the readers
// recognise them, the forms an author writes and their values in order. The
// readers' warnings, the tool's format reference and the authors' page all
// take them from here.
#ifndef COMPILER_PAROLE_H_
#define COMPILER_PAROLE_H_

#include <span>
#include <string_view>

namespace scenario {

enum class descrizione { linea = 1, treno = 2 };

struct valore_record {
  const char* nome;
  const char* significato;  // UTF-8, Italian: unit, range, what it becomes
};

struct record_descrizione {
  descrizione file;
  const char* parola;       // as written, e.g. "pendenza"
  bool generale;            // read only inside the general section
  // The keyword field must contain `parte` and, when given, `anche`; when
  // `una_di` is given, also one of its words ("uno", "due", "tre").
  const char* parte;
  const char* anche;
  std::span<const char* const> una_di;
  bool maiuscole;           // the tests respect letter case
  // The written forms, compared with the field without its outer blanks
  // (and, when the tests ignore case, in lower case).
  std::span<const char* const> forme;
  std::span<const valore_record> valori;  // in order; a text value is last
  bool ultimo_testo;        // the last value is text, running to the line end
  const char* sezione;      // where the built-in descriptions put it
  const char* esempio;
  const char* significato;  // UTF-8, Italian, one line
};

std::span<const record_descrizione> records_descrizioni();

// The record whose keyword test the field passes, among those of one file
// (for the line, those of the general section or the others); nullptr when
// none does. A field passing two tests gives the first.
const record_descrizione* record_di(descrizione file, bool generale, std::string_view campo);

// The field, without its outer blanks, is one of the record's written forms.
bool forma_scritta(const record_descrizione& r, std::string_view campo);

// The written form of a record of `file` nearest to the field (without its
// outer blanks), when it is at most two edits away (insertions, deletions,
// substitutions of one byte; letter case ignored where the record's tests
// ignore it): the "did you mean" of an unknown keyword. nullptr otherwise.
const char* forma_vicina(descrizione file, std::string_view campo);

// The record of a keyword as written ("segnale", "curva"), or nullptr.
const record_descrizione* record_per_parola(std::string_view parola);

}  // namespace scenario

#endif  // COMPILER_PAROLE_H_
