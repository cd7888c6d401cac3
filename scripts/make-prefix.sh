#!/usr/bin/env bash
# make-prefix.sh PREFIX BUILD_DIR
# Lays out a Wine-style prefix whose drive C: holds Korvane's data folder:
#   C:\data_aco\QX_aco.mdb           old system database (samples/old_system.sql)
#   C:\data_aco\QX_Std.mdb           current template     (samples/template.sql)
#   C:\data_aco\Backup\              empty
#   C:\data_aco\External\Lab7\QX_aco.mdb  another system's database
# Whatever PREFIX held before is replaced.
set -euo pipefail
prefix=$1
build=$2
root="$(cd "$(dirname "$0")/.." && pwd)"
mkdb="$build/tools/mkdb/korvane-mkdb"

rm -rf "$prefix"
mkdir -p "$prefix/dosdevices" "$prefix/drive_c/data_aco/Backup" "$prefix/drive_c/data_aco/External/Lab7"
ln -s ../drive_c "$prefix/dosdevices/c:"
ln -s / "$prefix/dosdevices/z:"

data="$prefix/drive_c/data_aco"
"$mkdb" "$data/QX_aco.mdb" "$root/samples/old_system.sql"
"$mkdb" "$data/QX_Std.mdb" "$root/samples/template.sql"
"$mkdb" "$data/External/Lab7/QX_aco.mdb" "$root/samples/old_system.sql"
