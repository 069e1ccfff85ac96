#!/usr/bin/env bash
# A cancel while the files are copied, confirmed: the job stops, the rollback removes what was
# copied and the five removal keys, and the finish page says "User cancelled installation.".
# The four file-type keys are seeded beforehand (as an earlier install would have left them), so
# their removal by the rollback can be seen; the uninstall key cannot be, or the setup would refuse.
# shellcheck source=SCRIPTDIR/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin cancel-during-copy

reg_import <<'EOF'
[HKEY_CLASSES_ROOT\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}\InprocServer32]
@="C:\\Old\\ornivale.dll"

[HKEY_CLASSES_ROOT\.ov5\Shell\Open\Command]
@="\"C:\\Old\\ornivale.exe\" \"%1\""

[HKEY_CLASSES_ROOT\Applications\ornivale.exe\shell\open\command]
@="\"C:\\Old\\ornivale.exe\" \"%1\""

[HKEY_CLASSES_ROOT\Applications\rirovor.exe\shell\open\command]
@="\"C:\\Old\\rirovor.exe\" \"%1\""
EOF

start_setup
walk_to_folder_page
# In one driver run, so the Exit click follows the first sight of the copying phase at once.
drive click "&Install" wait-text "~Copying files..." 30000 click "E&xit"
drive box-text 10000 >"$e2e_dir/question.txt"
shot 4-progress-cancel-question
# The job is paused while the question is open: what the page shows is where it stopped.
progress=$(shown_controls)
check_eq "the question" "Are you sure you want to abort the installation?" "$(cat "$e2e_dir/question.txt")"
check_true "the question came while the files were copied" grep -q -F "|  Copying files... " <<<"$progress"
last_file=$(awk -F'|' '$1 == "Static" && $3 ~ /^[A-Za-z]:\\/ { print $3 }' <<<"$progress" | head -n 1)
check_true "the progress page names a copied file ($last_file)" test -n "$last_file"

drive box "Are you sure you want to abort the installation?" "&Yes"
drive box-text 10000 >"$e2e_dir/cancelled.txt"
shot 4-progress-cancelled
check_eq "the cancel notice" "Ornivale$TM installation is cancelled.${CR}Setup Program will perform cleanup of copied files." \
  "$(cat "$e2e_dir/cancelled.txt")"
drive box "~installation is cancelled." "OK" wait-text "User cancelled installation." 60000
shot 5-finish-cancelled
check_eq "after the rollback only Finish is offered" "&Finish" "$(shown_buttons)"
drive click "&Finish" wait-gone 10000
wait_setup
check_eq "the setup's exit code" 0 "$exit_code"
check_eq "the product was not started" 0 "$(drive count "$PRODUCT_CLASS")"
settle_prefix

install_unix=$(unix_path "$INSTALL_DIR")
if [ -n "$last_file" ]; then
  check_true "the file copied last before the cancel is gone" test ! -e "$(unix_path "$last_file")"
fi
left=$(if [ -d "$install_unix" ]; then find "$install_unix" -type f; fi)
check_eq "no copied file is left" "" "$left"
while IFS='|' read -r folder name _; do
  [ "$folder" = '\' ] || continue
  check_true "$name is not in the install folder" test ! -e "$(unix_path "$(entry_path "$folder" "$name")")"
done < <(package_entries)
for key in "${REMOVAL_KEYS[@]}"; do
  check_no_key "the rollback left no key $key" "$key"
done
check_true "no install log (the cancel came before registration)" test ! -e "$(unix_path 'C:\windows\OVinstall.log')"
check_eq "no shortcuts" "" "$(find "$WINEPREFIX/drive_c" -iname 'Ornivale.lnk')"
