#!/usr/bin/env bash
# A second copy started while the first one's wizard is open ends by itself without a word; the
# first goes on as before.
# shellcheck source=SCRIPTDIR/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin second-copy

start_setup
first=$setup_pid
drive wait-wizard 30000 wait-text "Welcome to the Ornivale Setup Wizard"
start_setup
second=$setup_pid
# A box would hold the second copy open, so its ending on its own is the proof that it said nothing.
wait_exit "$second" 30 || die "the second copy is still running"
check_eq "the second copy's exit code" 0 "$exit_code"
drive no-dialog 1000
check_eq "one wizard window is left" 1 "$(drive count TfrmInst)"
shot 1-welcome-after-second-copy

drive click "&Next >" wait-text "&Yes, I accept the License Agreement above"
shot 2-licence
drive close box "Are you sure you want to abort the installation?" "&Yes" wait-gone 10000
setup_pid=$first
wait_setup
check_eq "the first copy's exit code" 0 "$exit_code"
check_true "nothing was installed" test ! -e "$(unix_path "$INSTALL_DIR")"
