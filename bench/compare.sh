#!/usr/bin/env bash
# Times Korvelin's conversion against plain copies of the same files and against img2pdf, in
# one run, side by side, and prints the medians and ratios. See bench/README.md.
#
#   bench/compare.sh [KORVELIN]       (default: build-p-bench/bin/Korvelin, else build/bin/Korvelin)
#
# Environment (all optional):
#   CORPUS=/tmp/kvl-corpus   corpus folder; made when missing or when the counts differ
#   BIG=200                  A4 300-dpi colour JPEGs (about 600 KB each)
#   SMALL=10000              small 200 x 280 JPEGs (a few hundred bytes each); 0 skips them
#   RUNS=5                   paired rounds (after one warm-up round); medians are printed
#   IMG2PDF_EACH=0           1: also time img2pdf once per image (one process per file, slow)
#   STRACE=0                 1: print `strace -c -f` summaries of one Korvelin run of each kind
# Quick run: BIG=20 SMALL=500 RUNS=3 bench/compare.sh
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
korvelin=${1:-}
if [[ -z $korvelin ]]; then
    korvelin=$root/build-p-bench/bin/Korvelin
    [[ -x $korvelin ]] || korvelin=$root/build/bin/Korvelin
fi
korvelin=$(readlink -f "$korvelin")
[[ -x $korvelin ]] || { echo "no Korvelin at $korvelin (build it in Release first)" >&2; exit 2; }

CORPUS=${CORPUS:-/tmp/kvl-corpus}
BIG=${BIG:-200}
SMALL=${SMALL:-10000}
RUNS=${RUNS:-5}
IMG2PDF_EACH=${IMG2PDF_EACH:-0}
STRACE=${STRACE:-0}

need() {
    command -v "$1" >/dev/null && return 0
    if [[ $(id -u) == 0 ]] && command -v apt-get >/dev/null; then
        apt-get install -y -q "$2" >/dev/null 2>&1 || true
    fi
    command -v "$1" >/dev/null
}
need convert imagemagick || { echo "ImageMagick (convert) is needed for the corpus" >&2; exit 2; }
have_img2pdf=0
need img2pdf img2pdf && have_img2pdf=1
if [[ $STRACE == 1 ]]; then need strace strace || STRACE=0; fi

# --- Corpus: a few distinct pages, copied under many names (the copies cost nothing to make,
# and every tool reads every file whole whatever its content).
count() { find "$1" -maxdepth 1 -name '*.jpg' 2>/dev/null | wc -l; }
make_set() {  # folder count kind
    local dir=$1 n=$2 kind=$3 distinct=4 i
    [[ $(count "$dir") == "$n" ]] && return 0
    echo "making $n $kind JPEGs in $dir" >&2
    rm -rf "$dir" && mkdir -p "$dir" "$CORPUS/seed"
    for ((i = 0; i < distinct; i++)); do
        local seed=$CORPUS/seed/$kind$i.jpg
        [[ -f $seed ]] && continue
        if [[ $kind == big ]]; then
            convert -seed $((i + 1)) -size 620x877 plasma:fractal -resize '2480x3508!' \
                -attenuate 0.25 +noise Gaussian -density 300 -units PixelsPerInch \
                -sampling-factor 2x2 -quality 70 "$seed"
        else
            convert -seed $((i + 1)) -size 200x280 "gradient:gray$((60 + 10 * i))-white" \
                -strip -quality 40 "$seed"
        fi
    done
    for ((i = 0; i < n; i++)); do
        cp "$CORPUS/seed/$kind$((i % distinct)).jpg" "$(printf '%s/p%05d.jpg' "$dir" "$i")"
    done
}
make_set "$CORPUS/big" "$BIG" big
[[ $SMALL -gt 0 ]] && make_set "$CORPUS/small" "$SMALL" small

