// SPDX-License-Identifier: GPL-3.0-or-later
// Gives the driver its `snapshot` command, composed by the same renderer as
// the desktop window.
#pragma once

namespace cantiere {
class Driver;
void installSnapshotWriter(Driver& driver);
}  // namespace cantiere
