#!/usr/bin/env bash
# Checks the include rules of the layers against the layer table of docs/architecture.md, the
# one place they are written down (the build reads the same rows): every "folder/file.h" a
# source includes must come from its own folder or one its row allows, a project include never
# climbs with "..", and folders whose row does not say Qt include no Qt. Prints each violation
# as file:line and exits 1 when there is any; 2 when the table cannot be read.
# Usage: scripts/check-layers.sh [SOURCE-ROOT]   (default: the repository this script is in)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

DOC=docs/architecture.md
fail_table() { echo "check-layers: $DOC: $1" >&2; exit 2; }
[[ -f $DOC ]] || fail_table "missing"

# The table: a header row "| Folder | Part | May include ... |", then one row per folder:
#   | `folder/` | core | `uses/`, `uses/` |     ("nothing", "every core folder", "everything")
declare -A PART USES
FOLDERS=""
in_table=0
while IFS= read -r line; do
    if ((!in_table)); then
        [[ $line =~ ^\|[[:space:]]*Folder[[:space:]]*\|[[:space:]]*Part[[:space:]]*\|[[:space:]]*May\ include ]] && in_table=1
        continue
    fi
    [[ $line == '|'* ]] || break
    [[ $line =~ ^[|:[:space:]-]+$ ]] && continue    # the line under the header
    IFS='|' read -r _ cell_folder cell_part cell_uses _ <<<"$line"
    [[ $cell_folder =~ ^[[:space:]]*\`([A-Za-z0-9_]+)/\`[[:space:]]*$ ]] || fail_table "cannot read the row: $line"
    folder=${BASH_REMATCH[1]}
    FOLDERS+=" $folder"
    PART[$folder]=$cell_part
    USES[$folder]=$cell_uses
done <"$DOC"
[[ -n $FOLDERS ]] || fail_table "no layer table (| Folder | Part | May include ... |)"

CORE=""
for folder in $FOLDERS; do
    [[ ${PART[$folder]} =~ (^|[^A-Za-z])core([^A-Za-z]|$) ]] && CORE+=" $folder"
done

# Folder -> the folders it may include besides itself; folders that may include everything are
# not checked.
declare -A ALLOWED
CHECKED=""
for folder in $FOLDERS; do
    uses=${USES[$folder]}
    [[ $uses == *everything* ]] && continue
    allowed=""
    [[ $uses == *"every core folder"* ]] && allowed+=" $CORE"
    rest=$uses
    while [[ $rest =~ \`([A-Za-z0-9_]+)/\` ]]; do
        allowed+=" ${BASH_REMATCH[1]}"
        rest=${rest#*"${BASH_REMATCH[0]}"}
    done
    ALLOWED[$folder]=" $folder $allowed "
    CHECKED+=" $folder"
done

PROJECT_INCLUDE='^[<"]([A-Za-z0-9_]+)/'
QT_INCLUDE='^<(Q|q[a-z]+[.]h>)'
RELATIVE_INCLUDE='(^["<]|/)[.][.](/|[">])'

status=0
report() { echo "$1: $2"; status=1; }

for folder in $CHECKED; do
    [[ -d $folder ]] || continue    # a layer that does not exist yet has nothing to break
    no_qt=1
    [[ ${PART[$folder]} =~ (^|[^A-Za-z])Qt([^A-Za-z]|$) ]] && no_qt=0
    while IFS= read -r hit; do
        where=${hit%%:#*}           # file:line
        directive=${hit#"$where":}
        included=${directive#*include}
        included=${included#"${included%%[!$' \t']*}"}
        if [[ $included =~ $RELATIVE_INCLUDE ]]; then
            report "$where" "$folder/ includes by a relative path, name the folder instead (\"folder/file.h\"): $included"
        elif [[ $included =~ $PROJECT_INCLUDE ]]; then
            used=${BASH_REMATCH[1]}
            if [[ " $FOLDERS " == *" $used "* && ${ALLOWED[$folder]} != *" $used "* ]]; then
                report "$where" "$folder/ may not include $used/: $included"
            fi
        elif ((no_qt)) && [[ $included =~ $QT_INCLUDE ]]; then
            report "$where" "$folder/ may not include Qt: $included"
        fi
    done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$folder" \
                 | sed -E 's/^([^:]+:[0-9]+):[[:space:]]*/\1:/' || true)
done

if ((status)); then
    echo "check-layers: includes break the layering (the table in $DOC)" >&2
fi
exit $status
