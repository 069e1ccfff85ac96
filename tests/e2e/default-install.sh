#!/usr/bin/env bash
# The default install, as a person makes it: Next, accept the licence, Next, Install, then Finish
# with "Run Ornivale™ now!" left checked, and the product's window appears. Afterwards the prefix
# holds the package's files with their dates and nothing else, the registry values, the install
# log, the two shortcuts, and sample bundles that point at the installed sample content.
# shellcheck source=SCRIPTDIR/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin default-install

start_setup
walk_to_folder_page
edit=$(shown_controls | awk -F'|' '$1 == "Edit" { print $3 }')
check_eq "the folder page proposes" "$INSTALL_DIR" "$edit"
check_eq "the window's caption" "window \"Ornivale$TM - Setup\"" "$(drive dump | head -n 1)"
check_eq "the task bar shows" '"Ornivale Installer"' "$(drive taskbar)"

# The install runs on without a pause: the progress page is taken the moment it shows the copying,
# and kept when the page was still there after the picture.
copying="~Copying files..."
if timeout 60 wine "$OV_E2E_BIN/ovdriver.exe" click "&Install" wait-text "$copying" 30000 >/dev/null 2>&1; then
  shot 4-progress 0
  timeout 20 wine "$OV_E2E_BIN/ovdriver.exe" wait-text "Please wait until Setup is installing Ornivale$TM on your computer" 0 \
    >/dev/null 2>&1 ||
    { rm -f "$e2e_shots/4-progress.png"; say "the progress page was gone before its screenshot"; }
else
  say "the copying was not seen"
fi
drive wait-text "Setup has finished installing Ornivale on your computer" 120000
shot 5-finish
buttons=$(shown_buttons | sort)
check_eq "the finish page's buttons" "$(printf '%s\n' "&Finish" "Run Ornivale$TM now!" | sort)" "$buttons"
note=$(shown_captions | grep -F -x -e "  NOTE  " -e "- Java Development Kit (JDK) ver. 1.5 (or higher)" \
  -e "- Java Wireless Toolkit (WTK) ver. 2.5.2 (or higher)" \
  -e "Please note that Ornivale requires following Sun Java$TM software to be installed on your computer" | wc -l)
check_eq "the note group shows its text and both download links" 4 "$note"
check_eq "\"Run Ornivale$TM now!\" is checked" 1 "$(drive checked "Run Ornivale$TM now!")"

drive click "&Finish" wait-gone 10000 wait-window "$PRODUCT_CLASS" 30000
wait_setup
check_eq "the setup's exit code" 0 "$exit_code"
shot 6-product
check_true "the product's window greets" grep -q "^Ornivale 1.0.7.25" <<<"$(drive window-text "$PRODUCT_CLASS")"
drive close-window "$PRODUCT_CLASS"
settle_prefix

