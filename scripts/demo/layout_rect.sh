#!/bin/sh
# Prints "x y wide tall" of a control of a layout file, as the layout file
# places it inside its window:
#
#   layout_rect.sh LAYOUT_FILE CONTROL_NAME
#
# Reads only the plain form the updater's own layout file uses: a quoted
# section name on its own line, then quoted key-value pairs.
set -eu
awk -v name="\"$2\"" '
    $1 == name && NF == 1 { inside = 1; next }
    inside && $1 == "}" { exit }
    inside && NF >= 2 { gsub(/"/, ""); value[$1] = $2 }
    END {
        if (!("wide" in value)) { exit 1 }
        print value["xpos"] + 0, value["ypos"] + 0, value["wide"], value["tall"]
    }
' "$1"
