#!/usr/bin/env bash
# The sample product as a publisher's product folder for tools/release: the
# sample files with both products' programs and uninstallers built for
# Windows, so a rehearsal under Wine can install and start them.
#   tools/windows/sample/product-folder.sh OUT
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$1
rm -rf "$out" && mkdir -p "$out"
cp -r "$here/../../sample_product/Vantrel_x64Minimal/." "$out/"
cc=(x86_64-w64-mingw32-gcc -std=c11 -Wall -Wextra -Werror -O2 -s -municode -mwindows)
for product in "corvane Corvane Corvanix" "quorbel Quorbel Corvanix2"; do
    read -r word zh en <<<"$product"
    defines=(-DPRODUCT_WORD=L\"$word\" -DNAME_ZH=L\"$zh\" -DNAME_EN=L\"$en\")
    "${cc[@]}" "${defines[@]}" "$here/product.c" -o "$out/${word}MasterRecovery.exe" -lshell32
    "${cc[@]}" "${defines[@]}" "$here/uninstaller.c" -o "$out/${word}MasterUninst.exe" -lshell32 -ladvapi32
done
echo "$out"
