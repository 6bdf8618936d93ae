# Shared by scripts/run, scripts/test and scripts/sanitize: install what is
# missing from Debian's packages, then configure and build into build/.
# SETUP_PACKAGES_ONLY=1 before sourcing skips the build (scripts/sanitize
# builds only its own folders).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
BUILD="$ROOT/build"

PACKAGES=(
  cmake make g++ pkg-config
  qt6-base-dev qt6-translations-l10n libgl-dev
  libgtest-dev
  clang libclang-rt-14-dev
  llvm  # llvm-symbolizer: source lines in the sanitizers' stacks
  fonts-dejavu-core
  # The keyboard and page tests run a second time on an X display of their
  # own (tests/ui/on-x-display.sh), where X11's key bindings apply.
  xvfb
  # The package and its test: dpkg-shlibdeps and file for CPack's Depends,
  # desktop-file-validate, groff for the manual pages; pdftoppm to look at a
  # printed report; the shell's completion, the MIME database and AppStream's
  # validator for what the package gives the desktop.
  dpkg-dev file desktop-file-utils groff-base poppler-utils lintian
  bash-completion shared-mime-info appstream
  # Windows (scripts/build-windows, scripts/test-windows): the cross compiler
  # with the posix thread model, GoogleTest's sources to build with it, Wine
  # to run the result, zip and unzip for the release archive and its check;
  # for the window: Qt's host tools (moc, rcc, uic) beside Qt for Windows,
  # nsis for the installer, Xvfb, openbox and Wine's own fonts (Tahoma, with
  # Cyrillic) for its pictures under Wine.
  g++-mingw-w64-x86-64-posix googletest wine64 zip unzip
  qt6-base-dev-tools ninja-build nsis xvfb openbox x11-utils fonts-wine
)

missing_packages() {
  local pkg
  for pkg in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || echo "$pkg"
  done
}

install_missing() {
  local missing
  missing=$(missing_packages)
  [ -z "$missing" ] && return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  echo "Installing: $missing" >&2
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing
}

build_all() {
  cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD" -j "$(nproc)"
}

install_missing
if [ -z "${SETUP_PACKAGES_ONLY:-}" ]; then build_all; fi
