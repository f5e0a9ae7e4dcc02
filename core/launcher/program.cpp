#include "core/launcher/program.h"

namespace cantiere {

Program::Program(const HandheldServices& services)
    : form1(services), splash(form1, services.scheduler), pointer(form1) {
  form1.FirstActivate = &FirstActivate;
}

void Program::start() {
  FirstActivate = true;
  // The handheld window reads the high scores before the launcher reads the
  // sound mode from the same store.
  form1.FormCreate();
  splash.FormCreate();
  form1.FormActivate();
}

void Program::keyDown(int key) {
  if (splash.shortcut(key)) return;
  form1.FormKeyDown(key);
}

void Program::keyUp(int key) { form1.FormKeyUp(key); }

}  // namespace cantiere
