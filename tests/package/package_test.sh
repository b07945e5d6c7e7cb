#!/bin/bash
# Tests the release packages as a user gets them, under Wine, in the build's
# package prefix (BUILD_DIR/package-prefix), made once and reused.
#
#   package_test.sh prefix    BUILD_DIR
#   package_test.sh zip       BUILD_DIR ZIP RECORDER_EXE
#   package_test.sh installer BUILD_DIR SETUP_EXE RECORDER_EXE PROBE_EXE VERSION VERSION_TEXT
#   package_test.sh cleanup   BUILD_DIR
#   package_test.sh release   BUILD_DIR SOURCE_DIR
#   package_test.sh signed_installer BUILD_DIR PROBE_EXE
#
# VERSION and VERSION_TEXT are CMake's (1.1.0.0 and 1.01): what the installed
# programs and the list of installed apps must show.
set -Eeuo pipefail

action=$1
build=$(cd "$2" && pwd)
export WINEPREFIX="$build/package-prefix"
export WINEDEBUG=-all
# No Mono or Gecko prompts, and no menu entries on this machine for the
# shortcuts the installer makes.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# Nothing here shows a window: the prefix uses Wine's null display driver.
unset DISPLAY
work="$build/package-test"
uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Ombrel'
approved_key='Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\StartupFolder'

failures=0
check() {  # check WHAT COMMAND...: one expectation; a failure is counted
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
  else
    echo "FAILED: $what" >&2
    failures=$((failures + 1))
  fi
}
same() {  # same GOT EXPECTED
  [ "$1" = "$2" ] && return 0
  printf '  expected: %s\n  got:      %s\n' "$2" "$1" >&2
  return 1
}
windows_path() {  # Unix path -> Z:\ path, as Wine maps the root to Z:
  printf 'Z:%s' "$(printf '%s' "$1" | sed 's#/#\\#g')"
}
wine_run() {  # a Windows program that must not hang the test
  timeout 120 wine "$@"
}
settle() {  # waits for every process of the prefix, the ones started by others too
  timeout 60 wineserver -w && return 0
  echo "  Wine processes were still running after 60 s" >&2
  return 1
}
stamped_today() {  # FILE DAY_BEFORE DAY_AFTER: the stamp is the run's day, CR LF
  printf '%s\r\n' "$2" | cmp -s - "$1" || printf '%s\r\n' "$3" | cmp -s - "$1"
}
listed_in_sums() {  # PACKAGE: SHA256SUMS beside it names it with its hash
  local name hash
  name=$(basename "$1")
  hash=$(sha256sum "$1" | cut -d' ' -f1)
  grep -qx "$hash  $name" "$(dirname "$1")/SHA256SUMS"
}
# An entry list as OmbrelSet saves it (code page 932, CR LF) that starts the
# recorder with a Japanese argument.
write_list() {  # FOLDER RECORDER ARGUMENT
  printf '"%s" %s\r\n' "$(windows_path "$2")" "$3" | iconv -f UTF-8 -t CP932 >"$1/OMBREL.DAT"
}

prepare_prefix() {
  mkdir -p "$work"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "creating the Wine prefix $WINEPREFIX"
    wineboot -i >/dev/null 2>&1 </dev/null
  fi
  wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
  # Windows runs its Task Scheduler from the start; Wine's service waits to
  # be started.
  wine reg add 'HKLM\System\CurrentControlSet\Services\Schedule' /v Start /t REG_DWORD /d 2 /f >/dev/null 2>&1
  wine net start schedule >/dev/null 2>&1 || true
  timeout 60 wineserver -w 2>/dev/null || true
}

