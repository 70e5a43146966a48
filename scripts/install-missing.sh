#!/usr/bin/env bash
# Installs those of the Debian packages named as arguments that are missing
# (apt-get, as root); does nothing when every one is there. Run by any other
# user, it names the missing packages with the exact command that installs
# them and fails, so the script that called it stops.
set -euo pipefail
missing=()
for p in "$@"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]})) || exit 0
if ((EUID != 0)); then
  echo "These Debian packages are missing: ${missing[*]}" >&2
  echo "Installing them needs root. Run this, then the same command again:" >&2
  echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
