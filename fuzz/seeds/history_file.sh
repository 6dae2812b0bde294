#!/usr/bin/env bash
# Seed history files for fuzz_history_file: CR LF and LF lines, duplicates, double-byte paths
# (a 0x5C trail byte), a lone lead byte, a line of 260 bytes and a file without a last break.
set -euo pipefail
out=$1
mkdir -p "$out"
printf '/home/u/scan\r\n/home/u/\x95\x5c\r\n/home/u/scan\r\n\r\n/tmp\r\n' > "$out/crlf.txt"
printf '/a\n/b\r\n\n/c' > "$out/mixed.txt"
printf '/x\x81\r\n/\x83\x41\x83\x43\r\n' > "$out/dbcs.txt"
{ printf '/'; head -c 259 /dev/zero | tr '\0' 'a'; printf '\r\n/ok\r\n'; } > "$out/long.txt"
