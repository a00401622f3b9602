#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own (or of a
# layer beside it that it does not stand on). The layers and what each may use:
set -euo pipefail
root="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}"

declare -A allowed=(
    [foundation]="foundation"
    [project]="foundation project"
    [datasource]="foundation project datasource"
    [generation]="foundation project generation"
    [engine]="foundation project datasource generation engine"
    [controls]="foundation controls"
    [templates]="foundation project generation controls templates"
    [wizard]="foundation project datasource generation controls templates wizard"
    [preview]="foundation project datasource preview"
    [shell]="foundation project datasource generation controls templates wizard preview shell"
)

status=0
for layer in "${!allowed[@]}"; do
    [ -d "$root/$layer" ] || continue
    while IFS= read -r line; do
        file="${line%%:*}"
        [[ "$line" =~ \#include\ \"([a-z]+)/ ]] || continue
        target="${BASH_REMATCH[1]}"
        [ -d "$root/$target" ] || continue
        if [[ " ${allowed[$layer]} " != *" $target "* ]]; then
            echo "${file#"$root"/}: $layer may not include $target (${line#*#include })"
            status=1
        fi
    done < <(grep -rnE '^#include "[a-z]+/' "$root/$layer" --include='*.h' --include='*.cpp' || true)
done
[ "$status" -eq 0 ] && echo "layering: every include points down"
exit "$status"
