#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a command in a mount namespace of its own, where a test may mount
# small filesystems (a full one, a read-only one) that no one else sees and
# that go with it. That takes root, or the right to make namespaces:
# without it this says so and ends with 77, which ctest counts as skipped.
# The command finds CANTIERE_PRIVATE_MOUNTS=1 in its environment.
#
#   private_mounts.sh COMMAND [ARGUMENT]...
if ! unshare --mount --propagation private true 2>/dev/null; then
  echo "skipped: no mount namespace of its own can be made here (it takes root)"
  exit 77
fi
CANTIERE_PRIVATE_MOUNTS=1 exec unshare --mount --propagation private "$@"
