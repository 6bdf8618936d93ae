#!/usr/bin/env bash
# Builds the Debian package from the build tree the test runs in, unpacks it
# into a scratch root and checks what a user gets: the three programs with
# Debian's hardening, the desktop entry with the ".cf8" file type it opens,
# the AppStream record, the icons, the manual pages, the shell's completion
# and the computed Depends, which the README lists.
#   package_test.sh BUILD_DIR PROJECT_VERSION
# Exit status 77 (skipped) when a tool the check needs is missing; every
# check that can run has run and passed by then.
set -uo pipefail

BUILD="$1"
VERSION="$2"
SOURCE="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
RELEASE="$VERSION-1"  # the Debian package of the upstream version
SKIP=77
failures=0
missing_tools=()

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

need_tool() {  # tool package: false (and noted) when the tool is missing
  if command -v "$1" >/dev/null; then return 0; fi
  local note="$1 (Debian package $2)"
  [[ " ${missing_tools[*]} " == *" $note "* ]] || missing_tools+=("$note")
  return 1
}

for tool in cpack:cmake dpkg-deb:dpkg dpkg-shlibdeps:dpkg-dev file:file readelf:binutils ldd:libc-bin; do
  if ! need_tool "${tool%%:*}" "${tool#*:}"; then
    echo "SKIPPED: the package cannot be built without ${missing_tools[*]}" >&2
    exit $SKIP
  fi
done

TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT

if ! cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$TMP/out" >"$TMP/cpack.log" 2>&1; then
  cat "$TMP/cpack.log" >&2
  echo "FAIL: cpack -G DEB" >&2
  exit 1
fi

ARCH="$(dpkg --print-architecture)"
DEB="$TMP/out/tivolan_${RELEASE}_${ARCH}.deb"
if [ ! -f "$DEB" ]; then
  ls "$TMP/out" >&2
  echo "FAIL: no tivolan_${RELEASE}_${ARCH}.deb" >&2
  exit 1
fi

# --- control fields
field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package)" = tivolan ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$RELEASE" ] || fail "Version is '$(field Version)', the project's is $RELEASE"
[ "$(field Architecture)" = "$ARCH" ] || fail "Architecture is '$(field Architecture)'"
[ "$(field Maintainer)" = Stelmark ] || fail "Maintainer is '$(field Maintainer)'"
case "$(field Section)" in electronics | utils) ;; *) fail "Section is '$(field Section)'" ;; esac
DEPENDS="$(field Depends)"
echo "Depends: $DEPENDS"
# One package name a line, versions and alternatives taken apart.
DEPENDS_NAMES="$(tr ',|' '\n' <<<"$DEPENDS" | sed 's/^ *//; s/[ (:].*//')"
depends_on() { grep -Fxq "$1" <<<"$DEPENDS_NAMES"; }
for pkg in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6; do
  depends_on "$pkg" || fail "Depends lacks $pkg"
done
# The README names them all: "Its Depends come from `dpkg-shlibdeps`: a, b, c;".
readme_depends="$(tr '\n' ' ' <"$SOURCE/README.md" | sed -n 's/.*Its Depends come from `dpkg-shlibdeps`: *\([^;]*\);.*/\1/p' |
  tr ',' '\n' | sed 's/^ *//; s/ *$//' | sort)"
[ "$readme_depends" = "$(sort <<<"$DEPENDS_NAMES")" ] ||
  fail "the README's Depends ($(echo $readme_depends)) are not the package's ($(echo $DEPENDS_NAMES))"

# --- every path in the package, nothing outside the expected places
dpkg-deb -c "$DEB" >"$TMP/contents"
not_root="$(awk '$2 != "root/root" { print $NF }' "$TMP/contents")"
[ -z "$not_root" ] || fail "not owned by root/root: $not_root"
awk '{ print $NF }' "$TMP/contents" | grep -v '/$' | sed 's|^\./||' | sort >"$TMP/files"
cat >"$TMP/expected" <<'EOF'
usr/bin/tivolan
usr/bin/tivolan-cli
usr/bin/tivolan-sim
usr/share/applications/tivolan.desktop
usr/share/bash-completion/completions/tivolan-cli
usr/share/doc/tivolan/changelog.Debian.gz
usr/share/doc/tivolan/copyright
usr/share/icons/hicolor/128x128/apps/tivolan.png
usr/share/icons/hicolor/16x16/apps/tivolan.png
usr/share/icons/hicolor/256x256/apps/tivolan.png
usr/share/icons/hicolor/32x32/apps/tivolan.png
usr/share/icons/hicolor/48x48/apps/tivolan.png
usr/share/icons/hicolor/64x64/apps/tivolan.png
usr/share/icons/hicolor/scalable/apps/tivolan.svg
usr/share/man/man1/tivolan-cli.1.gz
usr/share/man/man1/tivolan-sim.1.gz
usr/share/man/man1/tivolan.1.gz
usr/share/metainfo/example.stelmark.tivolan.metainfo.xml
usr/share/mime/packages/tivolan.xml
EOF
sort -o "$TMP/expected" "$TMP/expected"
if ! diff -u "$TMP/expected" "$TMP/files" >"$TMP/files.diff"; then
  cat "$TMP/files.diff" >&2
  fail "the package's files differ from the expected list (- expected, + packaged)"
