#!/usr/bin/env bash
# The product runs (its main window is open): the setup refuses as it does over an install, naming
# the running product, and leaves the product alone.
# shellcheck source=SCRIPTDIR/lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin product-running

wine "$OV_E2E_BIN/ornivale.exe" >>"$e2e_dir/product.log" 2>&1 &
product=$!
drive wait-window "$PRODUCT_CLASS" 30000
start_setup
expect_refusal "Ornivale$TM software is currently running on this computer."
check_eq "the product still runs" 1 "$(drive count "$PRODUCT_CLASS")"
drive close-window "$PRODUCT_CLASS"
wait_exit "$product" 20 || die "the product did not close"
check_true "nothing was installed" test ! -e "$(unix_path "$INSTALL_DIR")"
