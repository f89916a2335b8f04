#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from a built tree, unpacks it into a temporary root
# (dpkg-deb -x) and checks what it holds, what it depends on, that Debian's
# own checkers (lintian, desktop-file-validate, appstreamcli, man,
# hardening-check) accept it, and that the installed program starts through
# its launcher in the user's working directory with the files it was given.
# usage: package_test.sh CPACK BUILD_DIR SOURCE_DIR
set -uo pipefail

cpack=$1
build=$2
source=$3
tmp=$(readlink -f "$(mktemp -d)")
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

mime_types=(application/x-quillmar-records application/x-sdr-field-book)
manual_pages=(quillmar quillmar-cli quillmar-launch)

expected_files() {
  local size type page
  printf '%s\n' \
    usr/bin/quillmar usr/bin/quillmar-cli usr/bin/quillmar-launch \
    usr/share/quillmar/help.htm usr/share/quillmar/CommSet.ini \
    usr/share/applications/quillmar.desktop \
    usr/share/mime/packages/quillmar.xml \
    usr/share/metainfo/invalid.quillmar.Quillmar.metainfo.xml \
    usr/share/bash-completion/completions/quillmar-cli \
    usr/share/doc/quillmar/copyright usr/share/doc/quillmar/changelog.gz \
    usr/share/doc/quillmar/examples/traverse-sdr33.sdr \
    usr/share/doc/quillmar/examples/level-and-triangulation-sdr20.sdr
  # Unoptimised, nothing is fortified: the override says so to lintian.
  [ "$build_type" = Debug ] && echo usr/share/lintian/overrides/quillmar
  for page in "${manual_pages[@]}"; do echo "usr/share/man/man1/$page.1.gz"; done
  for size in 16 22 24 32 48 64 128 256; do
    echo "usr/share/icons/hicolor/${size}x${size}/apps/quillmar.png"
    for type in "${mime_types[@]}"; do
      echo "usr/share/icons/hicolor/${size}x${size}/mimetypes/${type//\//-}.png"
    done
  done
}

