#!/usr/bin/env bash
# Fails when a file of include/ or src/ includes a header of a higher layer, or of a folder the layer order does not
# name. The order is read from the README's Layout, the one place it is written: the line of folder names joined by
# "<" (lowest first), where folders joined by "," share a step and do not include each other.
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"
order=$(grep -E '^[a-z]+( *(<|,) *[a-z]+)+ *$' "$root/README.md" | head -n 1)
if [ -z "$order" ]; then
    echo "check-layers: README.md has no layer order line (folders joined by '<')" >&2
    exit 1
fi

declare -A rank
step=0
IFS='<' read -ra steps <<<"$order"
for names in "${steps[@]}"; do
    IFS=',' read -ra folders <<<"$names"
    for folder in "${folders[@]}"; do
        rank[$(echo "$folder" | tr -d ' ')]=$step
    done
    step=$((step + 1))
done

status=0
cd "$root"
for top in include src; do
    for dir in "$top"/*/; do
        folder=$(basename "$dir")
        if [ -z "${rank[$folder]+x}" ]; then
            echo "$dir: the folder is not in the README's layer order" >&2
            status=1
            continue
        fi
        while IFS=: read -r file line target; do
            if [ -z "${rank[$target]+x}" ]; then
                echo "$file:$line: includes \"$target/...\", a folder the layer order does not name" >&2
                status=1
            elif [ "$target" != "$folder" ] && [ "${rank[$target]}" -ge "${rank[$folder]}" ]; then
                echo "$file:$line: $folder includes $target, which is not below it" >&2
                status=1
            fi
        done < <(grep -rnoE '^#include "[a-z]+/' "$dir" | sed -E 's/^([^:]+):([0-9]+):#include "([a-z]+)\//\1:\2:\3/')
    done
done
exit $status
