# Sourced by the end-to-end scripts: each argument is command:package. A missing command fails the
# test and names the package to install (scripts/install-deps.sh installs them all).
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
