# Sourced by scripts/test, run, screenshot and package: makes sure the Debian packages the build needs
# are installed. dpkg-dev, desktop-file-utils and appstream are for the package test that scripts/test runs.
# The Chinese interface and Chinese device names need a CJK font: scripts/run and scripts/screenshot
# install RF_CJK_FONT.
RF_PACKAGES=(
  cmake ninja-build g++ clang lld clang-format clang-tidy pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6test6 libgl-dev fonts-dejavu-core
  qt6-translations-l10n
  libsqlite3-dev libgtest-dev libgmock-dev libbenchmark-dev
  iproute2 nftables util-linux libcap2-bin
  xvfb xauth
  dpkg-dev desktop-file-utils appstream
)

RF_CJK_FONT=fonts-wqy-microhei

rf_missing_packages() { # [more packages...]
  local missing=()
  for p in "${RF_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  echo "${missing[@]}"
}

# Installs RF_PACKAGES and the packages given (what one script alone needs).
rf_install_packages() {
  local missing
  missing=$(rf_missing_packages "$@")
  [ -z "$missing" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing: $missing" >&2
    echo "Install them with:" >&2
    echo "  sudo apt-get update && sudo apt-get install -y $missing" >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing
}