# Korvelin's settings for the bench: every PDF into one output folder, replaced on each run.
work=$(mktemp -d /tmp/kvl-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/work" "$work/out"
# "joined" ([App] nTif2Pdf=1): a folder given on the command line becomes one PDF; "each": a PDF
# per image.
for grouping in each joined; do
    mkdir -p "$work/$grouping"
    printf '[App]\r\nnTif2Pdf=%d\r\n[Settings]\r\nnFolding=1\r\nszFold2=%s\r\nnFiling=0\r\n' \
        "$([[ $grouping == joined ]] && echo 1 || echo 0)" "$work/out" >"$work/$grouping/Korvelin.ini"
done
export KORVELIN_WORK_DIR=$work/work
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=offscreen

big=("$CORPUS"/big/*.jpg)
small=()
[[ $SMALL -gt 0 ]] && small=("$CORPUS"/small/*.jpg)

# --- The cases: name and command. Each writes into a fresh $work/out.
declare -a names cmds
add() { names+=("$1"); cmds+=("$2"); }
add "korvelin big: all into one" 'KORVELIN_CONFIG_DIR=$work/joined "$korvelin" "$CORPUS/big"'
add "cat big into one file" 'cat "${big[@]}" >"$work/out/all.bin"'
[[ $have_img2pdf == 1 ]] && add "img2pdf big: all into one" 'img2pdf "${big[@]}" -o "$work/out/all.pdf"'
add "korvelin big: one per image" 'KORVELIN_CONFIG_DIR=$work/each "$korvelin" "${big[@]}"'
add "cp loop big" 'for f in "${big[@]}"; do cp "$f" "$work/out/"; done'
[[ $have_img2pdf == 1 && $IMG2PDF_EACH == 1 ]] &&
    add "img2pdf big: one process per image" \
        'for f in "${big[@]}"; do img2pdf "$f" -o "$work/out/${f##*/}.pdf"; done'
if [[ $SMALL -gt 0 ]]; then
    add "korvelin small: all into one" 'KORVELIN_CONFIG_DIR=$work/joined "$korvelin" "$CORPUS/small"'
    add "cat small into one file" 'cat "${small[@]}" >"$work/out/all.bin"'
    [[ $have_img2pdf == 1 ]] && add "img2pdf small: all into one" 'img2pdf "${small[@]}" -o "$work/out/all.pdf"'
fi

# One timed run: wall seconds and peak resident kilobytes of the case's processes.
run_case() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    local t0 t1 status=0
    t0=$(date +%s.%N)
    /usr/bin/time -f %M -o "$work/rss" bash -c "$2" _ >/dev/null 2>"$work/err" || status=$?
    t1=$(date +%s.%N)
    # Korvelin's status 3 (some pages refused) would mean a broken corpus: say so.
    [[ $status == 0 ]] || { echo "case \"$1\" ended with status $status:" >&2; head -5 "$work/err" >&2; }
    echo "$(echo "$t1 - $t0" | bc -l) $(tail -1 "$work/rss")"
}
export korvelin CORPUS work
declare -p big small >"$work/lists.sh"  # the cases run in a shell of their own
declare -A times rss
n=${#names[@]}
for ((round = 0; round <= RUNS; round++)); do
    for ((c = 0; c < n; c++)); do
        read -r t m < <(run_case "${names[c]}" "source \"\$work/lists.sh\"; ${cmds[c]}")
        ((round == 0)) && continue  # warm-up: the page cache holds the corpus afterwards
        times[$c]+="$t "
        rss[$c]+="$m "
    done
done

median() { tr ' ' '\n' | grep -v '^$' | sort -g | awk '{a[NR]=$1} END {print (NR%2) ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2}'; }
declare -A med
for ((c = 0; c < n; c++)); do med[$c]=$(echo "${times[$c]}" | median); done
index_of() { local c; for ((c = 0; c < n; c++)); do [[ ${names[c]} == "$1" ]] && echo "$c"; done; }
ratio() {  # case baseline
    local a b
    a=$(index_of "$1"); b=$(index_of "$2")
    [[ -n $a && -n $b ]] && printf '%.2fx %s' "$(echo "${med[$a]} / ${med[$b]}" | bc -l)" "$2"
}

echo
echo "corpus: $BIG big ($(du -sh "$CORPUS/big" | cut -f1)), $SMALL small; $RUNS paired rounds; $korvelin"
printf '| %-36s | %9s | %9s | %s |\n' case "median s" "peak MB" ratio
printf '| %-36s | %9s | %9s | %s |\n' ---- ---: ---: ----
for ((c = 0; c < n; c++)); do
    r=""
    case ${names[c]} in
    "korvelin big: all into one") r="$(ratio "${names[c]}" "cat big into one file"); $(ratio "${names[c]}" "img2pdf big: all into one")" ;;
    "img2pdf big: all into one") r=$(ratio "${names[c]}" "cat big into one file") ;;
    "korvelin big: one per image") r=$(ratio "${names[c]}" "cp loop big") ;;
    "korvelin small: all into one") r="$(ratio "${names[c]}" "img2pdf small: all into one"); $(ratio "${names[c]}" "cat small into one file")" ;;
    esac
    printf '| %-36s | %9.3f | %9.1f | %s |\n' "${names[c]}" "${med[$c]}" \
        "$(echo "${rss[$c]}" | median | awk '{print $1 / 1024}')" "$r"
done

if [[ $STRACE == 1 ]]; then
    echo; echo "strace -c -f: korvelin big, all into one"
    KORVELIN_CONFIG_DIR=$work/joined strace -c -f -o "$work/strace" "$korvelin" "$CORPUS/big" >/dev/null 2>&1 || true
    head -25 "$work/strace"
    echo; echo "strace -c -f: korvelin big, one per image"
    KORVELIN_CONFIG_DIR=$work/each strace -c -f -o "$work/strace" "$korvelin" "${big[@]}" >/dev/null 2>&1 || true
    head -25 "$work/strace"
    if [[ $SMALL -gt 0 ]]; then
        echo; echo "strace -c -f: korvelin small, all into one ($SMALL images)"
        KORVELIN_CONFIG_DIR=$work/joined strace -c -f -o "$work/strace" "$korvelin" "$CORPUS/small" >/dev/null 2>&1 || true
        head -25 "$work/strace"
    fi
fi
