#!/usr/bin/env bash
# The apt sources a Debian root gets, read from copies of apt's configuration in each form a
# machine may have it: its updates and security archives, for the root's suite, from where the
# machine takes its own; none, saying so, where it has none.
set -uo pipefail
. "$(dirname "$0")/../scripts/debian-root.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0 failures=0
main="deb http://mirror.example/debian bullseye main"
# case NAME FILE CONTENT EXPECTED: an apt folder whose FILE holds CONTENT gives EXPECTED.
case_() {
    local got
    rm -rf "$work/apt" && mkdir -p "$work/apt/sources.list.d"
    printf '%s\n' "$3" >"$work/apt/$2"
    got=$(root_sources bullseye http://mirror.example/debian "$work/apt" 2>&1)
    if [ "$got" = "$4" ]; then
        echo "ok: $1"
        passed=$((passed + 1))
    else
        echo "FAIL: $1"
        diff <(echo "$4") <(echo "$got")
        failures=$((failures + 1))
    fi
}

case_ "deb822, as Debian 12 installs it" sources.list.d/debian.sources "Types: deb
# a comment
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main" "$main
deb http://deb.debian.org/debian bullseye-updates main
deb http://deb.debian.org/debian-security bullseye-security main"

case_ "one line, with options" sources.list "deb [arch=amd64 signed-by=/etc/apt/k.gpg] http://ftp.xx.debian.org/debian bookworm main
deb-src http://src.example/debian bookworm-updates main
  deb [signed-by=/etc/apt/k.gpg]  http://security.debian.org/debian-security bookworm-security main contrib
deb http://ftp.xx.debian.org/debian/ bookworm-updates main" "$main
deb http://ftp.xx.debian.org/debian/ bullseye-updates main
deb http://security.debian.org/debian-security bullseye-security main"

case_ "a country mirror alone" sources.list "deb http://ftp.xx.debian.org/debian bookworm main" "$main
The Debian bullseye root gets no bullseye-updates: this machine's apt has no updates archive
The Debian bullseye root gets no bullseye-security: this machine's apt has no security archive"

case_ "security disabled, or for sources only" sources.list.d/x.sources "Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-updates

Types: deb
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Enabled: no

Types: deb-src
URIs: http://src.example/debian-security
Suites: bookworm-security" "$main
deb http://deb.debian.org/debian bullseye-updates main
The Debian bullseye root gets no bullseye-security: this machine's apt has no security archive"

case_ "the older security form" sources.list "deb http://security.debian.org/ buster/updates main" "$main
The Debian bullseye root gets no bullseye-updates: this machine's apt has no updates archive
deb http://security.debian.org/ bullseye-security main"

echo "$passed passed, $failures failed"
((failures == 0))
