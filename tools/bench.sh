#!/usr/bin/env bash
# The install against the plain copy, natively on this machine's disk (README, "Performance"):
#   tools/bench.sh [--rounds N] [PACKAGE]
# A is one process run of bench/install_run: the install job on the emulated machine with the
# package as the program's resource. B is bench/baseline.sh: cp of the package file, tar -x of the
# same tree, one touch run per distinct date; T is B with tar dating the files itself, the
# cheapest honest copy (no touch processes). A, B and T run in turn, each once per round (a first
# round warms the caches and is not counted); each run starts after a sync with its output removed.
# Then, under Wine and Xvfb, the real wizard carrying the same package (a Release build for
# Windows in build/bench-win32): from the click on Install to the finish page, with a probe
# that sends the wizard a message every 50 ms and reports the longest wait for its answer.
# PACKAGE defaults to the demo package, built by the target ov_default_package.
set -euo pipefail
export LC_ALL=C
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

rounds=9
wineRounds=3
package=
while [ $# -gt 0 ]; do
  case $1 in
    --rounds) rounds=$2; shift 2 ;;
    -*) echo "usage: tools/bench.sh [--rounds N] [PACKAGE]" >&2; exit 2 ;;
    *) package=$(realpath "$1"); shift ;;
  esac
done
if [ "$rounds" -lt 5 ]; then
  echo "bench: at least 5 rounds" >&2
  exit 2
fi

build=build/bench
work=$root/$build/work
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=(install_run ov_micro_bench)
if [ -z "$package" ]; then
  targets+=(ov_default_package)
  package=$root/$build/package/ornivale.pck
fi
cmake --build "$build" --target "${targets[@]}" -j "${OV_JOBS:-2}" >/dev/null

rm -rf "$work"
mkdir -p "$work"
fstype=$(stat -f -c %T "$work")
case $fstype in
  tmpfs|ramfs) echo "bench: $work is on $fstype; the comparison needs a real disk" >&2; exit 1 ;;
esac

# --- the same tree as a tar, and its files grouped by date (once, not timed) ---
catalogueOffset=$(head -c 98 "$package" | sed -n 2p | tr -d '\r\n ')
packageSize=$(stat -c %s "$package")
tail -c +$((catalogueOffset + 1)) "$package" | head -c $((packageSize - catalogueOffset - 2)) | tr -d '\r' |
  awk -F'|' 'NF > 1 {
    n = split($1, f, ",")
    if (n != 5) next
    for (i = 1; i <= 5; i++) gsub(/^[ \t]+|[ \t]+$/, "", f[i])
    folder = f[1]; gsub(/\\/, "/", folder); sub(/^\/+/, "", folder)
    printf "%s\t%s\t%s\t%s\n", (folder == "" ? "" : folder "/") f[2], f[3], f[4], f[5]
  }' >"$work/members.tsv"

