#include "classic/run/selection.h"

MacroModelList* return_macromodel() {
  MacroModelList* best = nullptr;
  int best_count = 0;
  for (MacroModelList* m = MacroModelHead; m; m = m->next) {
    if (!m->done && m->num_of_mos > best_count) {
      best = m;
      best_count = m->num_of_mos;
    }
  }
  if (best) best->done = true;
  return best;
}

bool macromodel_head_done() {
  for (MacroModelList* m = MacroModelHead; m; m = m->next)
    if (!m->done && m->num_of_mos > 0) return false;
  return true;
}
