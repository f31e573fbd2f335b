#!/usr/bin/env bash
# Neovim's LSP client against the server: the quick fix it applies must give
# the bytes --fix writes.  neovim_lsp.sh TOOL PART
set -u
command -v nvim > /dev/null || { echo "skipped: needs nvim"; exit 77; }
tool=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$2" "$work/part.dat" && cp "$2" "$work/fixed.dat"
"$tool" --scan --fix "$work/fixed.dat" > /dev/null
SKEWQUAD=$tool PART=$work/part.dat OUT=$work/out.dat timeout 60 \
  nvim --headless -u NONE -i NONE -c "luafile $(dirname "$0")/neovim_lsp_test.lua" < /dev/null > /dev/null || exit 1
cmp "$work/out.dat" "$work/fixed.dat"
