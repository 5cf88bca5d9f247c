#include "compiler/guasti.h"

namespace scenario {
namespace {

constexpr significato_codice kSignificati[] = {
    {codice_lunghezza_eccessiva, false, "lunghezza della linea oltre 1000000 m"},
    {codice_progressiva_fuori_passo, false, "l'inizio o la progressiva di un tratto chilometrico non è multiplo di 50"},
    {codice_ripetizione_inizio, false, "prima posizione della ripetizione segnali non multipla di 50"},
    {codice_ripetizione_fine, false, "seconda posizione della ripetizione segnali non multipla di 50"},
    {codice_ripetizione_codici, false, "la parola chiave della ripetizione segnali non contiene né \"4\" né \"9\""},
    {codice_cartello_occupato, true, "la cella del cartello con testo è già occupata"},
    {codice_abbattimento_occupato, true, "la cella dell'abbattimento è già occupata"},
    {codice_stazione_fuori_passo, true, "posizione della stazione non multipla di 50"},
    {codice_zona_fuori_passo, true, "lunghezza della zona di stazione non multipla di 100"},
    {codice_stazioni_esaurite, false,
     "le stazioni hanno raggiunto le voci dei cartelli con testo (stazioni e cartelli stanno in 80 voci)"},
    {codice_marcatore_segnale, true,
     "un segnale prima di un avviso di rallentamento non ha libera, né già marcata, nessuna delle due celle "
     "prima di sé"},
    {codice_marcatore_gruppo, true, "le tre celle candidate di un gruppo di marcatori prima di un inizio di rallentamento sono occupate"},
    {codice_marcatore_percorso, true,
     "nessuna cella libera per un marcatore lungo un rallentamento o subito dopo, o un inizio di rallentamento "
     "senza cella di fine"},
    {codice_fuori_percorso, true, "posizione oltre la fine del tracciato: la lettura del file si ferma qui e il resto è ignorato"},
    {codice_segnale_occupato, true, "la cella del segnale è già occupata"},
    {codice_avviso_occupato, true, "la cella dell'avviso, 1200 m prima dell'inizio del rallentamento, è occupata"},
    {codice_inizio_occupato, true, "la cella d'inizio del rallentamento è occupata"},
    {codice_fine_occupato, true, "la cella di fine del rallentamento è occupata"},
    {codice_preavviso_occupato, true, "una delle quattro celle di preavviso è occupata (inizio, fine e avviso restano collocati)"},
    {codice_indicatore_occupato, true, "la cella del cartello di velocità massima è già occupata"},
    {codice_stazioni_vicine, true, "la zona della stazione comincia meno di 350 m dopo la fine della zona precedente"},
    {codice_segnaposto_iniziale, false, "il segnaposto della stazione cadrebbe sulla cella 1 o prima"},
    {codice_lettura, false,
     "errore durante la lettura (file mancante, record troncato, valore troppo grande per il suo campo, "
     "superamento a 32 bit, nessuna lunghezza di linea): entrambe le descrizioni sono scartate"},
    {codice_treno_prima_origine, true, "posizione prima dell'origine (negativa)"},
    {codice_segnaposto_oltre, true, "il segnaposto della stazione, e con esso le marche d'avvicinamento, cadrebbe oltre il tracciato"},
    {codice_fine_fuori, true, "la cella di fine del rallentamento cade fuori dal tracciato"},
    {codice_linea_assente, false, "la descrizione della linea non esiste"},
    {codice_generale_assente, false, "nessun campo \"[generale]\" prima dell'ultimo campo del file"},
    {codice_curva, false, "curva senza cifra di classe da 1 a 6 nella parola chiave, o tracciato oltre il metro 1000000"},
    {codice_linea_prima_origine, true, "posizione prima dell'origine (negativa)"},
    {codice_troppi_cartelli, false, "un 81° cartello con testo: la tabella delle voci ne tiene 80"},
    {codice_troppe_montagne, false, "un'81ª montagna: se ne memorizzano al più 80"},
    {codice_lunghezza_negativa, false, "lunghezza della linea negativa"},
};

}  // namespace

std::span<const significato_codice> significati_guasti() { return kSignificati; }

const significato_codice* cerca_guasto(int32_t codice) {
  for (const significato_codice& s : kSignificati) {
    if (s.codice == codice) return &s;
  }
  return nullptr;
}

}  // namespace scenario
