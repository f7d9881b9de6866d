#!/usr/bin/env bash
# Installs Debian packages through a mirror that may be in mid-sync: ./run on
# the host, and image.sh inside the Wine machine's root. As root.
#   apt-install.sh [APT-GET INSTALL OPTION]... PACKAGE...
# A mirror in mid-sync serves an index that does not match its Release file:
# apt-get update then fails for that one index and keeps the old one (or
# none). That is a warning here; only an install that cannot be done stops.
# When the i386 index of the security suite is the one missing, the amd64
# packages come from the security suite and their i386 twins only from the
# main one, and apt cannot pair them: the install is tried once more with the
# security suite ranked below the main one, for that install only.
set -uo pipefail
[ $# -gt 0 ] || { echo "usage: apt-install.sh PACKAGE..." >&2; exit 2; }
LOG="$(mktemp "${TMPDIR:-/tmp}/zel-apt.XXXXXX")"
PIN=""
trap '[ -z "$PIN" ] || rm -rf "$PIN"' EXIT
export DEBIAN_FRONTEND=noninteractive

if ! apt-get update -qq >"$LOG" 2>&1; then
  echo "warning: some package indexes could not be downloaded (the install goes on with the others):"
  grep -E '^(E|W):' "$LOG" | sed 's/^/  /' || true
fi
install() { apt-get install -y -qq "$@" >"$LOG" 2>&1; }
if install "$@"; then
  rm -f "$LOG"
  exit 0
fi
if grep -q 'held broken packages\|generated breaks' "$LOG"; then
  PIN="$(mktemp -d)"
  printf 'Package: *\nPin: release n=%s-security\nPin-Priority: 100\n' \
    "$(. /etc/os-release; echo "${VERSION_CODENAME:-bookworm}")" >"$PIN/security-below-main.pref"
  echo "== the two architectures' versions differ (a mirror in mid-sync?): trying once more with the security suite below the main one"
  if install -o Dir::Etc::PreferencesParts="$PIN" "$@"; then
    rm -f "$LOG"
    exit 0
  fi
fi
grep -E '^(E|W):| : Depends' "$LOG" | head -30 >&2 || true
echo "The packages could not be installed (apt's messages above, all of it in $LOG)." >&2
echo "If a mirror is being synced, wait a few minutes and run the same command again." >&2
exit 1
