#!/usr/bin/env bash
# The plain copy the install is measured against, as one process run:
#   baseline.sh PACKAGE TAR DATES OUT
#     copies the package file into OUT/tmp, unpacks TAR (the package's tree, uncompressed) into
#     OUT/Ornivale without tar's own dates, then dates the files: DATES holds one list per date
#     (named after its seconds since 1970, NUL-separated paths), each dated by one touch run, which
#     sets each file's time once. Finally the package copy goes, as the install's does.
#   baseline.sh PACKAGE TAR --tar-dates OUT
#     the same, but tar gives each file its date as it writes it: no touch run at all.
set -euo pipefail
shopt -s nullglob
package=$1 tar=$2 dates=$3 out=$4

mkdir -p "$out/tmp" "$out/Ornivale"
cp "$package" "$out/tmp/ovpack.pck"
if [ "$dates" = --tar-dates ]; then
  tar -x -f "$tar" -C "$out/Ornivale"
else
  tar -x -m -f "$tar" -C "$out/Ornivale"
  cd "$out/Ornivale"
  for list in "$dates"/*; do
    xargs -0 -a "$list" touch -m -d "@${list##*/}" --
  done
fi
rm "$out/tmp/ovpack.pck"
