#!/usr/bin/env bash
# Compiles the core's sources and the neutral ports of src/platform for
# Windows (mingw-w64, syntax only), the way the Windows build will: a file
# that reaches for a POSIX header, or for an adapter, fails here.
#   check-core-portable.sh [COMPILER]
# Prints each file that does not compile with the compiler's first errors,
# then a count; exits 1 when any failed.
set -uo pipefail
cd "$(dirname "$0")/.."
compiler=${1:-x86_64-w64-mingw32-g++-posix}
if ! command -v "$compiler" >/dev/null 2>&1; then
  echo "check-core-portable: $compiler is missing (Debian: g++-mingw-w64-x86-64-posix)" >&2
  exit 2
fi

files=()
for folder in host wizard dialup exchange store diagnostics; do
  while IFS= read -r file; do files+=("$file"); done < <(find "src/$folder" -name '*.cpp' | sort)
done
# The Linux platform's assembly is Linux's own, as windows_platform.cpp is Windows'.
while IFS= read -r file; do files+=("$file"); done < <(find src/platform -maxdepth 1 -name '*.cpp' \
  ! -name linux_platform.cpp | sort)

errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
failed=0
for file in "${files[@]}"; do
  if ! "$compiler" -std=c++20 -fsyntax-only -Isrc -Iinclude "$file" 2>"$errors"; then
    failed=$((failed + 1))
    echo "FAIL $file"
    grep -m 3 'error' "$errors" | sed 's/^/    /'
  fi
done
echo "check-core-portable: ${#files[@]} files, $failed do not compile for Windows"
[ "$failed" -eq 0 ]
