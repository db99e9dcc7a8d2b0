#!/usr/bin/env bash
# scripts/check-layers.sh on copies of the source tree: the tree as it is passes; each planted
# include that breaks the layering fails it, naming file and line; the table in
# docs/architecture.md is what allows an include, and a table it cannot read fails the check.
# Usage: check-layers-test.sh SOURCE-ROOT
set -uo pipefail
SRC=$(cd "${1:?source root}" && pwd)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
TREE=$WORK/tree
failures=0

# Appends an include to the first source of a folder.
plant() { printf '#include %s\n' "$2" >>"$(ls "$1"/*.cpp | head -n 1)"; }

# case NAME WANT-STATUS WANT-OUTPUT(glob) SETUP: SETUP runs in a fresh copy, then the check.
case_() {
    local name=$1 want_status=$2 want_output=$3 setup=$4 output status
    rm -rf "$TREE" && mkdir "$TREE"
    tar -C "$SRC" --exclude=./build --exclude='./build-*' --exclude=./.git -cf - . | tar -C "$TREE" -xf -
    (cd "$TREE" && eval "$setup") || { echo "FAIL $name: setup failed"; failures=$((failures + 1)); return; }
    output=$("$SRC/scripts/check-layers.sh" "$TREE" 2>&1)
    status=$?
    # shellcheck disable=SC2053  # the wanted output is a glob
    if [[ $status == "$want_status" && $output == $want_output ]]; then
        echo "ok   $name"
    else
        echo "FAIL $name: exit $status (want $want_status), output:"
        echo "$output"
        failures=$((failures + 1))
    fi
}

case_ "the tree as it is" 0 "" ":"
case_ "a relative path out of reception/" 1 \
    '*reception/*.cpp:[0-9]*: reception/ includes by a relative path*"../console/CSimConsole.h"*' \
    'plant reception "\"../console/CSimConsole.h\""'
case_ "reception/ includes console/" 1 \
    '*reception/*.cpp:[0-9]*: reception/ may not include console/: "console/CSimConsole.h"*' \
    'plant reception "\"console/CSimConsole.h\""'
case_ "Qt in link/" 1 '*link/*.cpp:[0-9]*: link/ may not include Qt: <QString>*' 'plant link "<QString>"'
case_ "the row in the doc allows it" 0 "" \
    'plant reception "\"console/CSimConsole.h\""
     sed -i "s#^| \`reception/\` | core | #&\`console/\`, #" docs/architecture.md'
case_ "no table in the doc" 2 '*no layer table*' 'sed -i "/^| Folder | Part |/d" docs/architecture.md'

((failures == 0)) || { echo "$failures case(s) failed"; exit 1; }
