#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR under /usr and checks it as a desktop would:
# exactly the expected files, a valid desktop entry and AppStream metadata, and the installed
# program, started from there in a private home without a display, answering --version.
#   tests/install/check-install.sh <build folder> <application id> <version>
set -euo pipefail
build="$1"
app_id="$2"
version="$3"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage/root" cmake --install "$build" --prefix /usr >/dev/null
cd "$stage/root"

expected="./usr/bin/velumina
./usr/share/applications/$app_id.desktop
./usr/share/doc/velumina/changelog.gz
./usr/share/doc/velumina/copyright"
for size in 16 24 32 48 64 128 256 512; do
    expected+=$'\n'"./usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png"
done
expected+=$'\n'"./usr/share/man/man1/velumina.1.gz"
expected+=$'\n'"./usr/share/metainfo/$app_id.metainfo.xml"
actual="$(find . -type f -o -type l | LC_ALL=C sort)"
expected="$(printf '%s\n' "$expected" | LC_ALL=C sort)"
if [ "$actual" != "$expected" ]; then
    echo "installed files differ from the expected ones:" >&2
    diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") >&2 || true
    exit 1
fi

desktop-file-validate "usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net --pedantic "usr/share/metainfo/$app_id.metainfo.xml"
grep -q "^Icon=$app_id\$" "usr/share/applications/$app_id.desktop"
grep -q "<id>$app_id</id>" "usr/share/metainfo/$app_id.metainfo.xml"
grep -q "<release version=\"$version\"" "usr/share/metainfo/$app_id.metainfo.xml"
for size in 16 512; do
    file "usr/share/icons/hicolor/${size}x${size}/apps/$app_id.png" | grep -q "PNG image data, $size x $size"
done
zcat usr/share/man/man1/velumina.1.gz | grep -q -- 'remove\\-reminders'

# Nothing of the build or source folder is needed; a private home, no display.
home="$stage/home"
mkdir -p "$home/config" "$home/runtime"
chmod 0700 "$home/runtime"
run() {
    env -i HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/runtime" PATH=/usr/bin:/bin \
        QT_QPA_PLATFORM=offscreen "$stage/root/usr/bin/velumina" "$@"
}
answer="$(run --version)"
if [ "$answer" != "Velumina $version" ]; then
    echo "the installed program answered --version with '$answer'" >&2
    exit 1
fi
run --help | grep -q -- '--remove-reminders'
echo "installed files, desktop entry, metainfo and the installed program are fine"
