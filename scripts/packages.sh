# Sourced by the scripts that need Debian packages. ensure_packages NAME...
# installs those that are missing when run as root; as another user it names
# them with the exact command to run and stops.
ensure_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  if ((EUID != 0)); then
    echo "These Debian packages are missing: ${missing[*]}" >&2
    echo "Installing them needs root. Run this, then start $(basename "$0") again:" >&2
    echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