# Seconds since 1970 of a local MS-DOS date and time, the local time read as UTC as the emulated
# machine stores it; empty for 0 or an invalid date.
dos_epoch() {
  local v=$1 d t y m day hh mm ss yy era yoe doy doe
  epoch=
  d=$((v >> 16)) t=$((v & 0xFFFF))
  y=$((1980 + (d >> 9))) m=$(((d >> 5) & 15)) day=$((d & 31))
  hh=$((t >> 11)) mm=$(((t >> 5) & 63)) ss=$(((t & 31) * 2))
  if [ "$v" -le 0 ] || [ $m -lt 1 ] || [ $m -gt 12 ] || [ $day -lt 1 ] || [ $hh -gt 23 ] || [ $mm -gt 59 ] ||
    [ $ss -gt 59 ]; then
    return
  fi
  yy=$((m <= 2 ? y - 1 : y)) era=$((yy / 400)) yoe=$((yy - era * 400))
  doy=$(((153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + day - 1))
  doe=$((yoe * 365 + yoe / 4 - yoe / 100 + doy))
  epoch=$(((era * 146097 + doe - 719468) * 86400 + hh * 3600 + mm * 60 + ss))
}

mkdir -p "$work/tree" "$work/dates"
members=0 largest=0 largestName=
while IFS=$'\t' read -r path offset size date; do
  mkdir -p "$work/tree/$(dirname "$path")"
  dd if="$package" of="$work/tree/$path" bs=1M iflag=skip_bytes,count_bytes skip="$offset" count="$size" \
    status=none
  dos_epoch "$date"
  [ -z "$epoch" ] || printf '%s\0' "./$path" >>"$work/dates/$epoch"
  members=$((members + 1))
  if [ "$size" -gt "$largest" ]; then largest=$size largestName=$path; fi
done <"$work/members.tsv"
# Dated in the tree too, for T's tar to restore.
(cd "$work/tree" && for list in "$work/dates"/*; do xargs -0 -a "$list" touch -m -d "@${list##*/}" --; done)
tar -c -f "$work/tree.tar" -C "$work/tree" .
dateGroups=$(find "$work/dates" -type f | wc -l)
rm -rf "$work/tree"

# --- the rounds ---
# Microseconds of one run of the command; its peak resident KiB and CPU seconds (user, system)
# go into the file $1, its output into $work/run.log.
timed() {
  local usage=$1 start end
  shift
  start=${EPOCHREALTIME/./}
  if ! /usr/bin/time -f '%M %U %S' -o "$usage" "$@" >"$work/run.log" 2>&1; then
    echo "bench: failed: $*" >&2
    cat "$work/run.log" >&2
    exit 1
  fi
  end=${EPOCHREALTIME/./}
  echo $((end - start))
}
# "KiB CPU-ms" from a usage file.
usage() { tail -1 "$1" | awk '{ printf "%d %d\n", $1, ($2 + $3) * 1000 }'; }
# The run's output of the time before goes, and nothing waits to be written back.
fresh() {
  rm -rf "$work/$1"
  sync
}
runA() { timed "$work/usage-a" "$build/bin/install_run" "$package" "$work/a"; }
runB() { timed "$work/usage-b" bench/baseline.sh "$package" "$work/tree.tar" "$work/dates" "$work/b"; }
runT() { timed "$work/usage-t" bench/baseline.sh "$package" "$work/tree.tar" --tar-dates "$work/t"; }

echo "package: $package ($packageSize bytes, $members files, largest member $largest bytes: $largestName)"
echo "disk: $work ($fstype on $(df --output=source "$work" | tail -1))"
echo "baseline dating: $dateGroups touch runs, one per distinct date, each file dated once"
echo "load average at the start: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) CPUs"
fresh a; runA >/dev/null
fresh b; runB >/dev/null
fresh t; runT >/dev/null
printf '%-5s %8s %8s %8s %7s %7s %9s %9s %11s\n' round "A ms" "B ms" "T ms" "A/B" "A/T" "A cpu ms" "T cpu ms" \
  "A peak KiB"
: >"$work/rounds"
: >"$work/phases"
for i in $(seq 1 "$rounds"); do
  fresh a; a=$(runA); read -r rssA cpuA < <(usage "$work/usage-a")
  grep '^phases:' "$work/run.log" >>"$work/phases"
  fresh b; b=$(runB)
  fresh t; t=$(runT); read -r _ cpuT < <(usage "$work/usage-t")
  echo "$a $b $rssA $t $cpuA $cpuT" >>"$work/rounds"
  awk -v i="$i" -v a="$a" -v b="$b" -v t="$t" -v ca="$cpuA" -v ct="$cpuT" -v ra="$rssA" 'BEGIN {
    printf "%-5d %8.1f %8.1f %8.1f %7.3f %7.3f %9d %9d %11d\n", i, a / 1000, b / 1000, t / 1000, a / b, a / t, ca, ct, ra
  }'
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
medA=$(awk '{ print $1 / 1000 }' "$work/rounds" | median)
medB=$(awk '{ print $2 / 1000 }' "$work/rounds" | median)
medT=$(awk '{ print $4 / 1000 }' "$work/rounds" | median)
ratio=$(awk '{ print $1 / $2 }' "$work/rounds" | median)
ratioT=$(awk '{ print $1 / $4 }' "$work/rounds" | median)
cpuRatio=$(awk '{ print $5 / $6 }' "$work/rounds" | median)
peakA=$(awk '{ print $3 }' "$work/rounds" | sort -n | tail -1)
limit=$(((2 * largest + 16 * 1024 * 1024) / 1024))
awk -v a="$medA" -v b="$medB" -v t="$medT" -v r="$ratio" -v rt="$ratioT" -v rc="$cpuRatio" -v p="$peakA" \
  -v l="$limit" -v big="$largest" 'BEGIN {
  printf "median A %.1f ms, median B %.1f ms, median T %.1f ms\n", a, b, t
  printf "median of the pairwise A/B %.3f (target <= 1.3: %s); of A/T %.3f; of the CPU times A/T %.3f\n",
    r, (r <= 1.3 ? "met" : "missed"), rt, rc
  printf "A peak resident %d KiB (largest of the rounds), largest member %d bytes (target <= 2 x largest + 16 MiB = %d KiB: %s)\n",
    p, big, l, (p <= l ? "met" : "missed")
}'
# The phases of A, each its median over the rounds.
for phase in copy extraction samples "registration and log"; do
  printf '%s %s ms\n' "$phase" "$(sed -n "s/.*$phase \([0-9.]*\) ms.*/\1/p" "$work/phases" | median)"
