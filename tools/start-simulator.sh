# Sourced by the screenshot scripts, with $here and $build set.

# Ends the script when $2 is no loopback address, naming the script $1.
require_loopback() {
    case "$2" in
    127.*) ;;
    *) echo "$1: $2 is no loopback address" >&2; exit 2 ;;
    esac
}

# Configures $build if need be and builds the simulator and the targets given.
build_with_simulator() {
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${CMAKE_BUILD_TYPE:-RelWithDebInfo}" >/dev/null
    cmake --build "$build" --target quillmoor-terminal "$@"
}

# Starts quillmoor-terminal from $build on the loopback address $1 with the
# further options given, waits until it takes commands, and stops it with
# Ctrl+C when the script ends or stop_simulator is called.
start_simulator() {
    local address="$1"
    shift
    simulator_log="$(mktemp)"
    "$build/src/terminal/quillmoor-terminal" --address "$address" "$@" </dev/null >"$simulator_log" 2>&1 &
    simulator=$!
    trap stop_simulator EXIT
    for _ in $(seq 100); do
        grep -q "type help" "$simulator_log" && return 0
        kill -0 "$simulator" 2>/dev/null || { cat "$simulator_log" >&2; exit 1; }
        sleep 0.1
    done
    echo "the simulator did not start" >&2
    exit 1
}

stop_simulator() {
    kill -INT "$simulator" 2>/dev/null || true
    wait "$simulator" 2>/dev/null || true
    rm -f "$simulator_log"
}
