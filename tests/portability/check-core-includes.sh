#!/usr/bin/env bash
# The core reaches the system only through the ports: no file of it includes
# a POSIX, iconv, dynamic-loader, Qt or curl header, nor an adapter's header.
# Lists every such include and fails when there is one.
#   check-core-includes.sh SOURCE_DIR
set -euo pipefail
cd "$1/src"
system='<(unistd|fcntl|langinfo|locale|dlfcn|iconv|poll)\.h>|<sys/|<Q|<curl/'
adapters='"(platform/posix|platform/curl|ui)/'
pattern="^[[:space:]]*#[[:space:]]*include[[:space:]]*($system|$adapters)"
if grep -rnE "$pattern" --include='*.cpp' --include='*.h' \
     host wizard dialup exchange store diagnostics; then
  echo "check-core-includes: the core includes the platform's headers above; reach them through a port" >&2
  exit 1
fi