done | paste -sd, | sed 's/,/, /g; s/^/A phases (medians): /'

# --- the same work: the last round's trees agree on every member's bytes and date ---
differ=0
while IFS=$'\t' read -r path offset size date; do
  case $path in Projects/*.ov5 | Projects/*.OV5) continue ;; esac  # rewritten by the relocation
  fa=$work/a/drive_c/Ornivale/$path
  # The registration moves the uninstaller into the Windows folder.
  [ "$path" != OVUninstall.exe ] || fa=$work/a/drive_c/windows/OVUninstall.exe
  for fb in "$work/b/Ornivale/$path" "$work/t/Ornivale/$path"; do
    if ! cmp -s "$fa" "$fb" || [ "$(stat -c %Y "$fa")" != "$(stat -c %Y "$fb")" ]; then
      echo "differs: $fb" >&2
      differ=$((differ + 1))
    fi
  done
done <"$work/members.tsv"
echo "A, B and T agree on the bytes and date of every member but the relocated samples: $([ $differ = 0 ] && echo yes || echo "no, $differ differ")"

# --- how A writes (one more run through a counting file system, not timed) ---
rm -rf "$work/a" "$work/b" "$work/t"
fresh check
"$build/bin/install_run" "$package" "$work/check" --check
rm -rf "$work/check"

# --- the hot paths ---
"$build/bin/ov_micro_bench" --package="$package" --benchmark_min_time=0.2

# --- under Wine: the real wizard, from Install to the finish page ---
wbuild=build/bench-win32
# The toolchain is named only when the build folder is made; CMake keeps it.
toolchain=()
[ -f "$wbuild/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake)
cmake -S . -B "$wbuild" -G Ninja "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release -DORNIVALE_PACKAGE="$package" >/dev/null
cmake --build "$wbuild" --target OrnivaleSetup ovdriver ov_install_probe -j "${OV_JOBS:-2}" >/dev/null
wbin=$root/$wbuild/bin

export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
export WINEPREFIX=$work/wine-template
wineboot -i >/dev/null 2>&1 || true
wineserver -w

# An X display of its own: the first free one from :100 on, held by a lock while it runs.
xvfb=
for n in $(seq 100 129); do
  exec {displayLock}>"/tmp/ov-bench-display-$n.lock"
  if flock -n "$displayLock" && [ ! -e "/tmp/.X$n-lock" ]; then
    Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
    xvfb=$!
    export DISPLAY=:$n
    break
  fi
  exec {displayLock}>&-
done
[ -n "$xvfb" ] || { echo "bench: no free X display between :100 and :129" >&2; exit 1; }
stop_wine() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap stop_wine EXIT
for tries in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

echo "under Wine ($DISPLAY): $wineRounds installs of the wizard, each in a fresh prefix"
: >"$work/wine-rounds"
for i in $(seq 1 "$wineRounds"); do
  export WINEPREFIX=$work/wine-$i
  rm -rf "$WINEPREFIX"
  cp -a "$work/wine-template" "$WINEPREFIX"
  wine "$wbin/OrnivaleSetup.exe" >"$work/setup-$i.log" 2>&1 &
  setup=$!
  timeout 120 wine "$wbin/ovdriver.exe" wait-wizard 60000 wait-text "Welcome to the Ornivale Setup Wizard" \
    click "&Next >" wait-text "&Yes, I accept the License Agreement above" \
    click "&Yes, I accept the License Agreement above" click "&Next >" wait-text "Select folder to install" ||
    { echo "bench: the wizard did not reach its folder page" >&2; exit 1; }
  timeout 660 wine "$wbin/ov_install_probe.exe" 600000 | tee "$work/probe-$i.txt" | tail -1
  wineserver -k
  wait "$setup" 2>/dev/null || true
  sed -n 's/^install to finish \([0-9]*\) ms.*longest wait \([0-9.]*\) ms.*/\1 \2/p' "$work/probe-$i.txt" >>"$work/wine-rounds"
  rm -rf "$WINEPREFIX"
done
[ "$(wc -l <"$work/wine-rounds")" = "$wineRounds" ] || { echo "bench: an install under Wine did not finish" >&2; exit 1; }
medWine=$(awk '{ print $1 }' "$work/wine-rounds" | median)
longestWait=$(awk '{ print $2 }' "$work/wine-rounds" | sort -g | tail -1)
awk -v w="$medWine" -v l="$longestWait" -v a="$medA" 'BEGIN {
  printf "Wine: median Install to finish page %.0f ms (native A, whole run: %.1f ms); longest wait of the UI thread %.1f ms (target <= 100: %s)\n",
    w, a, l, (l <= 100 ? "met" : "missed")
}'
