#!/usr/bin/env bash
# The unprivileged user the tests act as where they themselves run as root (as CI does): the
# permission checks of the core's tests and the installed package's end-to-end tests. Nothing
# to do for an ordinary user, whose own permissions are tested.
set -euo pipefail
user=kavo-test
[ "$(id -u)" -eq 0 ] || exit 0
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /usr/sbin/nologin "$user"
echo "$user"
