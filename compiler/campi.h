// The field stream shared by both description readers. A description is
// read not line by line but as fields: a field ends at a comma or a line end
// (CR LF, a lone LF or a lone CR); blanks before a field are skipped. A
// number ends at the first blank, and blanks then a comma still belong to
// its field, so numbers may also be separated by blanks alone.
#ifndef COMPILER_CAMPI_H_
#define COMPILER_CAMPI_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace scenario {

class lettore_campi {
 public:
  // The whole file's bytes; the reader keeps a view, so they must outlive it.
  explicit lettore_campi(std::string_view testo) : testo_(testo) {}

  // The end-of-file test: true straight after the last field has been read.
  bool fine() const { return pos_ >= testo_.size(); }

  // A text field: from its first non-blank byte to the next comma or line
  // end, inner and trailing blanks kept.
  std::string testo();

  // Numeric fields. An optional minus and decimal digits; an empty field, or
  // one that does not begin with a number, reads 0. A value that does not fit
  // the width asked for (a byte is 0 to 255) is a run-time failure.
  int32_t numero32();
  int16_t numero16();
  uint8_t numero8();

  // Past the end of the current line: the fields left on it are not read.
  void salta_riga();
  // The last field read closed its line.
  bool riga_finita() const { return riga_ > riga_campo_; }

  // Line (from 1) on which the last field read began.
  int riga() const { return riga_campo_; }

  // A numeric field that held more than a number ("0.6", "120km/h", "7:30",
  // "abc"): its line, its text and the value it was read as.
  struct numero_con_testo {
    int riga;
    std::string campo;
    int64_t letto;
  };
  // Those met since the last call of `inizia_record`, for the warnings.
  const std::vector<numero_con_testo>& numeri_con_testo() const { return numeri_con_testo_; }
  void inizia_record() {
    numeri_con_testo_.clear();
    campi_.clear();
  }

  // A field read since the last call of `inizia_record`: its line and where
  // it starts, for the warnings about a record that ran onto other lines.
  struct campo_letto {
    int riga;
    std::size_t inizio;
  };
  const std::vector<campo_letto>& campi_del_record() const { return campi_; }
  // Its bytes, up to the comma or line end that closes it.
  std::string_view testo_di(const campo_letto& c) const;

 private:
  int64_t numero();
  void salta_spazi();
  void inizia_campo();
  // Consumes a comma or a line end at the cursor, if one is there.
  void chiudi_campo();
  bool a_fine_riga() const;

  std::string_view testo_;
  std::size_t pos_ = 0;
  int riga_ = 1;
  int riga_campo_ = 0;
  std::vector<numero_con_testo> numeri_con_testo_;
  std::vector<campo_letto> campi_;
};

// The next field in keyword position, into `campo`: a field with a dash is
// passed over, and so is a second one; the third is taken whatever it holds.
// False at the end of the file, whose last field is never a keyword.
bool prossima_parola(lettore_campi& l, std::string& campo);

// Substring tests of the keyword fields: respecting letter case, and
// ignoring it for the letters A to Z.
bool contiene(std::string_view campo, std::string_view parola);
bool contiene_nc(std::string_view campo, std::string_view parola);

}  // namespace scenario

#endif  // COMPILER_CAMPI_H_
