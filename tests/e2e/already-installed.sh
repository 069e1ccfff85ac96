#!/usr/bin/env bash
# The product's uninstall key is there (an earlier install): the setup says so at once, the welcome
# page reads "Installation can not proceed." in red, and only Close is left; nothing is installed.
# shellcheck source=SCRIPTDIR/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin already-installed

reg_import <<'EOF_REG'
[HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\{5E1F0C2A-7B34-4d19-A8C6-2F90D3B71E45}]
"DisplayName"="Ornivale"
"DisplayVersion"="1.0.7.25"
EOF_REG

start_setup
expect_refusal "Ornivale$TM software is already installed on this computer."
check_true "nothing was installed" test ! -e "$(unix_path "$INSTALL_DIR")"
