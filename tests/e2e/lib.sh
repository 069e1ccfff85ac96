# shellcheck shell=bash disable=SC2034  # the constants are for the scenarios
# Shared by the end-to-end scenarios. Each scenario gets a copy of a freshly made Wine prefix, an X
# display of its own, a downloaded copy of OrnivaleSetup.exe to run, ovdriver to act as the person,
# screenshots of what the person saw, and readers that look at the prefix afterwards.
#
# A scenario script sources this file, calls e2e_begin NAME, drives the setup and checks; e2e_begin
# arranges the cleanup and the verdict. Flow steps that fail (a window that never comes, a box that
# does not open) end the scenario at once; `check_*` failures are collected and reported together.
#
# Environment (set by ctest, see CMakeLists.txt): OV_E2E_BIN (the built programs), OV_E2E_WORK (the
# scratch folder: template prefix, package listing, one folder per scenario), OV_E2E_SHOTS (where the
# screenshots go). OV_E2E_KEEP=1 keeps a passing scenario's prefix for a look.
set -euo pipefail

: "${OV_E2E_BIN:?the folder of the built programs}"
: "${OV_E2E_WORK:?the scratch folder}"
: "${OV_E2E_SHOTS:?the screenshot folder}"

# ovdriver takes its arguments from the Unix command line, which Wine reads in the locale's
# character set: UTF-8, so "™" arrives as one character.
export LC_ALL=C.UTF-8
export WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

readonly TM=$'\u2122'
readonly CR=$'\r'
readonly INSTALL_DIR='C:\Program Files\Ornivale'
readonly SETUP_EXE='C:\Downloads\OrnivaleSetup.exe'
readonly PRODUCT_CLASS=TVelOVMainMDIFrm
# Every wait of ovdriver has its own limit; this one ends a driver that hangs regardless.
readonly DRIVER_LIMIT=120

e2e_name=
e2e_dir=
e2e_shots=
e2e_display_pid=
e2e_start_ns=
e2e_failures=0
setup_pid=

elapsed() { printf '%6.1fs' "$(( ($(date +%s%N) - e2e_start_ns) / 1000000 ))e-3"; }
say() { printf '%s  %s\n' "$(elapsed)" "$*"; }
die() {
  say "FAILED: $*" >&2
  # What the screen and the wizard showed when it went wrong.
  if [ -n "${DISPLAY:-}" ] && [ -n "$e2e_shots" ]; then
    import -window root "$e2e_shots/failed.png" 2>/dev/null || true
    timeout 20 wine "$OV_E2E_BIN/ovdriver.exe" dump >"$e2e_dir/failed-dump.txt" 2>&1 || true
    say "at the failure: $e2e_shots/failed.png, $e2e_dir/failed-dump.txt" >&2
  fi
  exit 1
}