# --- the installed files ----------------------------------------------------------------------
install_unix=$(unix_path "$INSTALL_DIR")
mapfile -t entries < <(package_entries)
[ ${#entries[@]} -gt 0 ] || die "the package listing has no entries"
expected_files=()
bad=()
for entry in "${entries[@]}"; do
  IFS='|' read -r folder name size date <<<"$entry"
  path=$(entry_path "$folder" "$name")
  if [ "$folder" = '\' ] && [ "${name,,}" = ovuninstall.exe ]; then
    # Moved to the Windows folder, where the uninstall entry names it.
    [ ! -e "$(unix_path "$path")" ] || bad+=("$path: still in the install folder")
    path='C:\windows\OVUninstall.exe'
  else
    expected_files+=("$(unix_path "$path")")
  fi
  file=$(unix_path "$path")
  if [ ! -f "$file" ]; then
    bad+=("$path: missing")
  elif [ "${folder,,}" = '\projects' ] && [[ "${name,,}" == *.ov5 ]]; then
    : # a sample bundle, stored again by the relocation: checked below
  else
    actual_size=$(stat -c %s "$file")
    actual_date=$(date -d "@$(stat -c %Y "$file")" '+%Y-%m-%d %H:%M:%S')
    [ "$actual_size" = "$size" ] || bad+=("$path: $actual_size bytes, the package has $size")
    [ "$actual_date" = "$date" ] || bad+=("$path: dated $actual_date, the package says $date")
  fi
done
check_eq "all ${#entries[@]} package files in place with their sizes and dates" "" "$(printf '%s\n' "${bad[@]:0:5}")"
check_eq "the install folder holds the package's files and nothing else" \
  "$(printf '%s\n' "${expected_files[@]}" | sort)" "$(find "$install_unix" -type f | sort)"
beside=$(find "$(dirname "$install_unix")" -mindepth 1 -maxdepth 1 -iname 'ornivale?*')
check_eq "no working folders beside the install folder" "" "$beside"
check_eq "the downloaded setup's folder holds only the setup" "OrnivaleSetup.exe" \
  "$(ls "$(unix_path 'C:\Downloads')")"
check_eq "the temporary package copy is gone" "" "$(find "$WINEPREFIX/drive_c" -iname ovpack.pck)"

# --- the install log --------------------------------------------------------------------------
# Folders are recorded as extraction creates them: the install folder, then each entry folder that
# did not exist yet (parents made on the way are not recorded).
mapfile -t folders < <(printf '%s\n' "${entries[@]}" | INSTALL="$INSTALL_DIR" awk -F'|' '
  BEGIN { print ENVIRON["INSTALL"] }
  $1 != "\\" && !(tolower($1) in made) {
    print ENVIRON["INSTALL"] $1
    path = tolower($1)
    while (path != "") { made[path] = 1; sub(/\\[^\\]*$/, "", path) }
  }')
expected_log=$({
  printf '[Document]\r\nFolders=%d\r\nFiles=%d\r\n' $((${#folders[@]} - 1)) $((${#entries[@]} - 1))
  printf '[Folders]\r\n'
  for i in "${!folders[@]}"; do printf 'Id_%d=%s\r\n' "$i" "${folders[$i]}"; done
  printf '[Files]\r\n'
  for i in "${!entries[@]}"; do
    IFS='|' read -r folder name _ <<<"${entries[$i]}"
    printf 'Id_%d=%s\r\n' "$i" "$(entry_path "$folder" "$name")"
  done
} | od -An -c)
log=$(unix_path 'C:\windows\OVinstall.log')
check_eq "OVinstall.log lists the folders and files (CR LF lines)" "$expected_log" "$(od -An -c "$log" 2>&1)"

# --- the registry -----------------------------------------------------------------------------
package_bytes=$(stat -c %s "$OV_E2E_PACKAGE")
today=$(date +%Y%m%d)
command="\"$INSTALL_DIR\\ornivale.exe\" \"%1\""
while IFS='|' read -r key name data; do
  check_reg "$key" "$name" "$data"
done <<EOF
$SETTINGS_KEY\\Help|HWND|dword:00000000
$SETTINGS_KEY\\Help|ARG|
$SETTINGS_KEY\\System|OpenProject|$INSTALL_DIR\\Projects
$SETTINGS_KEY\\System|OpenDoc|
$SETTINGS_KEY\\System|OpenImg|
$SETTINGS_KEY\\System|OpenDocIdx|dword:00000000
$SETTINGS_KEY\\System|OpenImgIdx|dword:00000000
$SETTINGS_KEY\\System|DefColorSchema|
$SETTINGS_KEY\\System|DefStringsSchema|
$SETTINGS_KEY\\System|DefIconSchema|
$(hkcr .ov5)||Ornivale Project Desc.
$(hkcr '.ov5\DefaultIcon')||$INSTALL_DIR\\ornivale.exe,0
$(hkcr '.ov5\Shell\Open')||&Open
$(hkcr '.ov5\Shell\Open\Command')||$command
$(hkcr 'Applications\ornivale.exe')||Ornivale Executable
$(hkcr 'Applications\ornivale.exe\DefaultIcon')||$INSTALL_DIR\\ornivale.exe,0
$(hkcr 'Applications\ornivale.exe\shell')||open
$(hkcr 'Applications\ornivale.exe\shell\open')||&Open Ornivale
$(hkcr 'Applications\ornivale.exe\shell\open\command')||$command
$(hkcr 'Applications\ornivale.exe\SupportedTypes')|.ov5|Ornivale Project
$UNINSTALL_KEY|DisplayName|Ornivale
$UNINSTALL_KEY|DisplayVersion|1.0.7.25
$UNINSTALL_KEY|UnInstallString|C:\\windows\\OVUninstall.exe
$UNINSTALL_KEY|Publisher|Velmorra srl
$UNINSTALL_KEY|InstallLocation|$INSTALL_DIR
$UNINSTALL_KEY|InstallDate|$today
$UNINSTALL_KEY|InstallSource|
$UNINSTALL_KEY|EstimatedSize|$(printf 'dword:%08x' $(((package_bytes + 1023) / 1024)))
$UNINSTALL_KEY|NoModify|dword:00000001
$UNINSTALL_KEY|NoRepair|dword:00000001
EOF
check_true "the settings key has its Dialogs subkey" reg_key_exists "$SETTINGS_KEY\\Dialogs"
friendly=$(reg_value "$(hkcr 'Applications\ornivale.exe')" FriendlyAppName || true)
check_true "FriendlyAppName names the product ($friendly)" test "${friendly#Ornivale - }" != "$friendly"
for name in URLInfoAbout HelpLink URLUpdateInfo; do
  url=$(reg_value "$UNINSTALL_KEY" "$name" || true)
  check_true "$name is the product's page ($url)" test "${url%/ornivale.htm}" != "$url"
done
for name in JavaHome JavaVersion RootWTK WTKVersion; do
  check_eq "no $name without Java tools" "(missing)" "$(reg_value "$SETTINGS_KEY\\System" "$name" || echo "(missing)")"
done

# --- the shortcuts ----------------------------------------------------------------------------
links=('C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Ornivale\Ornivale.lnk'
  'C:\users\Public\Desktop\Ornivale.lnk')
check_eq "exactly the program-menu and desktop shortcuts (no Quick Launch folders here)" \
  "$(for link in "${links[@]}"; do unix_path "$link"; echo; done | sort)" \
  "$(find "$WINEPREFIX/drive_c" -iname '*.lnk' -ipath '*ornivale*' | sort)"
for link in "${links[@]}"; do
  file=$(unix_path "$link")
  [ -f "$file" ] || continue
  # The target is written as the folder, a forward slash and Ornivale.exe; Wine keeps the local
  # path normalised and the forward slash in the last item's name.
  check_eq "$link: target" "$INSTALL_DIR\\Ornivale.exe" "$(lnk_field "$file" "Local path")"
  check_eq "$link: target's last item" "/Ornivale.exe" "$(lnk_field "$file" "Name")"
  check_eq "$link: working folder" "$INSTALL_DIR\\" "$(lnk_field "$file" "Working directory")"
  check_eq "$link: arguments" "" "$(lnk_field "$file" "Command line arguments")"
done

# --- the relocated samples, as the product shows them ------------------------------------------
mapfile -t bundles < <(printf '%s\n' "${entries[@]}" | awk -F'|' 'tolower($1) == "\\projects" && tolower($2) ~ /\.ov5$/ { print $2 }')
if [ ${#bundles[@]} = 0 ]; then
  say "the package has no sample bundles in \\Projects: nothing was relocated"
fi
content="$INSTALL_DIR\\SampleContent\\"
total_relocated=0
declare -A shipped
for entry in "${entries[@]}"; do
  IFS='|' read -r folder name size date <<<"$entry"
  [ "${folder,,}" != '\projects' ] || shipped[$name]="$size|$date"
done
for bundle in "${bundles[@]}"; do
  path="$INSTALL_DIR\\Projects\\$bundle"
  wine "$INSTALL_DIR\\ornivale.exe" "$path" >>"$e2e_dir/product.log" 2>&1 &
  product=$!
  listing=$(drive window-text "$PRODUCT_CLASS" 30000 | tr -d '\r')
  [ "$bundle" != "${bundles[0]}" ] || shot 7-sample
  drive close-window "$PRODUCT_CLASS"
  wait_exit "$product" 20 || die "the product did not close"
  check_true "$bundle: the product reads it" grep -q "^Project: " <<<"$listing"
  # Every source taken from a local file now lies in the installed sample content. Items pasted
  # from the clipboard keep their text in the bundle: the product shows them in its working folder.
  sources=$(sed -n 's/^  .*  <-  \([A-Za-z]:\\.*\)$/\1/p' <<<"$listing")
  outside=$(while IFS= read -r source; do
    case "$source" in
      '' | [Cc]:\\users\\*\\Temp\\OrnivaleView*) ;;
      "$content"*) [ -f "$(unix_path "$source")" ] || echo "$source (missing)" ;;
      *) echo "$source" ;;
    esac
  done <<<"$sources")
  relocated=$(grep -c -F "$content" <<<"$sources" || true)
  total_relocated=$((total_relocated + relocated))
  check_eq "$bundle: no local source is left outside the installed sample content" "" "$outside"
  # A sample with sources from files is stored again; one without keeps its shipped bytes and date.
  file=$(unix_path "$path")
  as_shipped=no
  [ "$(stat -c %s "$file")|$(date -d "@$(stat -c %Y "$file")" '+%Y-%m-%d %H:%M:%S')" != "${shipped[$bundle]}" ] ||
    as_shipped=yes
  if [ "$relocated" -gt 0 ]; then
    check_eq "$bundle: $relocated sources relocated, the bundle stored again" no "$as_shipped"
  else
    check_eq "$bundle: no file sources, the bundle left as shipped" yes "$as_shipped"
  fi
done
if [ ${#bundles[@]} -gt 0 ]; then
  check_true "the samples have sources in the installed sample content ($total_relocated)" test "$total_relocated" -gt 0
fi
