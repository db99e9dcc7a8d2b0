#!/usr/bin/env bash
# Checks the include rules of the layers (docs/architecture.md): every "folder/file.h" a source
# includes must come from a folder its own folder may use, and the core and the CLI include no
# Qt. Prints each violation as file:line and exits 1 when there is any.
# Usage: scripts/check-layers.sh [SOURCE-ROOT]   (default: the repository this script is in)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

CORE="common log bitmap protocol link console reception effects linkspec streams"

# Folder -> the project folders its files may include (its own folder always).
declare -A ALLOWED=(
    [common]=""
    [log]="common"
    [bitmap]="common"
    [protocol]="common"
    [link]="log common"
    [console]="protocol link bitmap log common"
    [reception]="protocol link bitmap log common"
    [effects]="bitmap common"
    [linkspec]="link console common log"
    [streams]="protocol common"
    [cli]="$CORE"
    [dialogs]="$CORE res"
)
# app/ and res/ may include everything, Qt included: they are not checked.
NO_QT="$CORE cli"
PROJECT_FOLDERS="$CORE cli dialogs app res"

PROJECT_INCLUDE='"([A-Za-z0-9_]+)/'
QT_INCLUDE='<(Q|q[a-z]+[.]h>)'

status=0
report() { echo "$1: $2"; status=1; }

for folder in $CORE cli dialogs; do
    [[ -d $folder ]] || continue    # a layer that does not exist yet has nothing to break
    allowed=" $folder ${ALLOWED[$folder]} "
    no_qt=0
    [[ " $NO_QT " == *" $folder "* ]] && no_qt=1
    while IFS= read -r hit; do
        where=${hit%%:#*}           # file:line
        directive=${hit#"$where":}
        included=${directive#*include}
        included=${included#"${included%%[!$' \t']*}"}
        if [[ $directive =~ $PROJECT_INCLUDE ]]; then
            used=${BASH_REMATCH[1]}
            if [[ " $PROJECT_FOLDERS " == *" $used "* && $allowed != *" $used "* ]]; then
                report "$where" "$folder/ may not include $used/: $included"
            fi
        elif ((no_qt)) && [[ $directive =~ $QT_INCLUDE ]]; then
            report "$where" "$folder/ may not include Qt: $included"
        fi
    done < <(grep -rnE --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' "$folder" \
                 | sed -E 's/^([^:]+:[0-9]+):[[:space:]]*/\1:/' || true)
done

if ((status)); then
    echo "check-layers: includes break the layering (docs/architecture.md)" >&2
fi
exit $status
