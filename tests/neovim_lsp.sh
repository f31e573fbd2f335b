#!/usr/bin/env bash
# Neovim's LSP client, set up exactly as the README tells, against the
# server: the diagnostic shows, and the quick fix it applies gives the bytes
# --fix writes.  neovim_lsp.sh TOOL PART README
set -u
command -v nvim > /dev/null || { echo "skipped: needs nvim"; exit 77; }
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/part.dat" && cp "$2" "$work/fixed.dat"
"$tool" --scan --fix "$work/fixed.dat" > /dev/null
# The README's Neovim set-up, as it prints it, with skewquad on PATH.
awk '/^Neovim \(0\.7/ { found = 1 } found && /^```lua/ { inside = 1; next }
     inside && /^```/ { exit } inside' "$3" > "$work/init.lua"
[ -s "$work/init.lua" ] || { echo "no Neovim set-up found in the README"; exit 1; }
mkdir "$work/bin" && ln -s "$tool" "$work/bin/skewquad"
PATH="$work/bin:$PATH" PART=$work/part.dat OUT=$work/out.dat timeout 60 \
  nvim --headless -u "$work/init.lua" -i NONE -c "edit $work/part.dat" \
  -c "luafile $(dirname "$0")/neovim_lsp_test.lua" < /dev/null > /dev/null || exit 1
cmp "$work/out.dat" "$work/fixed.dat"
