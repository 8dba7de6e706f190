#!/bin/bash
# Checks that the build's include paths give each library exactly the layers of the layer table:
# one header of every folder below a library (and of its own) compiles there, one header of every
# folder above it and the fake platform's header do not.
#   check-layers.sh PATHS-FILE COMPILER
# PATHS-FILE holds one line per library: its name, then its include folders.
set -u
paths_file=$(realpath "$1")
compiler=$2

# One header that stands for each folder.
declare -A header=(
  [platform]=platform/platform.h
  [fake]=platform/fake/fake.h
  [product]=resources/Product.h
  [base]=base/Utf8.h
  [install]=install/InstUtils.h
  [image]=image/PNG.h
  [lang]=wizard/lang/UILang.h
  [payload]=payload/AttachFiles.h
  [ui]=ui/Form.h
  [engine]=wizard/engine/Registry.h
  [wizard]=wizard/MainDlg.h
  [app]=app/Entry.h
  [standin]=standin/Uninstall.h
)

# The layer table: what each library may include.
declare -A allowed=(
  [tsd_platform_interface]="platform"
  [tsd_product]="product platform"
  [tsd_base]="base platform"
  [tsd_install]="install base product platform"
  [tsd_image]="image platform"
  [tsd_lang]="lang base product platform"
  [tsd_payload]="payload install image lang base product platform"
  [tsd_ui]="ui base image platform"
  [tsd_engine]="engine install lang base product platform"
  [tsd_wizard]="wizard engine payload ui install image lang base product platform"
  [tsd_app]="app wizard engine payload ui install image lang base product platform"
  [tsd_standin]="standin engine install lang base product platform"
)

# Quoted includes are searched in the current folder first: compile where no source lies.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

failures=0
checked=0
while read -r library folders; do
  [[ -n ${allowed[$library]+set} ]] || { echo "FAIL: $library is not in the layer table"; failures=$((failures + 1)); continue; }
  flags=()
  for folder in $folders; do flags+=(-I "$folder"); done
  for name in "${!header[@]}"; do
    file=${header[$name]}
    output=$(echo "#include \"$file\"" | "$compiler" -std=c++17 -fsyntax-only -x c++ - "${flags[@]}" 2>&1)
    status=$?
    checked=$((checked + 1))
    if [[ " ${allowed[$library]} " == *" $name "* ]]; then
      if [[ $status -ne 0 ]]; then
        echo "FAIL: $library cannot include $file:"
        echo "$output" | head -5
        failures=$((failures + 1))
      fi
    elif [[ $status -eq 0 ]]; then
      echo "FAIL: $library can include $file, a layer above it"
      failures=$((failures + 1))
    elif ! grep -q "$file: No such file" <<<"$output"; then
      echo "FAIL: $library fails on $file for another reason than the layer:"
      echo "$output" | head -5
      failures=$((failures + 1))
    fi
  done
done <"$paths_file"

libraries=$(wc -l <"$paths_file")
if [[ $libraries -ne ${#allowed[@]} ]]; then
  echo "FAIL: $libraries libraries in the build, ${#allowed[@]} in the layer table"
  failures=$((failures + 1))
fi
echo "layers: $checked includes checked in $libraries libraries, $failures failures"
[[ $failures -eq 0 ]]
