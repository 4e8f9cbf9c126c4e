# Installs the Debian packages the build and the tests need, only those that are missing.
# Sourced by run.sh and test.sh.
qv_packages=(
  build-essential cmake ninja-build pkg-config clang-14 libclang-rt-14-dev
  qt6-base-dev libpcre2-dev libsqlite3-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool openbox imagemagick x11-apps fonts-liberation fonts-dejavu-core
  poppler-utils python3-pyftpdlib xdg-utils
)

qv_install_missing() {
  local missing=()
  for p in "${qv_packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" = 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

qv_build() {
  local dir="$1"; shift
  cmake -S "$qv_root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
