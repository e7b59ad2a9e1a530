#!/usr/bin/env bash
# A release folder as a user gets it carries what it owes: DAYVANE's LICENSE, and
# licenses/README.txt naming every file of the folder with its component, each component of
# others with its notices in licenses/<component>/.
# Usage: notices_check.sh FOLDER...
set -uo pipefail
. "$(dirname "$0")/waits.sh"
for folder in "$@"; do
    [ -s "$folder/LICENSE" ] || fail "$folder has no LICENSE"
    readme=$folder/licenses/README.txt
    [ -s "$readme" ] || fail "$folder has no licenses/README.txt"
    # The Files table: "  file  component[, component...]", after its heading and header line.
    table=$(sed -n '/^Files$/,$p' "$readme" | sed -n '3,$s/^  \([^ ]*\)  *\(.*\)$/\1 \2/p' |
        tr -d ,)
    while read -r file; do
        components=$(awk -v f="$file" '$1 == f { $1 = ""; print }' <<<"$table")
        [ -n "$components" ] || fail "$folder/$file is not in licenses/README.txt"
        for component in $components; do
            [ "$component" = DAYVANE ] || [ -n "$(ls -A "$folder/licenses/$component" 2>/dev/null)" ] ||
                fail "$folder/$file: no notice of $component in licenses/$component"
        done
    done < <(cd "$folder" && find . -type f ! -path './licenses/*' -printf '%P\n' | sort)
    echo "$(basename "$folder"): LICENSE, and a notice for each of its $(wc -l <<<"$table") files" \
        "of $(awk '{ for (i = 2; i <= NF; i++) if ($i != "DAYVANE") print $i }' <<<"$table" |
            sort -u | wc -l) components of others"
done
