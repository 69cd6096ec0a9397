#!/usr/bin/env bash
# check-layers.sh [SOURCE_DIR]
# Reads every #include "..." of the folders that cmake/layers.txt names and
# checks it against that rule. Each include that breaks it is one line,
#   crypt/ may not include shell/: crypt/x.cpp line 3
# and the exit status is then 1. An include is looked for beside its file
# first, then under the source root, as the compiler does; one that is found
# in neither (a generated or a system header) is not the rule's business.
set -u
src=$(cd "${1:-$(dirname "$0")/..}" && pwd)
rule_file=$src/cmake/layers.txt
[ -r "$rule_file" ] || { echo "check-layers: no rule: $rule_file is missing" >&2; exit 2; }

declare -A allowed
folders=()
while read -r folder lower; do
  case $folder in ''|'#'*) continue ;; esac
  folders+=("$folder")
  allowed[$folder]=" $folder $lower "
done <"$rule_file"

broken=0 includes=0 files=0
for folder in "${folders[@]}"; do
  [ -d "$src/$folder" ] || { echo "check-layers: $folder/ of $rule_file is not a folder of $src" >&2; exit 2; }
  while IFS= read -r -d '' file; do
    files=$((files + 1))
    relative=${file#"$src"/}
    dir=$(dirname "$file")
    while IFS=: read -r line text; do
      [ -n "$line" ] || continue
      includes=$((includes + 1))
      name=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)".*/\1/' <<<"$text")
      if [ -e "$dir/$name" ]; then
        target=$(realpath -m "$dir/$name")
      elif [ -e "$src/$name" ]; then
        target=$(realpath -m "$src/$name")
      else
        continue
      fi
      case $target in "$src"/*/*) ;; *) continue ;; esac
      top=${target#"$src"/}
      top=${top%%/*}
      case ${allowed[$folder]} in
        *" $top "*) ;;
        *) echo "$folder/ may not include $top/: $relative line $line"
           broken=$((broken + 1)) ;;
      esac
    done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file")
  done < <(find "$src/$folder" -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) -print0 | sort -z)
done

if [ "$broken" -gt 0 ]; then
  echo "check-layers: $broken include(s) break the rule of cmake/layers.txt:"
  grep -E '^[a-z]' "$rule_file" | while read -r folder lower; do
    lower=$(sed -E 's#([^ ]+)#\1/#g' <<<"$lower")
    echo "  $folder/ may include ${lower:-no other folder}"
  done
  exit 1
fi
echo "check-layers: $includes includes in $files files follow cmake/layers.txt"
