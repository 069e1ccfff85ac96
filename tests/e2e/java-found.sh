#!/usr/bin/env bash
# A Java Development Kit and a wireless toolkit that their own installers registered, with their
# files: the finish page has no note group, and the product's settings name both. The person clears
# "Run Ornivale™ now!", so Finish ends the setup without starting the product.
# shellcheck source=SCRIPTDIR/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin java-found

jdk='C:\Java\jdk1.6.0'
wtk='C:\WTK2.5.2'
for file in "$jdk\\bin\\javac.exe" "$wtk\\bin\\preverify.exe" "$wtk\\lib\\cldcapi10.jar" "$wtk\\lib\\midpapi20.jar" \
  "$wtk\\wtklib\\devices\\DefaultColorPhone\\DefaultColorPhone.properties"; do
  mkdir -p "$(dirname "$(unix_path "$file")")"
  printf 'stand-in\r\n' >"$(unix_path "$file")"
done
reg_import <<EOF_REG
[HKEY_LOCAL_MACHINE\\SOFTWARE\\JavaSoft\\Java Development Kit\\1.6.0]
"JavaHome"="${jdk//\\/\\\\}"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Sun Microsystems, Inc.\\Sun Java Wireless Toolkit\\2.5.2]
"InstallDir"="${wtk//\\/\\\\}"
EOF_REG

start_setup
walk_to_folder_page
drive click "&Install" wait-text "Setup has finished installing Ornivale on your computer" 120000
shot 5-finish
note=$(shown_captions | grep -F -e "  NOTE  " -e "Please note that Ornivale requires" -e "- Java " || true)
check_eq "no part of the note group shows" "" "$note"
check_eq "\"Run Ornivale$TM now!\" starts checked" 1 "$(drive checked "Run Ornivale$TM now!")"
drive click "Run Ornivale$TM now!" sleep 300
check_eq "one click clears it" 0 "$(drive checked "Run Ornivale$TM now!")"
shot 5-finish-unchecked
drive click "&Finish" wait-gone 10000
wait_setup
check_eq "the setup's exit code" 0 "$exit_code"
drive no-dialog 2000
check_eq "the product was not started" 0 "$(drive count "$PRODUCT_CLASS")"
settle_prefix

check_reg "$SETTINGS_KEY\\System" JavaHome "$jdk"
check_reg "$SETTINGS_KEY\\System" JavaVersion 1.6.0
check_reg "$SETTINGS_KEY\\System" RootWTK "$wtk"
check_reg "$SETTINGS_KEY\\System" WTKVersion 2.5.2