fi

ROOT="$TMP/root"
dpkg-deb -x "$DEB" "$ROOT" || { echo "FAIL: dpkg-deb -x" >&2; exit 1; }

# --- programs: executable, stripped, and every library they need comes from
# a package that Depends names
for program in tivolan tivolan-cli tivolan-sim; do
  bin="$ROOT/usr/bin/$program"
  [ -x "$bin" ] || { fail "usr/bin/$program is not executable"; continue; }
  file -b "$bin" | grep -q 'ELF.*, stripped' || fail "usr/bin/$program is not a stripped ELF program: $(file -b "$bin")"
  # Debian's hardening: PIE, full RELRO (read-only after relocation, bound
  # at start), and the fortified C library calls.
  # (Each read whole: grep -q would leave readelf a closed pipe.)
  elf="$(readelf -hlW "$bin")"
  grep -q 'Type: *DYN' <<<"$elf" || fail "$program is no position-independent executable"
  grep -q GNU_RELRO <<<"$elf" || fail "$program has no RELRO segment"
  dynamic="$(readelf -dW "$bin")"
  grep -Eq 'BIND_NOW|FLAGS_1.* NOW' <<<"$dynamic" || fail "$program is not bound at start (-z now)"
  symbols="$(readelf --dyn-syms -W "$bin")"
  grep -q '__[a-z_]*_chk' <<<"$symbols" || fail "$program calls no fortified function (_FORTIFY_SOURCE)"
  ldd "$bin" >"$TMP/ldd" 2>&1 || fail "ldd $program: $(cat "$TMP/ldd")"
  for lib in $(readelf -d "$bin" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    path="$(awk -v lib="$lib" '$1 == lib && $2 == "=>" { print $3; exit }' "$TMP/ldd")"
    [ -n "$path" ] || { fail "$program needs $lib, which this machine does not have"; continue; }
    real="$(readlink -f "$path")"
    owner=""
    for candidate in "$path" "$real" "/usr$path" "/usr$real" "${path#/usr}" "${real#/usr}"; do
      owner="$(dpkg-query -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1)" && [ -n "$owner" ] && break
    done
    if [ -z "$owner" ]; then
      fail "$program needs $lib ($path), which no Debian package owns"
    elif ! depends_on "$owner"; then
      fail "$program needs $lib from $owner, which Depends does not name"
    fi
  done
done

help_of() {  # program args...: HELP is its --help text; not in a subshell, so that fail counts
  HELP="$("$ROOT/usr/bin/$1" "${@:2}" --help 2>&1)" || fail "installed $* --help exits with status $?"
}
help_of tivolan-cli
CLI_HELP="$HELP"
grep -q '^usage: tivolan-cli' <<<"$CLI_HELP" || fail "installed tivolan-cli --help prints no usage line"
commands="$(sed -n '/^commands:/,/^$/s/^  \([a-z][a-z-]*\) .*/\1/p' <<<"$CLI_HELP")"
[ -n "$commands" ] || fail "no commands found in tivolan-cli --help"
help_of tivolan-sim
SIM_HELP="$HELP"
grep -q '^usage: tivolan-sim' <<<"$SIM_HELP" || fail "installed tivolan-sim --help prints no usage line"

# The desktop program must get as far as its event loop: a library or plugin
# that does not load ends it at once. timeout's status 124 means it ran.
HOME="$TMP/home" XDG_CONFIG_HOME="$TMP/home/.config" QT_QPA_PLATFORM=offscreen \
  timeout -k 2 3 "$ROOT/usr/bin/tivolan" >"$TMP/gui.log" 2>&1
status=$?
if [ $status -ne 124 ]; then
  cat "$TMP/gui.log" >&2
  fail "installed tivolan ended with status $status instead of running"
fi

# --- desktop entry
DESKTOP="$ROOT/usr/share/applications/tivolan.desktop"
entry() { sed -n "s/^$1=//p" "$DESKTOP"; }
[ "$(entry Type)" = Application ] || fail "desktop entry: Type is '$(entry Type)'"
[ "$(entry Name)" = "Тиволан" ] || fail "desktop entry: Name is '$(entry Name)'"
for key in GenericName Comment; do
  # Cyrillic letters are U+0400..U+04FF: UTF-8 lead bytes 0xD0..0xD3.
  LC_ALL=C grep -q $'[\xd0-\xd3]' <<<"$(entry "$key")" || fail "desktop entry: $key '$(entry "$key")' is not in Russian"
done
[ "$(entry Terminal)" = false ] || fail "desktop entry: Terminal is '$(entry Terminal)'"
exec_program="$(entry Exec | cut -d' ' -f1)"
if [ "$exec_program" != tivolan ] || [ ! -x "$ROOT/usr/bin/$exec_program" ]; then
  fail "desktop entry: Exec '$(entry Exec)' is not the installed tivolan"
fi
[ "$(entry Exec)" = "tivolan %f" ] || fail "desktop entry: Exec '$(entry Exec)' does not take the file opened (%f)"
# The ".cf8" type: named by the entry, defined by the package's MIME file.
MIME_FILE="$ROOT/usr/share/mime/packages/tivolan.xml"
mime_type="$(sed -n 's/.*<mime-type type="\([^"]*\)".*/\1/p' "$MIME_FILE" 2>/dev/null)"
[[ ";$(entry MimeType)" == *";$mime_type;"* && -n "$mime_type" ]] ||
  fail "desktop entry: MimeType '$(entry MimeType)' does not name the package's type '$mime_type'"
if need_tool update-mime-database shared-mime-info; then
  mkdir -p "$TMP/mime/packages"
  cp "$MIME_FILE" "$TMP/mime/packages/"
  update-mime-database "$TMP/mime" >"$TMP/mime.log" 2>&1 || { cat "$TMP/mime.log" >&2; fail "update-mime-database"; }
  grep -Eq "^([0-9]+:)?$mime_type:\*\.cf8(:|\$)" "$TMP/mime/globs2" || fail "the MIME database does not give *.cf8 the type $mime_type"
fi
icon="$(entry Icon)"
[ -f "$ROOT/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "desktop entry: Icon '$icon' is not installed"
categories=";$(entry Categories)"
for category in Utility Electronics; do
  [[ "$categories" == *";$category;"* ]] || fail "desktop entry: Categories '$(entry Categories)' lacks $category"
done
if need_tool desktop-file-validate desktop-file-utils; then
  desktop-file-validate "$DESKTOP" >"$TMP/validate.log" 2>&1 || { cat "$TMP/validate.log" >&2; fail "desktop-file-validate"; }
fi

# --- AppStream: the record software centres read, of this version, launching
# the installed desktop entry
METAINFO="$ROOT/usr/share/metainfo/example.stelmark.tivolan.metainfo.xml"
if [ -f "$METAINFO" ]; then
  grep -q "<launchable type=\"desktop-id\">tivolan.desktop</launchable>" "$METAINFO" ||
    fail "metainfo: the launchable is not tivolan.desktop"
  grep -q "<release version=\"$VERSION\"" "$METAINFO" || fail "metainfo: no release $VERSION"
  grep -q "<mediatype>$mime_type</mediatype>" "$METAINFO" || fail "metainfo: the file type $mime_type is not provided"
  if need_tool appstreamcli appstream; then
    appstreamcli validate --no-net "$METAINFO" >"$TMP/appstream.log" 2>&1 ||
      { cat "$TMP/appstream.log" >&2; fail "appstreamcli validate"; }
  fi
fi

# --- bash completion of tivolan-cli: every command and option of its help,
# the ports the program offers, and only the files each command takes
COMPLETION="$ROOT/usr/share/bash-completion/completions/tivolan-cli"
if [ -f "$COMPLETION" ] && need_tool bash bash && [ -f /usr/share/bash-completion/bash_completion ]; then
  complete_line() {  # words of a command line, the last being completed: the candidates, one a line
    (cd "$TMP/files-to-complete" && PATH="$ROOT/usr/bin:$PATH" bash -c '
      source /usr/share/bash-completion/bash_completion
      source "$0"
      COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
      _tivolan_cli tivolan-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      printf "%s\n" "${COMPREPLY[@]}" | sort' "$COMPLETION" "$@")
  }
  mkdir -p "$TMP/files-to-complete/folder"
  touch "$TMP/files-to-complete/"{panel.cf8,update.enc,notes.txt}
  offered="$(complete_line tivolan-cli '')"
  for command in $commands; do
    grep -Fxq "$command" <<<"$offered" || fail "completion: tivolan-cli <Tab> does not offer $command"
    help_of tivolan-cli "$command"
    options="$(complete_line tivolan-cli "$command" -)"
    for option in $(head -n1 <<<"$HELP" | grep -oE -- ' \[?--?[a-z][a-z-]*' | tr -d ' ['); do
      grep -Fxq -- "$option" <<<"$options" || fail "completion: tivolan-cli $command -<Tab> does not offer $option"
    done
  done
  ports="$("$ROOT/usr/bin/tivolan-cli" ports --names | sort)"
  [ "$(complete_line tivolan-cli read --port '')" = "$ports" ] ||
    fail "completion: --port <Tab> does not offer the ports the program lists"
  [ "$(complete_line tivolan-cli show '')" = "$(printf 'folder\npanel.cf8')" ] ||
    fail "completion: show <Tab> offers '$(complete_line tivolan-cli show '')', not the .cf8 file and the folder"
  [ "$(complete_line tivolan-cli firmware --check '')" = "$(printf 'folder\nupdate.enc')" ] ||
    fail "completion: firmware --check <Tab> offers '$(complete_line tivolan-cli firmware --check '')'"
fi

# --- icons: each PNG is the size its folder names
for size in 16 32 48 64 128 256; do
  png="$ROOT/usr/share/icons/hicolor/${size}x${size}/apps/tivolan.png"
  [ -f "$png" ] || continue  # reported with the file list
  # The PNG signature, then IHDR's width and height as 32-bit big-endian.
  header="$(od -An -N24 -tx1 -v "$png" | tr -d ' \n')"
  magic="${header:0:16}"
  width=$((16#${header:32:8}))
  height=$((16#${header:40:8}))
  [ "$magic" = 89504e470d0a1a0a ] || { fail "${size}x${size} icon is no PNG"; continue; }
  if [ "$width" != "$size" ] || [ "$height" != "$size" ]; then fail "${size}x${size} icon is ${width}x${height}"; fi
done
grep -q '<svg' "$ROOT/usr/share/icons/hicolor/scalable/apps/tivolan.svg" || fail "the scalable icon is no SVG"

# --- manual pages: gzip'd, of this version, clean for groff, and naming
# every command and option the programs' --help lists
MAN="$ROOT/usr/share/man/man1"
for program in tivolan tivolan-cli tivolan-sim; do
  page="$MAN/$program.1.gz"
  [ -f "$page" ] || continue  # reported with the file list
  gzip -t "$page" || { fail "$program.1.gz is not gzip'd"; continue; }
  gzip -dc "$page" >"$TMP/$program.1"
  grep -q "^\.TH $(tr '[:lower:]' '[:upper:]' <<<"$program") 1 .*$VERSION" "$TMP/$program.1" || fail "$program.1 has no .TH line of version $VERSION"
  if need_tool groff groff-base; then
    # -ww: every warning; -k: the pages are UTF-8.
    groff -k -man -Tutf8 -ww -z "$TMP/$program.1" >"$TMP/groff.log" 2>&1
    [ -s "$TMP/groff.log" ] && { cat "$TMP/groff.log" >&2; fail "groff warns about $program.1"; }
    groff -k -man -Tutf8 -P-cbou "$TMP/$program.1" 2>/dev/null | sed 's/‐/-/g' >"$TMP/$program.txt"
  fi
done
section() {  # rendered page, heading: the lines of that section
  sed -n "/^$2\$/,/^[A-Z]/p" "$1" | sed '1d;$d'
}
# Exit statuses of a text as "N" and "N..M": each number, ranges expanded.
expand_codes() {
  grep -oE '[0-9]+(\.\.[0-9]+)?' | while IFS=. read -r low _ high; do
    seq "$low" "${high:-$low}"
  done | sort -un
}
if [ -f "$TMP/tivolan-cli.txt" ]; then
  man_commands="$(section "$TMP/tivolan-cli.txt" COMMANDS)"
  for command in $commands; do
    grep -Eq "^ {7}$command( |\$)" <<<"$man_commands" || fail "tivolan-cli.1 does not describe the command '$command'"
  done
  man_options="$(section "$TMP/tivolan-cli.txt" OPTIONS)"
  for command in $commands; do
    help_of tivolan-cli "$command"
    usage="$(head -n1 <<<"$HELP")"
    for option in $(grep -oE -- ' \[?--?[a-z][a-z-]*' <<<"$usage" | tr -d ' ['); do
      grep -Eq -- "^ {7}(.*, )?$option( |,|\$)" <<<"$man_options" ||
        fail "tivolan-cli.1 does not describe the option $option of '$command'"
    done
  done
  # The help's statuses stand after "exit status:" and after each ";".
  help_codes="$(sed -n '/^exit status:/,$p' <<<"$CLI_HELP" | tr '\n' ' ' | sed 's/^exit status://' | tr ';' '\n' |
    sed -E 's/^ *(([0-9]+(\.\.[0-9]+)?(, )?)+).*/\1/' | expand_codes)"
  man_codes="$(section "$TMP/tivolan-cli.txt" 'EXIT STATUS' | grep -E '^ {7}[0-9]' | awk '{ print $1 }' | expand_codes)"
  [ -n "$help_codes" ] || fail "no exit statuses found in tivolan-cli --help"
  for code in $help_codes; do
    grep -Fxq "$code" <<<"$man_codes" || fail "tivolan-cli.1 does not list the exit status $code"
  done
fi
if [ -f "$TMP/tivolan-sim.txt" ]; then
  man_options="$(section "$TMP/tivolan-sim.txt" OPTIONS)"
  options="$(grep -oE '^  --[a-z-]+' <<<"$SIM_HELP" | tr -d ' ')"
  [ -n "$options" ] || fail "no options found in tivolan-sim --help"
  for option in $options; do
    grep -Eq "^ {7}(-h, )?$option( |\$)" <<<"$man_options" || fail "tivolan-sim.1 does not describe the option $option"
  done
  # The simulator itself tells which words of its --fault text are faults:
  # it refuses an unknown one before it reaches --help.
  faults=0
  for word in $(sed -n '/^  --fault /,/^  --delay /p' <<<"$SIM_HELP" | sed '1s/^  --fault NAME//;$d' | grep -oE '[a-z]+(-[a-z]+)*' | sort -u); do
    "$ROOT/usr/bin/tivolan-sim" --fault "$word" --help >/dev/null 2>&1 || continue
    faults=$((faults + 1))
    grep -Eq "^ {14}$word( |\$)" <<<"$man_options" || fail "tivolan-sim.1 does not describe the fault $word"
  done
  [ $faults -gt 0 ] || fail "no fault names found in tivolan-sim --help"
fi

# --- the licence and the changelog, where Debian looks for them
COPYRIGHT="$ROOT/usr/share/doc/tivolan/copyright"
head -1 "$COPYRIGHT" | grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not in Debian's machine-readable format"
grep -qx 'License: Expat' "$COPYRIGHT" && grep -q 'Copyright: .*Тиволан developers' "$COPYRIGHT" ||
  fail "copyright does not name the MIT (Expat) licence and its authors"
zcat "$ROOT/usr/share/doc/tivolan/changelog.Debian.gz" >"$TMP/changelog" || fail "changelog.Debian.gz is no gzip file"
if command -v dpkg-parsechangelog >/dev/null; then
  [ "$(dpkg-parsechangelog -l "$TMP/changelog" -S Version 2>/dev/null)" = "$RELEASE" ] ||
    fail "the changelog's version is not $RELEASE"
fi

# --- lintian, where it is installed, its notes (I:) included: no error about
# the licence or the changelog, no hardening tag; every other tag it gives is
# printed for the README
if need_tool lintian lintian; then
  lintian -I --tag-display-limit 0 "$DEB" >"$TMP/lintian" 2>/dev/null
  echo "lintian:"
  sed 's/^/  /' "$TMP/lintian"
  grep -E '^E: .*(copyright|changelog)' "$TMP/lintian" && fail "lintian finds fault with the copyright or changelog"
  grep -E ': hardening-' "$TMP/lintian" && fail "lintian finds the programs without Debian's hardening"
fi

if [ $failures -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
if [ ${#missing_tools[@]} -ne 0 ]; then
  echo "SKIPPED: every other check passed; missing ${missing_tools[*]}" >&2
  exit $SKIP
fi
echo "package tivolan_${RELEASE}_${ARCH}.deb: all checks passed"