# The Unix path of a Windows path in the prefix (C: only).
unix_path() {
  local path=${1#[Cc]:}
  printf '%s/drive_c%s' "$WINEPREFIX" "${path//\\//}"
}

# --- the display ------------------------------------------------------------------------------

# Takes the first display from :70 on that no other run holds: a lock per number keeps parallel
# scenarios (and other checkouts) apart, Xvfb's own lock file keeps foreign servers out.
start_display() {
  local n lock
  for n in $(seq 70 99); do
    lock=/tmp/ov-e2e-display-$n.lock
    exec {e2e_display_lock}>"$lock"
    if flock -n "$e2e_display_lock" && [ ! -e "/tmp/.X$n-lock" ]; then
      Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp -noreset >"$e2e_dir/xvfb.log" 2>&1 &
      e2e_display_pid=$!
      local _
      for _ in $(seq 50); do
        if xdpyinfo -display ":$n" >/dev/null 2>&1; then
          export DISPLAY=":$n"
          return 0
        fi
        kill -0 "$e2e_display_pid" 2>/dev/null || break
        sleep 0.1
      done
      kill "$e2e_display_pid" 2>/dev/null || true
      wait "$e2e_display_pid" 2>/dev/null || true
      e2e_display_pid=
    fi
    exec {e2e_display_lock}>&-
  done
  die "no free X display between :70 and :99"
}

# --- begin and end ----------------------------------------------------------------------------

e2e_begin() {
  e2e_name=$1
  e2e_start_ns=$(date +%s%N)
  e2e_dir=$OV_E2E_WORK/$e2e_name
  e2e_shots=$OV_E2E_SHOTS/$e2e_name
  [ -f "$OV_E2E_WORK/template/system.reg" ] || die "no template prefix in $OV_E2E_WORK (ctest runs e2e_prefix first)"
  rm -rf "$e2e_dir" "$e2e_shots"
  mkdir -p "$e2e_dir" "$e2e_shots"
  trap e2e_end EXIT

  # A fresh prefix: a copy of the one e2e_prefix just made, nothing of another scenario in it.
  cp -a "$OV_E2E_WORK/template" "$e2e_dir/prefix"
  # The programs' working folder, too, is the scenario's own.
  cd "$e2e_dir"
  export WINEPREFIX=$e2e_dir/prefix
  start_display
  # As a person would run it: a downloaded file in a folder of its own.
  mkdir -p "$(unix_path 'C:\Downloads')"
  cp "$OV_E2E_BIN/OrnivaleSetup.exe" "$(unix_path "$SETUP_EXE")"
  say "$e2e_name: prefix $WINEPREFIX, display $DISPLAY, screenshots $e2e_shots"
}

e2e_end() {
  local status=$?
  trap - EXIT
  # Only this scenario's own processes: its prefix's programs and the X server started above.
  if [ -n "$e2e_dir" ] && [ "${WINEPREFIX:-}" = "$e2e_dir/prefix" ]; then
    wineserver -k 2>/dev/null || true
    timeout 20 wineserver -w 2>/dev/null || true
  fi
  if [ -n "$e2e_display_pid" ]; then
    kill "$e2e_display_pid" 2>/dev/null || true
    wait "$e2e_display_pid" 2>/dev/null || true
  fi
  if [ "$status" = 0 ] && [ "$e2e_failures" != 0 ]; then status=1; fi
  if [ "$status" = 0 ]; then
    [ "${OV_E2E_KEEP:-0}" = 1 ] || rm -rf "$e2e_dir/prefix"
    say "PASSED $e2e_name"
  else
    say "FAILED $e2e_name ($e2e_failures failed checks; prefix kept: $e2e_dir/prefix)"
  fi
  exit "$status"
}

# --- acting -----------------------------------------------------------------------------------

# Starts the setup as a double-click would; its exit is awaited with wait_setup.
start_setup() {
  wine "$SETUP_EXE" >>"$e2e_dir/setup.log" 2>&1 &
  setup_pid=$!
}

# Waits up to $2 seconds for the background program $1 (a child of this shell) to end and sets
# exit_code to its exit code; fails when it is still running.
exit_code=
wait_exit() {
  local pid=$1 limit=$2 tenths=0
  while kill -0 "$pid" 2>/dev/null; do
    [ "$tenths" -lt $((limit * 10)) ] || return 1
    sleep 0.1
    tenths=$((tenths + 1))
  done
  exit_code=0
  wait "$pid" || exit_code=$?
}

# The setup program ends within 20 seconds; its exit code is in exit_code.
wait_setup() {
  wait_exit "$setup_pid" 20 || die "the setup program did not end"
}

# ovdriver with its commands; prints what it prints, fails the scenario when a command fails.
drive() {
  timeout "$DRIVER_LIMIT" wine "$OV_E2E_BIN/ovdriver.exe" "$@" || die "ovdriver $*"
}

# The whole screen as the person saw it, after the last repaint has had time to happen ($2 seconds,
# 0.4 unless given).
shot() {
  sleep "${2:-0.4}"
  import -window root "$e2e_shots/$1.png" || die "no screenshot $1"
  say "screenshot $1.png"
}

# From the welcome page to the folder page, accepting the licence.
walk_to_folder_page() {
  drive wait-wizard 30000 wait-text "Welcome to the Ornivale Setup Wizard"
  shot 1-welcome
  drive click "&Next >" wait-text "&Yes, I accept the License Agreement above"
  shot 2-licence
  drive click "&Yes, I accept the License Agreement above" click "&Next >" wait-text "Select folder to install"
  shot 3-folder
}

# The refusal when the product is installed or running: the error box with the text $1, then the
# welcome page's red "Installation can not proceed." with only Close left, which ends the setup.
expect_refusal() {
  drive wait-wizard 30000
  local text
  text=$(drive box-text 20000)
  shot 1-refusal-box
  check_eq "the refusal box" "$1" "$text"
  drive box "$1" "OK" wait-text "Installation can not proceed." 10000
  shot 1-refused
  local place
  place=$(drive where "Installation can not proceed.")
  check_true "\"Installation can not proceed.\" is red" has_red_in "$e2e_shots/1-refused.png" "$place"
  local captions buttons
  captions=$(shown_captions)
  buttons=$(shown_buttons)
  check_eq "only Close is left" "&Close" "$buttons"
  check_true "the intro text is hidden" bash -c '! grep -q "^This setup program" <<<"$0"' "$captions"
  drive click "&Close" wait-gone 10000
  wait_setup
  check_eq "the setup's exit code" 0 "$exit_code"
}

# Waits until no program of the prefix runs any more and the registry is on disk.
settle_prefix() {
  timeout 60 wineserver -w || die "the prefix's programs did not end"
}

# --- checking ---------------------------------------------------------------------------------

check_fail() {
  e2e_failures=$((e2e_failures + 1))
  say "CHECK FAILED: $*" >&2
}

check_eq() {
  local what=$1 expected=$2 actual=$3
  if [ "$expected" == "$actual" ]; then
    say "ok: $what"
  else
    check_fail "$what: expected [$expected], got [$actual]"
  fi
}

check_true() {
  local what=$1
  shift
  if "$@"; then say "ok: $what"; else check_fail "$what"; fi
}

# The lines of a driver dump for the shown controls: "class|enabled|caption".
shown_controls() {
  drive dump | awk '$3 == "shown" {
    caption = $0; sub(/^[^"]*"/, "", caption); sub(/"$/, "", caption)
    print $1 "|" $4 "|" caption }'
}

shown_captions() { shown_controls | cut -d'|' -f3-; }

# The captions of the shown push buttons and check boxes (group boxes have the same class, but their
# captions start with blanks and the progress group's is empty).
shown_buttons() {
  shown_controls | awk -F'|' '$1 == "Button" && $3 != "" && $3 !~ /^ / { print $3 }'
}

# Whether the screenshot $1 holds red (RGB about 255,0,0) pixels in the rectangle "left top width
# height" $2, the place of a label.
has_red_in() {
  local image=$1 left top width height
  read -r left top width height <<<"$2"
  convert "$image" -crop "${width}x${height}+${left}+${top}" +repage -format %c histogram:info:- |
    awk '{ if (match($0, /\( *[0-9]+, *[0-9]+, *[0-9]+/)) {
             rgb = substr($0, RSTART + 1, RLENGTH - 1); gsub(/ /, "", rgb); split(rgb, c, ",")
             if (c[1] >= 230 && c[2] <= 40 && c[3] <= 40) red += $1 + 0 } }
         END { exit !(red >= 20) }'
}

