#!/usr/bin/env bash
# The folders form layers, each including only from the layers before it, so
# the include graph between folders has no cycle and follows the libraries'
# links (each folder's library links the folders it includes from).
# Usage: check_includes.sh PROJECT_ROOT
set -u
root=$1
layers=(messages netlist spice cellmatch algo extract subckt match verilog recognize emit driver)
rc=0
for ((i = 0; i < ${#layers[@]}; ++i)); do
  dir=${layers[i]}
  allowed=" ${layers[*]:0:i} $dir "
  while IFS=: read -r file line target; do
    folder=${target%%/*}
    case "$allowed" in
      *" $folder "*) ;;
      *)
        echo "$file:$line: $dir/ includes $target from a later layer"
        rc=1
        ;;
    esac
  done < <(cd "$root" && grep -HnoE '^#include "[a-z_]+/[^"]+"' "$dir"/*.h "$dir"/*.cpp 2> /dev/null |
    sed -E 's/#include "([^"]+)"/\1/')
done
[ $rc -eq 0 ] && echo "include layers: ${layers[*]}"
exit $rc
