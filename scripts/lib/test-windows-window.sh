# The window's parts of scripts/test-windows, sourced there once the Wine
# prefix, its server, the COM bridge and the display are up. Each function
# prints one line with its time and returns non-zero on a failure.

# Qt for Windows and the mingw runtime where they lie on the build machine.
window_winepath() {
  local runtime
  runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")
  echo "$(winpath "$QT_WINDOWS/bin");$(winpath "$runtime");$(winpath /usr/x86_64-w64-mingw32/lib)"
}

# build-win/*_test.exe: the widget suite of tests/ui and window_com_test,
# each a QtTest program, with the offscreen platform. Its fonts come through
# qt.conf beside them (Libraries/fonts), as Wine passes no QT_QPA_FONTDIR.
window_suites() {
  local start=$SECONDS logs="$WIN/ui-logs" test name status totals p f s
  local passed=0 failed=0 skipped=0 programs=0 bad=()
  rm -rf "$logs"
  mkdir -p "$logs" "$WIN/qt-fonts"
  ln -sfn /usr/share/fonts/truetype/dejavu "$WIN/qt-fonts/fonts"
  printf '[Paths]\nPrefix=Z:%s\nLibraries=Z:%s\n' "$QT_WINDOWS" "$WIN/qt-fonts" >"$WIN/qt.conf"
  for test in "$WIN"/*_test.exe; do
    name=$(basename "$test" .exe)
    programs=$((programs + 1))
    status=0
    WINEPATH="$(window_winepath)" timeout 600 "$WINE" "$test" -platform offscreen -o "$(winpath "$logs/$name.txt"),txt" \
      </dev/null >"$logs/$name.out" 2>&1 || status=$?
    totals=$(sed -n 's/^Totals: \([0-9]*\) passed, \([0-9]*\) failed, \([0-9]*\) skipped.*/\1 \2 \3/p' "$logs/$name.txt" 2>/dev/null)
    if [ -z "$totals" ]; then
      failed=$((failed + 1))
      bad+=("$name: did not finish (exit $status)")
      continue
    fi
    read -r p f s <<<"$totals"
    passed=$((passed + p))
    failed=$((failed + f))
    skipped=$((skipped + s))
    [ "$f" -eq 0 ] && [ "$status" -eq 0 ] || bad+=("$name: $f failed (exit $status)")
  done
  echo "windows: widget suite and the window end to end: $passed passed, $failed failed, $skipped skipped in $programs" \
    "programs under wine64 ($((SECONDS - start)) s); logs in build-win/ui-logs/"
  if [ ${#bad[@]} -gt 0 ]; then
    printf 'windows:   %s\n' "${bad[@]}" >&2
    grep -h -A2 '^FAIL!' "$logs"/*.txt >&2 || true
    return 1
  fi
}

# The DLLs (and plugins) Wine loaded as native ones for a run logged with
# +loaddll, as paths below `folder`; others as they are.
loaded_dlls() {
  local log=$1 folder
  folder=$(winpath "$2")
  sed -n 's/.*Loaded L"\(.*\.dll\)" at [0-9A-Fa-f]*: native$/\1/Ip' "$log" | sed 's/\\\\/\\/g' |
    while read -r dll; do
      if [ "${dll:0:${#folder}}" = "$folder" ]; then echo "${dll:${#folder}+1}"; else echo "$dll"; fi
    done | tr '\\' '/' | tr '[:upper:]' '[:lower:]' | sort -u
}

# The window's folder as shipped: window_shots.exe run from a copy of it
# takes the pictures, which also shows that the folder alone starts the
# program in the native style with Qt's Russian texts; the DLLs Wine loaded
# must be exactly those it carries. Then the portable zip: the same files,
# and its tivolan.exe runs alone.
window_folder() {
  local start=$SECONDS check="$WIN/window-check" problem="" carried loaded version portable refused code
  rm -rf "$check"
  cp -r "$WIN/window" "$check"
  cp "$WIN/window_shots.exe" "$check/"
  mkdir -p "$SHOTS"
  rm -f "$SHOTS"/windows-*.png
  (cd "$check" && WINEDEBUG=-all,+loaddll "$WINE" window_shots.exe "$(winpath "$SHOTS")" </dev/null \
    >"$WIN/shots.log" 2>"$WIN/loaddll.log") || problem="window_shots.exe failed: $(tail -n 3 "$WIN/shots.log" "$WIN/loaddll.log")"
  carried=$(cd "$check" && find . -iname '*.dll' -printf '%P\n' | tr '[:upper:]' '[:lower:]' | sort)
  loaded=$(loaded_dlls "$WIN/loaddll.log" "$check")
  if [ -z "$problem" ] && [ "$carried" != "$loaded" ]; then
    problem="the DLLs loaded are not those the folder carries:
$(diff <(echo "$carried") <(echo "$loaded") | sed -n 's/^< /  carried, not loaded: /p; s/^> /  loaded, not carried: /p')"
  fi
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WIN/CMakeCache.txt")
  portable="$WIN/zip-check"
  rm -rf "$portable"
  mkdir -p "$portable"
  unzip -q "$WIN/tivolan-windows-$version.zip" -d "$portable"
  if ! diff -r "$WIN/window" "$portable/tivolan-$version" >/dev/null; then
    [ -n "$problem" ] || problem="tivolan-windows-$version.zip does not hold the folder window/"
  elif [ "$(cd "$portable/tivolan-$version" && "$WINE" tivolan.exe --version </dev/null 2>&1)" != "tivolan (Тиволан) $version" ]; then
    problem="${problem:-the portable tivolan.exe --version did not answer}"
  fi
  code=0
  refused=$(cd "$portable/tivolan-$version" && "$WINE" tivolan.exe --bogus </dev/null 2>&1) || code=$?
  [ "$code" = 2 ] && grep -q "^tivolan: Unknown option '--bogus'" <<<"$refused" ||
    problem="${problem:-the portable tivolan.exe took --bogus (exit $code): $refused}"
  if [ -n "$problem" ]; then
    echo "windows: the window's folder: $problem" >&2
    return 1
  fi
  echo "windows: the window's folder loads exactly the $(wc -l <<<"$carried") DLLs it carries, with Qt's Russian texts;" \
    "$(ls "$SHOTS"/windows-*.png | wc -l) pictures in build/screenshots/windows-*.png; the portable zip's tivolan.exe" \
    "runs alone and refuses an unknown option ($((SECONDS - start)) s)"
}

# One installation and its removal in the setup prefix: `who` is "all"
# (the default of an administrator, which Wine's user is) or "current"
# (/CURRENTUSER). Sets `problem` on the first fault.
install_and_remove() {
  local who=$1 version=$2 root key programs menu flags=() installed expected run_pid code
  if [ "$who" = all ]; then
    root=HKLM
    programs="$SETUP_PREFIX/drive_c/Program Files/Тиволан"
    menu="$SETUP_PREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Тиволан.lnk"
  else
    root=HKCU
    flags=(/CURRENTUSER)
    programs=$(echo "$SETUP_PREFIX"/drive_c/users/*/AppData/Local)/Programs/Тиволан
    menu=$(echo "$SETUP_PREFIX"/drive_c/users/*/AppData/Roaming)/Microsoft/Windows/"Start Menu"/Programs/Тиволан.lnk
  fi
  key="$root\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tivolan"
  "$WINE" "$WIN/tivolan-setup-$version.exe" /S "${flags[@]}" >>"$SETUP_LOG" 2>&1 || { problem="$who: setup /S failed"; return; }
  "$WINESERVER" -w
  installed=$(cd "$programs" 2>/dev/null && find . -type f -printf '%P\n' | sort)
  expected=$( (cd "$WIN/window" && find . -type f -printf '%P\n'; echo uninstall.exe) | sort)
  [ "$installed" = "$expected" ] || { problem="$who: the files in $programs are not the window's folder"; return; }
  [ -f "$menu" ] || { problem="$who: no Start-menu entry $menu"; return; }
  "$WINE" reg query "$key" /v QuietUninstallString 2>/dev/null | grep -q 'uninstall.exe" /[A-Z]* /S' ||
    { problem="$who: no uninstall key $key"; return; }
  "$WINE" reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "REG_SZ *$version" ||
    { problem="$who: the uninstall key has no DisplayVersion $version"; return; }
  # The classes of the installation's root: Windows shows HKCU's over
  # HKLM's as HKCR, Wine's HKCR is HKLM's alone.
  "$WINE" reg query "$root\\Software\\Classes\\.cf8" /ve 2>/dev/null | grep -q "Tivolan.Configuration" ||
    { problem="$who: .cf8 is not associated"; return; }
  "$WINE" reg query "$root\\Software\\Classes\\Tivolan.Configuration\\shell\\open\\command" /ve 2>/dev/null |
    grep -q 'tivolan.exe" "%1"' || { problem="$who: .cf8 does not open in tivolan.exe"; return; }
  "$WINE" reg query "$root\\Software\\Classes\\Tivolan.Configuration\\DefaultIcon" /ve 2>/dev/null | grep -q 'tivolan.exe",0' ||
    { problem="$who: .cf8 has not the program's icon"; return; }
  [ "$(cd "$programs" && "$WINE" tivolan.exe --version </dev/null 2>&1)" = "tivolan (Тиволан) $version" ] ||
    { problem="$who: the installed tivolan.exe --version did not answer"; return; }

  # While the program runs (its window is up, so it has marked itself),
  # neither setup nor uninstall goes ahead.
  local uninstall=/CURRENTUSER
  [ "$who" = all ] && uninstall=/ALLUSERS
  (cd "$programs" && exec "$WINE" tivolan.exe) >>"$SETUP_LOG" 2>&1 &
  run_pid=$!
  for _ in $(seq 300); do
    xwininfo -root -tree 2>/dev/null | grep -q '"Тиволан"' && break
    sleep 0.1
  done
  code=0
  "$WINE" "$WIN/tivolan-setup-$version.exe" /S "${flags[@]}" >>"$SETUP_LOG" 2>&1 || code=$?
  [ "$code" = 3 ] || { problem="$who: setup went ahead (exit $code) while the program ran"; kill "$run_pid"; return; }
  # The uninstaller works from a copy of itself (~nsuN.tmp\Un.exe), which
  # is waited for: the program's files must all be there afterwards.
  "$WINE" "$programs/uninstall.exe" "$uninstall" /S >>"$SETUP_LOG" 2>&1 || true
  for _ in $(seq 300); do
    pgrep -f 'nsu[^ ]*\.tmp.Un\.exe' >/dev/null || break
    sleep 0.1
  done
  [ "$(cd "$programs" && find . -type f -printf '%P\n' | sort)" = "$expected" ] ||
    { problem="$who: uninstall went ahead while the program ran"; kill "$run_pid"; return; }
  kill "$run_pid" 2>/dev/null
  wait "$run_pid" 2>/dev/null || true
  "$WINESERVER" -w

  # The user's settings stay.
  "$WINE" reg add 'HKCU\Software\Stelmark\Zentavo' /v comportname /d COM3 /f >/dev/null 2>&1
  "$WINE" "$programs/uninstall.exe" "$uninstall" /S >>"$SETUP_LOG" 2>&1 || { problem="$who: uninstall /S failed"; return; }
  "$WINESERVER" -w
  [ ! -e "$programs" ] || { problem="$who: uninstall left $programs: $(cd "$programs" && find . | head -5)"; return; }
  [ ! -e "$menu" ] || { problem="$who: uninstall left the Start-menu entry"; return; }
  ! "$WINE" reg query "$key" >/dev/null 2>&1 || { problem="$who: uninstall left its key"; return; }
  ! "$WINE" reg query "$root\\Software\\Classes\\.cf8" >/dev/null 2>&1 ||
    { problem="$who: uninstall left the .cf8 association"; return; }
  ! grep -qi 'tivolan' "$SETUP_PREFIX/system.reg" "$SETUP_PREFIX/user.reg" ||
    { problem="$who: the registry still names the program: $(grep -i tivolan "$SETUP_PREFIX"/*.reg | head -3)"; return; }
  "$WINE" reg query 'HKCU\Software\Stelmark\Zentavo' /v comportname 2>/dev/null | grep -q COM3 ||
    { problem="$who: uninstall removed the user's settings"; return; }
  "$WINE" reg delete 'HKCU\Software\Stelmark' /f >/dev/null 2>&1
}

# The installer in a fresh prefix of its own: for all users (Wine's user is
# an administrator) and for the current one.
window_installer() {
  local start=$SECONDS version problem=""
  version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$WIN/CMakeCache.txt")
  SETUP_PREFIX="$WIN/wineprefix-setup"
  SETUP_LOG="$WIN/setup.log"
  rm -rf "$SETUP_PREFIX"
  : >"$SETUP_LOG"
  (
    export WINEPREFIX="$SETUP_PREFIX"
    "$WINE" wineboot --init >>"$SETUP_LOG" 2>&1
    "$WINESERVER" -w
    local before after
    before=$(cd "$SETUP_PREFIX/drive_c" && find "Program Files" ProgramData users -path '*/Temp' -prune -o -print | sort)
    install_and_remove all "$version"
    [ -z "$problem" ] && install_and_remove current "$version"
    after=$(cd "$SETUP_PREFIX/drive_c" && find "Program Files" ProgramData users -path '*/Temp' -prune -o -print | sort)
    [ -n "$problem" ] || [ "$before" = "$after" ] ||
      problem="files left behind: $(diff <(echo "$before") <(echo "$after") | grep '^>' | head -5)"
    "$WINESERVER" -k 2>/dev/null || true
    if [ -n "$problem" ]; then
      echo "windows: the installer: $problem; log in build-win/setup.log" >&2
      exit 1
    fi
  ) || return 1
  echo "windows: the installer: /S for all users and /S /CURRENTUSER install the folder, the Start-menu entry, the" \
    ".cf8 type and the uninstall key, refuse while the program runs, uninstall leaves nothing and the settings stay" \
    "($((SECONDS - start)) s)"
}