make_package() {
  if ! (cd "$build" && "$cpack" -G DEB -B "$tmp/out") >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    fail "cpack -G DEB failed"
    return 1
  fi
  local debs=("$tmp"/out/*.deb)
  if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "expected one .deb, found: ${debs[*]}"
    return 1
  fi
  deb=${debs[0]}
  dpkg-deb -x "$deb" "$root" || { fail "dpkg-deb -x failed"; return 1; }
}

# The package's own names of what it depends on, one a line.
depends_names() {
  dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/[(|].*//; s/ //g' | grep -v '^$'
}

check_control() {
  [ "$(dpkg-deb -f "$deb" Package)" = quillmar ] || fail "the package is not named quillmar"
  [ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
  [ -n "$(dpkg-deb -f "$deb" Description)" ] || fail "no Description"
  local name
  for name in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libqt6svg6 libgdal32 libproj25; do
    depends_names | grep -qx "$name" || fail "Depends lacks $name"
  done
  # Every name is a Debian package: the build machine has each of them.
  for name in $(depends_names); do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' ||
      fail "Depends names $name, which is not an installed package"
  done
}

check_file_list() {
  (cd "$root" && find . -type f -printf '%P\n' | sort) >"$tmp/found"
  expected_files | sort >"$tmp/expected"
  if ! diff -u "$tmp/expected" "$tmp/found" >"$tmp/list.diff"; then
    cat "$tmp/list.diff" >&2
    fail "the package's files are not the expected ones"
  fi
  local program
  for program in quillmar quillmar-cli quillmar-launch; do
    [ -x "$root/usr/bin/$program" ] || fail "usr/bin/$program is not executable"
  done
}

# Each library a program is linked with comes from a package it depends on.
check_linked_libraries() {
  local program library owners
  for program in quillmar quillmar-cli; do
    for library in $(readelf -d "$root/usr/bin/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
      # "pkg:arch, pkg2:arch: /path" lines.
      owners=$(dpkg -S "*/$library" 2>/dev/null | sed 's|: /.*||; s/, /\n/g' | sed 's/:.*//' | sort -u)
      if [ -z "$owners" ]; then
        fail "$program needs $library, which no installed package provides"
      elif ! grep -qxF -f <(depends_names) <<<"$owners"; then
        fail "$program needs $library from $(echo $owners), which Depends does not name"
      fi
    done
  done
}

check_contents() {
  cmp -s "$root/usr/share/quillmar/help.htm" "$source/help/help.htm" ||
    fail "the installed help.htm is not the user manual"
  cmp -s "$root/usr/share/quillmar/CommSet.ini" "$build/run/CommSet.ini" ||
    fail "the installed CommSet.ini is not the default one"
  local desktop=$root/usr/share/applications/quillmar.desktop
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects quillmar.desktop"
  grep -qx 'Exec=quillmar-launch %F' "$desktop" || fail "the desktop entry does not start the launcher with the files"
  grep -qx 'TryExec=quillmar-launch' "$desktop" || fail "the desktop entry's TryExec is not the launcher"
  grep -qx 'Icon=quillmar' "$desktop" || fail "the desktop entry does not name the icon"
  local size png
  for size in 16 48 256; do
    png=$root/usr/share/icons/hicolor/${size}x${size}/apps/quillmar.png
    # PNG signature, then the IHDR chunk's width and height.
    [ "$(od -An -tx1 -N8 "$png" | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
    [ "$(od -An -tu4 --endian=big -j16 -N8 "$png" | xargs)" = "$size $size" ] ||
      fail "$png is not $size by $size"
  done
}

# The package's MIME types as shared-mime-info builds its database from them:
# each name's glob, its icon and the desktop entry that opens it.
check_mime_types() {
  local mime=$tmp/mime type pattern
  mkdir -p "$mime/packages"
  cp "$root/usr/share/mime/packages/quillmar.xml" "$mime/packages/"
  update-mime-database "$mime" >"$tmp/mime.log" 2>&1 || { cat "$tmp/mime.log" >&2; fail "update-mime-database rejects quillmar.xml"; return; }
  for pattern in application/x-quillmar-records:qdl application/x-sdr-field-book:sdr; do
    type=${pattern%:*}
    grep -q ":$type:\*\.${pattern#*:}\$" "$mime/globs2" || fail "no glob *.${pattern#*:} for $type"
    grep -qx "$type:${type//\//-}" "$mime/icons" || fail "no icon for $type"
    grep -q "^MimeType=.*$type;" "$root/usr/share/applications/quillmar.desktop" ||
      fail "the desktop entry does not open $type"
  done
}

# The names of the tags lintian gives, one a line: from "I: quillmar: tag [context]".
lintian_tags() {
  sed -n 's/^[EWIPX]: [^ ]*: \([^ ]*\).*/\1/p' "$tmp/lintian.log"
}

# What Debian's own tools say: no lintian error or warning, no hardening tag
# nor unused override at any level, valid AppStream metainfo, manual pages
# that man formats without a complaint.
check_ecosystem() {
  lintian -I --fail-on error,warning "$deb" >"$tmp/lintian.log" 2>&1 ||
    { cat "$tmp/lintian.log" >&2; fail "lintian reports errors or warnings"; }
  lintian_tags | grep -E '^(hardening-|unused-override$)' >&2 &&
    fail "lintian finds the programs built without hardening, or an override they do not need"
  appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >"$tmp/appstream.log" 2>&1 ||
    { cat "$tmp/appstream.log" >&2; fail "appstreamcli rejects the metainfo"; }
  local page
  for page in "${manual_pages[@]}"; do
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$root/usr/share/man/man1/$page.1.gz" 2>&1 >"$tmp/$page.txt" |
      grep . >&2 && fail "man warns about $page.1"
    grep -q "^NAME" "$tmp/$page.txt" || fail "$page.1 has no NAME section"
  done
  for section in SYNOPSIS COMMANDS "EXIT STATUS" EXAMPLES; do
    grep -qx "$section" "$tmp/quillmar-cli.txt" || fail "quillmar-cli.1 has no $section section"
  done
}

# Built as Debian builds: PIE, stack protector, relro, now, and in an
# optimised build every source of the programs compiled with
# _FORTIFY_SOURCE=2. (The fortified call variants show in a binary only where
# a check must wait for run time; the compiler may prove every call safe.)
check_hardening() {
  local program
  for program in quillmar quillmar-cli; do
    hardening-check --nofortify --nocfprotection "$root/usr/bin/$program" >"$tmp/hardening.log" 2>&1 ||
      { cat "$tmp/hardening.log" >&2; fail "hardening-check: usr/bin/$program lacks hardening"; }
  done
  # The Debug build of the tests is not optimised, which fortifying needs.
  [ "$build_type" = Debug ] && return
  python3 - "$build/compile_commands.json" "$source" "$build" <<'PY' >&2 || fail "sources compiled without fortified calls"
import json, sys
commands, source, build = sys.argv[1:4]
tests = tuple(top + "/" + part + "/" for top in (source, build) for part in ("tests", "bench"))
unfortified = [entry["file"] for entry in json.load(open(commands))
               if not entry["file"].startswith(tests)
               and not ("-D_FORTIFY_SOURCE=2" in entry["command"] and " -O" in entry["command"])]
for name in unfortified:
    print("not fortified:", name)
sys.exit(1 if unfortified else 0)
PY
}

check_cli() {
  local out=$tmp/captions.txt
  if ! "$root/usr/bin/quillmar-cli" export captions \
      "$root/usr/share/doc/quillmar/examples/traverse-sdr33.sdr" "$out" 2>"$tmp/cli.log"; then
    cat "$tmp/cli.log" >&2
    fail "the installed quillmar-cli cannot export the installed example"
  elif [ ! -s "$out" ]; then
    fail "the installed quillmar-cli wrote no captions"
  fi
}

# Starts the launcher with the environment given, checks that the program
# runs in WORKDIR and is still running two seconds later, then ends it.
start_program() {
  local workdir=$1 log=$tmp/program.log
  shift
  env "$@" QT_QPA_PLATFORM=offscreen "$root/usr/bin/quillmar-launch" "${program_files[@]}" >"$log" 2>&1 &
  local pid=$! waited=0
  # The launcher replaces itself with the program.
  while [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" != "$root/usr/bin/quillmar" ]; do
    if ! kill -0 "$pid" 2>/dev/null || [ $waited -ge 100 ]; then
      kill "$pid" 2>/dev/null
      wait "$pid"
      local status=$?
      cat "$log" >&2
      fail "the launcher did not start the installed program (status $status)"
      return
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  [ "$(readlink "/proc/$pid/cwd")" = "$workdir" ] || fail "the program runs in $(readlink "/proc/$pid/cwd"), not in $workdir"
  tr '\0' '\n' <"/proc/$pid/cmdline" | tail -n +2 >"$tmp/arguments"
  sleep 2
  if ! kill -TERM "$pid" 2>/dev/null; then
    wait "$pid"
    local status=$?
    cat "$log" >&2
    fail "the program ended on its own at start-up (status $status)"
    return
  fi
  wait "$pid"
  local status=$?
  [ $status -eq 143 ] || { cat "$log" >&2; fail "the program did not end on SIGTERM (status $status)"; }
}

check_first_start() {
  local home=$tmp/home workdir=$tmp/home/.local/share/quillmar
  mkdir -p "$home"
  start_program "$workdir" -u XDG_DATA_HOME HOME="$home"
  cmp -s "$workdir/help.htm" "$root/usr/share/quillmar/help.htm" || fail "first start: no help.htm in $workdir"
  cmp -s "$workdir/CommSet.ini" "$root/usr/share/quillmar/CommSet.ini" || fail "first start: no CommSet.ini in $workdir"
}

# The user's settings stay; a manual that differs from the installed one is renewed.
check_later_start() {
  local data=$tmp/data workdir=$tmp/data/quillmar
  mkdir -p "$workdir"
  printf 'the user settings' >"$workdir/CommSet.ini"
  printf 'an old manual' >"$workdir/help.htm"
  start_program "$workdir" HOME="$tmp/elsewhere" XDG_DATA_HOME="$data"
  cmp -s "$workdir/CommSet.ini" <(printf 'the user settings') || fail "a later start replaced the user's CommSet.ini"
  cmp -s "$workdir/help.htm" "$root/usr/share/quillmar/help.htm" || fail "a later start kept an old help.htm"
  [ ! -e "$tmp/elsewhere/.local/share/quillmar" ] || fail "the launcher ignored XDG_DATA_HOME"
}

# A file named relative to where the launcher starts reaches the program,
# which runs elsewhere, by its full path; the program opens it and runs on.
check_start_with_files() {
  local examples=$root/usr/share/doc/quillmar/examples
  program_files=(traverse-sdr33.sdr "$examples/level-and-triangulation-sdr20.sdr")
  cd "$examples" || return
  start_program "$tmp/files/quillmar" HOME="$tmp/elsewhere" XDG_DATA_HOME="$tmp/files" XDG_CONFIG_HOME="$tmp/config"
  cd - >/dev/null || return
  printf '%s\n' "$examples/traverse-sdr33.sdr" "$examples/level-and-triangulation-sdr20.sdr" |
    cmp -s - "$tmp/arguments" || fail "the launcher passed $(echo $(cat "$tmp/arguments")), not the full paths"
  grep -q "traverse-sdr33.sdr" "$tmp/config/quillmar/quillmar.conf" 2>/dev/null ||
    fail "the program did not import the file it was given"
  program_files=()
}

program_files=()
if make_package; then
  check_control
  check_file_list
  check_linked_libraries
  check_contents
  check_mime_types
  check_ecosystem
  check_hardening
  check_cli
  check_first_start
  check_later_start
  check_start_with_files
fi
[ $failures -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "package $(basename "$deb"): all checks passed"
