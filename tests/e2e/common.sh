# Sourced by the end-to-end scripts.

# Each argument is command:package. A missing command fails the test and names the package to
# install (scripts/install-deps.sh installs them all).
require_tools() {
    local entry missing=0
    for entry in "$@"; do
        if ! command -v "${entry%%:*}" >/dev/null; then
            echo "FAILED: ${entry%%:*} is missing (Debian package ${entry#*:})"
            missing=1
        fi
    done
    [[ $missing == 0 ]] || exit 1
    [[ -x /usr/bin/python3 ]] || { echo "FAILED: /usr/bin/python3 is missing (Debian package python3)"; exit 1; }
}

# A temporary folder in $work, removed with every background job when the script ends.
make_work_folder() {
    work=$(mktemp -d)
    trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT
}

# Copies the program and its resources from $program_dir into the folder $1.
copy_program() {
    mkdir -p "$1"
    cp "$program_dir/tradevane" "$program_dir/tradevane.portable" "$program_dir"/*.bmp "$program_dir"/*.doc "$1/"
    cp "$program_dir"/*.wav "$1/" 2>/dev/null || true
}

# Starts the loopback quote server and a mail server storing into $work/mail (it serves until its
# standard input closes), then prepares the data folder $1 to use them.
start_test_servers() {
    mkdir -p "$work/mail"
    /usr/bin/python3 "$source_dir/tests/e2e/market_server.py" >"$work/http.out" &
    sleep 600 | /usr/bin/python3 "$source_dir/tests/common/smtp_server.py" --store "$work/mail" >"$work/smtp.out" &
    local http_port smtp_port
    for _ in $(seq 100); do
        grep -q READY "$work/http.out" 2>/dev/null && grep -q READY "$work/smtp.out" 2>/dev/null && break
        sleep 0.1
    done
    http_port=$(awk '/READY/ {print $2}' "$work/http.out")
    smtp_port=$(awk '/READY/ {print $2}' "$work/smtp.out")
    [[ -n $http_port && -n $smtp_port ]] || { echo "the test servers did not start"; exit 1; }
    /usr/bin/python3 "$source_dir/tests/e2e/prepare_folder.py" "$1" "$http_port" "$smtp_port"
}
