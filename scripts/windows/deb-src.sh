#!/bin/bash
# Prints, in deb822 format, a source list that mirrors every enabled binary
# ("deb") entry of this machine's apt configuration as a "deb-src" entry.
# The Windows dependency build feeds it to apt through its own options, so
# the machine's configuration is never changed and no archive address has to
# be written into the repository. Signed-By and the other options are kept,
# so apt still checks the archive's signatures.
set -eu

eval "$(apt-config shell MAIN_LIST Dir::Etc::sourcelist/f PARTS_DIR Dir::Etc::sourceparts/d)"

# deb822 stanzas pass through unchanged except for their type; disabled
# stanzas and stanzas without a binary type are dropped.
convert_deb822() {
    awk '
        function flush() {
            if (text != "" && binary && enabled) printf "%s\n", text
            text = ""; binary = 0; enabled = 1
        }
        BEGIN { enabled = 1 }
        /^#/ { next }
        /^[ \t]*$/ { flush(); next }
        tolower($0) ~ /^types:/ {
            for (i = 2; i <= NF; i++) if ($i == "deb") binary = 1
            text = text "Types: deb-src\n"
            next
        }
        tolower($0) ~ /^enabled:[ \t]*no/ { enabled = 0 }
        { text = text $0 "\n" }
        END { flush() }
    ' "$1"
}

# One-line entries ("deb [options] uri suite components") become deb822
# stanzas. Option names are matched case-insensitively by apt, so only the
# three whose deb822 names differ are renamed.
convert_one_line() {
    awk '
        function field(name,   base, suffix) {
            base = name; suffix = ""
            if (base ~ /\+$/) { sub(/\+$/, "", base); suffix = "-Add" }
            if (base ~ /-$/) { sub(/-$/, "", base); suffix = "-Remove" }
            if (base == "arch") base = "Architectures"
            else if (base == "lang") base = "Languages"
            else if (base == "target") base = "Targets"
            return base suffix
        }
        {
            sub(/#.*/, "")
            if ($1 != "deb") next
            line = $0
            sub(/^[ \t]*deb[ \t]+/, "", line)
            options = ""
            if (substr(line, 1, 1) == "[") {
                close_at = index(line, "]")
                if (close_at == 0) next
                options = substr(line, 2, close_at - 2)
                line = substr(line, close_at + 1)
            }
            count = split(line, word, /[ \t]+/)
            first = (word[1] == "") ? 2 : 1
            if (count < first + 1 || word[first] ~ /^cdrom:/) next
            printf "Types: deb-src\nURIs: %s\nSuites: %s\n", word[first], word[first + 1]
            components = ""
            for (i = first + 2; i <= count; i++) if (word[i] != "") components = components " " word[i]
            if (components != "") printf "Components:%s\n", components
            option_count = split(options, option, /[ \t]+/)
            for (i = 1; i <= option_count; i++) {
                split_at = index(option[i], "=")
                if (split_at == 0) continue
                name = field(substr(option[i], 1, split_at - 1))
                value = substr(option[i], split_at + 1)
                if (name ~ /^(Architectures|Languages|Targets)/) gsub(/,/, " ", value)
                printf "%s: %s\n", name, value
            }
            printf "\n"
        }
    ' "$1"
}

if [ -f "$MAIN_LIST" ]; then
    convert_one_line "$MAIN_LIST"
fi
for file in "$PARTS_DIR"*.list; do
    [ -f "$file" ] && convert_one_line "$file"
done
for file in "$PARTS_DIR"*.sources; do
    [ -f "$file" ] && convert_deb822 "$file"
done
exit 0
