#!/usr/bin/env bash
# Installs the build tree into a fresh prefix and uses the component from
# there alone: every public header compiles with nothing but the prefix's
# include folder, and a small host built once through pkg-config and once
# through find_package(RegWizard) creates and releases a RegEngine.
#   check-install.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1
host_source=$2/tests/install/host
CXX=${CXX:-c++}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

failed=0
fail() { echo "check-install: $*" >&2; failed=1; }

for file in bin/regwizard-run bin/regwizard-regsvr; do
  [ -x "$prefix/$file" ] || fail "$file is not installed"
done
library=$(find "$prefix" -name libregwizard.so -print -quit)
[ -n "$library" ] || { fail "libregwizard.so is not installed"; exit 1; }
pcfile=$(find "$prefix" -name regwizard.pc -print -quit)
[ -n "$pcfile" ] || { fail "regwizard.pc is not installed"; exit 1; }

# Each public header on its own, without the sources.
while IFS= read -r header; do
  name=${header#"$prefix/include/"}
  echo "#include <$name>" >"$work/header.cpp"
  "$CXX" -std=c++20 -fsyntax-only -Wall -Wextra -I"$prefix/include" "$work/header.cpp" ||
    fail "$name does not compile on its own"
done < <(find "$prefix/include/regwizard" -name '*.h' | sort)

# The hosts run without a display, against a registry of their own.
run_host() {
  local how=$1 program=$2 registry
  registry=$(mktemp -d "$work/registry.XXXX")
  if QT_QPA_PLATFORM=offscreen QUORVALE_REGISTRY=$registry XDG_RUNTIME_DIR=$work \
       timeout 60 "$program"; then
    grep -q '"AppPath"=' "$registry/HKEY_LOCAL_MACHINE.reg" ||
      fail "the host built with $how left no AppPath in its registry"
  else
    fail "the host built with $how failed"
  fi
}

# Through pkg-config.
export PKG_CONFIG_PATH=$(dirname "$pcfile")
read -r -a flags <<<"$(pkg-config --cflags --libs regwizard)"
"$CXX" -std=c++20 "$host_source/host.cpp" "${flags[@]}" \
  -Wl,-rpath,"$(dirname "$library")" -o "$work/host-pkg-config"
run_host pkg-config "$work/host-pkg-config"

# Through find_package(RegWizard).
cmake -S "$host_source" -B "$work/cmake-host" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$work/cmake-host" >/dev/null
run_host find_package "$work/cmake-host/install-host"

exit $failed