# The portable folder: unpacked anywhere, Ombrel runs its day from the list
# placed beside it.
test_zip() {
  local zip=$1 recorder=$2
  check "SHA256SUMS holds the ZIP's hash" listed_in_sums "$zip"
  check "the ZIP holds one folder with both programs, the help page and the policy templates" \
    same "$(unzip -Z1 "$zip" | tr '\n' ' ')" "Ombrel/ Ombrel/Ombrel.exe Ombrel/OmbrelSet.exe Ombrel/help.htm \
Ombrel/policies/ Ombrel/policies/Ombrel.admx Ombrel/policies/en-US/ Ombrel/policies/en-US/Ombrel.adml \
Ombrel/policies/ja-JP/ Ombrel/policies/ja-JP/Ombrel.adml "
  check "SHA256SUMS holds the templates beside the packages, by their paths" \
    same "$(cd "$(dirname "$zip")" && LC_ALL=C sha256sum -c SHA256SUMS | grep policies/ | tr '\n' ' ')" \
    "policies/Ombrel.admx: OK policies/ja-JP/Ombrel.adml: OK policies/en-US/Ombrel.adml: OK "

  rm -rf "$work/zip"
  mkdir -p "$work/zip"
  unzip -q "$zip" -d "$work/zip"
  local folder="$work/zip/Ombrel"
  check "its programs are the build's" cmp "$folder/Ombrel.exe" "$build/bin/Ombrel.exe"

  local log="$work/zip-recorder.log" before after status=0
  rm -f "$log" "$log.order"
  write_list "$folder" "$recorder" 'ZIP 版の朝'
  before=$(date +%m-%d-%Y)
  (cd "$work" && OMBREL_RECORDER_LOG=$(windows_path "$log") wine_run "$folder/Ombrel.exe") || status=$?
  after=$(date +%m-%d-%Y)
  settle
  check "Ombrel from the ZIP ends normally" same "$status" 0
  check "it opened the list beside it" same "$(cat "$log" 2>/dev/null)" "\"$(windows_path "$recorder")\" ZIP 版の朝"
  check "it stamped today in OMBREL.INI beside it" stamped_today "$folder/OMBREL.INI" "$before" "$after"
}

