#include "run/errore.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/piattaforma_memoria.h"

namespace scenario {
namespace {

TEST(Errore, MostraIlCodiceETermina) {
  struct caso {
    const char* a;
    const char* messaggio;
  };
  for (const caso& c : {caso{"1251", " Errore n. 1251"}, caso{"1250", " Errore n. 1250"},
                        caso{"", " Errore n. "}, caso{" 07", " Errore n.  07"}}) {
    piattaforma_memoria p;
    p.file[p.percorso("gia_qui.dat")] = "vecchio";
    int stato = -1;
    try {
      errore(p, c.a);
      ADD_FAILURE() << "errore e' tornato al chiamante";
    } catch (const terminazione& t) {
      stato = t.stato;
    }
    EXPECT_EQ(stato, kStatoErrore);
    EXPECT_NE(stato, 0);
    EXPECT_EQ(p.messaggi, std::vector<std::string>{c.messaggio});
    // Nothing is written or removed on the way out.
    EXPECT_EQ(p.file.size(), 1u);
    EXPECT_EQ(p.file.at(p.percorso("gia_qui.dat")), "vecchio");
  }
}

}  // namespace
}  // namespace scenario
