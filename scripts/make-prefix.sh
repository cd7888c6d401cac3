#!/usr/bin/env bash
# make-prefix.sh PREFIX BUILD_DIR
# Lays out a Wine-style prefix whose drive C: holds Korvane's data folder:
#   C:\data_aco\QX_aco.mdb           old system database (samples/old_system.sql)
#   C:\data_aco\QX_Std.mdb           current template     (samples/template.sql)
#   C:\data_aco\Backup\              empty
#   C:\data_aco\External\Lab7\QX_aco.mdb  another system's database
#   C:\data_aco\External\Jet4\QX_aco.mdb  a real Jet 4 (Access 2000) file, copied from
#                                         tests/fixtures/jet with its licence
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

# A real Access file read through libmdb. It holds none of the program's
# tables, so Update skips every transfer and the working copy is the template.
fixtures="$root/tests/fixtures/jet"
jet4="$data/External/Jet4"
mkdir -p "$jet4"
cp "$fixtures/functionsV2000.mdb" "$jet4/QX_aco.mdb"
cp "$fixtures/LICENSE-Apache-2.0.txt" "$fixtures/NOTICE-jackcess.txt" "$jet4/"
chmod u+w "$jet4"/*