test_installer() {
  local setup=$1 recorder=$2 probe=$3 version=$4 version_text=$5
  local user profile inst inst_win menu startup status
  user=$(wine_run cmd /c 'echo %USERNAME%' | tr -d '\r\n')
  profile="$WINEPREFIX/drive_c/users/$user"
  inst="$profile/AppData/Local/Programs/Ombrel"
  inst_win="C:\\users\\$user\\AppData\\Local\\Programs\\Ombrel"
  menu="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
  startup="$menu/StartUp"

  values() { wine_run "$probe" values "$uninstall_key"; }
  task() { wine_run "$probe" task | tr '\n' ' '; }
  task_runs() {  # EXE_WIN: this user's task starts it, enabled, named after the user
    same "$(task | sed 's/^name=Ombrel-S-1-5-[0-9-]* //')" "enabled=1 source=$1 "
  }
  value() { values | sed -n "s/^$1=//p"; }
  link() { wine_run "$probe" link "$(windows_path "$1")"; }
  install() {
    local status=0
    wine_run "$setup" "$@" || status=$?
    settle && same "$status" 0
  }
  uninstall() {  # VALUE [MORE...]: the command the list of installed apps gives
    local command exe arguments status=0
    command=$(value "$1")
    shift
    exe=${command#\"}
    exe=${exe%%\"*}
    read -r -a arguments <<<"${command#\"$exe\"}"
    wine_run "$exe" "${arguments[@]}" "$@" || status=$?
    # The uninstaller copies itself away and goes on after this one ends.
    settle && same "$status" 0
  }

  # What an earlier run may have left: a task goes with a registration for
  # the build's copy and its removal.
  rm -rf "$inst" "$profile/Other" "$menu"/OmbrelSet*.lnk "$startup"/*.lnk
  wine_run reg delete "HKCU\\$uninstall_key" /f >/dev/null 2>&1 || true
  wine_run "$build/bin/OmbrelSet.exe" /resume-task on && wine_run "$build/bin/OmbrelSet.exe" /resume-task off

  check "SHA256SUMS holds the installer's hash" listed_in_sums "$setup"
  check "the installer asks for no administrator rights" \
    same "$(wine_run "$probe" version "$(windows_path "$setup")" | grep '^level=')" "level=asInvoker"

  local option
  for option in /STARTUP=yes /RESUME=2; do
    status=0
    wine_run "$setup" /S "$option" || status=$?
    check "a mistyped $option stops the silent installer" same "$status" 2
    check "... before it installs anything" test ! -e "$inst"
  done

  # A first install, with the log-on start (the check box's default).
  check "the silent install succeeds" install /S
  local file
  for file in Ombrel.exe OmbrelSet.exe; do
    check "$file is installed in %LOCALAPPDATA%\\Programs\\Ombrel" cmp "$inst/$file" "$build/bin/$file"
    check "$file shows version $version, $version_text" \
      same "$(wine_run "$probe" version "$inst_win\\$file" | tr '\n' ' ')" \
      "file=$version product=$version_text manifest=$version level=asInvoker "
  done
  check "the help page is installed" test -s "$inst/help.htm"
  check "the policy templates are installed as the ZIP has them" \
    diff -r "$inst/policies" "$build/release/Ombrel/policies"
  check "the Start menu starts OmbrelSet" same "$(link "$menu/OmbrelSet.lnk" | grep '^target=')" \
    "target=$inst_win\\OmbrelSet.exe"
  check "the Startup folder starts Ombrel.exe in its own folder" \
    same "$(link "$startup/Ombrel.lnk" | tr '\n' ' ')" "target=$inst_win\\Ombrel.exe arguments= folder=$inst_win "
  check "the Task Scheduler holds the task that starts it when the user comes back" task_runs "$inst_win\\Ombrel.exe"

  local size
  size=$(find "$inst" -type f -exec cat {} + | wc -c)
  check "the list of installed apps shows Ombrel for this user" \
    same "$(values | grep -v '^EstimatedSize=' | LC_ALL=C sort | tr '\n' '|')" \
"DisplayIcon=$inst_win\\OmbrelSet.exe,0|DisplayName=Ombrel|DisplayVersion=$version_text|\
InstallLocation=$inst_win|NoModify=1|NoRepair=1|Publisher=Ombrel 開発チーム|\
QuietUninstallString=\"$inst_win\\Uninstall.exe\" /S|UninstallString=\"$inst_win\\Uninstall.exe\"|\
VersionMajor=${version%%.*}|VersionMinor=$(echo "$version" | cut -d. -f2)|"
  check "... with its size in KiB" test $(( $(value EstimatedSize) - size / 1024 )) -ge -1 -a \
    $(( $(value EstimatedSize) - size / 1024 )) -le 4
  check "... and not for every user" eval '! wine_run reg query "HKLM\\$uninstall_key" >/dev/null 2>&1'

  # The log-on start: the Startup shortcut runs the installed list.
  local log="$work/installer-recorder.log" before after
  rm -f "$log" "$log.order"
  write_list "$inst" "$recorder" '朝の一覧'
  before=$(date +%m-%d-%Y)
  OMBREL_RECORDER_LOG=$(windows_path "$log") wine_run start /wait /unix "$startup/Ombrel.lnk" || true
  settle
  after=$(date +%m-%d-%Y)
  check "the Startup shortcut opens the list" same "$(cat "$log" 2>/dev/null)" "\"$(windows_path "$recorder")\" 朝の一覧"
  check "... and stamps today" stamped_today "$inst/OMBREL.INI" "$before" "$after"

  # A program of the folder that runs keeps its file: the silent install
  # ends with status 3 and changes nothing.
  printf 'an older page' >"$inst/help.htm"
  wine "$inst_win\\OmbrelSet.exe" </dev/null >/dev/null 2>&1 &
  local editor=$!
  # Waited for until the process list shows it, however long a loaded
  # machine takes to start it, and a failure when it never does.
  check "the installed OmbrelSet runs" timeout 60 sh -c \
    'until "$0" "$1" running "$2"; do sleep 0.2; done' "$(command -v wine)" "$probe" "$inst_win\\OmbrelSet.exe"
  status=0
  wine_run "$setup" /S || status=$?
  check "a silent install over a running OmbrelSet ends with status 3" same "$status" 3
  check "... and changes nothing" same "$(cat "$inst/help.htm")" "an older page"
  kill "$editor"
  wait "$editor" 2>/dev/null || true
  settle

  # Installed again over an older OmbrelSet, without the log-on start.
  cp "$inst/OMBREL.DAT" "$work/OMBREL.DAT.kept"
  cp "$inst/OMBREL.INI" "$work/OMBREL.INI.kept"
  printf 'MZ an older OmbrelSet' >"$inst/OmbrelSet.exe"
  check "installing over it succeeds" install /S /STARTUP=0 /RESUME=0
  check "it replaces the older program" cmp "$inst/OmbrelSet.exe" "$build/bin/OmbrelSet.exe"
  check "it keeps the user's OMBREL.DAT byte for byte" cmp "$inst/OMBREL.DAT" "$work/OMBREL.DAT.kept"
  check "it keeps the user's OMBREL.INI byte for byte" cmp "$inst/OMBREL.INI" "$work/OMBREL.INI.kept"
  check "/STARTUP=0 removes the Startup shortcut" test ! -e "$startup/Ombrel.lnk"
  check "the Start menu shortcut stays" test -e "$menu/OmbrelSet.lnk"
  check "/RESUME=0 removes the task" eval '! task >/dev/null'

  # The log-on start back, a copy of it under another name, and a shortcut in
  # the Startup folder that starts something else: then the silent uninstall.
  # Switched off meanwhile in Task Manager's Startup tab: /STARTUP=1 asks for it on.
  wine_run reg add "HKCU\\$approved_key" /v Ombrel.lnk /t REG_BINARY /d 030000000000000000000000 /f \
    >/dev/null 2>&1
  check "installing with /STARTUP=1 /RESUME=1 succeeds" install /S /STARTUP=1 /RESUME=1
  check "... and makes the Startup shortcut again" test -e "$startup/Ombrel.lnk"
  check "... switched on in Windows' Startup settings" \
    eval '! wine_run reg query "HKCU\\$approved_key" /v Ombrel.lnk >/dev/null 2>&1'
  check "... and the task" task_runs "$inst_win\\Ombrel.exe"
  cp "$startup/Ombrel.lnk" "$startup/朝の Ombrel.lnk"
  cp "$menu/OmbrelSet.lnk" "$startup/OmbrelSet.lnk"
  check "the quiet uninstall command succeeds" uninstall QuietUninstallString
  check "it removes the programs and keeps the user's files, the run record included" \
    same "$(ls -A "$inst" 2>/dev/null | LC_ALL=C sort | tr '\n' ' ')" "OMBREL.DAT OMBREL.INI OMBREL.LOG "
  check "... OMBREL.DAT byte for byte" cmp "$inst/OMBREL.DAT" "$work/OMBREL.DAT.kept"
  check "it removes the Start menu shortcut" test ! -e "$menu/OmbrelSet.lnk"
  check "it removes every Startup shortcut to the installed Ombrel" \
    test ! -e "$startup/Ombrel.lnk" -a ! -e "$startup/朝の Ombrel.lnk"
  check "it leaves a Startup shortcut to another program" test -e "$startup/OmbrelSet.lnk"
  check "it removes Ombrel from the list of installed apps" eval '! values >/dev/null'
  check "it removes the task" eval '! task >/dev/null'
  rm -f "$startup/OmbrelSet.lnk"

  # Another copy, installed first, owns Ombrel.lnk, OmbrelSet.lnk and the
  # task: installing and uninstalling this one leaves them to it.
  local other_win="C:\\users\\$user\\Other"
  check "another copy installs" install /S "/D=$other_win"
  check "installing into the kept folder beside it succeeds" install /S /RESUME=0 "/D=$inst_win"
  check "it makes its own Startup shortcut beside the other copy's" \
    same "$(link "$startup/Ombrel (2).lnk" | grep '^target=')" "target=$inst_win\\Ombrel.exe"
  check "... and its own Start menu shortcut" \
    same "$(link "$menu/OmbrelSet (2).lnk" | grep '^target=')" "target=$inst_win\\OmbrelSet.exe"
  check "/RESUME=0 leaves the other copy's task" task_runs "$other_win\\Ombrel.exe"

  # The uninstaller's box (/PURGE) removes the user's files, the settings and
  # what a save cut short left, and the folder.
  printf '[Ombrel]\r\nDays=1111100\r\n' >"$inst/OMBREL.CFG"
  printf 'a\r\n' >"$inst/OMBREL.DAT.0BADF00D-3.tmp"
  check "uninstalling with /PURGE succeeds" uninstall UninstallString /S /PURGE
  check "/PURGE removes OMBREL.DAT, OMBREL.INI, OMBREL.LOG, OMBREL.CFG, a temporary and the folder" \
    test ! -e "$inst"
  check "it removes this copy's shortcuts only" \
    same "$(cd "$startup" && ls *.lnk) $(cd "$menu" && ls OmbrelSet*.lnk)" "Ombrel.lnk OmbrelSet.lnk"
  check "... which still start the other copy" \
    same "$(link "$startup/Ombrel.lnk" | grep '^target=') $(link "$menu/OmbrelSet.lnk" | grep '^target=')" \
    "target=$other_win\\Ombrel.exe target=$other_win\\OmbrelSet.exe"
  check "... and leaves the other copy's task" task_runs "$other_win\\Ombrel.exe"
  check "the other copy's uninstaller succeeds" \
    eval 'wine_run "$profile/Other/Uninstall.exe" /S /PURGE && settle'
  check "... and leaves no task" eval '! task >/dev/null'
}

# A release as a maintainer builds it, beside the build: with winget's manifests, and signed
# with a throwaway CA's code-signing certificate, made afresh each run.
release="$build/signed-release"
packages="$release/build/packages"
# FILE is signed, and valid against the throwaway CA alone.
verify() { osslsigncode verify -CAfile "$release/ca.pem" -in "$1" >/dev/null 2>&1; }
altered() {  # FILE: a copy with its middle byte changed
  local at=$(($(stat -c %s "$1") / 2))
  cp "$1" "$release/altered"
  printf "\\$(printf %03o $(($(od -An -tu1 -j $at -N1 "$1") ^ 255)))" |
    dd of="$release/altered" bs=1 seek=$at conv=notrunc status=none
  echo "$release/altered"
}
winget_check() { /usr/bin/python3 "$(dirname "$0")/winget_check.py" "$@"; }

test_release() {
  local file new="openssl req -x509 -nodes -newkey rsa:2048 -days 2 -subj"
  mkdir -p "$release"
  $new "/CN=Ombrel Test CA" -keyout "$release/ca.key" -out "$release/ca.pem" 2>/dev/null
  $new "/CN=Ombrel Test" -CA "$release/ca.pem" -CAkey "$release/ca.key" -addext basicConstraints=CA:false \
    -addext extendedKeyUsage=codeSigning -keyout "$release/key.pem" -out "$release/cert.pem" 2>/dev/null
  openssl pkcs12 -export -inkey "$release/key.pem" -in "$release/cert.pem" -certfile "$release/ca.pem" \
    -passout pass:pw -out "$release/cert.pfx"
  cmake -S "$1" -B "$release/build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DOMBREL_SIGN_PFX="$release/cert.pfx" \
    -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-w64-x86_64.cmake" -DOMBREL_PROJECT_URL=https://ombrel.example.jp/ \
    -DOMBREL_RELEASE_URL=https://downloads.example.jp/ombrel/ >/dev/null
  build() { OMBREL_SIGN_PASSWORD=$1 cmake --build "$release/build" --parallel 2 --target ombrel_packages; }
  check "a signing that fails fails the build, and packs nothing" eval \
    '! build wrong >"$release/log" 2>&1 && grep -q "could not sign" "$release/log" && ! ls "$packages"/*.zip 2>/dev/null'
  check "the signed release builds" eval 'build pw >"$release/log" 2>&1 || ! tail -20 "$release/log" >&2'

  unzip -qo "$packages"/*.zip -d "$release/zip"
  for file in "$release"/zip/Ombrel/*.exe "$packages"/*.exe; do
    check "$(basename "$file") is signed, and valid; with one byte changed, not" \
      eval 'verify "$file" && ! verify "$(altered "$file")"'
  done
  check "SHA256SUMS holds the signed packages' hashes" eval '(cd "$packages" && sha256sum --quiet -c SHA256SUMS)'
  check "the winget manifests have the fields the schema requires, typed as it says, and the installer's hash" \
    winget_check check "$release/build/winget" "$packages"/*.exe
}

test_signed_installer() {
  local parent=${uninstall_key%\\*} inst key
  inst="$WINEPREFIX/drive_c/users/$(wine_run cmd /c 'echo %USERNAME%' | tr -d '\r\n')/AppData/Local/Programs/Ombrel"
  # No uninstall entry of the user's but the one the installer writes.
  rm -rf "$inst"
  wine_run reg delete "HKCU\\$parent" /f >/dev/null 2>&1 || true
  check "the signed installer installs silently, as winget runs it" eval 'wine_run "$packages"/*.exe /S && settle'
  check "the Uninstall.exe it puts in place is signed, and valid" verify "$inst/Uninstall.exe"
  key=$(wine_run reg query "HKCU\\$parent" | tr -d '\r' | grep -F "\\$parent\\" || true)
  check "the uninstall entry it writes is the one winget's manifest names" \
    same "$({ wine_run "$1" values "${key#*\\}" | grep -E '^(Display(Name|Version)|Publisher)='
      echo "ProductCode=${key##*\\}"; } | LC_ALL=C sort)" "$(winget_check entry "$release/build/winget")"
  check "the signed uninstaller removes it" eval 'wine_run "$inst/Uninstall.exe" /S /PURGE && settle && [ ! -e "$inst" ]'
}

# A program left waiting (a dialog nobody sees) would hold ctest's pipe open,
# and keep the next test's waits from ending.
end_leftovers() { timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true; }
trap 'echo "FAILED: stopped at line $LINENO" >&2' ERR

case "$action" in
  prefix)
    prepare_prefix
    ;;
  zip)
    end_leftovers
    trap end_leftovers EXIT
    test_zip "$(realpath "$3")" "$(realpath "$4")"
    ;;
  installer)
    end_leftovers
    trap end_leftovers EXIT
    test_installer "$(realpath "$3")" "$(realpath "$4")" "$(realpath "$5")" "$6" "$7"
    ;;
  cleanup)
    wineserver -k 2>/dev/null || true
    ;;
  release)
    test_release "$(realpath "$3")"
    ;;
  signed_installer)
    end_leftovers
    trap end_leftovers EXIT
    test_signed_installer "$(realpath "$3")"
    ;;
  *)
    echo "usage: $0 prefix|zip|installer|cleanup|release|signed_installer BUILD_DIR ..." >&2
    exit 2
    ;;
esac

echo "$failures failed"
[ "$failures" -eq 0 ] || exit 1
