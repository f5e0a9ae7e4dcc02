// Builds without the painter have no snapshot command.
#include "sim/snapshot.h"

namespace cantiere {
void installSnapshotWriter(Driver&) {}
}  // namespace cantiere
