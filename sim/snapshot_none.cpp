// SPDX-License-Identifier: GPL-3.0-or-later
// Builds without the renderer's art loader have no snapshot command.
#include "sim/snapshot.h"

namespace cantiere {
void installSnapshotWriter(Driver&) {}
}  // namespace cantiere
