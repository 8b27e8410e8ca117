#!/bin/sh
# Writes the Debian changelog of the native package from CHANGELOG.md:
#   debian-changelog.sh CHANGELOG.md PACKAGE MAINTAINER > changelog
# "## VERSION (YYYY-MM-DD)" starts an entry, "### Title" a group of it, and
# "- item" with its indented continuation lines an item.
set -eu
awk -v package="$2" -v maintainer="$3" '
function trailer() {
    if (version != "") {
        cmd = "LC_ALL=C date -u -R -d " date
        cmd | getline stamp
        close(cmd)
        printf "\n -- %s  %s\n", maintainer, stamp
    }
}
/^## / {
    trailer()
    if (version != "")
        print ""
    version = $2
    date = $3
    gsub(/[()]/, "", date)
    printf "%s (%s) unstable; urgency=medium\n", package, version
    next
}
version == "" { next }
/^### / { sub(/^### /, ""); printf "\n  [ %s ]\n", $0; next }
/^- / { sub(/^- /, ""); printf "  * %s\n", $0; next }
/^  [^ ]/ { printf "  %s\n", $0; next }
END { trailer() }
' "$1"
