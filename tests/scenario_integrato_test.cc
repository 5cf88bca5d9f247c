// The built-in scenario compiled end to end: what the train half leaves in
// the model.
#include <gtest/gtest.h>

#include <vector>

#include "compiler/compilazione.h"
#include "platform/piattaforma_memoria.h"
#include "common/identita.h"
#include "texts/testi.h"

#include "tests/modello_prova.h"

namespace scenario {
namespace {

class ScenarioIntegrato : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    p_ = new piattaforma_memoria;
    m_ = new modello;
    m_->nome_linea = kNomeLinea;
    m_->numero_treno = kNumeroTreno;
    dati_linea(*p_, m_->nome_linea);
    dati_treno(*p_, m_->nome_linea, m_->numero_treno);
    *m_ = compila(*p_, identita_incorporata(), true).m;
  }
  static void TearDownTestSuite() {
    delete m_;
    delete p_;
  }
  static const cella& c(int i) { return m_->celle.at(static_cast<std::size_t>(i)); }
  static std::vector<int> celle_di_tipo(uint8_t tipo) {
    std::vector<int> r;
    for (std::size_t i = 0; i < m_->celle.size(); ++i) {
      if (m_->celle[i].tipo == tipo) r.push_back(static_cast<int>(i));
    }
    return r;
  }

  static piattaforma_memoria* p_;
  static modello* m_;
};

piattaforma_memoria* ScenarioIntegrato::p_ = nullptr;
modello* ScenarioIntegrato::m_ = nullptr;

TEST_F(ScenarioIntegrato, NessunGuasto) {
  EXPECT_EQ(m_->codice_errore, 0);
  EXPECT_TRUE(m_->guasti.empty());
  EXPECT_TRUE(p_->messaggi.empty());
}

TEST_F(ScenarioIntegrato, ValoriGeneraliDelTreno) {
  EXPECT_EQ(m_->voci[84].inizio, 120);
  EXPECT_EQ(m_->voci[84].posizione, 5);
  EXPECT_EQ(m_->voci[86].gruppo_1a, 0);
  EXPECT_EQ(m_->voci[86].gruppo_2a, 6);
  EXPECT_EQ(m_->voci[86].gruppo_2b, 39);
  EXPECT_EQ(m_->voci[86].gruppo_2c, 40);
}

TEST_F(ScenarioIntegrato, DieciStazioni) {
  const std::vector<int32_t> posizioni = {0, 3250, 8250, 11100, 15650, 19200, 22700, 23950, 32550, 35800};
  for (int i = 1; i <= 10; ++i) {
    EXPECT_EQ(m_->voci[i].posizione, posizioni[static_cast<std::size_t>(i - 1)]) << i;
    EXPECT_FALSE(m_->voci[i].nome.empty()) << i;
  }
  EXPECT_EQ(m_->voci[1].nome, "VELMO");
  EXPECT_EQ(m_->voci[10].nome, "VERDAL");
  EXPECT_EQ(m_->voci[11].posizione, 0);
  EXPECT_TRUE(m_->voci[11].nome.empty());
  EXPECT_EQ(m_->voci[1].orario, 6 * 3600 + 40 * 60);
  EXPECT_EQ(m_->voci[7].orario, 7 * 3600 + 7 * 60 + 30);
}

TEST_F(ScenarioIntegrato, PrimaStazione) {
  EXPECT_EQ(m_->voci[1].inizio, -300);
  EXPECT_EQ(m_->voci[1].fine, 300);
  EXPECT_EQ(c(5).tipo, cella_stazione);
  EXPECT_EQ(c(5).dato1, 1);
  EXPECT_EQ(prova::campo_celle(*m_, &cella::richiamo, {4, 3, 2, 1}), (std::vector<int>{81, 82, 83, 0}));
}

TEST_F(ScenarioIntegrato, StazioneConZonaAllungata) {
  EXPECT_EQ(m_->voci[8].posizione, 23950);
  EXPECT_EQ(m_->voci[8].fine, 24150);
  EXPECT_EQ(c(482).tipo, cella_stazione);
  EXPECT_EQ(c(482).dato1, 8);
}

TEST_F(ScenarioIntegrato, SoloLeStazioniSotto25SegnanoIlTracciato) {
  std::vector<int> stazioni;
  for (int i : celle_di_tipo(cella_stazione)) stazioni.push_back(c(i).dato1);
  EXPECT_EQ(stazioni, (std::vector<int>{1, 6, 8, 10}));
}

TEST_F(ScenarioIntegrato, UndiciSegnali) {
  const std::vector<int> segnali = celle_di_tipo(cella_segnale);
  ASSERT_EQ(segnali.size(), 11u);
  EXPECT_EQ(segnali.front(), 121);
  EXPECT_EQ(c(121).dato1, 30);
  EXPECT_EQ(c(121).dato2, 10);
  EXPECT_EQ(c(121).dato4, 3);
  EXPECT_EQ(prova::campo_celle(*m_, &cella::richiamo, {119, 113}), (std::vector<int>{31, 34}));
}

TEST_F(ScenarioIntegrato, ProfiloDiVelocita) {
  for (int i = 0; i <= 13; ++i) EXPECT_EQ(c(i).velocita_max, 6) << i;
  for (int i = 14; i <= 42; ++i) EXPECT_EQ(c(i).velocita_max, 22) << i;
  const int u = m_->ultima_cella;
  EXPECT_EQ(c(u - 3).velocita_max, 27);  // 135 km/h from 60850 m to the end
  EXPECT_EQ(c(u - 2).velocita_max, 0);
  EXPECT_EQ(c(u - 3).aderenza, 100);
}

TEST_F(ScenarioIntegrato, CodiciDelloScenario) {
  // "24817velmo - montegrievek": the plain and the weighted sum.
  EXPECT_EQ(m_->voci[85].orario, 31689);
  EXPECT_EQ(c(1).dato2, 2214);
  EXPECT_EQ(c(1).dato1, 5121);
  EXPECT_EQ(m_->voci[85].gruppo_1a, 610);
}

TEST_F(ScenarioIntegrato, DescrizioniCancellate) {
  EXPECT_FALSE(p_->esiste(p_->percorso("Velmo - Montegrieve_linea.txt")));
  EXPECT_FALSE(p_->esiste(p_->percorso("Velmo - Montegrieve_24817-.txt")));
  EXPECT_TRUE(p_->esiste(p_->percorso("Velmo - Montegrieve_24817.dat")));
}

}  // namespace
}  // namespace scenario
