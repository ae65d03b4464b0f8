#!/usr/bin/env bash
# Fails when a tracked C++ file is not laid out as .clang-format says, naming
# each one; `bash scripts/check_format.sh --fix` lays them out instead.
set -euo pipefail
cd "$(dirname "$0")/.."

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/dev/null; then
  echo "Not laid out as .clang-format says (fix: bash scripts/check_format.sh --fix):"
  for file in "${files[@]}"; do
    clang-format --dry-run --Werror "$file" >/dev/null 2>&1 || echo "  $file"
  done
  exit 1
fi
# Include lines name the header's folder from the project's root, so that a
# file's layer shows wherever it is used ("core/ObjectList.h", not "ObjectList.h").
if bare=$(grep -n -E '^\s*#\s*include\s+"[^"/]+"' "${files[@]}"); then
  echo "Include lines that name no folder:"
  echo "$bare"
  exit 1
fi
echo "All ${#files[@]} C++ files are laid out as .clang-format says."
