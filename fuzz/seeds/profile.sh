#!/usr/bin/env bash
# Seed settings files for fuzz_profile: CR LF and LF files, comments, quotes, numbers,
# double-byte names, malformed headers and a lone lead byte.
set -euo pipefail
out=$1
mkdir -p "$out"
printf '[Settings]\r\nnMode=1\r\nszMetaFile="a b"\r\n; note\r\n\r\n[PageInfo]\r\nfx1=210\r\n' \
  > "$out/crlf.ini"
printf '[S]\nk=1\nn=-3\nloose\n[USERFORM]\nA4=\nB5=\n' > "$out/lf.ini"
printf '[\x83\x41]\r\n\x95\x5c=\x83\x5d\r\n[\x83\x5d]\r\nk= +7x \r\n' > "$out/dbcs.ini"
printf '[broken\r\n[S\r\nk=\x81\r\n=v\r\n[]\r\n=\r\n;[S]\r\nk' > "$out/malformed.ini"
printf '[S]\r\nk=\x00\x00\r\n\x81' > "$out/nul.ini"
printf '[S]\r\nk=1\r\n[s]\r\nk=2\r\n[USERFORM]\r\na=\r\n[userform]\r\nc=\r\n' > "$out/dups.ini"
