#!/usr/bin/env bash
# The tree holds three rooms: core/ (what both forms use), classic/ (the
# four-argument form) and profile/ (the SPICE profile), and the driver above
# them. core/ includes neither room and the rooms never include each other.
# Inside each, the folders form layers, each including only from the layers
# before it, so the include graph between folders has no cycle and follows
# the libraries' links (each folder's library links the folders it includes
# from).
# Usage: check_includes.sh PROJECT_ROOT
set -u
root=$1
layers=(core/memory core/gates core/verilog core/diag
  classic/messages classic/netlist classic/algo classic/extract classic/subckt classic/match classic/verilog
  classic/run
  profile/messages profile/circuit profile/spice profile/recognize profile/cellmatch profile/design profile/emit profile/report profile/run
  driver)
room_of() { case "$1" in core/* | classic/* | profile/*) echo "${1%%/*}" ;; *) echo "$1" ;; esac; }
rc=0
for ((i = 0; i < ${#layers[@]}; ++i)); do
  dir=${layers[i]}
  room=$(room_of "$dir")
  allowed=" ${layers[*]:0:i} $dir "
  while IFS=: read -r file line target; do
    folder=${target%/*}
    troom=$(room_of "$folder")
    if [ "$room" != driver ] && [ "$troom" != core ] && [ "$troom" != "$room" ]; then
      echo "$file:$line: $dir/ includes $target from the room $troom/"
      rc=1
      continue
    fi
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
# Every folder that holds sources is in a layer.
while read -r dir; do
  case " ${layers[*]} " in
    *" $dir "*) ;;
    *)
      echo "$dir/ holds sources but is in no layer"
      rc=1
      ;;
  esac
done < <(cd "$root" && find core classic profile driver -name '*.cpp' -o -name '*.h' | xargs -n1 dirname | sort -u)
[ $rc -eq 0 ] && echo "include layers: ${layers[*]}"
exit $rc
