# Sourced by the tests that drive programs: what each of them needs to fail, skip and wait.
#   need TOOL...             skips (exit 77) unless every TOOL is installed
#   fail MESSAGE             says what failed, and ends the test
#   now_ms                   the time, in milliseconds
#   wait_until S COMMAND...  runs COMMAND until it succeeds, at most S seconds; fails after
fail() {
    echo "FAIL: $*"
    exit 1
}
need() {
    for tool; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
    done
}

now_ms() { date +%s%3N; }

wait_until() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) < deadline)) || return 1
        sleep 0.02
    done
}
