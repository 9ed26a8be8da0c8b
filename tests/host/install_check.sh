#!/usr/bin/env bash
# Installs a build into a staging root with DESTDIR and checks that every file lands
# where the X screen-saver daemon, its settings program, the desktop and man look.
#   install_check.sh BUILD_DIR
set -euo pipefail
build=$1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
fail=0
expect() {  # expect TEST PATH
  if ! test "$1" "$stage$2"; then echo "missing: $2 ($1)"; fail=1; fi
}
expect -x /usr/libexec/xscreensaver/glimsel
expect -f /usr/libexec/xscreensaver/Glimsel.idb
expect -f /usr/libexec/xscreensaver/glimsel.svg
expect -f /usr/share/xscreensaver/config/glimsel.xml
expect -x /usr/bin/glimsel-idb
expect -L /usr/bin/glimsel
expect -f /usr/share/applications/glimsel.desktop
expect -f /usr/share/icons/hicolor/scalable/apps/glimsel.svg
expect -f /usr/share/man/man6/glimsel.6.gz
expect -f /usr/share/man/man1/glimsel-idb.1.gz
# The link resolves inside the staging root, to the program beside its database.
if [ "$(readlink -f "$stage/usr/bin/glimsel")" != "$(readlink -f "$stage/usr/libexec/xscreensaver/glimsel")" ]; then
  echo "bin/glimsel does not lead to the program: $(readlink "$stage/usr/bin/glimsel")"; fail=1
fi
# The installed program runs from there and answers.
version=$("$stage/usr/bin/glimsel" --version)
[ "$version" = "glimsel $(sed -n 's/^project(Glimsel VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")" ] ||
  { echo "glimsel --version said: $version"; fail=1; }
# The settings description is well-formed and names the program that is installed.
python3 - "$stage/usr/share/xscreensaver/config/glimsel.xml" <<'PY' || fail=1
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
assert root.tag == "screensaver" and root.get("name") == "glimsel", "not the description of glimsel"
args = [e.get("arg") or e.get("arg-set") for e in root.iter() if e.tag in ("number", "boolean", "file", "command")]
assert args == ["--root", "--speed %", "--flash", "--flash-speed %", "--folder %", "--bundled",
                "--upright", "--subfolders", "--no-repeats", "--more-types"], args
PY
# The manual pages format without complaint.
for page in man6/glimsel.6.gz man1/glimsel-idb.1.gz; do
  warnings=$(LC_ALL=C.UTF-8 man --warnings -l "$stage/usr/share/man/$page" 2>&1 >/dev/null || true)
  [ -z "$warnings" ] || { echo "$page: $warnings"; fail=1; }
done
[ $fail -eq 0 ] && echo "PASS"
exit $fail