# --- the registry, read from the prefix's files (after settle_prefix) -------------------------

# Prints the data of value $2 ("" for the default value) of the HKEY_LOCAL_MACHINE key $1, as
# system.reg holds it: a text unquoted and unescaped, a number as dword:xxxxxxxx. Fails when absent.
reg_value() {
  local key=${1//\\/\\\\}
  WANT_KEY=$key WANT_NAME=$2 awk '
    function unescape(text,    out, i, c) {
      out = ""
      for (i = 1; i <= length(text); i++) {
        c = substr(text, i, 1)
        if (c == "\\" && i < length(text)) { i++; c = substr(text, i, 1) }
        out = out c
      }
      return out
    }
    BEGIN { want = tolower(ENVIRON["WANT_KEY"]); name = tolower(ENVIRON["WANT_NAME"]); found = 0 }
    /^\[/ { header = $0; sub(/^\[/, "", header); sub(/\][^\]]*$/, "", header)
            inside = (tolower(header) == want); next }
    !inside { next }
    {
      if (substr($0, 1, 2) == "@=") { n = ""; data = substr($0, 3) }
      else if (match($0, /^"([^"\\]|\\.)*"=/)) { n = unescape(substr($0, 2, RLENGTH - 3)); data = substr($0, RLENGTH + 1) }
      else next
      if (tolower(n) != name) next
      if (data ~ /^".*"$/) data = unescape(substr(data, 2, length(data) - 2))
      print data; found = 1; exit
    }
    END { exit !found }' "$WINEPREFIX/system.reg"
}

# Whether the HKEY_LOCAL_MACHINE key $1 (or anything below it) exists.
reg_key_exists() {
  local key=${1//\\/\\\\}
  WANT_KEY=$key awk '
    BEGIN { want = tolower(ENVIRON["WANT_KEY"]) }
    /^\[/ { header = $0; sub(/^\[/, "", header); sub(/\][^\]]*$/, "", header); header = tolower(header)
            if (header == want || index(header, want "\\\\") == 1) { found = 1; exit } }
    END { exit !found }' "$WINEPREFIX/system.reg"
}

check_no_key() {
  if reg_key_exists "$2"; then check_fail "$1"; else say "ok: $1"; fi
}

# HKEY_CLASSES_ROOT is HKEY_LOCAL_MACHINE\Software\Classes in the prefix.
hkcr() { printf 'Software\\Classes\\%s' "$1"; }

check_reg() {
  local key=$1 name=$2 expected=$3 actual
  actual=$(reg_value "$key" "$name") || actual="(missing)"
  check_eq "registry $key [${name:-default}]" "$expected" "$actual"
}

# Adds the keys and values of a REGEDIT4 text (from stdin) to the running prefix's registry.
reg_import() {
  local file=$e2e_dir/seed-$RANDOM.reg
  { printf 'REGEDIT4\r\n\r\n'; sed 's/$/\r/'; } >"$file"
  wine reg import "Z:${file//\//\\}" >/dev/null 2>&1 || die "cannot import $file"
}

# The five keys a rollback removes and an uninstall would.
readonly REMOVAL_KEYS=(
  "$(hkcr '{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}')"
  "$(hkcr '.ov5')"
  "$(hkcr 'Applications\ornivale.exe')"
  "$(hkcr 'Applications\rirovor.exe')"
  'Software\Microsoft\Windows\CurrentVersion\Uninstall\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}'
)
readonly UNINSTALL_KEY=${REMOVAL_KEYS[4]}
readonly SETTINGS_KEY='Software\Velmorra\Ornivale'

# --- the package the setup carries ------------------------------------------------------------

# "folder|name|size|date" for each catalogue entry of the embedded package, in catalogue order.
package_entries() {
  awk -F'  ' 'NF == 5 && $1 ~ /^\\/ { print $1 "|" $2 "|" $4 "|" $5 }' "$OV_E2E_WORK/package.list"
}

# The Windows path an entry is installed at.
entry_path() {
  local folder=$1 name=$2
  if [ "$folder" = '\' ]; then printf '%s\\%s' "$INSTALL_DIR" "$name"; else printf '%s%s\\%s' "$INSTALL_DIR" "$folder" "$name"; fi
}

# --- shortcuts --------------------------------------------------------------------------------

# The value of field $2 ("Local path", "Working directory", ...) that lnkinfo shows for link $1.
lnk_field() {
  lnkinfo "$1" | sed -n "s/^[[:space:]]*$2[[:space:]]*: \{0,1\}//p" | tail -n 1 | sed 's/[[:space:]]*$//'
}
