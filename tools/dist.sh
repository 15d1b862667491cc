#!/usr/bin/env bash
# Installs what is missing, builds Keywhirl and makes what is handed to
# users, in BUILD/dist/:
#   Keywhirl-<version>-setup.exe     the setup program (NSIS): Program Files,
#                                    Start menu, uninstaller
#   Keywhirl-<version>-portable.zip  the same files in a folder Keywhirl\,
#                                    to run from wherever it is unpacked
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEYWHIRL_BUILD_DIR:-$root/build}

"$root/tools/bootstrap.sh"
# The setup program's target depends on the program, the hook library, the
# data files and the help; nothing else needs building.
"$root/tools/build.sh" "$build_dir" keywhirl_setup

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build_dir/CMakeCache.txt")
out="$build_dir/out"
dist="$build_dir/dist"
setup="$dist/Keywhirl-$version-setup.exe"
portable="$dist/Keywhirl-$version-portable.zip"
[ -f "$setup" ] || { echo "dist: $setup was not made" >&2; exit 1; }

# Only the files a user gets, laid out as setup installs them.
stage="$dist/portable"
rm -rf "$stage" "$portable"
mkdir -p "$stage/Keywhirl/Sounds" "$stage/Keywhirl/Keyboard" "$stage/Keywhirl/Localization"
cp "$out/Keywhirl.exe" "$out/Keywhirl.dll" "$out"/Keywhirl*.chm "$stage/Keywhirl/"
cp "$out"/Sounds/*.wav "$stage/Keywhirl/Sounds/"
cp "$out"/Keyboard/*.bmp "$stage/Keywhirl/Keyboard/"
cp "$out"/Localization/*.xml "$stage/Keywhirl/Localization/"
(cd "$stage" && zip -q -r -X "$portable" Keywhirl)
rm -rf "$stage"

echo "setup program: $setup"
echo "portable zip:  $portable"
