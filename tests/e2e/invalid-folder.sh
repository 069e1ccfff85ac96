#!/usr/bin/env bash
# Folders the check refuses: a relative one, one on a drive the prefix maps as a CD-ROM, and one on
# a drive that does not exist. Each gives the three-line box and the folder page stays, with the
# typed folder; nothing is created.
# shellcheck source=SCRIPTDIR/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin invalid-folder

# D: is a CD-ROM drive: a folder linked as the drive, its type in Wine's drive table. The drive
# table is read when the prefix's server starts.
mkdir -p "$e2e_dir/cdrom"
ln -s "$e2e_dir/cdrom" "$WINEPREFIX/dosdevices/d:"
reg_import <<'EOF_REG'
[HKEY_LOCAL_MACHINE\Software\Wine\Drives]
"d:"="cdrom"
EOF_REG
wineserver -k 2>/dev/null || true
timeout 20 wineserver -w || true

start_setup
walk_to_folder_page
cases=(
  "relative|Ornivale|\"Ornivale\" is invalid path."
  "cd-rom|D:\\Ornivale|The drive is a CD-ROM drive."
  "no-drive|Q:\\Ornivale|The root directory does not exist."
)
for case in "${cases[@]}"; do
  IFS='|' read -r label folder reason <<<"$case"
  drive type "$folder" click "&Install"
  text=$(drive box-text 20000)
  shot "3-folder-$label"
  check_eq "$label: the box" \
    "Install folder \"$folder$CR\" has no valid drive or it is not valid path$CR$reason" "$text"
  drive box "~Install folder" "OK" wait-text "Select folder to install" 10000
  controls=$(shown_controls)
  check_true "$label: the folder page stays, Install offered" grep -q -F -x "Button|enabled|&Install" <<<"$controls"
  check_true "$label: the typed folder stays" grep -q -F -x "Edit|enabled|$folder" <<<"$controls"
done
check_eq "nothing was created on the CD-ROM" "" "$(ls -A "$e2e_dir/cdrom")"
# The setup runs in the scenario's folder, where a relative folder would land.
check_eq "no folder was created" "" "$(find "$e2e_dir" "$WINEPREFIX/drive_c" -iname ornivale)"

drive click "E&xit" box "Are you sure you want to abort the installation?" "&Yes" wait-gone 10000
wait_setup
check_eq "the setup's exit code" 0 "$exit_code"
