#include "compiler/parole.h"

#include <algorithm>
#include <string>
#include <vector>

#include "compiler/campi.h"

namespace scenario {
namespace {

constexpr const char* kNumeri[] = {"uno", "due", "tre"};

constexpr const char* kFormeLunghezza[] = {"lunghezza percorso"};
constexpr const char* kFormeProgressiva[] = {"progressiva chilometrica uno", "progressiva chilometrica due",
                                             "progressiva chilometrica tre"};
constexpr const char* kFormeSfondo[] = {"sfondo uno", "sfondo due", "sfondo tre"};
constexpr const char* kFormeRipetizione[] = {"ripetizione segnali 4 codici", "ripetizione segnali 9 codici"};
constexpr const char* kFormeCurva[] = {"curvad1", "curvad2", "curvad3", "curvad4", "curvad5", "curvad6",
                                       "curvas1", "curvas2", "curvas3", "curvas4", "curvas5", "curvas6"};
constexpr const char* kFormePendenza[] = {"pendenza"};
constexpr const char* kFormeMontagna[] = {"montagna"};
constexpr const char* kFormeIndicatori[] = {"indicatori_vmax"};
constexpr const char* kFormeCartello[] = {"cartello_indicatore"};
constexpr const char* kFormeVetture[] = {"numero vetture"};
constexpr const char* kFormeMassa[] = {"percentuale massa frenata"};
constexpr const char* kFormeSabbia[] = {"sabbia"};
constexpr const char* kFormeOrologio[] = {"orologio"};
constexpr const char* kFormeAderenza[] = {"aderenza"};
constexpr const char* kFormeVelocita[] = {"velocita", "velocit\xE0"};  // the second in Windows-1252
constexpr const char* kFormeStazione[] = {"stazione"};
constexpr const char* kFormeRallentamento[] = {"rallentamento"};
constexpr const char* kFormeAbbattimento[] = {"abbattimento"};
constexpr const char* kFormeSegnale[] = {"segnale"};

constexpr valore_record kLunghezza[] = {
    {"L", "m, da 0 a 1000000: lunghezza della linea; il tracciato compilato copre L + 7000 m"}};
constexpr valore_record kProgressiva[] = {
    {"inizio", "m, multiplo di 50: dove comincia il tratto"},
    {"progressiva", "m, multiplo di 50 (dopo l'aggiunta): progressiva chilometrica in quel punto"},
    {"indicatore", "1 aggiunge 100 m alla progressiva; tre zeri: tratto non usato"}};
constexpr valore_record kSfondo[] = {{"valore", "numero intero, memorizzato com'è"}};
constexpr valore_record kRipetizione[] = {
    {"P1", "m, multiplo di 50: prima posizione"},
    {"P2", "m, multiplo di 50: seconda posizione; 0: nessuna ripetizione (conteggio dei codici 0)"}};
constexpr valore_record kCurva[] = {
    {"inizio", "m: dove comincia la curva; le curve in ordine crescente, senza sovrapporsi"},
    {"lunghezza", "m, maggiore di 0: la curva va da inizio a inizio + lunghezza"}};
constexpr valore_record kPendenza[] = {
    {"posizione", "m: da qui vale la pendenza, fino al record seguente; in ordine crescente"},
    {"pendenza", "per mille, da -100 a 155: nelle celle come pendenza + 100"}};
constexpr valore_record kMontagna[] = {
    {"inizio", "m: inizio della montagna"},
    {"fine", "m: fine della montagna"},
    {"tipo", "tipo della montagna; oltre 10: tipo - 10 con segni di montagna (galleria); al più 80 montagne"}};
constexpr valore_record kIndicatori[] = {
    {"posizione", "m: cella round(posizione / 50 + 1)"},
    {"vas", "km/h, multiplo di 5: velocità a del gruppo s"},
    {"vbs", "km/h, multiplo di 5: velocità b del gruppo s"},
    {"vcs", "km/h, multiplo di 5: velocità c del gruppo s"},
    {"strisces", "strisce del gruppo s"},
    {"vad", "km/h, multiplo di 5 sotto 100 (vuoto: 0): velocità a del gruppo d; dato1 = vas × 20 + vad / 5"},
    {"vbd", "km/h, come vad: dato2 = vbs × 20 + vbd / 5"},
    {"vcd", "km/h, come vad: dato3 = vcs × 20 + vcd / 5"},
    {"strisced", "una cifra (vuoto: 0): dato4 = strisces × 10 + strisced"}};
constexpr valore_record kCartello[] = {
    {"posizione", "m: cella round(posizione / 50 + 1)"},
    {"testo", "gruppi tra parentesi, uno per riga del cartello, senza virgole; al più 80 cartelli con testo"}};
constexpr valore_record kUnNumero32[] = {{"valore", "numero intero a 32 bit"}};
constexpr valore_record kSabbia[] = {{"valore", "da -32768 a 32767"}};
constexpr valore_record kOrologio[] = {
    {"ore", "da -32768 a 32767: ora dell'orologio alla partenza"},
    {"minuti", "da -32768 a 32767"},
    {"secondi", "da -32768 a 32767"}};
constexpr valore_record kAderenza[] = {
    {"posizione", "m: da qui vale l'aderenza, fino al record seguente; in ordine crescente"},
    {"aderenza", "se ne tengono gli 8 bit bassi (0-255)"}};
constexpr valore_record kVelocita[] = {
    {"posizione", "m: da qui vale la velocità, fino al record seguente; in ordine crescente"},
    {"velocita", "km/h, multiplo di 5 da 0 a 1275: nelle celle come velocità / 5"}};
constexpr valore_record kStazione[] = {
    {"posizione", "m, multiplo di 50: posizione della stazione"},
    {"tipo", "0-255: tipi 5 e 6 zona prima della stazione, 7 e 8 prima e dopo, altri centrata; da 25 nessun segno"},
    {"lunghezza", "m, multiplo di 100: lunghezza della zona (non memorizzata)"},
    {"attributo_1", "0-255"},
    {"attributo_2", "0-255: tenuto solo con zona di 600 m o più e non per la prima stazione"},
    {"attributo_3", "0-255: non zero allunga la zona di 50 m; azzerato per i tipi 5-8 e per la prima stazione"},
    {"gruppo_1a", "da -32768 a 32767"},
    {"gruppo_1b", "da -32768 a 32767"},
    {"gruppo_1c", "0-255"},
    {"gruppo_2a", "da -32768 a 32767"},
    {"gruppo_2b", "da -32768 a 32767"},
    {"gruppo_2c", "da -32768 a 32767"},
    {"attributo_4", "0-255"},
    {"ore", "orario = ore × 3600 + minuti × 60 + secondi; 0 0 0: nessun orario"},
    {"minuti", "vedi ore"},
    {"secondi", "vedi ore"},
    {"nome", "testo fino alla fine della riga, senza virgole; gli spazi finali si tolgono"}};
constexpr valore_record kRallentamento[] = {
    {"x", "m: inizio del rallentamento; oltre 1500 ha l'avviso 1200 m prima"},
    {"v", "km/h: velocità del rallentamento"},
    {"l", "m, maggiore di 0: lunghezza; la fine è a x + l"},
    {"f_tt", "memorizzato con l'inizio e la fine"},
    {"f_ta", "non zero: le quattro celle prima dell'avviso diventano preavvisi (solo con x oltre 1500)"},
    {"d_v", "non zero: memorizzato con inizio, fine, avviso e preavvisi"}};
constexpr valore_record kAbbattimento[] = {
    {"posizione", "m: cella round(posizione / 50)"},
    {"valore", "1 o più: memorizzato (cella_abbattimento); 0 o meno: cella_abbattimento_zero"}};
constexpr valore_record kSegnale[] = {
    {"posizione", "m: cella round(posizione / 50 + 1); richiami 2, 4, 6, 8 celle prima"},
    {"sx", "una cifra: dato4 = rapp × 10 + sx × 3 + dx"},
    {"s1", "una cifra: dato1 = s1 × 10 + d1"},
    {"s2", "una cifra: dato2 = s2 × 10 + d2"},
    {"s3", "una cifra: dato3 = s3 × 10 + d3"},
    {"rapp", "una cifra"},
    {"dx", "una cifra"},
    {"d1", "una cifra"},
    {"d2", "una cifra"},
    {"d3", "una cifra"},
    {"tempo", "0-255: tenuto solo quando sx è 2 (da 1 a 100 diventa 101); altrimenti 0"}};

using L = descrizione;

constexpr record_descrizione kRecord[] = {
    {L::linea, "lunghezza percorso", true, "lunghezza", "percorso", {}, false, kFormeLunghezza, kLunghezza, false,
     "[generale]", "lunghezza percorso, 30000", "lunghezza della linea"},
    {L::linea, "progressiva chilometrica", true, "progressiva", nullptr, kNumeri, true, kFormeProgressiva,
     kProgressiva, false, "[generale]", "progressiva chilometrica uno, 0, 30000, 1",
     "uno dei tre tratti della progressiva chilometrica"},
    {L::linea, "sfondo", true, "sfondo", nullptr, kNumeri, true, kFormeSfondo, kSfondo, false, "[generale]",
     "sfondo uno, 1", "impostazione dello sfondo uno, due o tre"},
    {L::linea, "ripetizione segnali", true, "ripetizione", "segnali", {}, true, kFormeRipetizione, kRipetizione,
     false, "[generale]", "ripetizione segnali 4 codici, 0, 0",
     "ripetizione segnali: 4 o 9 codici secondo la cifra nella parola chiave"},
    {L::linea, "curva", false, "curva", nullptr, {}, false, kFormeCurva, kCurva, false, "[curve]", "curvad3, 2000, 800",
     "curva: d destra, s sinistra; classe 1-6 (1: 0.0001, 2: 0.0002, 3: 0.0004, 4: 0.001, 5: 0.002, 6: 0.003 rad/m)"},
    {L::linea, "pendenza", false, "pendenza", nullptr, {}, false, kFormePendenza, kPendenza, false, "[pendenze]",
     "pendenza, 2000, 5", "pendenza in vigore da una posizione"},
    {L::linea, "montagna", false, "montagna", nullptr, {}, false, kFormeMontagna, kMontagna, false, "[montagne]",
     "montagna, 9000, 9600, 11", "tratto di montagna (o galleria)"},
    {L::linea, "indicatori_vmax", false, "indicatori_v", nullptr, {}, false, kFormeIndicatori, kIndicatori, false,
     "[cartelli]", "indicatori_vmax, 700, 90, 110, 110, 0, , , , 0", "cartello di velocità massima"},
    {L::linea, "cartello_indicatore", false, "cartello", "indicat", {}, false, kFormeCartello, kCartello, true,
     "[indicazioni]", "cartello_indicatore, 2500, (PL km )(17+500)", "cartello con testo"},
    {L::treno, "percentuale massa frenata", false, "massa", "frenata", {}, false, kFormeMassa, kUnNumero32, false,
     "[generale]", "percentuale massa frenata, 120", "percentuale di massa frenata"},
    {L::treno, "numero vetture", false, "vetture", nullptr, {}, false, kFormeVetture, kUnNumero32, false,
     "[generale]", "numero vetture, 5", "numero di vetture"},
    {L::treno, "velocita", false, "velocit", nullptr, {}, false, kFormeVelocita, kVelocita, false, "[vel_limite]",
     "velocita, 700, 110", "velocità massima del treno da una posizione"},
    {L::treno, "aderenza", false, "aderenza", nullptr, {}, false, kFormeAderenza, kAderenza, false, "[aderenze]",
     "aderenza, 0, 100", "aderenza da una posizione"},
    {L::treno, "orologio", false, "orologio", nullptr, {}, false, kFormeOrologio, kOrologio, false, "[generale]",
     "orologio, 6 39 40", "ora alla partenza (i tre numeri anche separati da spazi)"},
    {L::treno, "sabbia", false, "sabbia", nullptr, {}, false, kFormeSabbia, kSabbia, false, "[generale]",
     "sabbia, 0", "sabbia"},
    {L::treno, "segnale", false, "segnale", nullptr, {}, false, kFormeSegnale, kSegnale, false, "[segnali]",
     "segnale, 6000, 2, 3, 1, 0, 0, 0, 0, 0, 0, 230", "segnale"},
    {L::treno, "rallentamento", false, "rallentamento", nullptr, {}, false, kFormeRallentamento, kRallentamento,
     false, "[rallentamenti]", "rallentamento, 6000, 60, 500, 0, 1, 0", "rallentamento"},
    {L::treno, "abbattimento", false, "abbattimento", nullptr, {}, false, kFormeAbbattimento, kAbbattimento, false,
     "", "abbattimento, 1000, 3", "punto di abbattimento"},
    {L::treno, "stazione", false, "stazione", nullptr, {}, false, kFormeStazione, kStazione, true, "[stazioni]",
     "stazione, 3250, 4, 600, 1, 0, 0, 4, 1, 0, 2, 1, 1, 30, 6, 44, 0, ZELMORIO PAESE",
     "stazione con la sua zona e il suo orario"},
};

// Every keyword is in lower case: a test that ignores case looks for it in
// the field lowered once.
constexpr bool minuscolo(const char* p) {
  for (; *p; ++p) {
    if (*p >= 'A' && *p <= 'Z') return false;
  }
  return true;
}

constexpr bool parole_minuscole() {
  for (const record_descrizione& r : kRecord) {
    if (!minuscolo(r.parte) || (r.anche && !minuscolo(r.anche))) return false;
    for (const char* p : r.una_di) {
      if (!minuscolo(p)) return false;
    }
  }
  return true;
}
static_assert(parole_minuscole());

// `campo` as read, and lowered: the tests that respect case look in the
// first, the others in the second.
bool passa(const record_descrizione& r, std::string_view campo, std::string_view basso) {
  const auto ha = [&](const char* p) { return contiene(r.maiuscole ? campo : basso, p); };
  if (!ha(r.parte)) return false;
  if (r.anche && !ha(r.anche)) return false;
  if (r.una_di.empty()) return true;
  for (const char* w : r.una_di) {
    if (ha(w)) return true;
  }
  return false;
}

char minuscola(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::span<const record_descrizione> records_descrizioni() { return kRecord; }

const record_descrizione* record_di(descrizione file, bool generale, std::string_view campo) {
  std::string basso(campo);
  for (char& c : basso) c = minuscola(c);
  for (const record_descrizione& r : kRecord) {
    if (r.file == file && r.generale == generale && passa(r, campo, basso)) return &r;
  }
  return nullptr;
}

bool forma_scritta(const record_descrizione& r, std::string_view campo) {
  const auto a = campo.find_first_not_of(" \t");
  if (a == std::string_view::npos) return false;
  campo = campo.substr(a, campo.find_last_not_of(" \t") - a + 1);
  std::string s(campo);
  if (!r.maiuscole) {
    for (char& c : s) c = minuscola(c);
  }
  for (const char* f : r.forme) {
    if (s == f) return true;
  }
  return false;
}

namespace {

// Edits between a and b, or more than `massimo` as soon as that is sure.
std::size_t distanza(std::string_view a, std::string_view b, std::size_t massimo) {
  if (a.size() > b.size() + massimo || b.size() > a.size() + massimo) return massimo + 1;
  std::vector<std::size_t> riga(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) riga[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonale = riga[0];
    riga[0] = i;
    std::size_t minimo = riga[0];
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t sopra = riga[j];
      riga[j] = std::min({riga[j] + 1, riga[j - 1] + 1, diagonale + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonale = sopra;
      minimo = std::min(minimo, riga[j]);
    }
    if (minimo > massimo) return massimo + 1;
  }
  return riga[b.size()];
}

}  // namespace

const char* forma_vicina(descrizione file, std::string_view campo) {
  constexpr std::size_t kMassimo = 2;
  const auto a = campo.find_first_not_of(" \t");
  if (a == std::string_view::npos) return nullptr;
  campo = campo.substr(a, campo.find_last_not_of(" \t") - a + 1);
  std::string basso(campo);
  for (char& c : basso) c = minuscola(c);
  const char* migliore = nullptr;
  std::size_t d_migliore = kMassimo + 1;
  for (const record_descrizione& r : kRecord) {
    if (r.file != file) continue;
    for (const char* f : r.forme) {
      const std::size_t d = distanza(r.maiuscole ? std::string_view(campo) : std::string_view(basso), f, kMassimo);
      if (d < d_migliore) {
        d_migliore = d;
        migliore = f;
      }
    }
  }
  return migliore;
}

const record_descrizione* record_per_parola(std::string_view parola) {
  for (const record_descrizione& r : kRecord) {
    if (parola == r.parola) return &r;
  }
  for (const record_descrizione& r : kRecord) {
    for (const char* f : r.forme) {
      if (parola == f) return &r;
    }
  }
  return nullptr;
}

}  // namespace scenario
